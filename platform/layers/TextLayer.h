#pragma once

#include "platform/layers/Layer.h"

namespace ui {

// How a text layer aligns its lines, with the platform's values.
namespace TextAlignmentMode {
inline const fnd::String Natural = "natural";
inline const fnd::String Left = "left";
inline const fnd::String Right = "right";
inline const fnd::String Center = "center";
inline const fnd::String Justified = "justified";
}

// Draws a string from the top of its bounds. The string is a plain string (drawn in font at fontSize in the
// foreground colour) or an attributed string (drawn with its own attributes). font is a gfx::Font (its size is
// replaced by fontSize) or a font name; without one the system font is used. Unwrapped text breaks only at line
// breaks and is clipped to the bounds. The layer is not sized to its text by itself: preferredFrameSize is the
// size the text takes.
class TextLayer : public Layer {
    UI_LAYER_OBJECT(TextLayer)
    static void describeClass(fnd::ClassBuilder<TextLayer>& c);

public:
    TextLayer();
    static std::shared_ptr<TextLayer> layer() { return std::make_shared<TextLayer>(); }
    void initWithLayer(const Layer& layer) override;

    fnd::Value string() const;
    void setString(const fnd::Value& string);
    fnd::Value font() const;
    void setFont(const fnd::Value& font);
    double fontSize() const;
    void setFontSize(double size);
    gfx::ColorPtr foregroundColor() const;
    void setForegroundColor(gfx::ColorPtr color);
    fnd::String alignmentMode() const;
    void setAlignmentMode(const fnd::String& mode);
    bool isWrapped() const;
    void setWrapped(bool flag);

    void drawInContext(gfx::GraphicsContext& context) override;
    bool needsDisplayForKey(const fnd::String& key) const override;
    std::shared_ptr<LayerAction> defaultActionForKey(const fnd::String& key) const override;
    gfx::Size preferredFrameSize() const override;

private:
    struct Text {
        fnd::Value string;
        fnd::Value font;
        double fontSize { 36 };
        gfx::ColorPtr foregroundColor;
        fnd::String alignmentMode { TextAlignmentMode::Natural };
        bool wrapped { false };
    };
    Text m_t;
};

}
