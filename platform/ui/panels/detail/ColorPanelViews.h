#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/accessibility/AccessibilityPartElement.h"
#include "platform/ui/views/View.h"

#include <functional>

namespace gfx {
class BitmapImageRep;
class Image;
}

namespace ui::detail {

// Whether a change is one step of a drag or its end.
enum class ColorChange { Dragging, Done };

// The hue and saturation disk of the colour panel: hue runs round it (red to the right, counter-clockwise on the
// screen), saturation from the centre out; a click or drag picks both.
class ColorWheelView : public View, public AccessibilityPartOwner {
    FND_OBJECT(ColorWheelView)
public:
    static std::shared_ptr<ColorWheelView> create(gfx::Rect frame);

    double hue() const { return m_hue; }
    double saturation() const { return m_saturation; }
    void setHueSaturation(double hue, double saturation);
    // The disk is drawn at this brightness.
    void setBrightness(double brightness);
    // The point (this view's coordinates) that shows a hue and saturation.
    gfx::Point pointFor(double hue, double saturation) const;
    std::function<void(double hue, double saturation, ColorChange)> onChange;

    bool isFlipped() const override { return true; }
    // A panel's pickers work with the first click, whichever window is key.
    bool acceptsFirstMouse(const Event*) override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

    // Accessibility: a group named "Colour wheel" of two sliders, hue in degrees and saturation in per cent, which
    // assistive technologies read, set and step as the pointer picks.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const override;
    bool accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const override;
    void accessibilityPartSetValue(long part, AccessibilityAttributeKey key, const fnd::Value& value) override;
    std::vector<fnd::String> accessibilityPartActionNames(long part) const override;
    void accessibilityPartPerformAction(long part, const fnd::String& action) override;

private:
    // Sets hue (part 0, degrees) or saturation (part 1, per cent) as a pick does.
    void pickPart(long part, double value);
    void pick(gfx::Point point, ColorChange change);
    gfx::Point center() const { return { bounds().midX(), bounds().midY() }; }
    double radius() const;

    double m_hue { 0 };
    double m_saturation { 0 };
    double m_brightness { 1 };
    std::shared_ptr<gfx::BitmapImageRep> m_disk;
    std::shared_ptr<gfx::Image> m_diskImage;
    double m_diskBrightness { -1 };
    mutable AccessibilityParts m_accessibilityParts;
};

// One channel of a colour: a track showing the colours the channel runs through, and a knob at its value (0..1). A
// click or drag on the track sets the value.
class ColorChannelSlider : public View {
    FND_OBJECT(ColorChannelSlider)
public:
    static std::shared_ptr<ColorChannelSlider> create(gfx::Rect frame);

    double value() const { return m_value; }
    void setValue(double value);
    // The colour the track shows at a value, for the gradient.
    void setColorAt(std::function<gfx::ColorPtr(double)> colorAt);
    gfx::Rect trackRect() const;
    std::function<void(double value, ColorChange)> onChange;

    bool isFlipped() const override { return true; }
    bool acceptsFirstMouse(const Event*) override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

    // Accessibility: a slider from 0 to 1 (the panel names it); setting or stepping it is a change as a drag's end.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    double valueAt(gfx::Point point) const;
    void take(double value);

    double m_value { 0 };
    std::function<gfx::ColorPtr(double)> m_colorAt;
};

// The current colour, over a checkerboard where it is not opaque.
class ColorSwatchView : public View {
    FND_OBJECT(ColorSwatchView)
public:
    static std::shared_ptr<ColorSwatchView> create(gfx::Rect frame);
    void setColor(gfx::ColorPtr color);

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;

    // Accessibility: a colour well that cannot be pressed, its colour in words.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    gfx::ColorPtr m_color;
};

}
