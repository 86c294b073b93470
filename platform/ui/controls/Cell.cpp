#include "platform/ui/controls/Cell.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextContainer.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(Cell, fnd::Object)

void Cell::describeClass(fnd::ClassBuilder<Cell>& c)
{
    c.property("objectValue", &Cell::objectValue, &Cell::setObjectValue);
    c.property("stringValue", &Cell::stringValue, &Cell::setStringValue);
    c.property("integerValue", &Cell::integerValue, &Cell::setIntegerValue);
    c.property("intValue", &Cell::integerValue, &Cell::setIntegerValue);
    c.property("doubleValue", &Cell::doubleValue, &Cell::setDoubleValue);
    c.property("floatValue", &Cell::doubleValue, &Cell::setDoubleValue);
    c.property("title", &Cell::title, &Cell::setTitle);
    c.property("image", &Cell::image, &Cell::setImage);
    c.property("formatter", &Cell::formatter, &Cell::setFormatter);
    c.property("state", &Cell::state, &Cell::setState);
    c.property("allowsMixedState", &Cell::allowsMixedState, &Cell::setAllowsMixedState);
    c.property("enabled", &Cell::isEnabled, &Cell::setEnabled);
    c.property("highlighted", &Cell::isHighlighted, &Cell::setHighlighted);
    c.property("editable", &Cell::isEditable, &Cell::setEditable);
    c.property("selectable", &Cell::isSelectable, &Cell::setSelectable);
    c.property("scrollable", &Cell::isScrollable, &Cell::setScrollable);
    c.property("bezeled", &Cell::isBezeled, &Cell::setBezeled);
    c.property("bordered", &Cell::isBordered, &Cell::setBordered);
    c.property("continuous", &Cell::isContinuous, &Cell::setContinuous);
    c.property("wraps", &Cell::wraps, &Cell::setWraps);
    c.property("font", &Cell::font, &Cell::setFont);
    c.property("alignment", &Cell::alignment, &Cell::setAlignment);
    c.property("lineBreakMode", &Cell::lineBreakMode, &Cell::setLineBreakMode);
    c.property("controlSize", &Cell::controlSize, &Cell::setControlSize);
    c.property("controlTint", &Cell::controlTint, &Cell::setControlTint);
    c.property("backgroundStyle", &Cell::backgroundStyle, &Cell::setBackgroundStyle);
    c.property("focusRingType", &Cell::focusRingType, &Cell::setFocusRingType);
    c.property("showsFirstResponder", &Cell::showsFirstResponder, &Cell::setShowsFirstResponder);
    c.property("refusesFirstResponder", &Cell::refusesFirstResponder, &Cell::setRefusesFirstResponder);
    c.property("sendsActionOnEndEditing", &Cell::sendsActionOnEndEditing, &Cell::setSendsActionOnEndEditing);
    c.property("representedObject", &Cell::representedObject, &Cell::setRepresentedObject);
    c.property("tag", &Cell::tag, &Cell::setTag);
    c.property("controlView", &Cell::controlView);
}

Cell::Cell() = default;

void Cell::initTextCell(const fnd::String& string)
{
    m_type = CellType::Text;
    m_objectValue = fnd::Value(string);
    m_hasValidObjectValue = true;
}

void Cell::initImageCell(std::shared_ptr<gfx::Image> image)
{
    m_type = CellType::Image;
    m_image = std::move(image);
}

std::shared_ptr<Cell> Cell::copy() const
{
    auto clone = cloneCell();
    if (&clone->classInfo() != &classInfo())
        fnd::log(fnd::String("A copy of a ") + className() + " is a " + clone->className()
            + ": the class lacks UI_CELL_OBJECT.");
    if (m_formatter)
        clone->m_formatter = m_formatter->copy();
    // The copy is not being edited.
    clone->m_fieldEditor.reset();
    return clone;
}

void Cell::setType(CellType type)
{
    if (type == m_type)
        return;
    m_type = type;
    if (type == CellType::Text && m_objectValue.isNil())
        m_objectValue = fnd::Value(fnd::String());
    noteChanged();
}

void Cell::noteChanged()
{
    if (auto view = controlView()) {
        if (auto control = std::dynamic_pointer_cast<Control>(view))
            control->updateCell(*this);
        else
            view->setNeedsDisplay(true);
        // What shows changed: the value, the state, the title or whether the cell is enabled.
        if (isAccessibilityObserved() && view->window())
            accessibilityPostNotification(accessibilityRepresentative(), AccessibilityNotification::ValueChanged);
    }
}

// Values.

bool Cell::holdsCell(const fnd::Value& value) const
{
    if (value.object().get() == this)
        return true;
    auto view = value.objectAs<View>();
    auto control = controlView();
    return view && control && (control == view || control->isDescendantOf(*view));
}

void Cell::setRepresentedObject(const fnd::Value& object)
{
    if (holdsCell(object))
        throw fnd::Exception::invalidArgument(
            "Cell: setRepresentedObject: the object is the cell, its control or a view around it");
    m_representedObject = object;
}

void Cell::setObjectValue(const fnd::Value& value)
{
    if (isNonFiniteNumber(value))
        return;
    // The cell would hold what holds it, and its archive would own itself.
    if (holdsCell(value))
        throw fnd::Exception::invalidArgument(
            "Cell: setObjectValue: the value is the cell, its control or a view around it");
    m_objectValue = value;
    m_hasValidObjectValue = true;
    noteChanged();
}

fnd::String Cell::stringValue() const
{
    if (m_formatter && m_hasValidObjectValue) {
        if (auto s = m_formatter->stringForObjectValue(m_objectValue))
            return *s;
    }
    if (auto text = m_objectValue.objectAs<txt::AttributedString>())
        return text->string();
    if (m_objectValue.isNil() || m_objectValue.isNull())
        return {};
    if (m_objectValue.isString() || m_objectValue.isNumber())
        return m_objectValue.stringValue();
    return m_objectValue.description();
}

void Cell::setStringValue(const fnd::String& string)
{
    if (m_formatter) {
        auto parsed = m_formatter->getObjectValue(string);
        if (parsed) {
            setObjectValue(*parsed);
            return;
        }
        // Kept as typed, so nothing the person wrote is lost; the value reads as invalid.
        m_objectValue = fnd::Value(string);
        m_hasValidObjectValue = false;
        noteChanged();
        return;
    }
    setObjectValue(fnd::Value(string));
}

std::int64_t Cell::integerValue() const
{
    if (m_objectValue.isNumber())
        return m_objectValue.integerValue();
    auto s = stringValue();
    // Like the platform: the leading number of the text, 0 when there is none.
    std::string utf8 = s.utf8();
    return std::strtoll(utf8.c_str(), nullptr, 10);
}

void Cell::setIntegerValue(std::int64_t value)
{
    setObjectValue(fnd::Value(static_cast<long long>(value)));
}

double Cell::doubleValue() const
{
    if (m_objectValue.isNumber())
        return m_objectValue.doubleValue();
    std::string utf8 = stringValue().utf8();
    return std::strtod(utf8.c_str(), nullptr);
}

void Cell::setDoubleValue(double value)
{
    if (!std::isfinite(value))
        return;
    setObjectValue(fnd::Value(value));
}

std::shared_ptr<txt::AttributedString> Cell::attributedStringValue() const
{
    if (auto text = m_objectValue.objectAs<txt::AttributedString>())
        return text;
    return std::make_shared<txt::AttributedString>(stringValue(), textAttributes());
}

void Cell::setAttributedStringValue(const std::shared_ptr<txt::AttributedString>& text)
{
    setObjectValue(text ? fnd::Value(text) : fnd::Value(fnd::String()));
}

void Cell::setFormatter(std::shared_ptr<fnd::Formatter> formatter)
{
    if (formatter == m_formatter)
        return;
    m_formatter = std::move(formatter);
    noteChanged();
}

void Cell::setImage(std::shared_ptr<gfx::Image> image)
{
    if (image == m_image)
        return;
    m_image = std::move(image);
    noteChanged();
}

// State.

void Cell::setState(ControlStateValue state)
{
    if (!isWithin(state, ControlStateValue::Mixed, ControlStateValue::On))
        return;
    if (state == ControlStateValue::Mixed && !m_allowsMixedState)
        state = ControlStateValue::On;
    if (state == m_state)
        return;
    m_state = state;
    noteChanged();
}

void Cell::setAllowsMixedState(bool flag)
{
    m_allowsMixedState = flag;
    if (!flag && m_state == ControlStateValue::Mixed)
        setState(ControlStateValue::On);
}

ControlStateValue Cell::nextState() const
{
    switch (m_state) {
    case ControlStateValue::On:
        return ControlStateValue::Off;
    case ControlStateValue::Off:
        return m_allowsMixedState ? ControlStateValue::Mixed : ControlStateValue::On;
    default:
        return ControlStateValue::On;
    }
}

// Flags.

#define UI_CELL_FLAG_SETTER(Name, member)                                                                              \
    void Cell::Name(bool flag)                                                                                         \
    {                                                                                                                  \
        if (flag == member)                                                                                            \
            return;                                                                                                    \
        member = flag;                                                                                                 \
        noteChanged();                                                                                                 \
    }

UI_CELL_FLAG_SETTER(setEnabled, m_enabled)
UI_CELL_FLAG_SETTER(setHighlighted, m_highlighted)
UI_CELL_FLAG_SETTER(setSelectable, m_selectable)
UI_CELL_FLAG_SETTER(setBezeled, m_bezeled)
UI_CELL_FLAG_SETTER(setBordered, m_bordered)
UI_CELL_FLAG_SETTER(setShowsFirstResponder, m_showsFirstResponder)

#undef UI_CELL_FLAG_SETTER

void Cell::setEditable(bool flag)
{
    if (flag == m_editable)
        return;
    m_editable = flag;
    if (flag)
        m_selectable = true;
    noteChanged();
}

void Cell::setScrollable(bool flag)
{
    m_scrollable = flag;
    if (flag)
        m_lineBreakMode = txt::LineBreakMode::ByClipping;
}

void Cell::setContinuous(bool flag)
{
    m_continuous = flag;
    // A continuous cell sends its action again and again while the mouse is held.
    if (flag)
        m_actionMask |= EventMasks::Periodic;
    else
        m_actionMask &= ~EventMasks::Periodic;
}

void Cell::setWraps(bool flag)
{
    setLineBreakMode(flag ? txt::LineBreakMode::ByWordWrapping : txt::LineBreakMode::ByClipping);
    if (flag)
        m_scrollable = false;
}

// Text.

std::shared_ptr<gfx::Font> Cell::font() const
{
    if (m_font)
        return m_font;
    return gfx::Font::systemFontOfSize(gfx::Font::systemFontSizeForControlSize(m_controlSize));
}

void Cell::setFont(std::shared_ptr<gfx::Font> font)
{
    // No font keeps the one there is: an archive holds no font for nil, and decoding keeps what the cell was made
    // with.
    if (!font || font == m_font)
        return;
    m_font = std::move(font);
    noteChanged();
}

void Cell::setAlignment(txt::TextAlignment alignment)
{
    if (alignment == m_alignment || !isWithin(alignment, txt::TextAlignment::Left, txt::TextAlignment::Natural))
        return;
    m_alignment = alignment;
    noteChanged();
}

void Cell::setLineBreakMode(txt::LineBreakMode mode)
{
    if (mode == m_lineBreakMode
        || !isWithin(mode, txt::LineBreakMode::ByWordWrapping, txt::LineBreakMode::ByTruncatingMiddle))
        return;
    m_lineBreakMode = mode;
    noteChanged();
}

// Look.

void Cell::setControlSize(ControlSize size)
{
    if (size == m_controlSize || !isWithin(size, ControlSize::Regular, ControlSize::Mini))
        return;
    auto old = m_controlSize;
    m_controlSize = size;
    // A system font of the old size follows the new one; a font chosen by name stays.
    if (m_font && m_font->fontName() == gfx::Font::systemFontOfSize(12)->fontName()
        && m_font->pointSize() == gfx::Font::systemFontSizeForControlSize(old))
        m_font = m_font->fontWithSize(gfx::Font::systemFontSizeForControlSize(size));
    noteChanged();
}

void Cell::setControlTint(gfx::ControlTint tint)
{
    if (tint == m_controlTint)
        return;
    m_controlTint = tint;
    noteChanged();
}

void Cell::setBackgroundStyle(BackgroundStyle style)
{
    if (style == m_backgroundStyle || !isWithin(style, BackgroundStyle::Light, BackgroundStyle::Lowered))
        return;
    m_backgroundStyle = style;
    noteChanged();
}

BackgroundStyle Cell::interiorBackgroundStyle() const
{
    if (m_highlighted && m_backgroundStyle == BackgroundStyle::Light)
        return BackgroundStyle::Dark;
    return m_backgroundStyle;
}

bool Cell::acceptsFirstResponder() const
{
    return m_enabled && !m_refusesFirstResponder;
}

std::shared_ptr<Menu> Cell::menuForEvent(const Event&, gfx::Rect, View&)
{
    return m_menu;
}

// Geometry.

gfx::Size Cell::cellSizeForBounds(gfx::Rect bounds) const
{
    gfx::Size size;
    if (m_type == CellType::Text) {
        auto used = textSize(*attributedStringValue(), wraps() ? bounds.width() : 1e7);
        size = { used.width, std::max(used.height, ControlLook::lineHeight(m_controlSize)) };
        size.width += 4; // the text inset drawingRectForBounds leaves on each side
    } else if (m_type == CellType::Image && m_image) {
        size = m_image->size();
    }
    if (m_bezeled) {
        size.width += 6;
        size.height += 6;
    } else if (m_bordered) {
        size.width += 2;
        size.height += 2;
    }
    return size;
}

gfx::Rect Cell::drawingRectForBounds(gfx::Rect bounds) const
{
    gfx::Rect r = bounds;
    if (m_bezeled)
        r = gfx::insetRect(r, 3, 3);
    else if (m_bordered)
        r = gfx::insetRect(r, 1, 1);
    if (m_type == CellType::Text)
        r = gfx::insetRect(r, 2, 0);
    return r;
}

gfx::Rect Cell::titleRectForBounds(gfx::Rect bounds) const
{
    return drawingRectForBounds(bounds);
}

gfx::Rect Cell::imageRectForBounds(gfx::Rect bounds) const
{
    auto area = drawingRectForBounds(bounds);
    if (!m_image)
        return area;
    auto size = m_image->size();
    return { std::round(area.midX() - size.width / 2), std::round(area.midY() - size.height / 2), size.width,
        size.height };
}

gfx::ColorPtr Cell::highlightColorWithFrame(gfx::Rect, View&) const
{
    return isInActiveWindow() ? gfx::Color::alternateSelectedControlColor()
                              : gfx::Color::secondarySelectedControlColor();
}

// Drawing.

bool Cell::isInActiveWindow() const
{
    auto view = controlView();
    auto window = view ? view->window() : nullptr;
    return !window || window->isKeyWindow();
}

gfx::ColorPtr Cell::textColorForDrawing() const
{
    if (interiorBackgroundStyle() == BackgroundStyle::Dark)
        return ControlLook::textOnAccentColor(m_enabled);
    return ControlLook::textColor(m_enabled);
}

fnd::Dictionary Cell::textAttributes() const
{
    // One style object for as long as it fits: a table's cell draws hundreds of values a frame. Whoever changes a
    // style found in text changes a copy.
    if (!m_textStyle || m_textStyle->alignment() != m_alignment || m_textStyle->lineBreakMode() != m_lineBreakMode) {
        m_textStyle = txt::ParagraphStyle::defaultParagraphStyle();
        m_textStyle->setAlignment(m_alignment);
        m_textStyle->setLineBreakMode(m_lineBreakMode);
    }
    fnd::Dictionary attributes;
    attributes.set(txt::FontAttributeName, fnd::Value(font()));
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(textColorForDrawing()));
    attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(m_textStyle));
    return attributes;
}

gfx::Size Cell::textSize(const txt::AttributedString& text, double width)
{
    if (text.length() == 0)
        return {};
    // Measured flush left: a centred or right-aligned line would reach across the whole measuring width.
    txt::AttributedString flush(text);
    auto style = text.attributeAtIndex(txt::ParagraphStyleAttributeName, 0).objectAs<txt::ParagraphStyle>();
    auto left = style ? style->mutableCopy() : txt::ParagraphStyle::defaultParagraphStyle();
    left->setAlignment(txt::TextAlignment::Left);
    flush.addAttribute(txt::ParagraphStyleAttributeName, fnd::Value(left), { 0, flush.length() });
    auto used = flush.boundingRectWithSize({ width, 1e7 });
    return { std::ceil(used.width()), std::ceil(used.height()) };
}

void Cell::drawText(const txt::AttributedString& text, gfx::Rect rect, bool centred)
{
    if (text.length() == 0 || rect.isEmpty())
        return;
    if (centred) {
        auto used = text.boundingRectWithSize({ rect.width(), 1e7 });
        if (used.height() < rect.height()) {
            double inset = std::round((rect.height() - used.height()) / 2);
            rect = { rect.minX(), rect.minY() + inset, rect.width(), used.height() };
        }
    }
    text.drawInRect(rect);
}

void Cell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    m_controlView = std::static_pointer_cast<View>(controlView.shared_from_this());
    if (m_bezeled || m_bordered) {
        auto background = ControlLook::fieldBackgroundColor();
        ControlLook::drawFieldBezel(cellFrame, false, m_bezeled ? background.get() : nullptr, m_enabled);
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void Cell::drawInteriorWithFrame(gfx::Rect cellFrame, View&)
{
    if (m_fieldEditor.lock())
        return; // the field editor shows the text while editing
    if (m_type == CellType::Text) {
        drawText(*attributedStringValue(), titleRectForBounds(cellFrame), false);
    } else if (m_type == CellType::Image && m_image) {
        m_image->drawInRect(
            imageRectForBounds(cellFrame), {}, gfx::CompositingOperation::SourceOver, m_enabled ? 1.0 : 0.5, true);
    }
}

void Cell::highlight(bool flag, gfx::Rect, View& controlView)
{
    if (flag == m_highlighted)
        return;
    m_highlighted = flag;
    detail::displayDuringTracking(controlView);
}

void Cell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto rect = ControlLook::snapped(cellFrame);
    double radius = m_bezeled || m_bordered ? std::min(4.0, rect.height() / 2) : 0;
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(rect, radius, radius));
}

gfx::Rect Cell::focusRingMaskBoundsForFrame(gfx::Rect cellFrame, View&) const
{
    return cellFrame;
}

// Tracking.

void Cell::getPeriodicDelay(double& delay, double& interval) const
{
    delay = 0.4;
    interval = 0.075;
}

EventMask Cell::sendActionOn(EventMask mask)
{
    auto old = m_actionMask;
    m_actionMask = mask;
    return old;
}

bool Cell::startTrackingAt(gfx::Point, View&)
{
    return m_continuous || (m_actionMask & EventMasks::LeftMouseDragged) != 0;
}

bool Cell::continueTracking(gfx::Point, gfx::Point, View&)
{
    return m_continuous || (m_actionMask & EventMasks::LeftMouseDragged) != 0;
}

void Cell::stopTracking(gfx::Point, gfx::Point, View&, bool)
{
}

bool Cell::trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp)
{
    auto self = shared_from_this(); // the action may drop the control and its cell
    auto view = controlView.shared_from_this();
    m_mouseDownFlags = event.modifierFlags();
    auto location = controlView.convertPointFromView(event.locationInWindow(), nullptr);
    if (m_actionMask & EventMasks::LeftMouseDown)
        sendActionFromControlView();
    bool tracking = startTrackingAt(location, controlView);

    const bool periodic = (m_actionMask & EventMasks::Periodic) != 0;
    double delay = 0, interval = 0;
    if (periodic)
        getPeriodicDelay(delay, interval);
    detail::TrackingEvents events(periodic, delay, interval);

    gfx::Point last = location, stop = location;
    bool mouseWentUp = false;
    for (;;) {
        auto next = events.next();
        if (next.tick) {
            // Held still: the periodic action, as if the mouse had moved to where it is.
            if (tracking)
                tracking = continueTracking(last, last, controlView);
            sendActionFromControlView();
            continue;
        }
        if (!next.event)
            break; // no more events will come (the input stream ended)
        auto point = controlView.convertPointFromView(next.event->locationInWindow(), nullptr);
        stop = point;
        if (next.event->type() == EventType::LeftMouseUp) {
            mouseWentUp = true;
            break;
        }
        if (!untilMouseUp && !controlView.mouseInRect(point, cellFrame))
            break;
        if (tracking)
            tracking = continueTracking(last, point, controlView);
        if (m_actionMask & EventMasks::LeftMouseDragged)
            sendActionFromControlView();
        last = point;
    }
    stopTracking(last, stop, controlView, mouseWentUp);
    if (!mouseWentUp)
        return false;
    if (untilMouseUp || controlView.mouseInRect(stop, cellFrame)) {
        setNextState();
        if (m_actionMask & EventMasks::LeftMouseUp)
            sendActionFromControlView();
    }
    return true;
}

bool Cell::sendActionFromControlView()
{
    auto view = controlView();
    if (!view)
        return false;
    if (auto control = std::dynamic_pointer_cast<Control>(view))
        return control->sendAction(action(), target());
    return action() && Application::shared().sendAction(action(), target(), view->selfValue());
}

void Cell::performClick(const fnd::Value&)
{
    auto view = controlView();
    if (!view)
        return;
    performClickWithFrame(view->bounds(), *view);
}

void Cell::performClickWithFrame(gfx::Rect frame, View& controlView)
{
    if (!m_enabled)
        return;
    auto self = shared_from_this();
    auto view = controlView.shared_from_this();
    m_controlView = std::static_pointer_cast<View>(view);
    highlight(true, frame, controlView);
    setNextState();
    highlight(false, frame, controlView);
    sendActionFromControlView();
}

// Editing (editWithFrame, selectWithFrame and endEditing set up the field editor, a text view: they are in
// text/CellTextEditing.cpp).

std::shared_ptr<View> Cell::setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor)
{
    return fieldEditor;
}

void Cell::resetCursorRect(gfx::Rect, View&)
{
}

// Archiving.

void Cell::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_type), "CellType");
    coder.encodeObject(m_objectValue, "Contents");
    if (m_formatter)
        coder.encodeObject(fnd::Value(m_formatter), "Formatter");
    // Written when there is none too: a cell made with an image (a context-menu button's gear) and given none must
    // read back without one.
    coder.encodeObject(fnd::Value(m_image), "Image");
    coder.encodeInt(static_cast<int>(m_state), "State");
    coder.encodeBool(m_allowsMixedState, "AllowsMixedState");
    coder.encodeBool(m_enabled, "Enabled");
    coder.encodeBool(m_editable, "Editable");
    coder.encodeBool(m_selectable, "Selectable");
    coder.encodeBool(m_scrollable, "Scrollable");
    coder.encodeBool(m_bezeled, "Bezeled");
    coder.encodeBool(m_bordered, "Bordered");
    coder.encodeBool(m_continuous, "Continuous");
    coder.encodeInt64(static_cast<std::int64_t>(m_actionMask), "ActionMask");
    if (m_font)
        coder.encodeObject(fnd::Value(m_font), "Font");
    coder.encodeInt(static_cast<int>(m_alignment), "Alignment");
    coder.encodeInt(static_cast<int>(m_lineBreakMode), "LineBreakMode");
    coder.encodeInt(static_cast<int>(m_controlSize), "ControlSize");
    coder.encodeInt(static_cast<int>(m_controlTint), "ControlTint");
    coder.encodeInt(static_cast<int>(m_backgroundStyle), "BackgroundStyle");
    coder.encodeInt(static_cast<int>(m_focusRingType), "FocusRingType");
    coder.encodeBool(m_showsFirstResponder, "ShowsFirstResponder");
    coder.encodeBool(m_refusesFirstResponder, "RefusesFirstResponder");
    coder.encodeBool(m_sendsActionOnEndEditing, "SendsActionOnEndEditing");
    if (!m_representedObject.isNil())
        coder.encodeObject(m_representedObject, "RepresentedObject");
}

bool Cell::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    auto readInt = [&](const char* key, int fallback) {
        return coder.containsValueForKey(key) ? coder.decodeIntForKey(key) : fallback;
    };
    auto readBool = [&](const char* key, bool fallback) {
        return coder.containsValueForKey(key) ? coder.decodeBoolForKey(key) : fallback;
    };
    m_type = static_cast<CellType>(readInt("CellType", static_cast<int>(m_type)));
    if (coder.containsValueForKey("Contents"))
        m_objectValue = coder.decodeObjectForKey("Contents");
    m_formatter = coder.decodeObjectForKey("Formatter").objectAs<fnd::Formatter>();
    if (coder.containsValueForKey("Image"))
        m_image = coder.decodeObjectForKey("Image").objectAs<gfx::Image>();
    m_allowsMixedState = readBool("AllowsMixedState", m_allowsMixedState);
    int state = std::clamp(readInt("State", static_cast<int>(m_state)), -1, 1);
    m_state = static_cast<ControlStateValue>(state);
    if (m_state == ControlStateValue::Mixed && !m_allowsMixedState)
        m_state = ControlStateValue::On;
    m_enabled = readBool("Enabled", m_enabled);
    m_editable = readBool("Editable", m_editable);
    m_selectable = readBool("Selectable", m_selectable);
    m_scrollable = readBool("Scrollable", m_scrollable);
    m_bezeled = readBool("Bezeled", m_bezeled);
    m_bordered = readBool("Bordered", m_bordered);
    m_continuous = readBool("Continuous", m_continuous);
    if (coder.containsValueForKey("ActionMask"))
        m_actionMask = static_cast<EventMask>(coder.decodeInt64ForKey("ActionMask"));
    if (coder.containsValueForKey("Font"))
        m_font = coder.decodeObjectForKey("Font").objectAs<gfx::Font>();
    m_alignment = static_cast<txt::TextAlignment>(std::clamp(readInt("Alignment", int(m_alignment)), 0, 4));
    m_lineBreakMode = static_cast<txt::LineBreakMode>(std::clamp(readInt("LineBreakMode", int(m_lineBreakMode)), 0, 5));
    m_controlSize = static_cast<ControlSize>(std::clamp(readInt("ControlSize", int(m_controlSize)), 0, 2));
    m_controlTint = static_cast<gfx::ControlTint>(readInt("ControlTint", int(m_controlTint)));
    m_backgroundStyle
        = static_cast<BackgroundStyle>(std::clamp(readInt("BackgroundStyle", int(m_backgroundStyle)), 0, 3));
    m_focusRingType = static_cast<FocusRingType>(std::clamp(readInt("FocusRingType", int(m_focusRingType)), 0, 2));
    m_showsFirstResponder = readBool("ShowsFirstResponder", m_showsFirstResponder);
    m_refusesFirstResponder = readBool("RefusesFirstResponder", m_refusesFirstResponder);
    m_sendsActionOnEndEditing = readBool("SendsActionOnEndEditing", m_sendsActionOnEndEditing);
    if (coder.containsValueForKey("RepresentedObject"))
        m_representedObject = coder.decodeObjectForKey("RepresentedObject");
    return !coder.hasFailed();
}

}
