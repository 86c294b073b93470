// How cells and controls answer assistive technologies. A control stands for its one cell: the cell gives the role,
// title, value and actions, the control its place in the tree, frame and focus.

#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/ImageCell.h"
#include "platform/ui/controls/LevelIndicatorCell.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/controls/ProgressIndicator.h"
#include "platform/ui/controls/SegmentedCell.h"
#include "platform/ui/controls/SliderCell.h"
#include "platform/ui/controls/StepperCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace ui {

namespace Attr = AccessibilityAttribute;

namespace {

// The attributes a control answers itself rather than through its cell.
bool controlAccessibilityAnswersItself(const fnd::String& attribute)
{
    return attribute == Attr::Parent || attribute == Attr::Children || attribute == Attr::Window
        || attribute == Attr::TopLevelUIElement || attribute == Attr::Position || attribute == Attr::Size
        || attribute == Attr::Focused || attribute == Attr::Help || attribute == Attr::TitleUIElement;
}

void cellAccessibilityAddNames(std::vector<fnd::String>& names, std::initializer_list<fnd::String> more)
{
    for (const auto& name : more)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
}

// Check boxes and radio buttons report mixed as 2.
fnd::Value cellAccessibilityStateValue(ControlStateValue state)
{
    switch (state) {
    case ControlStateValue::On:
        return 1;
    case ControlStateValue::Mixed:
        return 2;
    case ControlStateValue::Off:
        break;
    }
    return 0;
}

// Steps a value cell by a twentieth of its range (or by the step it has) and sends its action, as the arrow keys do.
void cellAccessibilityStep(Cell& cell, double step, double minimum, double maximum)
{
    if (!cell.isEnabled() || step == 0)
        return;
    auto value = std::clamp(cell.doubleValue() + step, std::min(minimum, maximum), std::max(minimum, maximum));
    if (value == cell.doubleValue())
        return;
    cell.setDoubleValue(value);
    cell.sendActionFromControlView();
}

// Sliders, steppers and level indicators answer the same value and range attributes; nullopt for any other.
std::optional<fnd::Value> cellAccessibilityRangeValue(
    const Cell& cell, const fnd::String& attribute, double minimum, double maximum)
{
    if (attribute == Attr::Value)
        return fnd::Value(cell.doubleValue());
    if (attribute == Attr::MinValue)
        return fnd::Value(minimum);
    if (attribute == Attr::MaxValue)
        return fnd::Value(maximum);
    return std::nullopt;
}

// A value set through accessibility is taken as the person's own change: the cell's action is sent.
void cellAccessibilitySetNumber(Cell& cell, bool settable, const fnd::Value& value)
{
    if (!settable || !value.isNumber())
        return;
    cell.setDoubleValue(value.doubleValue());
    cell.sendActionFromControlView();
}

}

// Cell.

std::vector<fnd::String> Cell::accessibilityAttributeNames() const
{
    std::vector<fnd::String> names { Attr::Role, Attr::RoleDescription, Attr::Parent, Attr::Window,
        Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Focused, Attr::Enabled };
    if (m_type == CellType::Text)
        names.push_back(Attr::Value);
    return names;
}

fnd::Value Cell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    auto view = controlView();
    if (attribute == Attr::Role) {
        switch (m_type) {
        case CellType::Text:
            return isEditable() ? AccessibilityRole::TextField : AccessibilityRole::StaticText;
        case CellType::Image:
            return AccessibilityRole::Image;
        case CellType::Null:
            break;
        }
        return AccessibilityRole::Unknown;
    }
    if (attribute == Attr::Value)
        return m_type == CellType::Text ? fnd::Value(stringValue()) : fnd::Value();
    if (attribute == Attr::Enabled)
        return m_enabled;
    if (attribute == Attr::Parent)
        return view ? accessibilityUnignoredAncestor(view->selfValue()) : fnd::Value();
    if (attribute == Attr::Window || attribute == Attr::TopLevelUIElement) {
        auto window = view ? view->window() : nullptr;
        return window ? window->selfValue() : fnd::Value();
    }
    if (attribute == Attr::Position || attribute == Attr::Size) {
        auto frame = view ? view->accessibilityFrameOfCell(*this) : std::nullopt;
        if (!frame)
            return {};
        auto window = view->window();
        auto onScreen = view->convertRectToView(*frame, nullptr);
        if (window)
            onScreen = window->convertRectToScreen(onScreen);
        return attribute == Attr::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    if (attribute == Attr::Focused) {
        auto control = std::dynamic_pointer_cast<Control>(view);
        return control && control->accessibilityHasKeyboardFocus() && control->selectedCell().get() == this;
    }
    return AccessibilityElement::accessibilityAttributeValue(attribute);
}

bool Cell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == Attr::Value && m_type == CellType::Text && isEditable() && m_enabled;
}

void Cell::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (!accessibilityIsAttributeSettable(attribute) || !value.isString())
        return;
    setStringValue(*value.string());
    sendActionFromControlView();
}

bool Cell::accessibilityIsIgnored() const
{
    // A cell that shows nothing a role names (a null cell of the base class) only takes room. Read for every control
    // of every children list: the role is compared where it stands, without a value made to compare it with.
    const auto role = accessibilityAttributeValue(Attr::Role);
    const auto* name = role.string();
    return name && *name == AccessibilityRole::Unknown;
}

fnd::Value Cell::accessibilityHitTest(gfx::Point screenPoint) const
{
    (void)screenPoint;
    return accessibilityUnignoredAncestor(accessibilityRepresentative());
}

fnd::Value Cell::accessibilityFocusedUIElement() const
{
    return accessibilityUnignoredAncestor(accessibilityRepresentative());
}

fnd::Value Cell::accessibilityRepresentative() const
{
    auto view = controlView();
    if (auto control = std::dynamic_pointer_cast<Control>(view); control && control->cell().get() == this)
        return control->selfValue();
    return selfValue();
}

// Buttons.

std::vector<fnd::String> ButtonCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Subrole, Attr::Title });
    if (isCheckOrRadio() || m_buttonType == ButtonType::PushOnPushOff || m_buttonType == ButtonType::Toggle
        || m_buttonType == ButtonType::OnOff)
        cellAccessibilityAddNames(names, { Attr::Value });
    return names;
}

fnd::Value ButtonCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const bool toggles = m_buttonType == ButtonType::PushOnPushOff || m_buttonType == ButtonType::Toggle
        || m_buttonType == ButtonType::OnOff;
    if (attribute == Attr::Role) {
        if (m_buttonType == ButtonType::Switch)
            return AccessibilityRole::CheckBox;
        if (m_buttonType == ButtonType::Radio)
            return AccessibilityRole::RadioButton;
        if (m_bezelStyle == BezelStyle::Disclosure)
            return AccessibilityRole::DisclosureTriangle;
        return AccessibilityRole::Button;
    }
    if (attribute == Attr::Subrole)
        return toggles ? fnd::Value(AccessibilitySubrole::Toggle) : fnd::Value();
    if (attribute == Attr::Title)
        return title();
    if (attribute == Attr::Value)
        return isCheckOrRadio() || toggles ? cellAccessibilityStateValue(state()) : fnd::Value();
    return Cell::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> ButtonCell::accessibilityActionNames() const
{
    return { AccessibilityAction::Press };
}

void ButtonCell::accessibilityPerformAction(const fnd::String& action)
{
    if (action == AccessibilityAction::Press && isEnabled())
        performClick(accessibilityRepresentative());
}

// Pop-up buttons.

std::vector<fnd::String> PopUpButtonCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Title, Attr::Value, Attr::Children });
    return names;
}

fnd::Value PopUpButtonCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return m_pullsDown ? AccessibilityRole::MenuButton : AccessibilityRole::PopUpButton;
    if (attribute == Attr::Title)
        return m_pullsDown ? fnd::Value(title()) : fnd::Value();
    if (attribute == Attr::Value)
        return m_pullsDown ? fnd::Value() : fnd::Value(titleOfSelectedItem());
    if (attribute == Attr::Children) {
        auto m = menu();
        return m ? fnd::Array { m->selfValue() } : fnd::Array();
    }
    return Cell::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> PopUpButtonCell::accessibilityActionNames() const
{
    return { AccessibilityAction::Press, AccessibilityAction::ShowMenu };
}

void PopUpButtonCell::accessibilityPerformAction(const fnd::String& action)
{
    if ((action == AccessibilityAction::Press || action == AccessibilityAction::ShowMenu) && isEnabled())
        performClick(accessibilityRepresentative());
}

// Sliders, steppers, level indicators.

std::vector<fnd::String> SliderCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue, Attr::Orientation });
    return names;
}

fnd::Value SliderCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Slider;
    if (auto range = cellAccessibilityRangeValue(*this, attribute, m_minValue, m_maxValue))
        return *range;
    if (attribute == Attr::Orientation)
        return isVertical() ? AccessibilityOrientation::Vertical : AccessibilityOrientation::Horizontal;
    return Cell::accessibilityAttributeValue(attribute);
}

bool SliderCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == Attr::Value && isEnabled();
}

void SliderCell::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    cellAccessibilitySetNumber(*this, accessibilityIsAttributeSettable(attribute), value);
}

std::vector<fnd::String> SliderCell::accessibilityActionNames() const
{
    return { AccessibilityAction::Increment, AccessibilityAction::Decrement };
}

void SliderCell::accessibilityPerformAction(const fnd::String& action)
{
    double step = (m_maxValue - m_minValue) / 20;
    if (action == AccessibilityAction::Increment)
        cellAccessibilityStep(*this, step, m_minValue, m_maxValue);
    else if (action == AccessibilityAction::Decrement)
        cellAccessibilityStep(*this, -step, m_minValue, m_maxValue);
}

std::vector<fnd::String> StepperCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue });
    return names;
}

fnd::Value StepperCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Incrementor;
    if (auto range = cellAccessibilityRangeValue(*this, attribute, m_minValue, m_maxValue))
        return *range;
    return Cell::accessibilityAttributeValue(attribute);
}

bool StepperCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == Attr::Value && isEnabled();
}

void StepperCell::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    cellAccessibilitySetNumber(*this, accessibilityIsAttributeSettable(attribute), value);
}

std::vector<fnd::String> StepperCell::accessibilityActionNames() const
{
    return { AccessibilityAction::Increment, AccessibilityAction::Decrement };
}

void StepperCell::accessibilityPerformAction(const fnd::String& action)
{
    if (action == AccessibilityAction::Increment)
        cellAccessibilityStep(*this, m_increment, m_minValue, m_maxValue);
    else if (action == AccessibilityAction::Decrement)
        cellAccessibilityStep(*this, -m_increment, m_minValue, m_maxValue);
}

std::vector<fnd::String> LevelIndicatorCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue });
    return names;
}

fnd::Value LevelIndicatorCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::LevelIndicator;
    if (auto range = cellAccessibilityRangeValue(*this, attribute, m_minValue, m_maxValue))
        return *range;
    return Cell::accessibilityAttributeValue(attribute);
}

bool LevelIndicatorCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == Attr::Value && isEditable() && isEnabled();
}

void LevelIndicatorCell::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    cellAccessibilitySetNumber(*this, accessibilityIsAttributeSettable(attribute), value);
}

// Images, colour wells, progress indicators.

std::vector<fnd::String> ImageCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    std::erase(names, Attr::Value);
    return names;
}

fnd::Value ImageCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::Image;
    if (attribute == Attr::Value)
        return {};
    return Cell::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> ColorWell::accessibilityAttributeNames() const
{
    auto names = Control::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Value });
    return names;
}

fnd::Value ColorWell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::ColorWell;
    if (attribute == Attr::Value) {
        if (!m_color || m_color->model() == gfx::Color::Model::Pattern)
            return {};
        auto percent = [](double component) { return std::to_string(long(std::lround(component * 100))) + "%"; };
        return fnd::String("red " + percent(m_color->redComponent()) + ", green " + percent(m_color->greenComponent())
            + ", blue " + percent(m_color->blueComponent()));
    }
    return Control::accessibilityAttributeValue(attribute);
}

std::vector<fnd::String> ColorWell::accessibilityActionNames() const
{
    return { AccessibilityAction::Press };
}

void ColorWell::accessibilityPerformAction(const fnd::String& action)
{
    if (action == AccessibilityAction::Press && isEnabled())
        activate(true);
}

std::vector<fnd::String> ProgressIndicator::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    cellAccessibilityAddNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue });
    return names;
}

fnd::Value ProgressIndicator::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return AccessibilityRole::ProgressIndicator;
    if (attribute == Attr::Value)
        return m_indeterminate ? fnd::Value() : fnd::Value(m_value);
    if (attribute == Attr::MinValue)
        return m_minValue;
    if (attribute == Attr::MaxValue)
        return m_maxValue;
    return View::accessibilityAttributeValue(attribute);
}

// Control.

std::vector<fnd::String> Control::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    if (m_cell)
        for (const auto& name : m_cell->accessibilityAttributeNames())
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
    return names;
}

fnd::Value Control::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (m_cell && !controlAccessibilityAnswersItself(attribute)) {
        auto value = m_cell->accessibilityAttributeValue(attribute);
        if (!value.isNil())
            return value;
    }
    if (attribute == Attr::Children && m_cell) {
        // A cell with children of its own (a pop-up's menu) lends them to the control.
        auto children = m_cell->accessibilityAttributeValue(Attr::Children);
        if (children.isArray())
            return accessibilityUnignoredChildren(*children.array());
    }
    return View::accessibilityAttributeValue(attribute);
}

bool Control::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    if (attribute == Attr::Focused)
        return View::accessibilityIsAttributeSettable(attribute) && isEnabled();
    return m_cell && m_cell->accessibilityIsAttributeSettable(attribute);
}

void Control::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (attribute == Attr::Focused)
        View::accessibilitySetValue(value, attribute);
    else if (m_cell)
        m_cell->accessibilitySetValue(value, attribute);
}

std::vector<fnd::String> Control::accessibilityActionNames() const
{
    return m_cell ? m_cell->accessibilityActionNames() : std::vector<fnd::String>();
}

fnd::String Control::accessibilityActionDescription(const fnd::String& action) const
{
    return m_cell ? m_cell->accessibilityActionDescription(action) : fnd::String();
}

void Control::accessibilityPerformAction(const fnd::String& action)
{
    auto self = shared_from_this();
    if (m_cell && isEnabled())
        m_cell->accessibilityPerformAction(action);
}

bool Control::accessibilityIsIgnored() const
{
    return !m_cell || m_cell->accessibilityIsIgnored();
}

std::optional<gfx::Rect> Control::accessibilityFrameOfCell(const Cell& cell) const
{
    if (&cell == m_cell.get())
        return bounds();
    return std::nullopt;
}

// Matrices.

std::vector<fnd::String> Matrix::accessibilityAttributeNames() const
{
    return View::accessibilityAttributeNames();
}

fnd::Value Matrix::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role) {
        bool radios = !m_cells.empty();
        for (const auto& cell : m_cells) {
            auto button = std::dynamic_pointer_cast<ButtonCell>(cell);
            radios = radios && button && button->buttonType() == ButtonType::Radio;
        }
        return radios ? AccessibilityRole::RadioGroup : AccessibilityRole::Group;
    }
    if (attribute == Attr::Children) {
        fnd::Array cells;
        for (const auto& cell : m_cells)
            cells.push_back(cell->selfValue());
        return accessibilityUnignoredChildren(cells);
    }
    if (attribute == Attr::Enabled)
        return isEnabled();
    return View::accessibilityAttributeValue(attribute);
}

fnd::Value Matrix::accessibilityHitTest(gfx::Point screenPoint) const
{
    if (auto w = window()) {
        auto point = convertPointFromView(w->convertScreenToBase(screenPoint), nullptr);
        long row = 0;
        long column = 0;
        if (getRowColumnForPoint(point, row, column))
            if (auto cell = cellAtRowColumn(row, column); cell && !cell->accessibilityIsIgnored())
                return cell->selfValue();
    }
    return View::accessibilityHitTest(screenPoint);
}

std::optional<gfx::Rect> Matrix::accessibilityFrameOfCell(const Cell& cell) const
{
    long row = 0;
    long column = 0;
    if (!getRowColumnOfCell(cell, row, column))
        return std::nullopt;
    return cellFrameAtRowColumn(row, column);
}

// Segmented cells.

namespace {

// One segment of a segmented cell.
class SegmentedCellAccessibilitySegment : public fnd::Object, public AccessibilityElement {
public:
    SegmentedCellAccessibilitySegment(std::weak_ptr<SegmentedCell> cell, long segment)
        : m_cell(std::move(cell))
        , m_segment(segment)
    {
    }

    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        return { Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Value, Attr::Help, Attr::Enabled, Attr::Parent,
            Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size };
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto cell = m_cell.lock();
        if (!cell || m_segment >= cell->segmentCount())
            return {};
        auto mode = cell->trackingMode();
        if (attribute == Attr::Role)
            return mode == SegmentSwitchTracking::SelectOne ? AccessibilityRole::RadioButton
                : mode == SegmentSwitchTracking::SelectAny  ? AccessibilityRole::CheckBox
                                                            : AccessibilityRole::Button;
        if (attribute == Attr::Title)
            return cell->labelForSegment(m_segment);
        if (attribute == Attr::Value)
            return mode == SegmentSwitchTracking::SelectOne || mode == SegmentSwitchTracking::SelectAny
                ? fnd::Value(cell->isSelectedForSegment(m_segment) ? 1 : 0)
                : fnd::Value();
        if (attribute == Attr::Help) {
            auto tip = cell->toolTipForSegment(m_segment);
            return tip.isEmpty() ? fnd::Value() : fnd::Value(tip);
        }
        if (attribute == Attr::Enabled)
            return cell->isEnabled() && cell->isEnabledForSegment(m_segment);
        if (attribute == Attr::Parent)
            return accessibilityUnignoredAncestor(cell->accessibilityRepresentative());
        auto view = cell->controlView();
        if (attribute == Attr::Window || attribute == Attr::TopLevelUIElement) {
            auto window = view ? view->window() : nullptr;
            return window ? window->selfValue() : fnd::Value();
        }
        if (attribute == Attr::Position || attribute == Attr::Size) {
            auto frame = view ? view->accessibilityFrameOfCell(*cell) : std::nullopt;
            if (!frame)
                return {};
            auto inWindow = view->convertRectToView(cell->rectForSegment(m_segment, *frame), nullptr);
            auto window = view->window();
            auto onScreen = window ? window->convertRectToScreen(inWindow) : inWindow;
            return attribute == Attr::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
        }
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }

    std::vector<fnd::String> accessibilityActionNames() const override { return { AccessibilityAction::Press }; }

    void accessibilityPerformAction(const fnd::String& action) override
    {
        auto cell = m_cell.lock();
        if (action != AccessibilityAction::Press || !cell || !cell->isEnabled() || m_segment >= cell->segmentCount()
            || !cell->isEnabledForSegment(m_segment))
            return;
        cell->chooseSegment(m_segment);
        cell->sendActionFromControlView();
    }

    bool accessibilityIsIgnored() const override { return false; }

private:
    std::weak_ptr<SegmentedCell> m_cell;
    long m_segment;
};

}

std::vector<fnd::String> SegmentedCell::accessibilityAttributeNames() const
{
    auto names = Cell::accessibilityAttributeNames();
    std::erase(names, Attr::Value);
    cellAccessibilityAddNames(names, { Attr::Children });
    return names;
}

fnd::Value SegmentedCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == Attr::Role)
        return m_trackingMode == SegmentSwitchTracking::SelectOne ? AccessibilityRole::RadioGroup
                                                                  : AccessibilityRole::Group;
    if (attribute == Attr::Value)
        return {};
    if (attribute == Attr::Children) {
        auto& elements = m_accessibilitySegments.elements;
        elements.resize(std::size_t(segmentCount()));
        auto self = std::static_pointer_cast<SegmentedCell>(std::const_pointer_cast<fnd::Object>(shared_from_this()));
        fnd::Array segments;
        for (long i = 0; i < segmentCount(); ++i) {
            if (!elements[std::size_t(i)])
                elements[std::size_t(i)] = std::make_shared<SegmentedCellAccessibilitySegment>(self, i);
            segments.push_back(elements[std::size_t(i)]->selfValue());
        }
        return segments;
    }
    return Cell::accessibilityAttributeValue(attribute);
}

}
