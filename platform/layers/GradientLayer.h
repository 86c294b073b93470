#pragma once

#include "platform/layers/Layer.h"

namespace ui {

// Fills its bounds with an axial gradient from startPoint to endPoint (unit points of the bounds; y up, so the
// default runs from the bottom edge's middle to the top edge's), continuing the end colours beyond them. Without
// locations the colours are spread evenly.
class GradientLayer : public Layer {
    UI_LAYER_OBJECT(GradientLayer)
    static void describeClass(fnd::ClassBuilder<GradientLayer>& c);

public:
    GradientLayer();
    static std::shared_ptr<GradientLayer> layer() { return std::make_shared<GradientLayer>(); }
    void initWithLayer(const Layer& layer) override;

    std::vector<gfx::ColorPtr> colors() const;
    void setColors(std::vector<gfx::ColorPtr> colors);
    std::vector<double> locations() const;
    void setLocations(std::vector<double> locations);
    gfx::Point startPoint() const;
    void setStartPoint(gfx::Point point);
    gfx::Point endPoint() const;
    void setEndPoint(gfx::Point point);

    void drawInContext(gfx::GraphicsContext& context) override;
    bool needsDisplayForKey(const fnd::String& key) const override;
    std::shared_ptr<LayerAction> defaultActionForKey(const fnd::String& key) const override;

private:
    struct Gradient {
        std::vector<gfx::ColorPtr> colors;
        std::vector<double> locations;
        gfx::Point start { 0.5, 0 };
        gfx::Point end { 0.5, 1 };
    };
    Gradient m_g;
};

}
