#include "platform/ui/containers/RulerView.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace ui {

FND_REGISTER_CLASS(RulerMarker, fnd::Object)
FND_REGISTER_CLASS(RulerView, View)

namespace {

struct Unit {
    fnd::String abbreviation;
    double points;
    std::vector<double> stepUp;
    std::vector<double> stepDown;
};

std::map<fnd::String, Unit>& units()
{
    static std::map<fnd::String, Unit> table {
        { "Points", { "pt", 1, { 10 }, { 0.5, 0.2 } } },
        { "Inches", { "in", 72, { 2 }, { 0.5, 0.5, 0.5 } } },
        { "Centimeters", { "cm", 72 / 2.54, { 2 }, { 0.5, 0.2 } } },
        { "Picas", { "pc", 12, { 10 }, { 0.5 } } },
    };
    return table;
}

std::mutex& unitsMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Labels at least this far apart, marks at least this far.
constexpr double LabelSpacing = 36;
constexpr double MarkSpacing = 4;
// How far from the ruler a drag takes a removable marker off it.
constexpr double RemoveDistance = 16;

}

// Markers.

RulerMarker::RulerMarker(
    const std::shared_ptr<RulerView>& ruler, double location, std::shared_ptr<gfx::Image> image, gfx::Point imageOrigin)
    : m_ruler(ruler)
    , m_location(location)
    , m_image(std::move(image))
    , m_imageOrigin(imageOrigin)
{
}

std::shared_ptr<RulerMarker> RulerMarker::copy() const
{
    auto marker = std::shared_ptr<RulerMarker>(new RulerMarker(*this));
    marker->m_dragging = false;
    return marker;
}

void RulerMarker::setMarkerLocation(double location)
{
    location = boundedCoordinate(location, m_location);
    if (location == m_location)
        return;
    auto ruler = m_ruler.lock();
    if (ruler)
        ruler->setNeedsDisplayInRect(gfx::insetRect(imageRectInRuler(), -1, -1));
    m_location = location;
    if (ruler)
        ruler->setNeedsDisplayInRect(gfx::insetRect(imageRectInRuler(), -1, -1));
}

void RulerMarker::setImage(std::shared_ptr<gfx::Image> image)
{
    m_image = std::move(image);
    if (auto ruler = m_ruler.lock())
        ruler->setNeedsDisplay(true);
}

void RulerMarker::setImageOrigin(gfx::Point origin)
{
    m_imageOrigin = boundedPoint(origin, m_imageOrigin);
    if (auto ruler = m_ruler.lock())
        ruler->setNeedsDisplay(true);
}

gfx::Rect RulerMarker::imageRectInRuler() const
{
    auto ruler = m_ruler.lock();
    if (!ruler || !m_image)
        return {};
    auto size = m_image->size();
    auto at
        = gfx::pointOnAxis(ruler->axis(), ruler->rulerLocationForClientLocation(m_location), ruler->baselineLocation());
    return { at.x - m_imageOrigin.x, at.y - m_imageOrigin.y, size.width, size.height };
}

double RulerMarker::thicknessRequiredInRuler() const
{
    if (!m_image)
        return 0;
    auto ruler = m_ruler.lock();
    const auto a = ruler ? ruler->axis() : gfx::Axis::X;
    return gfx::across(m_image->size(), a) - gfx::across(m_imageOrigin, a);
}

void RulerMarker::drawRect(gfx::Rect rect)
{
    auto frame = imageRectInRuler();
    if (!m_image || !gfx::intersectsRect(frame, rect))
        return;
    m_image->drawInRect(frame);
}

bool RulerMarker::trackMouse(const Event& event, bool adding)
{
    auto ruler = m_ruler.lock();
    if (!ruler)
        return false;
    auto keep = shared_from_this();
    auto self = std::static_pointer_cast<RulerMarker>(keep);
    auto client = std::dynamic_pointer_cast<RulerClient>(ruler->clientView());
    if (!adding && (!m_movable || (client && !client->rulerViewShouldMoveMarker(*ruler, *this))))
        return false;
    if (adding && client && !client->rulerViewShouldAddMarker(*ruler, *this))
        return false;
    auto& app = Application::shared();
    const auto a = ruler->axis();
    const double start = m_location;
    bool off = false;
    m_dragging = true;
    if (adding)
        ruler->addMarker(self);
    auto current = std::make_shared<Event>(event);
    for (;;) {
        auto p = ruler->convertPointFromView(current->locationInWindow(), nullptr);
        double along = gfx::along(p, a);
        double across = gfx::across(p, a);
        double thickness = gfx::lengthAcross(ruler->bounds(), a);
        // Dragged well off the ruler, a removable marker (or one being added) lets go.
        off = (m_removable || adding) && (across < -RemoveDistance || across > thickness + RemoveDistance);
        if (!off) {
            double location = ruler->clientLocationForRulerLocation(along);
            if (client)
                location = adding ? client->rulerViewWillAddMarker(*ruler, *this, location)
                                  : client->rulerViewWillMoveMarker(*ruler, *this, location);
            setMarkerLocation(location);
        }
        if (current->type() == EventType::LeftMouseUp)
            break;
        current = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!current)
            break;
    }
    m_dragging = false;
    if (off) {
        if (adding) {
            ruler->removeMarker(self);
            return false;
        }
        if (!client || client->rulerViewShouldRemoveMarker(*ruler, *this)) {
            ruler->removeMarker(self);
            if (client)
                client->rulerViewDidRemoveMarker(*ruler, *this);
            return false;
        }
        setMarkerLocation(start); // the client keeps it: back where it was
        return true;
    }
    if (client) {
        if (adding)
            client->rulerViewDidAddMarker(*ruler, *this);
        else
            client->rulerViewDidMoveMarker(*ruler, *this);
    }
    return true;
}

void RulerMarker::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeDouble(m_location, "Location");
    if (m_image)
        coder.encodeObject(fnd::Value(m_image), "Image");
    coder.encodeObject(fnd::Value(m_imageOrigin), "ImageOrigin");
    coder.encodeBool(m_movable, "Movable");
    coder.encodeBool(m_removable, "Removable");
    if (!m_representedObject.isNil())
        coder.encodeObject(m_representedObject, "RepresentedObject");
}

bool RulerMarker::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return true;
    m_location = fnd::decodeBoundedDoubleForKey(coder, "Location", -1e7, 1e7, 0);
    m_image = fnd::decodeObjectOfClass<gfx::Image>(coder, "Image");
    m_imageOrigin = coder.decodeObjectForKey("ImageOrigin").point().value_or(gfx::Point {});
    m_movable = !coder.containsValueForKey("Movable") || coder.decodeBoolForKey("Movable");
    m_removable = coder.decodeBoolForKey("Removable");
    m_representedObject = coder.decodeObjectForKey("RepresentedObject");
    return !coder.hasFailed();
}

// The ruler.

void RulerView::describeClass(fnd::ClassBuilder<RulerView>& c)
{
    c.property("ruleThickness", &RulerView::ruleThickness, &RulerView::setRuleThickness);
    c.property("originOffset", &RulerView::originOffset, &RulerView::setOriginOffset);
    c.property("measurementUnits", &RulerView::measurementUnits, &RulerView::setMeasurementUnits);
    c.property("reservedThicknessForMarkers", &RulerView::reservedThicknessForMarkers,
        &RulerView::setReservedThicknessForMarkers);
    c.property("reservedThicknessForAccessoryView", &RulerView::reservedThicknessForAccessoryView,
        &RulerView::setReservedThicknessForAccessoryView);
}

std::shared_ptr<RulerView> RulerView::create(const std::shared_ptr<View>& scrollView, RulerOrientation orientation)
{
    auto ruler = std::make_shared<RulerView>();
    ruler->initWithScrollView(scrollView, orientation);
    return ruler;
}

void RulerView::initWithScrollView(const std::shared_ptr<View>& scrollView, RulerOrientation orientation)
{
    initWithFrame({});
    m_orientation = orientation;
    setScrollView(scrollView);
    noteThicknessChanged();
}

RulerView::~RulerView()
{
    if (m_scrollObserver)
        fnd::NotificationCenter::defaultCenter().removeObserver(m_scrollObserver);
}

void RulerView::setScrollView(const std::shared_ptr<View>& scrollView)
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_scrollObserver)
        center.removeObserver(m_scrollObserver);
    m_scrollObserver = {};
    m_scrollView = scrollView;
    // The marks move with the content: the ruler redraws when the clip view scrolls. It is matched by hand, since an
    // observed object would be kept alive; the destructor removes the observer.
    if (scrollView)
        m_scrollObserver
            = center.addObserverForName(ViewNotification::BoundsDidChange, {}, [this](const fnd::Notification& n) {
                  auto container = std::dynamic_pointer_cast<ScrollView>(m_scrollView.lock());
                  if (container && n.object().object().get() == container->contentView().get())
                      setNeedsDisplay(true);
              });
}

void RulerView::registerUnitWithName(const fnd::String& name, const fnd::String& abbreviation,
    double unitToPointsConversionFactor, std::vector<double> stepUpCycle, std::vector<double> stepDownCycle)
{
    if (unitToPointsConversionFactor <= 0 || stepUpCycle.empty() || stepDownCycle.empty())
        return;
    std::lock_guard lock(unitsMutex());
    units()[name] = { abbreviation, unitToPointsConversionFactor, std::move(stepUpCycle), std::move(stepDownCycle) };
}

void RulerView::setOrientation(RulerOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    noteThicknessChanged();
    setNeedsDisplay(true);
}

void RulerView::setClientView(const std::shared_ptr<View>& client)
{
    if (client == m_clientView.lock())
        return;
    m_clientView = client;
    m_markers.clear();
    setNeedsDisplay(true);
}

void RulerView::setRuleThickness(double thickness)
{
    thickness = boundedNumber(thickness, 0, LargestRulerLength, m_ruleThickness);
    if (thickness == m_ruleThickness)
        return;
    m_ruleThickness = thickness;
    noteThicknessChanged();
}

void RulerView::setReservedThicknessForMarkers(double thickness)
{
    m_reservedForMarkers = boundedNumber(thickness, 0, LargestRulerLength, m_reservedForMarkers);
    noteThicknessChanged();
}

void RulerView::setReservedThicknessForAccessoryView(double thickness)
{
    m_reservedForAccessory = boundedNumber(thickness, 0, LargestRulerLength, m_reservedForAccessory);
    noteThicknessChanged();
}

double RulerView::requiredThickness() const
{
    double markers = m_reservedForMarkers;
    for (const auto& m : m_markers)
        markers = std::max(markers, m->thicknessRequiredInRuler());
    return m_ruleThickness + markers + m_reservedForAccessory;
}

double RulerView::baselineLocation() const
{
    return m_reservedForAccessory + m_reservedForMarkers;
}

void RulerView::setAccessoryView(const std::shared_ptr<View>& view)
{
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = view;
    if (view) {
        addSubview(view);
        const double thickness = gfx::lengthAcross(view->frame(), axis());
        if (m_reservedForAccessory < thickness)
            setReservedThicknessForAccessoryView(thickness);
    }
}

void RulerView::setFrame(gfx::Rect frame)
{
    // Across, the frame is the ruler's thickness, as noteThicknessChanged keeps it: a frame from outside places the
    // ruler and sets its length.
    frame.size = gfx::withAcross(frame.size, axis(), requiredThickness());
    View::setFrame(frame);
}

void RulerView::noteThicknessChanged()
{
    // The ruler's frame across is its thickness; whoever lays rulers out reads it from there.
    auto size = gfx::withAcross(frame().size, axis(), requiredThickness());
    if (size != frame().size)
        setFrameSize(size);
    // The scroll view lays its rulers out again with the new thickness.
    if (auto container = std::dynamic_pointer_cast<ScrollView>(scrollView()))
        container->tile();
    setNeedsDisplay(true);
}

void RulerView::setOriginOffset(double offset)
{
    offset = boundedNumber(offset, -LargestRulerLength, LargestRulerLength, m_originOffset);
    if (offset == m_originOffset)
        return;
    m_originOffset = offset;
    setNeedsDisplay(true);
}

void RulerView::setMeasurementUnits(const fnd::String& unitName)
{
    {
        std::lock_guard lock(unitsMutex());
        if (!units().count(unitName))
            return;
    }
    m_units = unitName;
    setNeedsDisplay(true);
}

void RulerView::setMarkers(const std::vector<std::shared_ptr<RulerMarker>>& markers)
{
    m_markers.clear();
    for (const auto& m : markers)
        addMarker(m);
    setNeedsDisplay(true);
}

void RulerView::addMarker(const std::shared_ptr<RulerMarker>& marker)
{
    if (!marker || std::find(m_markers.begin(), m_markers.end(), marker) != m_markers.end())
        return;
    marker->setRuler(std::static_pointer_cast<RulerView>(shared_from_this()));
    m_markers.push_back(marker);
    if (marker->thicknessRequiredInRuler() > m_reservedForMarkers)
        noteThicknessChanged();
    setNeedsDisplay(true);
}

void RulerView::removeMarker(const std::shared_ptr<RulerMarker>& marker)
{
    std::erase(m_markers, marker);
    setNeedsDisplay(true);
}

bool RulerView::trackMarker(const std::shared_ptr<RulerMarker>& marker, const Event& event)
{
    if (!marker)
        return false;
    marker->setRuler(std::static_pointer_cast<RulerView>(shared_from_this()));
    return marker->trackMouse(event, true);
}

// Coordinates.

double RulerView::rulerLocationForClientLocation(double location) const
{
    auto client = clientView();
    if (!client)
        return location;
    auto inRuler = convertPointFromView(gfx::pointOnAxis(axis(), location, 0), client.get());
    return gfx::along(inRuler, axis());
}

double RulerView::clientLocationForRulerLocation(double location) const
{
    auto client = clientView();
    if (!client)
        return location;
    auto inClient = convertPointToView(gfx::pointOnAxis(axis(), location, 0), client.get());
    return gfx::along(inClient, axis());
}

void RulerView::moveRulerlineFromLocation(double oldLocation, double newLocation)
{
    if (oldLocation >= 0)
        std::erase(m_rulerlines, oldLocation);
    if (newLocation >= 0)
        m_rulerlines.push_back(newLocation);
    setNeedsDisplay(true);
}

bool RulerView::isFlipped() const
{
    // A vertical ruler runs the way its client does.
    if (m_orientation == RulerOrientation::Vertical)
        if (auto client = clientView())
            return client->isFlipped();
    return true;
}

// Drawing.

void RulerView::drawRect(gfx::Rect dirtyRect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*ControlLook::fieldBackgroundColor());
    context->fillRect(dirtyRect);
    drawHashMarksAndLabelsInRect(dirtyRect);
    drawMarkersInRect(dirtyRect);
}

void RulerView::drawHashMarksAndLabelsInRect(gfx::Rect rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    Unit unit;
    {
        std::lock_guard lock(unitsMutex());
        unit = units()[m_units];
    }
    const bool horizontal = m_orientation == RulerOrientation::Horizontal;
    const auto b = bounds();
    // The rule's edge by the content, and a line along it.
    const double ruleStart = baselineLocation();
    const double edge = horizontal ? (isFlipped() ? b.maxY() : b.minY()) : b.maxX();
    context->saveGraphicsState();
    context->setStrokeColor(*ControlLook::borderColor());
    gfx::BezierPath border;
    border.setLineWidth(1);
    double line = horizontal ? (isFlipped() ? b.maxY() - 0.5 : b.minY() + 0.5) : b.maxX() - 0.5;
    border.moveToPoint(gfx::pointOnAxis(axis(), gfx::minAlong(b, axis()), line));
    border.lineToPoint(gfx::pointOnAxis(axis(), gfx::maxAlong(b, axis()), line));
    context->strokePath(border);

    // Label every `step` units, marks every `fine` units.
    double perUnit = std::abs(
        rulerLocationForClientLocation(m_originOffset + unit.points) - rulerLocationForClientLocation(m_originOffset));
    if (perUnit <= 0) {
        context->restoreGraphicsState();
        return;
    }
    double step = 1;
    for (std::size_t i = 0; perUnit * step < LabelSpacing && i < 64; ++i)
        step *= unit.stepUp[i % unit.stepUp.size()];
    std::vector<double> fine { step };
    for (std::size_t i = 0; i < 8; ++i) {
        double next = fine.back() * unit.stepDown[i % unit.stepDown.size()];
        if (perUnit * next < MarkSpacing)
            break;
        fine.push_back(next);
    }
    // The visible stretch, in units from the zero mark.
    double lo = gfx::minAlong(rect, axis());
    double hi = gfx::maxAlong(rect, axis());
    double a = (clientLocationForRulerLocation(lo) - m_originOffset) / unit.points;
    double z = (clientLocationForRulerLocation(hi) - m_originOffset) / unit.points;
    if (a > z)
        std::swap(a, z);
    const double finest = fine.back();
    auto font = gfx::Font::labelFontOfSize(9);
    txt::Attributes label { { txt::FontAttributeName, fnd::Value(font) },
        { txt::ForegroundColorAttributeName, fnd::Value(ControlLook::secondaryTextColor(true)) } };
    gfx::BezierPath marks;
    marks.setLineWidth(1);
    long first = static_cast<long>(std::floor(a / finest)) - 1;
    long last = static_cast<long>(std::ceil(z / finest)) + 1;
    for (long k = first; k <= last && k - first < 100000; ++k) {
        double value = k * finest;
        double at = std::round(rulerLocationForClientLocation(m_originOffset + value * unit.points)) + 0.5;
        // Longer marks for coarser steps.
        std::size_t level = fine.size() - 1;
        for (std::size_t i = 0; i < fine.size(); ++i)
            if (std::abs(std::remainder(value, fine[i])) < finest * 1e-6) {
                level = i;
                break;
            }
        double length = m_ruleThickness * (level == 0 ? 0.6 : level == 1 ? 0.4 : 0.25);
        // Marks grow from the edge by the content into the ruler.
        double direction = horizontal && !isFlipped() ? 1 : -1;
        marks.moveToPoint(gfx::pointOnAxis(axis(), at, edge));
        marks.lineToPoint(gfx::pointOnAxis(axis(), at, edge + direction * length));
        if (level == 0) {
            txt::AttributedString text(fnd::String(fmt::format("{:g}", value)), label);
            auto size = text.size();
            if (horizontal) {
                double y = isFlipped() ? ruleStart : b.maxY() - ruleStart - size.height;
                text.drawAtPoint({ at + 2, y });
            } else {
                text.drawAtPoint({ ruleStart + 1, isFlipped() ? at + 1 : at - 1 - size.height });
            }
        }
    }
    context->setStrokeColor(*ControlLook::secondaryTextColor(true));
    context->strokePath(marks);
    context->restoreGraphicsState();
}

void RulerView::drawMarkersInRect(gfx::Rect rect)
{
    for (const auto& marker : m_markers)
        marker->drawRect(rect);
}

void RulerView::mouseDown(const Event& event)
{
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    // The front marker under the mouse (the last drawn).
    for (auto m = m_markers.rbegin(); m != m_markers.rend(); ++m) {
        if (gfx::pointInRect(point, (*m)->imageRectInRuler())) {
            auto marker = *m;
            marker->trackMouse(event, false);
            return;
        }
    }
    if (auto client = std::dynamic_pointer_cast<RulerClient>(clientView()))
        client->rulerViewHandleMouseDown(*this, event);
}

// Archiving.

void RulerView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_orientation), "Orientation");
    coder.encodeDouble(m_ruleThickness, "RuleThickness");
    coder.encodeDouble(m_reservedForMarkers, "ReservedThicknessForMarkers");
    coder.encodeDouble(m_reservedForAccessory, "ReservedThicknessForAccessoryView");
    coder.encodeDouble(m_originOffset, "OriginOffset");
    coder.encodeObject(fnd::Value(m_units), "MeasurementUnits");
}

bool RulerView::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    constexpr double Largest = LargestRulerLength;
    m_orientation = fnd::decodeBoundedIntegerForKey(coder, "Orientation", 0, 1, int(m_orientation)) == 1
        ? RulerOrientation::Vertical
        : RulerOrientation::Horizontal;
    m_ruleThickness = fnd::decodeBoundedDoubleForKey(coder, "RuleThickness", 0, Largest, m_ruleThickness);
    m_reservedForMarkers
        = fnd::decodeBoundedDoubleForKey(coder, "ReservedThicknessForMarkers", 0, Largest, m_reservedForMarkers);
    m_reservedForAccessory = fnd::decodeBoundedDoubleForKey(
        coder, "ReservedThicknessForAccessoryView", 0, Largest, m_reservedForAccessory);
    m_originOffset = fnd::decodeBoundedDoubleForKey(coder, "OriginOffset", -Largest, Largest, m_originOffset);
    auto unitName = fnd::decodeStringForKey(coder, "MeasurementUnits");
    if (!unitName.isEmpty())
        m_units = unitName;
    return !coder.hasFailed();
}

}
