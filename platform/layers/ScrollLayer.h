#pragma once

#include "platform/layers/Layer.h"

namespace ui {

// Which directions a scroll layer scrolls in, with the platform's values.
namespace ScrollMode {
inline const fnd::String None = "none";
inline const fnd::String Vertically = "vertically";
inline const fnd::String Horizontally = "horizontally";
inline const fnd::String Both = "both";
}

// Shows a part of its sublayers' space: scrolling moves the bounds origin, in the directions the mode allows (the
// other coordinate keeps its value). Being a bounds change, a scroll animates like any other.
class ScrollLayer : public Layer {
    UI_LAYER_OBJECT(ScrollLayer)
    static void describeClass(fnd::ClassBuilder<ScrollLayer>& c);

public:
    ScrollLayer() = default;
    static std::shared_ptr<ScrollLayer> layer() { return std::make_shared<ScrollLayer>(); }
    void initWithLayer(const Layer& layer) override;

    fnd::String scrollMode() const;
    void setScrollMode(const fnd::String& mode);
    // Makes the point the bounds origin.
    void scrollToPoint(gfx::Point point);
    // Scrolls as little as needed to show the rect (its minimum corner when it is larger than the bounds).
    void scrollToRect(gfx::Rect rect);

private:
    fnd::String m_scrollMode { ScrollMode::Both };
};

}
