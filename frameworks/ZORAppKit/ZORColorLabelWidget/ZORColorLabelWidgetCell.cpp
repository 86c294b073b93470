#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelWidgetCell.h"

#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelColors.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/views/View.h"

#include <algorithm>
#include <cmath>
#include <mutex>

FND_REGISTER_CLASS(ZORColorLabelWidgetCell, ui::ActionCell)

namespace {

constexpr double DotRadius = 4;
constexpr double DisabledAlpha = 0.4;

struct RingColours {
    std::mutex mutex;
    gfx::ColorPtr border;
    gfx::ColorPtr fill;
    bool observing { false };
};

RingColours& ringColours()
{
    static RingColours colours;
    return colours;
}

// Built on first use and dropped when the system's colours change, so the next drawing takes the new variant.
void ensureRingColours()
{
    auto& colours = ringColours();
    std::lock_guard guard(colours.mutex);
    if (!colours.observing) {
        colours.observing = true;
        fnd::NotificationCenter::defaultCenter().addObserverForName(
            ui::SystemColorsDidChangeNotification, {}, [](const fnd::Notification&) {
                auto& c = ringColours();
                std::lock_guard again(c.mutex);
                c.border = c.fill = nullptr;
            });
    }
    if (colours.border)
        return;
    auto rgb = [](int r, int g, int b, double a) {
        return gfx::Color::colorWithCalibratedRed(r / 255.0, g / 255.0, b / 255.0, a);
    };
    const bool graphite = fnd::UserDefaults::standardUserDefaults().integerForKey("AppleAquaColorVariant") == 6;
    colours.border = graphite ? rgb(155, 165, 172, 1) : rgb(96, 143, 192, 1);
    colours.fill = graphite ? rgb(188, 195, 201, 0.75) : rgb(111, 166, 223, 0.75);
}

// A real number's label type: its integer part, clamped as the integer setter clamps. The clamp comes first, so a
// number beyond any integer (a huge drag position, a stored 1e300) is never converted out of range.
std::int64_t colorLabelTypeForDouble(double value)
{
    if (std::isnan(value))
        return -1;
    return static_cast<std::int64_t>(std::trunc(std::clamp(value, -1.0, 7.0)));
}

// An object value's label type: a number or string's integer value, except that not a number names no label, as
// anything else that is no number does, and as it does when set as a real.
std::int64_t colorLabelTypeForValue(const fnd::Value& value)
{
    if (value.isNumber() && std::isnan(value.doubleValue()))
        return -1;
    return value.integerValue();
}

std::shared_ptr<gfx::Image> crossImage()
{
    static const auto image = [] {
        auto bundle = ZORNSObject_Extension::bundle(ZORColorLabelWidgetCell::staticClassInfo());
        return bundle ? gfx::Image::imageForResource(*bundle, "ColorLabelCross") : nullptr;
    }();
    return image;
}

}

void ZORColorLabelWidgetCell::init()
{
    setUp();
    setIntegerValue(0);
}

void ZORColorLabelWidgetCell::initTextCell(const fnd::String& string)
{
    ui::ActionCell::initTextCell(string);
    setUp();
    setStringValue(string);
}

void ZORColorLabelWidgetCell::setUp()
{
    ui::ActionCell::setShowsFirstResponder(true);
    ui::ActionCell::setRefusesFirstResponder(false);
    ui::ActionCell::setContinuous(true);
    sendActionOn(ui::EventMasks::LeftMouseDown | ui::EventMasks::LeftMouseDragged);
}

gfx::ColorPtr ZORColorLabelWidgetCell::borderColor()
{
    ensureRingColours();
    std::lock_guard guard(ringColours().mutex);
    return ringColours().border;
}

gfx::ColorPtr ZORColorLabelWidgetCell::fillColor()
{
    ensureRingColours();
    std::lock_guard guard(ringColours().mutex);
    return ringColours().fill;
}

void ZORColorLabelWidgetCell::setIntegerValue(std::int64_t value)
{
    value = std::clamp<std::int64_t>(value, -1, 7);
    m_colorLabelType = value;
    noteChanged();
}

void ZORColorLabelWidgetCell::setObjectValue(const fnd::Value& value)
{
    if (value.isArray()) {
        const auto& items = *value.array();
        std::int64_t type = -1;
        if (!items.empty()
            && std::all_of(items.begin(), items.end(), [&](const fnd::Value& v) { return v == items[0]; }))
            type = colorLabelTypeForValue(items[0]);
        setIntegerValue(type);
        return;
    }
    if (value.isString() || value.isNumber())
        setIntegerValue(colorLabelTypeForValue(value));
    else
        setIntegerValue(-1);
}

fnd::String ZORColorLabelWidgetCell::stringValue() const
{
    return fnd::Value(m_colorLabelType).stringValue();
}

void ZORColorLabelWidgetCell::setStringValue(const fnd::String& string)
{
    setIntegerValue(string.integerValue());
}

void ZORColorLabelWidgetCell::setDoubleValue(double value)
{
    setIntegerValue(colorLabelTypeForDouble(value));
}

int ZORColorLabelWidgetCell::compare(const fnd::Value& other) const
{
    const std::int64_t theirs = other.integerValue();
    return m_colorLabelType > theirs ? 1 : m_colorLabelType < theirs ? -1 : 0;
}

void ZORColorLabelWidgetCell::drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const bool flipped = controlView.isFlipped();
    // Points of the cell measured from its top-left corner (the control is flipped; a plain view is not).
    auto at = [&](double x, double y) {
        return gfx::Point { frame.minX() + x, flipped ? frame.minY() + y : frame.maxY() - y };
    };
    auto slot = [&](double x, double y, double w, double h) {
        auto corner = at(x, flipped ? y : y + h);
        return gfx::Rect { corner.x, corner.y, w, h };
    };
    context->saveGraphicsState();
    if (m_colorLabelType != -1 && isEnabled()) {
        // The highlight ring behind the selected slot.
        const gfx::Rect ring = gfx::insetRect(slot(SlotWidth * m_colorLabelType, 0, SlotWidth, SlotWidth), 0.5, 0.5);
        auto path = gfx::BezierPath::bezierPathWithRoundedRect(ring, 3, 3);
        context->setFillColor(*fillColor());
        path->fill();
        context->setStrokeColor(*borderColor());
        path->setLineWidth(1);
        path->stroke();
    }
    if (auto cross = crossImage())
        cross->drawInRect(slot(0, 0, SlotWidth, SlotWidth), {}, gfx::CompositingOperation::SourceOver,
            isEnabled() ? 1.0 : DisabledAlpha, true);
    for (int i = 1; i <= 7; ++i) {
        auto colour = ZORColorLabelColors::getLabelColorAtindex(i);
        if (!isEnabled())
            colour = colour->colorWithAlphaComponent(DisabledAlpha);
        const auto centre = at(8 + SlotWidth * i, 8);
        auto dot = gfx::BezierPath::bezierPathWithOvalInRect(
            { centre.x - DotRadius, centre.y - DotRadius, 2 * DotRadius, 2 * DotRadius });
        context->setFillColor(*colour);
        dot->fill();
        context->setStrokeColor(isEnabled() ? *gfx::Color::blackColor() : *gfx::Color::grayColor());
        dot->setLineWidth(1);
        dot->stroke();
    }
    context->restoreGraphicsState();
}

void ZORColorLabelWidgetCell::pickAt(gfx::Point point, ui::View& controlView)
{
    // Measured from the cell's own left edge, wherever the cell lies in its view.
    const double x = point.x - m_trackingFrame.minX();
    setIntegerValue(colorLabelTypeForDouble(x / SlotWidth));
    auto control = std::static_pointer_cast<fnd::Object>(controlView.shared_from_this());
    if (control->infoForBinding("value"))
        ZORNSObject_Extension::propagateValue(*control, objectValue(), "value");
}

bool ZORColorLabelWidgetCell::trackMouse(
    const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp)
{
    m_trackingFrame = cellFrame;
    // Before the base sends the mouse-down action, so the action carries the label just clicked.
    pickAt(controlView.convertPointFromView(event.locationInWindow(), nullptr), controlView);
    return ui::ActionCell::trackMouse(event, cellFrame, controlView, untilMouseUp);
}

bool ZORColorLabelWidgetCell::startTrackingAt(gfx::Point, ui::View&)
{
    return true;
}

bool ZORColorLabelWidgetCell::continueTracking(gfx::Point, gfx::Point currentPoint, ui::View& controlView)
{
    pickAt(currentPoint, controlView);
    return true;
}

void ZORColorLabelWidgetCell::stopTracking(gfx::Point lastPoint, gfx::Point stopPoint, ui::View& controlView, bool)
{
    if (stopPoint != lastPoint)
        pickAt(stopPoint, controlView);
}

void ZORColorLabelWidgetCell::encodeWithCoder(fnd::Coder& coder) const
{
    ui::ActionCell::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeInt64(m_colorLabelType, "_colorLabelType");
}

bool ZORColorLabelWidgetCell::initWithCoder(fnd::Coder& coder)
{
    if (!ui::ActionCell::initWithCoder(coder))
        return false;
    setUp();
    if (coder.allowsKeyedCoding())
        setIntegerValue(coder.decodeInt64ForKey("_colorLabelType"));
    return true;
}
