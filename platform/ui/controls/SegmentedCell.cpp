#include "platform/ui/controls/SegmentedCell.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(SegmentedCell, ActionCell)

void SegmentedCell::describeClass(fnd::ClassBuilder<SegmentedCell>& c)
{
    c.property("segmentCount", &SegmentedCell::segmentCount, &SegmentedCell::setSegmentCount);
    c.property("trackingMode", &SegmentedCell::trackingMode, &SegmentedCell::setTrackingMode);
    c.property("segmentStyle", &SegmentedCell::segmentStyle, &SegmentedCell::setSegmentStyle);
    c.property("selectedSegment", &SegmentedCell::selectedSegment, &SegmentedCell::setSelectedSegment);
}

namespace {

// The room around a segment's content, and the gap between separated segments.
constexpr double SegmentPadding = 10;
constexpr double SeparatedGap = 4;
constexpr double MinimumSegmentWidth = 24;

}

void SegmentedCell::init()
{
    initTextCell({});
    setAlignment(txt::TextAlignment::Center);
    setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
}

const SegmentedCell::Segment* SegmentedCell::segmentAt(long index) const
{
    return index >= 0 && index < segmentCount() ? &m_segments[std::size_t(index)] : nullptr;
}

SegmentedCell::Segment* SegmentedCell::segmentAt(long index)
{
    return index >= 0 && index < segmentCount() ? &m_segments[std::size_t(index)] : nullptr;
}

void SegmentedCell::setSegmentCount(long count)
{
    count = std::clamp(count, 0l, long(MaximumSegmentCount));
    m_segments.resize(std::size_t(count));
    if (m_selectedSegment >= count)
        m_selectedSegment = -1;
    m_keySegment = std::clamp(m_keySegment, 0l, std::max(0l, count - 1));
    noteChanged();
}

void SegmentedCell::setTrackingMode(SegmentSwitchTracking mode)
{
    if (!isWithin(mode, SegmentSwitchTracking::SelectOne, SegmentSwitchTracking::MomentaryAccelerator))
        return;
    m_trackingMode = mode;
    // One selection at most outside select-any mode.
    if (mode != SegmentSwitchTracking::SelectAny) {
        for (long i = 0; i < segmentCount(); ++i)
            m_segments[std::size_t(i)].selected = mode == SegmentSwitchTracking::SelectOne && i == m_selectedSegment;
    }
    noteChanged();
}

void SegmentedCell::setSegmentStyle(SegmentStyle style)
{
    // Only the styles there are (7 is none); an archive holds no other.
    if (!isWithin(style, SegmentStyle::Automatic, SegmentStyle::Separated) || static_cast<int>(style) == 7)
        return;
    m_segmentStyle = style;
    noteChanged();
}

#define UI_SEGMENT_SETTER(Name, Type, field)                                                                           \
    void SegmentedCell::Name(Type value, long segment)                                                                 \
    {                                                                                                                  \
        if (auto* s = segmentAt(segment)) {                                                                            \
            s->field = value;                                                                                          \
            noteChanged();                                                                                             \
        }                                                                                                              \
    }
#define UI_SEGMENT_GETTER(Name, Type, field, fallback)                                                                 \
    Type SegmentedCell::Name(long segment) const                                                                       \
    {                                                                                                                  \
        auto* s = segmentAt(segment);                                                                                  \
        return s ? s->field : fallback;                                                                                \
    }

UI_SEGMENT_SETTER(setLabel, const fnd::String&, label)
UI_SEGMENT_GETTER(labelForSegment, fnd::String, label, fnd::String())
UI_SEGMENT_SETTER(setImage, std::shared_ptr<gfx::Image>, image)
UI_SEGMENT_GETTER(imageForSegment, std::shared_ptr<gfx::Image>, image, nullptr)
UI_SEGMENT_SETTER(setImageScaling, ImageScaling, imageScaling)
UI_SEGMENT_GETTER(imageScalingForSegment, ImageScaling, imageScaling, ImageScaling::ProportionallyDown)
UI_SEGMENT_GETTER(widthForSegment, double, width, 0.0)
UI_SEGMENT_SETTER(setTag, long, tag)
UI_SEGMENT_GETTER(tagForSegment, long, tag, 0l)
UI_SEGMENT_SETTER(setEnabled, bool, enabled)
UI_SEGMENT_GETTER(isEnabledForSegment, bool, enabled, false)
UI_SEGMENT_GETTER(isSelectedForSegment, bool, selected, false)
UI_SEGMENT_SETTER(setMenu, std::shared_ptr<Menu>, menu)
UI_SEGMENT_GETTER(menuForSegment, std::shared_ptr<Menu>, menu, nullptr)
UI_SEGMENT_SETTER(setToolTip, const fnd::String&, toolTip)
UI_SEGMENT_GETTER(toolTipForSegment, fnd::String, toolTip, fnd::String())

#undef UI_SEGMENT_SETTER
#undef UI_SEGMENT_GETTER

void SegmentedCell::setWidth(double width, long segment)
{
    if (auto* s = segmentAt(segment)) {
        s->width = std::max(0.0, width);
        noteChanged();
    }
}

void SegmentedCell::setSelected(bool selected, long segment)
{
    auto* s = segmentAt(segment);
    if (!s)
        return;
    switch (m_trackingMode) {
    case SegmentSwitchTracking::SelectOne:
        if (selected)
            setSelectedSegment(segment);
        else if (s->selected) {
            s->selected = false;
            m_selectedSegment = -1;
        }
        break;
    case SegmentSwitchTracking::SelectAny:
        s->selected = selected;
        if (selected)
            m_selectedSegment = segment;
        else if (m_selectedSegment == segment)
            m_selectedSegment = -1;
        break;
    default:
        // Momentary segments are selected only while pressed.
        break;
    }
    noteChanged();
}

void SegmentedCell::setSelectedSegment(long segment)
{
    if (segment < -1 || segment >= segmentCount())
        return;
    m_selectedSegment = segment;
    if (m_trackingMode == SegmentSwitchTracking::SelectOne) {
        for (long i = 0; i < segmentCount(); ++i)
            m_segments[std::size_t(i)].selected = i == segment;
    } else if (m_trackingMode == SegmentSwitchTracking::SelectAny && segment >= 0) {
        m_segments[std::size_t(segment)].selected = true;
    }
    if (segment >= 0)
        m_keySegment = segment;
    noteChanged();
}

bool SegmentedCell::selectSegmentWithTag(long tag)
{
    for (long i = 0; i < segmentCount(); ++i) {
        if (m_segments[std::size_t(i)].tag == tag) {
            setSelectedSegment(i);
            return true;
        }
    }
    return false;
}

void SegmentedCell::makeNextSegmentKey()
{
    for (long i = m_keySegment + 1; i < segmentCount(); ++i) {
        if (m_segments[std::size_t(i)].enabled) {
            m_keySegment = i;
            break;
        }
    }
    noteChanged();
}

void SegmentedCell::makePreviousSegmentKey()
{
    for (long i = m_keySegment - 1; i >= 0; --i) {
        if (m_segments[std::size_t(i)].enabled) {
            m_keySegment = i;
            break;
        }
    }
    noteChanged();
}

void SegmentedCell::chooseSegment(long segment)
{
    auto* s = segmentAt(segment);
    if (!s || !s->enabled)
        return;
    switch (m_trackingMode) {
    case SegmentSwitchTracking::SelectOne:
        setSelectedSegment(segment);
        break;
    case SegmentSwitchTracking::SelectAny:
        s->selected = !s->selected;
        m_selectedSegment = segment;
        break;
    default:
        m_selectedSegment = segment;
        break;
    }
    m_keySegment = segment;
    noteChanged();
}

void SegmentedCell::setObjectValue(const fnd::Value& value)
{
    setSelectedSegment(value.isNil() ? -1 : static_cast<long>(value.integerValue()));
}

// Geometry.

double SegmentedCell::naturalWidthForSegment(long segment) const
{
    auto* s = segmentAt(segment);
    if (!s)
        return 0;
    double content = 0;
    if (s->image)
        content += s->image->size().width;
    if (!s->label.isEmpty()) {
        content += (content > 0 ? 4 : 0) + textSize(txt::AttributedString(s->label, textAttributes())).width;
    }
    return std::max(MinimumSegmentWidth, std::ceil(content + 2 * SegmentPadding));
}

gfx::Rect SegmentedCell::rectForSegment(long segment, gfx::Rect frame) const
{
    if (!segmentAt(segment))
        return {};
    const double gap = m_segmentStyle == SegmentStyle::Separated ? SeparatedGap : 0;
    double fixed = 0, natural = 0;
    long automatic = 0;
    for (long i = 0; i < segmentCount(); ++i) {
        if (double w = m_segments[std::size_t(i)].width; w > 0) {
            fixed += w;
        } else {
            natural += naturalWidthForSegment(i);
            ++automatic;
        }
    }
    double available = frame.width() - gap * double(segmentCount() - 1);
    // Segments that size to their content share the room the fixed ones leave.
    double extra = automatic > 0 ? std::max(0.0, (available - fixed - natural) / double(automatic)) : 0;
    double x = frame.minX();
    for (long i = 0; i < segmentCount(); ++i) {
        double w = m_segments[std::size_t(i)].width;
        if (w <= 0)
            w = naturalWidthForSegment(i) + extra;
        double left = std::round(x), right = std::round(x + w);
        if (i == segment)
            return { left, frame.minY(), right - left, frame.height() };
        x += w + gap;
    }
    return {};
}

long SegmentedCell::segmentAtPoint(gfx::Point point, gfx::Rect frame) const
{
    for (long i = 0; i < segmentCount(); ++i) {
        if (gfx::pointInRect(point, rectForSegment(i, frame)))
            return i;
    }
    return -1;
}

gfx::Size SegmentedCell::cellSizeForBounds(gfx::Rect) const
{
    double width = 0;
    for (long i = 0; i < segmentCount(); ++i) {
        double w = m_segments[std::size_t(i)].width;
        width += w > 0 ? w : naturalWidthForSegment(i);
    }
    if (m_segmentStyle == SegmentStyle::Separated && segmentCount() > 1)
        width += SeparatedGap * double(segmentCount() - 1);
    auto pad = ControlLook::facePadding(controlSize());
    return { std::ceil(width), ControlLook::lineHeight(controlSize()) + 2 * pad.height + 4 };
}

// Drawing.

ControlLook::FaceState SegmentedCell::faceStateForSegment(long segment) const
{
    auto* s = segmentAt(segment);
    ControlLook::FaceState face;
    face.enabled = isEnabled() && s && s->enabled;
    face.pressed = segment == m_pressedSegment;
    bool momentary = m_trackingMode == SegmentSwitchTracking::Momentary
        || m_trackingMode == SegmentSwitchTracking::MomentaryAccelerator;
    face.on = s && (momentary ? false : s->selected);
    face.emphasized = face.on;
    face.active = isInActiveWindow();
    return face;
}

void SegmentedCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    if (m_segmentStyle != SegmentStyle::Separated) {
        auto shape = m_segmentStyle == SegmentStyle::Capsule || m_segmentStyle == SegmentStyle::RoundRect
            ? ControlLook::FaceShape::Pill
            : ControlLook::FaceShape::RoundedRect;
        ControlLook::drawFace(cellFrame, shape, controlSize(), { .enabled = isEnabled() });
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void SegmentedCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    for (long i = 0; i < segmentCount(); ++i)
        drawSegment(i, rectForSegment(i, cellFrame), controlView);
}

void SegmentedCell::drawSegment(long segment, gfx::Rect frame, View&)
{
    auto* s = segmentAt(segment);
    auto* context = gfx::GraphicsContext::current();
    if (!s || !context || frame.isEmpty())
        return;
    auto face = faceStateForSegment(segment);
    const bool separated = m_segmentStyle == SegmentStyle::Separated;
    if (separated) {
        ControlLook::drawFace(frame, ControlLook::FaceShape::RoundedRect, controlSize(), face);
    } else if (face.on || face.pressed) {
        auto inner = gfx::insetRect(frame, 2, 2);
        ControlLook::drawFace(inner, ControlLook::FaceShape::RoundedRect, ControlSize::Small, face);
    }
    // A separator between two segments that are both plain.
    if (!separated && segment + 1 < segmentCount()) {
        auto next = faceStateForSegment(segment + 1);
        if (!face.on && !face.pressed && !next.on && !next.pressed) {
            context->setFillColor(*ControlLook::borderColor());
            context->fillRect({ std::round(frame.maxX()) - 0.5, frame.minY() + 5, 1, frame.height() - 10 });
        }
    }
    // The content, centred: the image, then the label.
    auto attributes = textAttributes();
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(ControlLook::faceTextColor(face)));
    txt::AttributedString label(s->label, attributes);
    double labelWidth = s->label.isEmpty() ? 0 : textSize(label).width;
    gfx::Size imageSize = s->image ? s->image->size() : gfx::Size {};
    if (s->image && s->imageScaling != ImageScaling::None) {
        double room = frame.height() - 6;
        if (imageSize.height > room || s->imageScaling == ImageScaling::ProportionallyUpOrDown) {
            double scale = room / std::max(1.0, imageSize.height);
            imageSize = { std::floor(imageSize.width * scale), std::floor(imageSize.height * scale) };
        }
    }
    double total = imageSize.width + (labelWidth > 0 && s->image ? 4 : 0) + labelWidth;
    double x = std::round(frame.midX() - std::min(total, frame.width() - 8) / 2);
    if (s->image) {
        gfx::Rect imageRect { x, std::round(frame.midY() - imageSize.height / 2), imageSize.width, imageSize.height };
        s->image->drawInRect(imageRect, {}, gfx::CompositingOperation::SourceOver, face.enabled ? 1.0 : 0.5, true);
        x += imageSize.width + 4;
    }
    if (labelWidth > 0) {
        double right = std::min(frame.maxX() - 4, x + labelWidth);
        drawText(label, { x, frame.minY(), std::max(0.0, right - x), frame.height() }, true);
    }
}

void SegmentedCell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    // Around the segment the keyboard is on.
    auto rect = rectForSegment(m_keySegment, cellFrame);
    if (rect.isEmpty())
        rect = cellFrame;
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(*ControlLook::facePath(rect, ControlLook::FaceShape::RoundedRect, controlSize()));
}

// Tracking.

bool SegmentedCell::trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool)
{
    auto self = shared_from_this();
    auto view = std::static_pointer_cast<View>(controlView.shared_from_this());
    auto& app = Application::shared();
    long segment = segmentAtPoint(controlView.convertPointFromView(event.locationInWindow(), nullptr), cellFrame);
    auto* s = segmentAt(segment);
    if (!s || !s->enabled)
        return true;
    // A segment with a menu opens it below itself.
    if (s->menu) {
        auto rect = controlView.convertRectToView(rectForSegment(segment, cellFrame), nullptr);
        auto window = controlView.window();
        auto onScreen = window ? window->convertRectToScreen(rect) : rect;
        s->menu->popUpMenuPositioningItem(nullptr, { onScreen.minX(), onScreen.minY() });
        return true;
    }
    auto redraw = [&] { detail::displayDuringTracking(controlView); };
    m_pressedSegment = segment;
    redraw();
    bool inside = true, released = false;
    for (;;) {
        auto next = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        auto point = controlView.convertPointFromView(next->locationInWindow(), nullptr);
        inside = segmentAtPoint(point, cellFrame) == segment;
        m_pressedSegment = inside ? segment : -1;
        redraw();
        if (next->type() == EventType::LeftMouseUp) {
            released = true;
            break;
        }
    }
    m_pressedSegment = -1;
    if (released && inside) {
        chooseSegment(segment);
        sendActionFromControlView();
    }
    redraw();
    return true;
}

// Archiving.

void SegmentedCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    fnd::Array segments;
    for (const auto& s : m_segments) {
        fnd::Dictionary d;
        d.set("label", fnd::Value(s.label));
        d.set("width", fnd::Value(s.width));
        d.set("tag", fnd::Value(s.tag));
        d.set("enabled", fnd::Value(s.enabled));
        d.set("selected", fnd::Value(s.selected));
        d.set("toolTip", fnd::Value(s.toolTip));
        if (s.image)
            d.set("image", fnd::Value(s.image));
        segments.push_back(fnd::Value(d));
    }
    coder.encodeObject(fnd::Value(segments), "Segments");
    coder.encodeInt(static_cast<int>(m_trackingMode), "TrackingMode");
    coder.encodeInt(static_cast<int>(m_segmentStyle), "SegmentStyle");
    coder.encodeInteger(m_selectedSegment, "SelectedSegment");
}

bool SegmentedCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    m_segments.clear();
    auto stored = coder.decodeObjectForKey("Segments");
    if (const auto* list = stored.array()) {
        if (list->size() > MaximumSegmentCount) {
            fnd::failDecoding(
                coder, "a segmented cell holds more than " + std::to_string(MaximumSegmentCount) + " segments");
            return false;
        }
        for (const auto& entry : *list) {
            const auto* d = entry.dictionary();
            if (!d)
                continue;
            Segment s;
            s.label = d->get("label").stringValue();
            s.width = std::max(0.0, d->get("width").doubleValue());
            s.tag = static_cast<long>(d->get("tag").integerValue());
            s.enabled = d->contains("enabled") ? d->get("enabled").boolValue() : true;
            s.selected = d->get("selected").boolValue();
            s.toolTip = d->get("toolTip").stringValue();
            s.image = d->get("image").objectAs<gfx::Image>();
            m_segments.push_back(std::move(s));
        }
    }
    m_trackingMode = static_cast<SegmentSwitchTracking>(std::clamp(coder.decodeIntForKey("TrackingMode"), 0, 3));
    if (coder.containsValueForKey("SegmentStyle"))
        m_segmentStyle = static_cast<SegmentStyle>(std::clamp(coder.decodeIntForKey("SegmentStyle"), 0, 8));
    long selected
        = coder.containsValueForKey("SelectedSegment") ? long(coder.decodeIntegerForKey("SelectedSegment")) : -1;
    m_selectedSegment = selected < segmentCount() ? selected : -1;
    return !coder.hasFailed();
}

}
