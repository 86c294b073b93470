#include "platform/ui/panels/detail/ColorPanelViews.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/accessibility/AccessibilityValueText.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ui::detail {

namespace {

// Runs the mouse loop of a picker until the button goes up, telling each position.
template <typename Pick> void trackMouse(View& view, const Event& event, Pick pick)
{
    auto self = view.shared_from_this();
    pick(view.convertPointFromView(event.locationInWindow(), nullptr), ColorChange::Dragging);
    for (;;) {
        auto next = Application::shared().nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        auto p = view.convertPointFromView(next->locationInWindow(), nullptr);
        if (next->type() == EventType::LeftMouseUp) {
            pick(p, ColorChange::Done);
            return;
        }
        pick(p, ColorChange::Dragging);
    }
}

void drawCheckerboard(gfx::Rect r)
{
    gfx::Color::whiteColor()->setFill();
    gfx::BezierPath::fillRect(r);
    gfx::Color::colorWithCalibratedWhite(0.8)->setFill();
    constexpr double Square = 6;
    for (double y = r.minY(); y < r.maxY(); y += Square) {
        for (double x = r.minX() + (int((y - r.minY()) / Square) % 2) * Square; x < r.maxX(); x += 2 * Square)
            gfx::BezierPath::fillRect(gfx::intersectionRect({ x, y, Square, Square }, r));
    }
}

}

// The wheel.

FND_REGISTER_CLASS(ColorWheelView, View)

std::shared_ptr<ColorWheelView> ColorWheelView::create(gfx::Rect frame)
{
    return ui::makeView<ColorWheelView>(frame);
}

double ColorWheelView::radius() const
{
    return std::floor(std::min(bounds().width(), bounds().height()) / 2) - 2;
}

void ColorWheelView::setHueSaturation(double hue, double saturation)
{
    hue = std::clamp(hue, 0.0, 1.0);
    saturation = std::clamp(saturation, 0.0, 1.0);
    if (hue == m_hue && saturation == m_saturation)
        return;
    m_hue = hue;
    m_saturation = saturation;
    setNeedsDisplay(true);
    if (isAccessibilityObserved())
        for (long part = 0; part < 2; ++part)
            accessibilityPostNotification(m_accessibilityParts.element(*this, part, 2, AccessibilityRole::Slider),
                AccessibilityNotification::ValueChanged);
}

void ColorWheelView::setBrightness(double brightness)
{
    if (brightness == m_brightness)
        return;
    m_brightness = brightness;
    setNeedsDisplay(true);
}

gfx::Point ColorWheelView::pointFor(double hue, double saturation) const
{
    // Flipped: up on the screen is −y, so hue turns counter-clockwise as seen.
    double angle = hue * 2 * std::numbers::pi;
    auto c = center();
    return { c.x + std::cos(angle) * saturation * radius(), c.y - std::sin(angle) * saturation * radius() };
}

void ColorWheelView::pick(gfx::Point p, ColorChange change)
{
    auto c = center();
    double dx = p.x - c.x, dy = c.y - p.y;
    double angle = std::atan2(dy, dx);
    if (angle < 0)
        angle += 2 * std::numbers::pi;
    double saturation = std::min(1.0, std::hypot(dx, dy) / radius());
    setHueSaturation(angle / (2 * std::numbers::pi), saturation);
    if (onChange)
        onChange(m_hue, m_saturation, change);
}

void ColorWheelView::mouseDown(const Event& event)
{
    trackMouse(*this, event, [this](gfx::Point p, ColorChange change) { pick(p, change); });
}

namespace {

namespace ColorViewsAttr = AccessibilityAttribute;
using ColorViewsKey = AccessibilityAttributeKey;

// The wheel's two sliders: hue in degrees, saturation in per cent; the arrows step by a twenty-fourth of a turn and
// by five per cent.
constexpr double ColorWheelPartMaximum[] = { 360, 100 };
constexpr double ColorWheelPartStep[] = { 15, 5 };

}

std::vector<fnd::String> ColorWheelView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { ColorViewsAttr::Children, ColorViewsAttr::Description });
    return names;
}

fnd::Value ColorWheelView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case ColorViewsKey::Role:
        return AccessibilityRole::Group;
    case ColorViewsKey::Description:
        return panelText("Colour wheel", "Colour wheel");
    case ColorViewsKey::Children:
        return m_accessibilityParts.elements(*this, 2, AccessibilityRole::Slider);
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

fnd::Value ColorWheelView::accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const
{
    if (part > 1)
        return {};
    switch (key) {
    case ColorViewsKey::Title:
        return part == 0 ? panelText("Hue", "Hue") : panelText("Saturation", "Saturation");
    case ColorViewsKey::Value:
        return std::round((part == 0 ? m_hue : m_saturation) * ColorWheelPartMaximum[part]);
    case ColorViewsKey::MinValue:
        return 0.0;
    case ColorViewsKey::MaxValue:
        return ColorWheelPartMaximum[part];
    case ColorViewsKey::Enabled:
        return true;
    case ColorViewsKey::Position:
    case ColorViewsKey::Size: {
        // Both stand for the whole disk.
        auto onScreen = accessibilityFrameOnScreen();
        return key == ColorViewsKey::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    default:
        return {};
    }
}

bool ColorWheelView::accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const
{
    return part <= 1 && key == ColorViewsKey::Value;
}

void ColorWheelView::accessibilityPartSetValue(long part, AccessibilityAttributeKey key, const fnd::Value& value)
{
    if (key == ColorViewsKey::Value && value.isNumber())
        pickPart(part, value.doubleValue());
}

std::vector<fnd::String> ColorWheelView::accessibilityPartActionNames(long part) const
{
    if (part > 1)
        return {};
    return { AccessibilityAction::Increment, AccessibilityAction::Decrement };
}

void ColorWheelView::accessibilityPartPerformAction(long part, const fnd::String& action)
{
    if (part > 1)
        return;
    const double current = (part == 0 ? m_hue : m_saturation) * ColorWheelPartMaximum[part];
    if (action == AccessibilityAction::Increment)
        pickPart(part, current + ColorWheelPartStep[part]);
    else if (action == AccessibilityAction::Decrement)
        pickPart(part, current - ColorWheelPartStep[part]);
}

void ColorWheelView::pickPart(long part, double value)
{
    if (part > 1 || !std::isfinite(value))
        return;
    auto self = shared_from_this();
    const double fraction = std::clamp(value / ColorWheelPartMaximum[part], 0.0, 1.0);
    setHueSaturation(part == 0 ? fraction : m_hue, part == 1 ? fraction : m_saturation);
    if (onChange)
        onChange(m_hue, m_saturation, ColorChange::Done);
}

void ColorWheelView::drawRect(gfx::Rect)
{
    double r = radius();
    int side = int(2 * r);
    if (side <= 0)
        return;
    if (!m_disk || m_diskBrightness != m_brightness || m_disk->pixelsWide() != side) {
        // Every pixel's hue and saturation, computed once per brightness.
        m_disk = gfx::BitmapImageRep::create(side, side, gfx::BitmapLayout::ARGB32Premultiplied);
        if (!m_disk)
            return;
        m_diskBrightness = m_brightness;
        auto pixels = m_disk->pixelBuffer();
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                double dx = x + 0.5 - r, dy = r - (y + 0.5);
                double distance = std::hypot(dx, dy);
                // A one-pixel soft edge.
                double coverage = std::clamp(r - distance + 0.5, 0.0, 1.0);
                if (coverage <= 0) {
                    pixels.row(y)[x] = 0;
                    continue;
                }
                double angle = std::atan2(dy, dx);
                if (angle < 0)
                    angle += 2 * std::numbers::pi;
                auto rgb = gfx::Color::colorWithCalibratedHue(
                    angle / (2 * std::numbers::pi), std::min(1.0, distance / r), m_brightness)
                               ->rgba();
                auto channel = [&](double v) { return std::uint32_t(std::lround(v * coverage * 255)); };
                pixels.row(y)[x]
                    = (channel(1) << 24) | (channel(rgb[0]) << 16) | (channel(rgb[1]) << 8) | channel(rgb[2]);
            }
        }
        m_disk->setSize({ double(side), double(side) });
        m_diskImage = gfx::Image::imageWithRepresentation(m_disk);
    }
    auto c = center();
    m_diskImage->drawInRect(
        { c.x - r, c.y - r, double(side), double(side) }, {}, gfx::CompositingOperation::SourceOver, 1, true);
    // The marker: a ring that stays visible on light and dark colours.
    auto p = pointFor(m_hue, m_saturation);
    auto ring = gfx::BezierPath::bezierPathWithOvalInRect({ p.x - 5, p.y - 5, 10, 10 });
    ring->setLineWidth(3);
    gfx::Color::colorWithCalibratedWhite(0, 0.6)->setStroke();
    ring->stroke();
    ring->setLineWidth(1.5);
    gfx::Color::whiteColor()->setStroke();
    ring->stroke();
}

// A channel.

FND_REGISTER_CLASS(ColorChannelSlider, View)

std::shared_ptr<ColorChannelSlider> ColorChannelSlider::create(gfx::Rect frame)
{
    return ui::makeView<ColorChannelSlider>(frame);
}

void ColorChannelSlider::setValue(double value)
{
    value = std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0);
    if (value == m_value)
        return;
    m_value = value;
    setNeedsDisplay(true);
    accessibilityPostNotification(*this, AccessibilityNotification::ValueChanged);
}

void ColorChannelSlider::take(double value)
{
    auto self = shared_from_this();
    setValue(value);
    if (onChange)
        onChange(m_value, ColorChange::Done);
}

std::vector<fnd::String> ColorChannelSlider::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names,
        { ColorViewsAttr::Value, ColorViewsAttr::MinValue, ColorViewsAttr::MaxValue, ColorViewsAttr::Orientation });
    return names;
}

fnd::Value ColorChannelSlider::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case ColorViewsKey::Role:
        return AccessibilityRole::Slider;
    case ColorViewsKey::Value:
        return m_value;
    case ColorViewsKey::MinValue:
        return 0.0;
    case ColorViewsKey::MaxValue:
        return 1.0;
    case ColorViewsKey::Orientation:
        return AccessibilityOrientation::Horizontal;
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

bool ColorChannelSlider::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return accessibilityAttributeKey(attribute) == ColorViewsKey::Value
        || View::accessibilityIsAttributeSettable(attribute);
}

void ColorChannelSlider::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (accessibilityAttributeKey(attribute) != ColorViewsKey::Value) {
        View::accessibilitySetValue(value, attribute);
        return;
    }
    if (value.isNumber() && std::isfinite(value.doubleValue()))
        take(value.doubleValue());
}

std::vector<fnd::String> ColorChannelSlider::accessibilityActionNames() const
{
    return { AccessibilityAction::Increment, AccessibilityAction::Decrement };
}

void ColorChannelSlider::accessibilityPerformAction(const fnd::String& action)
{
    // A twentieth of the track, as the platform's sliders step.
    constexpr double Step = 0.05;
    if (action == AccessibilityAction::Increment)
        take(m_value + Step);
    else if (action == AccessibilityAction::Decrement)
        take(m_value - Step);
}

void ColorChannelSlider::setColorAt(std::function<gfx::ColorPtr(double)> colorAt)
{
    m_colorAt = std::move(colorAt);
    setNeedsDisplay(true);
}

gfx::Rect ColorChannelSlider::trackRect() const
{
    auto b = bounds();
    return { b.minX() + 7, std::round(b.midY() - 5), b.width() - 14, 10 };
}

double ColorChannelSlider::valueAt(gfx::Point p) const
{
    auto t = trackRect();
    return t.width() > 0 ? std::clamp((p.x - t.minX()) / t.width(), 0.0, 1.0) : 0.0;
}

void ColorChannelSlider::mouseDown(const Event& event)
{
    trackMouse(*this, event, [this](gfx::Point p, ColorChange change) {
        setValue(valueAt(p));
        if (onChange)
            onChange(m_value, change);
    });
}

void ColorChannelSlider::drawRect(gfx::Rect)
{
    auto t = trackRect();
    auto track = gfx::BezierPath::bezierPathWithRoundedRect(t, 5, 5);
    {
        gfx::GraphicsStateGuard guard;
        track->addClip();
        drawCheckerboard(t);
        if (m_colorAt) {
            constexpr int Stops = 16;
            std::vector<gfx::GradientStop> stops;
            for (int i = 0; i <= Stops; ++i) {
                double v = double(i) / Stops;
                auto c = m_colorAt(v);
                stops.push_back({ v, c ? c->rgba() : std::array<double, 4> { 0, 0, 0, 1 } });
            }
            if (auto* context = gfx::GraphicsContext::current())
                context->drawLinearGradient(stops, { t.minX(), t.midY() }, { t.maxX(), t.midY() }, 0);
        }
    }
    ControlLook::borderColor()->setStroke();
    gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(t, 0.5, 0.5), 4.5, 4.5)->stroke();
    double x = t.minX() + m_value * t.width();
    ControlLook::drawKnob({ std::round(x - 7), std::round(t.midY() - 7), 14, 14 }, false, true);
}

// The swatch.

FND_REGISTER_CLASS(ColorSwatchView, View)

std::shared_ptr<ColorSwatchView> ColorSwatchView::create(gfx::Rect frame)
{
    return ui::makeView<ColorSwatchView>(frame);
}

void ColorSwatchView::setColor(gfx::ColorPtr color)
{
    if (color == m_color || (color && m_color && color->isEqual(*m_color)))
        return;
    m_color = std::move(color);
    setNeedsDisplay(true);
    accessibilityPostNotification(*this, AccessibilityNotification::ValueChanged);
}

std::vector<fnd::String> ColorSwatchView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { ColorViewsAttr::Value, ColorViewsAttr::ValueDescription });
    return names;
}

fnd::Value ColorSwatchView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case ColorViewsKey::Role:
        return AccessibilityRole::ColorWell;
    case ColorViewsKey::Value:
    case ColorViewsKey::ValueDescription: {
        auto words = m_color ? accessibilityColorDescription(*m_color) : fnd::String();
        return words.isEmpty() ? fnd::Value() : fnd::Value(words);
    }
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

void ColorSwatchView::drawRect(gfx::Rect)
{
    auto b = bounds();
    auto shape = gfx::BezierPath::bezierPathWithRoundedRect(b, 4, 4);
    {
        gfx::GraphicsStateGuard guard;
        shape->addClip();
        drawCheckerboard(b);
        if (m_color) {
            m_color->setFill();
            gfx::BezierPath::fillRect(b);
        }
    }
    ControlLook::borderColor()->setStroke();
    gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(b, 0.5, 0.5), 3.5, 3.5)->stroke();
}

}
