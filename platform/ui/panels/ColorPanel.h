#pragma once

#include "platform/foundation/runtime/Selector.h"
#include "platform/graphics/Color.h"
#include "platform/ui/views/Window.h"

#include <vector>

namespace ui {

class PopUpButton;
class SegmentedControl;
class TextField;

namespace detail {
class ColorWheelView;
class ColorChannelSlider;
class ColorSwatchView;
enum class ColorChange;
}

// Colour panel modes, with the platform's values; this panel offers the wheel and the grey, RGB, CMYK and HSB
// sliders (the others show the RGB sliders).
enum class ColorPanelMode {
    Gray = 0,
    RGB = 1,
    CMYK = 2,
    HSB = 3,
    CustomPalette = 4,
    ColorList = 5,
    Wheel = 6,
    Crayon = 7
};

// The shared colour panel: a colour wheel with a brightness slider, or sliders for grey, RGB, CMYK or HSB, a hex
// field, an opacity slider while alpha is shown, and a swatch of the colour. Every change (continuously while a
// slider or the wheel is dragged, when continuous) goes to the active colour well, else as changeColor: (the
// action) to the target or, without one, the first responder. Its "color" key answers the colour, as receivers
// of changeColor: read it from the sender.
class ColorPanel : public Window {
    FND_OBJECT(ColorPanel)
    static void describeClass(fnd::ClassBuilder<ColorPanel>& c);

public:
    ColorPanel() = default;
    static std::shared_ptr<ColorPanel> sharedColorPanel();
    static bool sharedColorPanelExists();
    // A panel serves the main window: it never becomes the main window itself.
    bool canBecomeMainWindow() const override { return false; }

    const gfx::ColorPtr& color() const { return m_color; }
    // Shows the colour; nothing is sent.
    void setColor(gfx::ColorPtr color);
    double alpha() const;
    bool showsAlpha() const { return m_showsAlpha; }
    void setShowsAlpha(bool flag);
    ColorPanelMode mode() const { return m_mode; }
    void setMode(ColorPanelMode mode);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool flag) { m_continuous = flag; }
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }
    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }

    // Parts, for tests and the curious.
    const std::shared_ptr<detail::ColorWheelView>& wheel() const { return m_wheel; }
    // The sliders of the mode shown, in order (grey; R G B; C M Y K; H S B; the wheel: brightness).
    const std::vector<std::shared_ptr<detail::ColorChannelSlider>>& channelSliders() const { return m_channels; }
    const std::vector<std::shared_ptr<TextField>>& channelFields() const { return m_fields; }
    const std::shared_ptr<detail::ColorChannelSlider>& opacitySlider() const { return m_opacity; }
    const std::shared_ptr<TextField>& hexField() const { return m_hexField; }
    const std::shared_ptr<SegmentedControl>& modeControl() const { return m_modeControl; }
    const std::shared_ptr<PopUpButton>& sliderModePopUp() const { return m_sliderMode; }

    // Actions of the panel's controls.
    void modeChanged(const fnd::Value& sender);
    void hexFieldChanged(const fnd::Value& sender);
    void channelFieldChanged(const fnd::Value& sender);
    void orderFrontColorPanel(const fnd::Value& sender);

private:
    void init();
    void build();
    void layoutPanel();
    // The channels' values (0..1) for the colour in the shown mode.
    std::vector<double> channelValues() const;
    gfx::ColorPtr colorFromChannels(const std::vector<double>& values, double alpha) const;
    void showColor();
    // The person changed the colour: show it, and send it when continuous or done.
    // Whether a chosen colour brings its own hue (RGB, CMYK, grey, hex) or was made from the panel's (wheel, HSB).
    enum class HueSource { OfColor, Kept };
    void colorChosen(gfx::ColorPtr color, detail::ColorChange change, HueSource hue);
    void takeHueOfColor();
    HueSource hueSourceOfChannels() const;
    void sendColor();

    gfx::ColorPtr m_color { gfx::Color::whiteColor() };
    // Hue is kept apart: at no saturation the colour alone forgets it.
    double m_hue { 0 };
    bool m_showsAlpha { false };
    ColorPanelMode m_mode { ColorPanelMode::Wheel };
    bool m_continuous { true };
    fnd::Selector m_action { "changeColor:" };
    std::weak_ptr<fnd::Object> m_target;

    std::shared_ptr<SegmentedControl> m_modeControl;
    std::shared_ptr<PopUpButton> m_sliderMode;
    std::shared_ptr<detail::ColorWheelView> m_wheel;
    std::vector<std::shared_ptr<detail::ColorChannelSlider>> m_channels;
    std::vector<std::shared_ptr<TextField>> m_labels;
    std::vector<std::shared_ptr<TextField>> m_fields;
    std::shared_ptr<detail::ColorChannelSlider> m_opacity;
    std::shared_ptr<TextField> m_opacityLabel;
    std::shared_ptr<TextField> m_opacityField;
    std::shared_ptr<TextField> m_hexLabel;
    std::shared_ptr<TextField> m_hexField;
    std::shared_ptr<detail::ColorSwatchView> m_swatch;
};

}
