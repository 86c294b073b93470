#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>

namespace gfx {

class GraphicsContext;

// Anything that can serve as the tile of a pattern colour: the image classes implement it. The tile is drawn once
// per target into a surface of patternSize() points and repeated from the origin of the base space.
class PatternImage {
public:
    virtual ~PatternImage() = default;
    virtual Size patternSize() const = 0;
    // Draws the tile into (0, 0, patternSize()) of the current context.
    virtual void drawPatternTile(GraphicsContext& context) const = 0;
};

namespace ColorSpaceName {
inline const fnd::String CalibratedWhite = "NSCalibratedWhiteColorSpace";
inline const fnd::String CalibratedRGB = "NSCalibratedRGBColorSpace";
inline const fnd::String DeviceWhite = "NSDeviceWhiteColorSpace";
inline const fnd::String DeviceRGB = "NSDeviceRGBColorSpace";
inline const fnd::String DeviceCMYK = "NSDeviceCMYKColorSpace";
inline const fnd::String Pattern = "NSPatternColorSpace";
}

enum class ControlTint { Default = 0, Blue = 1, Graphite = 6, Clear = 7 };

class Color;
using ColorPtr = std::shared_ptr<Color>;

// An immutable colour. Calibrated and device spaces differ only in their name: both are drawn as the same sRGB
// values. Components are clamped to 0..1 on creation (NaN becomes 0).
//
// Archived with both coders as a colour-space number (1 calibrated RGB, 2 device RGB, 3 calibrated white, 4 device
// white, 5 device CMYK, 10 pattern) and the components as doubles in the space's order, alpha last; keyed under
// "NSColorSpace", "NSComponents" (an array of numbers) and, for system colours, "NSColorName". A pattern keeps its
// image ("NSImage") when the image is itself archivable, else it comes back as the clear colour.
class Color : public fnd::Object, public fnd::Coding {
    FND_OBJECT(Color)
public:
    enum class Model { Gray, RGB, CMYK, Pattern };

    Color();

    static ColorPtr colorWithCalibratedRed(double r, double g, double b, double a = 1);
    static ColorPtr colorWithDeviceRed(double r, double g, double b, double a = 1);
    static ColorPtr colorWithCalibratedWhite(double w, double a = 1);
    static ColorPtr colorWithDeviceWhite(double w, double a = 1);
    static ColorPtr colorWithGenericGray(double w, double a = 1) { return colorWithCalibratedWhite(w, a); }
    static ColorPtr colorWithDeviceCyan(double c, double m, double y, double k, double a = 1);
    // Hue as a fraction of the full circle.
    static ColorPtr colorWithCalibratedHue(double h, double s, double b, double a = 1);
    static ColorPtr colorWithDeviceHue(double h, double s, double b, double a = 1);
    static ColorPtr colorWithPatternImage(std::shared_ptr<const PatternImage> image);

    // Plain colours.
    static ColorPtr blackColor();
    static ColorPtr whiteColor();
    static ColorPtr clearColor();
    static ColorPtr darkGrayColor();
    static ColorPtr grayColor();
    static ColorPtr lightGrayColor();
    static ColorPtr redColor();
    static ColorPtr greenColor();
    static ColorPtr blueColor();
    static ColorPtr cyanColor();
    static ColorPtr magentaColor();
    static ColorPtr yellowColor();
    static ColorPtr orangeColor();
    static ColorPtr purpleColor();
    static ColorPtr brownColor();

    // System colours of the light look (values from our own table, see systemColorNamed).
    static ColorPtr controlColor();
    static ColorPtr controlBackgroundColor();
    static ColorPtr controlTextColor();
    static ColorPtr disabledControlTextColor();
    static ColorPtr controlShadowColor();
    static ColorPtr controlDarkShadowColor();
    static ColorPtr controlHighlightColor();
    static ColorPtr controlLightHighlightColor();
    static ColorPtr gridColor();
    static ColorPtr textColor();
    static ColorPtr textBackgroundColor();
    static ColorPtr selectedTextColor();
    static ColorPtr selectedTextBackgroundColor();
    static ColorPtr selectedControlColor();
    static ColorPtr selectedControlTextColor();
    static ColorPtr alternateSelectedControlColor();
    static ColorPtr alternateSelectedControlTextColor();
    static ColorPtr secondarySelectedControlColor();
    static ColorPtr keyboardFocusIndicatorColor();
    static ColorPtr windowBackgroundColor();
    static ColorPtr windowFrameColor();
    static ColorPtr windowFrameTextColor();
    static ColorPtr headerColor();
    static ColorPtr headerTextColor();
    static ColorPtr highlightColor();
    static ColorPtr shadowColor();
    static ColorPtr labelColor();
    static ColorPtr separatorColor();
    static ColorPtr selectedMenuItemColor();
    static ColorPtr selectedMenuItemTextColor();
    static ColorPtr knobColor();
    static ColorPtr scrollBarColor();
    // A system or plain colour by its method name ("controlShadowColor"); nullptr when there is none.
    static ColorPtr systemColorNamed(const fnd::String& name);
    // Gives a system colour another value (nullptr restores our table's). The user interface calls it when the
    // desktop's colours change, then tells everyone with its change notification.
    static void setSystemColorOverride(const fnd::String& name, ColorPtr color);
    static ControlTint currentControlTint() { return ControlTint::Blue; }

    Model model() const { return m_model; }
    const fnd::String& colorSpaceName() const { return *m_spaceName; }
    // The system colour's name, empty for others.
    const fnd::String& colorName() const { return m_name; }
    int numberOfComponents() const;

    // Conversions the platform allows: any space but a pattern converts to grey, RGB and CMYK. Asking a pattern
    // colour for components is a programming error and raises an invalid-argument exception.
    double redComponent() const { return rgba()[0]; }
    double greenComponent() const { return rgba()[1]; }
    double blueComponent() const { return rgba()[2]; }
    double alphaComponent() const { return m_alpha; }
    double whiteComponent() const;
    double hueComponent() const { return hsba()[0]; }
    double saturationComponent() const { return hsba()[1]; }
    double brightnessComponent() const { return hsba()[2]; }
    double cyanComponent() const { return cmyk()[0]; }
    double magentaComponent() const { return cmyk()[1]; }
    double yellowComponent() const { return cmyk()[2]; }
    double blackComponent() const { return cmyk()[3]; }
    std::array<double, 4> rgba() const;
    std::array<double, 4> hsba() const;
    std::array<double, 4> cmyk() const;
    // nullopt for a pattern colour.
    std::optional<std::array<double, 4>> rgbaIfAvailable() const;
    const std::shared_ptr<const PatternImage>& patternImage() const { return m_pattern; }

    // nullptr when the colour cannot be expressed there (a pattern) or the name is not a colour space we know.
    ColorPtr colorUsingColorSpaceName(const fnd::String& name) const;
    ColorPtr colorWithAlphaComponent(double alpha) const;
    // (1 − fraction)·self + fraction·other in calibrated RGB, alpha included; nullptr when either is a pattern.
    ColorPtr blendedColorWithFraction(double fraction, const Color& other) const;
    // Blended towards white or black by the level; the receiver's alpha is kept.
    ColorPtr highlightWithLevel(double level) const;
    ColorPtr shadowWithLevel(double level) const;

    // The colour for both fill and stroke of the current graphics context, or one of them.
    void set() const;
    void setFill() const;
    void setStroke() const;

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override;
    fnd::String description() const override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    static ColorPtr make(Model model, const fnd::String& space, std::initializer_list<double> components, double alpha);
    static ColorPtr named(const char* name);
    // The standard colour of the name (no override), made once and shared.
    static ColorPtr namedColor(std::string_view name);

    Model m_model { Model::Gray };
    const fnd::String* m_spaceName;
    std::array<double, 4> m_c {};
    double m_alpha { 1 };
    std::shared_ptr<const PatternImage> m_pattern;
    fnd::String m_name;
};

}
