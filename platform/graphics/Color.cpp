#include "platform/graphics/Color.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/GraphicsContext.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>

namespace gfx {

FND_REGISTER_CLASS(Color, fnd::Object)

namespace {

double clamp01(double v)
{
    return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
}

// Grey from RGB by the Rec. 601 luma weights.
double lumaOf(double r, double g, double b)
{
    return 0.299 * r + 0.587 * g + 0.114 * b;
}

std::array<double, 4> hsbFromRGB(double r, double g, double b, double a)
{
    double mx = std::max({ r, g, b });
    double mn = std::min({ r, g, b });
    double d = mx - mn;
    double h = 0;
    if (d > 0) {
        if (mx == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (mx == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
    }
    double s = mx > 0 ? d / mx : 0;
    return { h, s, mx, a };
}

std::array<double, 3> rgbFromHSB(double h, double s, double v)
{
    double hh = std::fmod(h, 1.0) * 6;
    if (hh < 0)
        hh += 6;
    int i = static_cast<int>(std::floor(hh)) % 6;
    double f = hh - std::floor(hh);
    double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return { v, t, p };
    case 1:
        return { q, v, p };
    case 2:
        return { p, v, t };
    case 3:
        return { p, q, v };
    case 4:
        return { t, p, v };
    default:
        return { v, p, q };
    }
}

// One system or plain colour: grey when g >= 0, else RGB.
struct NamedColor {
    std::string_view name;
    double r, g, b, a;
    bool grey;
};

// Our light look. Greys are calibrated white, the rest calibrated RGB.
constexpr NamedColor NamedColors[] = {
    { "blackColor", 0, 0, 0, 1, true },
    { "whiteColor", 1, 1, 1, 1, true },
    { "clearColor", 0, 0, 0, 0, true },
    { "darkGrayColor", 1.0 / 3.0, 0, 0, 1, true },
    { "grayColor", 0.5, 0, 0, 1, true },
    { "lightGrayColor", 2.0 / 3.0, 0, 0, 1, true },
    { "redColor", 1, 0, 0, 1, false },
    { "greenColor", 0, 1, 0, 1, false },
    { "blueColor", 0, 0, 1, 1, false },
    { "cyanColor", 0, 1, 1, 1, false },
    { "magentaColor", 1, 0, 1, 1, false },
    { "yellowColor", 1, 1, 0, 1, false },
    { "orangeColor", 1, 0.5, 0, 1, false },
    { "purpleColor", 0.5, 0, 0.5, 1, false },
    { "brownColor", 0.6, 0.4, 0.2, 1, false },
    { "controlColor", 0.929, 0, 0, 1, true },
    { "controlBackgroundColor", 1, 0, 0, 1, true },
    { "controlTextColor", 0, 0, 0, 1, true },
    { "disabledControlTextColor", 0, 0, 0, 0.25, true },
    { "controlShadowColor", 0.5, 0, 0, 1, true },
    { "controlDarkShadowColor", 1.0 / 3.0, 0, 0, 1, true },
    { "controlHighlightColor", 0.898, 0, 0, 1, true },
    { "controlLightHighlightColor", 1, 0, 0, 1, true },
    { "gridColor", 0.8, 0, 0, 1, true },
    { "textColor", 0, 0, 0, 1, true },
    { "textBackgroundColor", 1, 0, 0, 1, true },
    { "selectedTextColor", 0, 0, 0, 1, true },
    { "selectedTextBackgroundColor", 0.702, 0.843, 1, 1, false },
    { "selectedControlColor", 0.702, 0.843, 1, 1, false },
    { "selectedControlTextColor", 0, 0, 0, 1, true },
    { "alternateSelectedControlColor", 0.0, 0.388, 0.882, 1, false },
    { "alternateSelectedControlTextColor", 1, 0, 0, 1, true },
    { "secondarySelectedControlColor", 0.863, 0, 0, 1, true },
    { "keyboardFocusIndicatorColor", 0.231, 0.6, 0.988, 1, false },
    { "windowBackgroundColor", 0.925, 0, 0, 1, true },
    { "windowFrameColor", 2.0 / 3.0, 0, 0, 1, true },
    { "windowFrameTextColor", 0, 0, 0, 1, true },
    { "headerColor", 1, 0, 0, 1, true },
    { "headerTextColor", 0, 0, 0, 1, true },
    { "highlightColor", 1, 0, 0, 1, true },
    { "shadowColor", 0, 0, 0, 1, true },
    { "labelColor", 0, 0, 0, 0.85, true },
    { "separatorColor", 0, 0, 0, 0.1, true },
    { "selectedMenuItemColor", 0.0, 0.388, 0.882, 1, false },
    { "selectedMenuItemTextColor", 1, 0, 0, 1, true },
    { "knobColor", 0.5, 0, 0, 1, true },
    { "scrollBarColor", 2.0 / 3.0, 0, 0, 1, true },
};

}

Color::Color()
    : m_spaceName(&ColorSpaceName::CalibratedWhite)
{
}

ColorPtr Color::make(Model model, const fnd::String& space, std::initializer_list<double> components, double alpha)
{
    auto c = std::make_shared<Color>();
    c->m_model = model;
    c->m_spaceName = &space;
    std::size_t i = 0;
    for (double v : components)
        c->m_c[i++] = clamp01(v);
    c->m_alpha = clamp01(alpha);
    return c;
}

ColorPtr Color::colorWithCalibratedRed(double r, double g, double b, double a)
{
    return make(Model::RGB, ColorSpaceName::CalibratedRGB, { r, g, b }, a);
}

ColorPtr Color::colorWithDeviceRed(double r, double g, double b, double a)
{
    return make(Model::RGB, ColorSpaceName::DeviceRGB, { r, g, b }, a);
}

ColorPtr Color::colorWithCalibratedWhite(double w, double a)
{
    return make(Model::Gray, ColorSpaceName::CalibratedWhite, { w }, a);
}

ColorPtr Color::colorWithDeviceWhite(double w, double a)
{
    return make(Model::Gray, ColorSpaceName::DeviceWhite, { w }, a);
}

ColorPtr Color::colorWithDeviceCyan(double c, double m, double y, double k, double a)
{
    return make(Model::CMYK, ColorSpaceName::DeviceCMYK, { c, m, y, k }, a);
}

ColorPtr Color::colorWithCalibratedHue(double h, double s, double b, double a)
{
    auto rgb = rgbFromHSB(clamp01(h), clamp01(s), clamp01(b));
    return colorWithCalibratedRed(rgb[0], rgb[1], rgb[2], a);
}

ColorPtr Color::colorWithDeviceHue(double h, double s, double b, double a)
{
    auto rgb = rgbFromHSB(clamp01(h), clamp01(s), clamp01(b));
    return colorWithDeviceRed(rgb[0], rgb[1], rgb[2], a);
}

ColorPtr Color::colorWithPatternImage(std::shared_ptr<const PatternImage> image)
{
    if (!image)
        return nullptr;
    auto c = std::make_shared<Color>();
    c->m_model = Model::Pattern;
    c->m_spaceName = &ColorSpaceName::Pattern;
    c->m_pattern = std::move(image);
    return c;
}

namespace {

struct SystemColorOverrides {
    std::mutex mutex;
    std::map<fnd::String, ColorPtr> colors;
    // Each named colour is made once, at its first use, as the prototype of what its accessor hands out: drawing and
    // editing text ask for several of them per keystroke.
    std::array<ColorPtr, std::size(NamedColors)> made;
};

SystemColorOverrides& overrides()
{
    static SystemColorOverrides table;
    return table;
}

}

void Color::setSystemColorOverride(const fnd::String& name, ColorPtr color)
{
    auto& table = overrides();
    std::lock_guard lock(table.mutex);
    if (color)
        table.colors[name] = std::move(color);
    else
        table.colors.erase(name);
}

ColorPtr Color::systemColorNamed(const fnd::String& name)
{
    {
        auto& table = overrides();
        std::lock_guard lock(table.mutex);
        if (auto it = table.colors.find(name); it != table.colors.end()) {
            auto c = std::make_shared<Color>(*it->second);
            c->m_name = name;
            return c;
        }
    }
    auto standard = namedColor(name.utf8());
    return standard ? std::make_shared<Color>(*standard) : nullptr;
}

ColorPtr Color::named(const char* name)
{
    // Overrides are rare: without one, the standard colour is copied from its prototype (callers may keep what they
    // get as their own: themes promise a new object per answer), with no name built to look up.
    bool overridden = false;
    {
        auto& table = overrides();
        std::lock_guard lock(table.mutex);
        overridden = !table.colors.empty();
    }
    if (overridden)
        return systemColorNamed(fnd::String(name));
    auto standard = namedColor(name);
    return standard ? std::make_shared<Color>(*standard) : nullptr;
}

ColorPtr Color::namedColor(std::string_view name)
{
    auto entry = std::ranges::find(NamedColors, name, &NamedColor::name);
    if (entry == std::end(NamedColors))
        return nullptr;
    auto& table = overrides();
    std::lock_guard lock(table.mutex);
    auto& made = table.made[std::size_t(entry - std::begin(NamedColors))];
    if (!made) {
        made = entry->grey ? colorWithCalibratedWhite(entry->r, entry->a)
                           : colorWithCalibratedRed(entry->r, entry->g, entry->b, entry->a);
        made->m_name = fnd::String(name);
    }
    return made;
}

ColorPtr Color::blackColor()
{
    return named("blackColor");
}
ColorPtr Color::whiteColor()
{
    return named("whiteColor");
}
ColorPtr Color::clearColor()
{
    return named("clearColor");
}
ColorPtr Color::darkGrayColor()
{
    return named("darkGrayColor");
}
ColorPtr Color::grayColor()
{
    return named("grayColor");
}
ColorPtr Color::lightGrayColor()
{
    return named("lightGrayColor");
}
ColorPtr Color::redColor()
{
    return named("redColor");
}
ColorPtr Color::greenColor()
{
    return named("greenColor");
}
ColorPtr Color::blueColor()
{
    return named("blueColor");
}
ColorPtr Color::cyanColor()
{
    return named("cyanColor");
}
ColorPtr Color::magentaColor()
{
    return named("magentaColor");
}
ColorPtr Color::yellowColor()
{
    return named("yellowColor");
}
ColorPtr Color::orangeColor()
{
    return named("orangeColor");
}
ColorPtr Color::purpleColor()
{
    return named("purpleColor");
}
ColorPtr Color::brownColor()
{
    return named("brownColor");
}
ColorPtr Color::controlColor()
{
    return named("controlColor");
}
ColorPtr Color::controlBackgroundColor()
{
    return named("controlBackgroundColor");
}
ColorPtr Color::controlTextColor()
{
    return named("controlTextColor");
}
ColorPtr Color::disabledControlTextColor()
{
    return named("disabledControlTextColor");
}
ColorPtr Color::controlShadowColor()
{
    return named("controlShadowColor");
}
ColorPtr Color::controlDarkShadowColor()
{
    return named("controlDarkShadowColor");
}
ColorPtr Color::controlHighlightColor()
{
    return named("controlHighlightColor");
}
ColorPtr Color::controlLightHighlightColor()
{
    return named("controlLightHighlightColor");
}
ColorPtr Color::gridColor()
{
    return named("gridColor");
}
ColorPtr Color::textColor()
{
    return named("textColor");
}
ColorPtr Color::textBackgroundColor()
{
    return named("textBackgroundColor");
}
ColorPtr Color::selectedTextColor()
{
    return named("selectedTextColor");
}
ColorPtr Color::selectedTextBackgroundColor()
{
    return named("selectedTextBackgroundColor");
}
ColorPtr Color::selectedControlColor()
{
    return named("selectedControlColor");
}
ColorPtr Color::selectedControlTextColor()
{
    return named("selectedControlTextColor");
}
ColorPtr Color::alternateSelectedControlColor()
{
    return named("alternateSelectedControlColor");
}
ColorPtr Color::alternateSelectedControlTextColor()
{
    return named("alternateSelectedControlTextColor");
}
ColorPtr Color::secondarySelectedControlColor()
{
    return named("secondarySelectedControlColor");
}
ColorPtr Color::keyboardFocusIndicatorColor()
{
    return named("keyboardFocusIndicatorColor");
}
ColorPtr Color::windowBackgroundColor()
{
    return named("windowBackgroundColor");
}
ColorPtr Color::windowFrameColor()
{
    return named("windowFrameColor");
}
ColorPtr Color::windowFrameTextColor()
{
    return named("windowFrameTextColor");
}
ColorPtr Color::headerColor()
{
    return named("headerColor");
}
ColorPtr Color::headerTextColor()
{
    return named("headerTextColor");
}
ColorPtr Color::highlightColor()
{
    return named("highlightColor");
}
ColorPtr Color::shadowColor()
{
    return named("shadowColor");
}
ColorPtr Color::labelColor()
{
    return named("labelColor");
}
ColorPtr Color::separatorColor()
{
    return named("separatorColor");
}
ColorPtr Color::selectedMenuItemColor()
{
    return named("selectedMenuItemColor");
}
ColorPtr Color::selectedMenuItemTextColor()
{
    return named("selectedMenuItemTextColor");
}
ColorPtr Color::knobColor()
{
    return named("knobColor");
}
ColorPtr Color::scrollBarColor()
{
    return named("scrollBarColor");
}

int Color::numberOfComponents() const
{
    switch (m_model) {
    case Model::Gray:
        return 2;
    case Model::RGB:
        return 4;
    case Model::CMYK:
        return 5;
    case Model::Pattern:
        return 0;
    }
    return 0;
}

std::optional<std::array<double, 4>> Color::rgbaIfAvailable() const
{
    switch (m_model) {
    case Model::Gray:
        return std::array { m_c[0], m_c[0], m_c[0], m_alpha };
    case Model::RGB:
        return std::array { m_c[0], m_c[1], m_c[2], m_alpha };
    case Model::CMYK: {
        double k = 1 - m_c[3];
        return std::array { (1 - m_c[0]) * k, (1 - m_c[1]) * k, (1 - m_c[2]) * k, m_alpha };
    }
    case Model::Pattern:
        return std::nullopt;
    }
    return std::nullopt;
}

std::array<double, 4> Color::rgba() const
{
    auto c = rgbaIfAvailable();
    if (!c)
        throw fnd::Exception::invalidArgument("A pattern colour has no colour components.");
    return *c;
}

double Color::whiteComponent() const
{
    if (m_model == Model::Gray)
        return m_c[0];
    auto c = rgba();
    return lumaOf(c[0], c[1], c[2]);
}

std::array<double, 4> Color::hsba() const
{
    auto c = rgba();
    return hsbFromRGB(c[0], c[1], c[2], c[3]);
}

std::array<double, 4> Color::cmyk() const
{
    if (m_model == Model::CMYK)
        return m_c;
    auto c = rgba();
    double k = 1 - std::max({ c[0], c[1], c[2] });
    if (k >= 1)
        return { 0, 0, 0, 1 };
    return { (1 - c[0] - k) / (1 - k), (1 - c[1] - k) / (1 - k), (1 - c[2] - k) / (1 - k), k };
}

ColorPtr Color::colorUsingColorSpaceName(const fnd::String& name) const
{
    if (m_model == Model::Pattern)
        return name == ColorSpaceName::Pattern ? std::make_shared<Color>(*this) : nullptr;
    if (name == colorSpaceName())
        return std::make_shared<Color>(*this);
    auto c = rgba();
    if (name == ColorSpaceName::CalibratedRGB)
        return colorWithCalibratedRed(c[0], c[1], c[2], m_alpha);
    if (name == ColorSpaceName::DeviceRGB)
        return colorWithDeviceRed(c[0], c[1], c[2], m_alpha);
    if (name == ColorSpaceName::CalibratedWhite)
        return colorWithCalibratedWhite(whiteComponent(), m_alpha);
    if (name == ColorSpaceName::DeviceWhite)
        return colorWithDeviceWhite(whiteComponent(), m_alpha);
    if (name == ColorSpaceName::DeviceCMYK) {
        auto k = cmyk();
        return colorWithDeviceCyan(k[0], k[1], k[2], k[3], m_alpha);
    }
    return nullptr;
}

ColorPtr Color::colorWithAlphaComponent(double alpha) const
{
    auto c = std::make_shared<Color>(*this);
    c->m_alpha = clamp01(alpha);
    c->m_name = {};
    return c;
}

ColorPtr Color::blendedColorWithFraction(double fraction, const Color& other) const
{
    auto a = rgbaIfAvailable();
    auto b = other.rgbaIfAvailable();
    if (!a || !b)
        return nullptr;
    double f = clamp01(fraction);
    auto mix = [&](int i) { return (*a)[i] * (1 - f) + (*b)[i] * f; };
    return colorWithCalibratedRed(mix(0), mix(1), mix(2), mix(3));
}

ColorPtr Color::highlightWithLevel(double level) const
{
    auto c = blendedColorWithFraction(level, *colorWithCalibratedWhite(1, m_alpha));
    return c;
}

ColorPtr Color::shadowWithLevel(double level) const
{
    auto c = blendedColorWithFraction(level, *colorWithCalibratedWhite(0, m_alpha));
    return c;
}

void Color::set() const
{
    if (auto* context = GraphicsContext::current()) {
        context->setFillColor(*this);
        context->setStrokeColor(*this);
    }
}

void Color::setFill() const
{
    if (auto* context = GraphicsContext::current())
        context->setFillColor(*this);
}

void Color::setStroke() const
{
    if (auto* context = GraphicsContext::current())
        context->setStrokeColor(*this);
}

bool Color::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const Color*>(&other);
    if (!o)
        return false;
    return m_model == o->m_model && colorSpaceName() == o->colorSpaceName() && m_c == o->m_c && m_alpha == o->m_alpha
        && m_pattern == o->m_pattern;
}

std::size_t Color::hash() const
{
    std::size_t h = static_cast<std::size_t>(m_model);
    for (double v : m_c)
        h = h * 31 + std::hash<double>()(v);
    return h * 31 + std::hash<double>()(m_alpha);
}

fnd::String Color::description() const
{
    switch (m_model) {
    case Model::Gray:
        return fnd::String(fmt::format("{} {} {}", colorSpaceName().utf8(), m_c[0], m_alpha));
    case Model::RGB:
        return fnd::String(fmt::format("{} {} {} {} {}", colorSpaceName().utf8(), m_c[0], m_c[1], m_c[2], m_alpha));
    case Model::CMYK:
        return fnd::String(
            fmt::format("{} {} {} {} {} {}", colorSpaceName().utf8(), m_c[0], m_c[1], m_c[2], m_c[3], m_alpha));
    case Model::Pattern:
        return fnd::String(fmt::format("{} {}", colorSpaceName().utf8(), static_cast<const void*>(m_pattern.get())));
    }
    return {};
}

}
