#include "platform/ui/controls/Control.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(Control, View)

void Control::describeClass(fnd::ClassBuilder<Control>& c)
{
    c.property("cell", &Control::cell, &Control::setCell);
    c.property("objectValue", &Control::objectValue, &Control::setObjectValue);
    c.property("stringValue", &Control::stringValue, &Control::setStringValue);
    c.property("integerValue", &Control::integerValue, &Control::setIntegerValue);
    c.property("intValue", &Control::integerValue, &Control::setIntegerValue);
    c.property("doubleValue", &Control::doubleValue, &Control::setDoubleValue);
    c.property("floatValue", &Control::doubleValue, &Control::setDoubleValue);
    c.property("formatter", &Control::formatter, &Control::setFormatter);
    c.property("enabled", &Control::isEnabled, &Control::setEnabled);
    c.property("state", &Control::state, &Control::setState);
    c.property("allowsMixedState", &Control::allowsMixedState, &Control::setAllowsMixedState);
    c.property("highlighted", &Control::isHighlighted, &Control::setHighlighted);
    c.property("continuous", &Control::isContinuous, &Control::setContinuous);
    c.property("font", &Control::font, &Control::setFont);
    c.property("alignment", &Control::alignment, &Control::setAlignment);
    c.property("lineBreakMode", &Control::lineBreakMode, &Control::setLineBreakMode);
    c.property("controlSize", &Control::controlSize, &Control::setControlSize);
    c.property("tag", &Control::tag, &Control::setTag);
    c.property("refusesFirstResponder", &Control::refusesFirstResponder, &Control::setRefusesFirstResponder);
    c.property("target", &Control::target, &Control::setTarget);
    c.property(
        "action", [](const Control& control) { return control.action() ? control.action().name() : fnd::String(); },
        [](Control& control, const fnd::String& name) {
            control.setAction(name.isEmpty() ? fnd::Selector() : fnd::Selector(name));
        });
    c.action("takeObjectValueFrom:", &Control::takeObjectValueFrom);
    c.action("takeStringValueFrom:", &Control::takeStringValueFrom);
    c.action("takeIntegerValueFrom:", &Control::takeIntegerValueFrom);
    c.action("takeIntValueFrom:", &Control::takeIntValueFrom);
    c.action("takeDoubleValueFrom:", &Control::takeDoubleValueFrom);
    c.action("takeFloatValueFrom:", &Control::takeFloatValueFrom);
    c.action("performClick:", &Control::performClick);
    c.exposeBinding("value");
    c.exposeBinding("enabled");
    c.exposeBinding("hidden");
}

std::shared_ptr<Control> Control::create(gfx::Rect frame)
{
    return makeView<Control>(frame);
}

void Control::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    ensureCell();
}

void Control::ensureCell()
{
    if (!m_cell)
        setCell(makeCell());
}

std::shared_ptr<Cell> Control::makeCell() const
{
    auto cell = fnd::makeObject<ActionCell>();
    cell->initTextCell({});
    return cell;
}

bool Control::acceptsCell(const Cell& cell) const
{
    auto made = makeCell();
    if (!made || cell.isKindOf(made->classInfo()))
        return true;
    const auto& kind = cell.classInfo();
    return made->classInfo().isSubclassOf(kind) && kind.isSubclassOf(ActionCell::staticClassInfo())
        && &kind != &ActionCell::staticClassInfo();
}

void Control::setCell(const std::shared_ptr<Cell>& cell)
{
    if (cell == m_cell)
        return;
    if (!cell)
        throw fnd::Exception::invalidArgument(className() + ": setCell: a control needs a cell");
    if (m_cell && !acceptsCell(*cell))
        throw fnd::Exception::invalidArgument(
            className() + ": setCell: a " + cell->className() + " is not a " + makeCell()->className());
    if (m_cell && m_cell->controlView().get() == this)
        m_cell->setControlView(nullptr);
    m_cell = cell;
    if (m_cell)
        m_cell->setControlView(std::static_pointer_cast<View>(shared_from_this()));
    setNeedsDisplay(true);
}

// Values.

fnd::Value Control::objectValue() const
{
    const_cast<Control*>(this)->validateEditing();
    return m_cell ? m_cell->objectValue() : fnd::Value();
}

void Control::setObjectValue(const fnd::Value& value)
{
    abortEditing();
    if (m_cell)
        m_cell->setObjectValue(value);
}

fnd::String Control::stringValue() const
{
    const_cast<Control*>(this)->validateEditing();
    return m_cell ? m_cell->stringValue() : fnd::String();
}

void Control::setStringValue(const fnd::String& string)
{
    abortEditing();
    if (m_cell)
        m_cell->setStringValue(string);
}

std::shared_ptr<txt::AttributedString> Control::attributedStringValue() const
{
    const_cast<Control*>(this)->validateEditing();
    return m_cell ? m_cell->attributedStringValue() : std::make_shared<txt::AttributedString>();
}

void Control::setAttributedStringValue(const std::shared_ptr<txt::AttributedString>& text)
{
    abortEditing();
    if (m_cell)
        m_cell->setAttributedStringValue(text);
}

std::int64_t Control::integerValue() const
{
    const_cast<Control*>(this)->validateEditing();
    return m_cell ? m_cell->integerValue() : 0;
}

void Control::setIntegerValue(std::int64_t value)
{
    abortEditing();
    if (m_cell)
        m_cell->setIntegerValue(value);
}

double Control::doubleValue() const
{
    const_cast<Control*>(this)->validateEditing();
    return m_cell ? m_cell->doubleValue() : 0;
}

void Control::setDoubleValue(double value)
{
    abortEditing();
    if (m_cell)
        m_cell->setDoubleValue(value);
}

namespace {

// The value source of a take...ValueFrom: action: a control or a cell.
template <typename Read> void takeFrom(const fnd::Value& sender, Read read)
{
    if (auto control = sender.objectAs<Control>())
        read(*control->cell());
    else if (auto cell = sender.objectAs<Cell>())
        read(*cell);
}

}

void Control::takeObjectValueFrom(const fnd::Value& sender)
{
    takeFrom(sender, [this](const Cell& c) { setObjectValue(c.objectValue()); });
}

void Control::takeStringValueFrom(const fnd::Value& sender)
{
    takeFrom(sender, [this](const Cell& c) { setStringValue(c.stringValue()); });
}

void Control::takeIntegerValueFrom(const fnd::Value& sender)
{
    takeFrom(sender, [this](const Cell& c) { setIntegerValue(c.integerValue()); });
}

void Control::takeDoubleValueFrom(const fnd::Value& sender)
{
    takeFrom(sender, [this](const Cell& c) { setDoubleValue(c.doubleValue()); });
}

std::shared_ptr<fnd::Formatter> Control::formatter() const
{
    return m_cell ? m_cell->formatter() : nullptr;
}

void Control::setFormatter(std::shared_ptr<fnd::Formatter> formatter)
{
    if (m_cell)
        m_cell->setFormatter(std::move(formatter));
}

// Settings.

bool Control::isEnabled() const
{
    return m_cell && m_cell->isEnabled();
}

void Control::setEnabled(bool flag)
{
    if (!m_cell || m_cell->isEnabled() == flag)
        return;
    if (!flag) {
        abortEditing();
        // A control that stops taking the keyboard gives it back to the window.
        if (auto w = window(); w && w->firstResponder().get() == this)
            w->makeFirstResponder(nullptr);
    }
    m_cell->setEnabled(flag);
    setNeedsDisplay(true);
}

ControlStateValue Control::state() const
{
    return m_cell ? m_cell->state() : ControlStateValue::Off;
}

void Control::setState(ControlStateValue state)
{
    if (m_cell)
        m_cell->setState(state);
}

bool Control::allowsMixedState() const
{
    return m_cell && m_cell->allowsMixedState();
}

void Control::setAllowsMixedState(bool flag)
{
    if (m_cell)
        m_cell->setAllowsMixedState(flag);
}

bool Control::isHighlighted() const
{
    return m_cell && m_cell->isHighlighted();
}

void Control::setHighlighted(bool flag)
{
    if (m_cell)
        m_cell->setHighlighted(flag);
}

bool Control::isContinuous() const
{
    return m_cell && m_cell->isContinuous();
}

void Control::setContinuous(bool flag)
{
    if (m_cell)
        m_cell->setContinuous(flag);
}

EventMask Control::sendActionOn(EventMask mask)
{
    return m_cell ? m_cell->sendActionOn(mask) : 0;
}

std::shared_ptr<gfx::Font> Control::font() const
{
    return m_cell ? m_cell->font() : nullptr;
}

void Control::setFont(std::shared_ptr<gfx::Font> font)
{
    if (m_cell)
        m_cell->setFont(std::move(font));
}

txt::TextAlignment Control::alignment() const
{
    return m_cell ? m_cell->alignment() : txt::TextAlignment::Natural;
}

void Control::setAlignment(txt::TextAlignment alignment)
{
    if (m_cell)
        m_cell->setAlignment(alignment);
}

txt::LineBreakMode Control::lineBreakMode() const
{
    return m_cell ? m_cell->lineBreakMode() : txt::LineBreakMode::ByWordWrapping;
}

void Control::setLineBreakMode(txt::LineBreakMode mode)
{
    if (m_cell)
        m_cell->setLineBreakMode(mode);
}

ControlSize Control::controlSize() const
{
    return m_cell ? m_cell->controlSize() : ControlSize::Regular;
}

void Control::setControlSize(ControlSize size)
{
    if (m_cell)
        m_cell->setControlSize(size);
}

long Control::tag() const
{
    return m_cell ? m_cell->tag() : -1;
}

void Control::setTag(long tag)
{
    if (m_cell)
        m_cell->setTag(tag);
}

bool Control::refusesFirstResponder() const
{
    return m_cell && m_cell->refusesFirstResponder();
}

void Control::setRefusesFirstResponder(bool flag)
{
    if (m_cell)
        m_cell->setRefusesFirstResponder(flag);
}

fnd::Selector Control::action() const
{
    return m_cell ? m_cell->action() : fnd::Selector();
}

void Control::setAction(fnd::Selector action)
{
    if (m_cell)
        m_cell->setAction(action);
}

std::shared_ptr<fnd::Object> Control::target() const
{
    return m_cell ? m_cell->target() : nullptr;
}

void Control::setTarget(const std::shared_ptr<fnd::Object>& target)
{
    if (m_cell)
        m_cell->setTarget(target);
}

bool Control::sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target)
{
    auto self = weak_from_this().lock(); // the write-back or the action may remove the control
    pushBoundValues();
    if (!action)
        return false;
    return Application::shared().sendAction(action, target, selfValue());
}

void Control::performClick(const fnd::Value&)
{
    if (!m_cell || !isEnabled())
        return;
    auto self = shared_from_this();
    m_cell->performClickWithFrame(bounds(), *this);
}

// Redrawing.

void Control::updateCell(Cell&)
{
    setNeedsDisplay(true);
}

void Control::updateCellInside(Cell&)
{
    setNeedsDisplay(true);
}

void Control::drawCell(Cell& cell)
{
    if (&cell == m_cell.get())
        updateCell(cell);
}

void Control::drawCellInside(Cell& cell)
{
    if (&cell == m_cell.get())
        updateCellInside(cell);
}

void Control::selectCell(Cell& cell)
{
    if (&cell == m_cell.get())
        updateCell(cell);
}

void Control::sizeToFit()
{
    if (!m_cell)
        return;
    auto size = m_cell->cellSize();
    setFrameSize({ std::ceil(size.width), std::ceil(size.height) });
}

// Editing.

std::shared_ptr<View> Control::currentEditor() const
{
    return m_cell ? m_cell->currentFieldEditor() : nullptr;
}

bool Control::abortEditing()
{
    auto editor = currentEditor();
    if (!editor)
        return false;
    if (auto w = window(); w && w->firstResponder() == editor)
        w->makeFirstResponder(nullptr);
    m_cell->endEditing(editor);
    return true;
}

void Control::validateEditing()
{
    // The field editor offers its text as the "string" key.
    auto editor = currentEditor();
    if (!editor || !m_cell || !editor->classInfo().findProperty("string"))
        return;
    auto text = editor->valueForKey("string").stringValue();
    if (text != m_cell->stringValue())
        m_cell->setStringValue(text);
}

// View.

bool Control::acceptsFirstResponder() const
{
    return m_cell && m_cell->acceptsFirstResponder();
}

void Control::drawRect(gfx::Rect)
{
    if (m_cell)
        m_cell->drawWithFrame(bounds(), *this);
}

void Control::mouseDown(const Event& event)
{
    if (!m_cell || !isEnabled())
        return;
    if (m_ignoresMultiClick && event.clickCount() > 1)
        return;
    trackMouseWithEvent(event);
}

void Control::trackMouseWithEvent(const Event& event)
{
    auto self = shared_from_this();
    auto cell = m_cell;
    trackCell(*cell, bounds(), event);
}

void Control::trackCell(Cell& cell, gfx::Rect frame, const Event& event)
{
    auto& app = Application::shared();
    const bool untilMouseUp = cell.prefersTrackingUntilMouseUp();
    auto current = std::static_pointer_cast<Event>(std::const_pointer_cast<fnd::Object>(event.weak_from_this().lock()));
    if (!current)
        current = std::make_shared<Event>(event);
    for (;;) {
        auto point = convertPointFromView(current->locationInWindow(), nullptr);
        if (untilMouseUp || mouseInRect(point, frame)) {
            cell.highlight(true, frame, *this);
            bool done = cell.trackMouse(*current, frame, *this, untilMouseUp);
            cell.highlight(false, frame, *this);
            if (done)
                break;
        }
        current = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!current || current->type() == EventType::LeftMouseUp)
            break;
    }
}

void Control::mouseEntered(const Event& event)
{
    if (m_cell)
        m_cell->mouseEntered(event);
}

void Control::mouseExited(const Event& event)
{
    if (m_cell)
        m_cell->mouseExited(event);
}

void Control::resetCursorRects()
{
    if (m_cell)
        m_cell->resetCursorRect(bounds(), *this);
}

std::shared_ptr<Menu> Control::menuForEvent(const Event& event)
{
    if (m_cell) {
        if (auto menu = m_cell->menuForEvent(event, bounds(), *this))
            return menu;
    }
    return View::menuForEvent(event);
}

FocusRingType Control::focusRingType() const
{
    return m_cell ? m_cell->focusRingType() : View::focusRingType();
}

void Control::setFocusRingType(FocusRingType type)
{
    if (m_cell)
        m_cell->setFocusRingType(type);
    View::setFocusRingType(type);
}

void Control::drawFocusRingMask()
{
    if (m_cell)
        m_cell->drawFocusRingMaskWithFrame(bounds(), *this);
}

gfx::Rect Control::focusRingMaskBounds() const
{
    if (!m_cell || !m_cell->showsFirstResponder())
        return {};
    return m_cell->focusRingMaskBoundsForFrame(bounds(), *const_cast<Control*>(this));
}

}
