// How cells and controls answer assistive technologies. A control stands for its one cell: the cell gives the role,
// title, value and actions, the control its place in the tree, frame and focus.

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/accessibility/AccessibilityValueText.h"
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
#include <utility>

namespace ui {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

namespace {

// The attributes a control answers itself rather than through its cell.
bool controlAccessibilityAnswersItself(Key key)
{
    switch (key) {
    case Key::Parent:
    case Key::Children:
    case Key::Window:
    case Key::TopLevelUIElement:
    case Key::Position:
    case Key::Size:
    case Key::Focused:
    case Key::Help:
    case Key::TitleUIElement:
        return true;
    default:
        return false;
    }
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
std::optional<fnd::Value> cellAccessibilityRangeValue(const Cell& cell, Key key, double minimum, double maximum)
{
    switch (key) {
    case Key::Value:
        return fnd::Value(cell.doubleValue());
    case Key::MinValue:
        return fnd::Value(minimum);
    case Key::MaxValue:
        return fnd::Value(maximum);
    default:
        return std::nullopt;
    }
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
    auto names = accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Parent, Attr::Window,
        Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Focused, Attr::Enabled });
    if (m_type == CellType::Text)
        names.push_back(Attr::Value);
    return names;
}

fnd::Value Cell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    switch (key) {
    case Key::Role:
        switch (m_type) {
        case CellType::Text:
            return isEditable() ? AccessibilityRole::TextField : AccessibilityRole::StaticText;
        case CellType::Image:
            return AccessibilityRole::Image;
        case CellType::Null:
            break;
        }
        return AccessibilityRole::Unknown;
    case Key::Value:
        return m_type == CellType::Text ? fnd::Value(stringValue()) : fnd::Value();
    case Key::Enabled:
        return m_enabled;
    case Key::Parent: {
        auto view = controlView();
        return view ? accessibilityUnignoredAncestor(view->selfValue()) : fnd::Value();
    }
    case Key::Window:
    case Key::TopLevelUIElement: {
        auto view = controlView();
        auto window = view ? view->window() : nullptr;
        return window ? window->selfValue() : fnd::Value();
    }
    case Key::Position:
    case Key::Size: {
        auto view = controlView();
        auto frame = view ? view->accessibilityFrameOfCell(*this) : std::nullopt;
        if (!frame)
            return {};
        auto window = view->window();
        auto onScreen = view->convertRectToView(*frame, nullptr);
        if (window)
            onScreen = window->convertRectToScreen(onScreen);
        return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    case Key::Focused: {
        auto control = std::dynamic_pointer_cast<Control>(controlView());
        return control && control->accessibilityHasKeyboardFocus() && control->selectedCell().get() == this;
    }
    default:
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
}

bool Cell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return m_type == CellType::Text && isEditable() && m_enabled && accessibilityAttributeKey(attribute) == Key::Value;
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
    accessibilityAddAttributeNames(names, { Attr::Subrole, Attr::Title });
    if (isCheckOrRadio() || m_buttonType == ButtonType::PushOnPushOff || m_buttonType == ButtonType::Toggle
        || m_buttonType == ButtonType::OnOff)
        accessibilityAddAttributeNames(names, { Attr::Value });
    return names;
}

fnd::Value ButtonCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const bool toggles = m_buttonType == ButtonType::PushOnPushOff || m_buttonType == ButtonType::Toggle
        || m_buttonType == ButtonType::OnOff;
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        if (m_buttonType == ButtonType::Switch)
            return AccessibilityRole::CheckBox;
        if (m_buttonType == ButtonType::Radio)
            return AccessibilityRole::RadioButton;
        if (m_bezelStyle == BezelStyle::Disclosure)
            return AccessibilityRole::DisclosureTriangle;
        return AccessibilityRole::Button;
    case Key::Subrole:
        return toggles ? fnd::Value(AccessibilitySubrole::Toggle) : fnd::Value();
    case Key::Title:
        return title();
    case Key::Value:
        return isCheckOrRadio() || toggles ? cellAccessibilityStateValue(state()) : fnd::Value();
    default:
        return Cell::accessibilityAttributeValue(attribute);
    }
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
    accessibilityAddAttributeNames(names, { Attr::Title, Attr::Value, Attr::Children });
    return names;
}

fnd::Value PopUpButtonCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return m_pullsDown ? AccessibilityRole::MenuButton : AccessibilityRole::PopUpButton;
    case Key::Title:
        return m_pullsDown ? fnd::Value(title()) : fnd::Value();
    case Key::Value:
        return m_pullsDown ? fnd::Value() : fnd::Value(titleOfSelectedItem());
    case Key::Children: {
        auto m = menu();
        return m ? fnd::Array { m->selfValue() } : fnd::Array();
    }
    default:
        return Cell::accessibilityAttributeValue(attribute);
    }
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
    accessibilityAddAttributeNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue, Attr::Orientation });
    return names;
}

fnd::Value SliderCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    if (key == Key::Role)
        return AccessibilityRole::Slider;
    if (auto range = cellAccessibilityRangeValue(*this, key, m_minValue, m_maxValue))
        return *range;
    if (key == Key::Orientation)
        return isVertical() ? AccessibilityOrientation::Vertical : AccessibilityOrientation::Horizontal;
    return Cell::accessibilityAttributeValue(attribute);
}

bool SliderCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return isEnabled() && accessibilityAttributeKey(attribute) == Key::Value;
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
    accessibilityAddAttributeNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue });
    return names;
}

fnd::Value StepperCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    if (key == Key::Role)
        return AccessibilityRole::Incrementor;
    if (auto range = cellAccessibilityRangeValue(*this, key, m_minValue, m_maxValue))
        return *range;
    return Cell::accessibilityAttributeValue(attribute);
}

bool StepperCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return isEnabled() && accessibilityAttributeKey(attribute) == Key::Value;
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
    accessibilityAddAttributeNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue });
    return names;
}

fnd::Value LevelIndicatorCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    if (key == Key::Role)
        return AccessibilityRole::LevelIndicator;
    if (auto range = cellAccessibilityRangeValue(*this, key, m_minValue, m_maxValue))
        return *range;
    return Cell::accessibilityAttributeValue(attribute);
}

bool LevelIndicatorCell::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return isEditable() && isEnabled() && accessibilityAttributeKey(attribute) == Key::Value;
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
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::Image;
    case Key::Value:
        return {};
    default:
        return Cell::accessibilityAttributeValue(attribute);
    }
}

std::vector<fnd::String> ColorWell::accessibilityAttributeNames() const
{
    auto names = Control::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Value, Attr::ValueDescription });
    return names;
}

fnd::Value ColorWell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::ColorWell;
    case Key::Value:
    case Key::ValueDescription: {
        // The colour in words, as the well's text and its value's description.
        auto words = m_color ? accessibilityColorDescription(*m_color) : fnd::String();
        return words.isEmpty() ? fnd::Value() : fnd::Value(words);
    }
    default:
        return Control::accessibilityAttributeValue(attribute);
    }
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
    accessibilityAddAttributeNames(names, { Attr::Value, Attr::MinValue, Attr::MaxValue });
    return names;
}

fnd::Value ProgressIndicator::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::ProgressIndicator;
    case Key::Value:
        return m_indeterminate ? fnd::Value() : fnd::Value(m_value);
    case Key::MinValue:
        return m_minValue;
    case Key::MaxValue:
        return m_maxValue;
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

// Control.

std::vector<fnd::String> Control::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    if (m_cell)
        for (auto& name : m_cell->accessibilityAttributeNames())
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(std::move(name));
    return names;
}

fnd::Value Control::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const auto key = accessibilityAttributeKey(attribute);
    if (m_cell && !controlAccessibilityAnswersItself(key)) {
        auto value = m_cell->accessibilityAttributeValue(attribute);
        if (!value.isNil())
            return value;
    }
    if (key == Key::Children && m_cell) {
        // A cell with children of its own (a pop-up's menu) lends them to the control.
        auto children = m_cell->accessibilityAttributeValue(Attr::Children);
        if (children.isArray())
            return accessibilityUnignoredChildren(*children.array());
    }
    return View::accessibilityAttributeValue(attribute);
}

bool Control::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    if (accessibilityAttributeKey(attribute) == Key::Focused)
        return View::accessibilityIsAttributeSettable(attribute) && isEnabled();
    return m_cell && m_cell->accessibilityIsAttributeSettable(attribute);
}

void Control::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (accessibilityAttributeKey(attribute) == Key::Focused)
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
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role: {
        bool radios = !m_cells.empty();
        for (const auto& cell : m_cells) {
            auto button = std::dynamic_pointer_cast<ButtonCell>(cell);
            radios = radios && button && button->buttonType() == ButtonType::Radio;
        }
        return radios ? AccessibilityRole::RadioGroup : AccessibilityRole::Group;
    }
    case Key::Children: {
        fnd::Array cells;
        for (const auto& cell : m_cells)
            cells.push_back(cell->selfValue());
        return accessibilityUnignoredChildren(cells);
    }
    case Key::Enabled:
        return isEnabled();
    default:
        return View::accessibilityAttributeValue(attribute);
    }
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
        return accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Value, Attr::Help,
            Attr::Enabled, Attr::Parent, Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size });
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto cell = m_cell.lock();
        if (!cell || m_segment >= cell->segmentCount())
            return {};
        auto mode = cell->trackingMode();
        const auto key = accessibilityAttributeKey(attribute);
        switch (key) {
        case Key::Role:
            return mode == SegmentSwitchTracking::SelectOne ? AccessibilityRole::RadioButton
                : mode == SegmentSwitchTracking::SelectAny  ? AccessibilityRole::CheckBox
                                                            : AccessibilityRole::Button;
        case Key::Title:
            return cell->labelForSegment(m_segment);
        case Key::Value:
            return mode == SegmentSwitchTracking::SelectOne || mode == SegmentSwitchTracking::SelectAny
                ? fnd::Value(cell->isSelectedForSegment(m_segment) ? 1 : 0)
                : fnd::Value();
        case Key::Help: {
            auto tip = cell->toolTipForSegment(m_segment);
            return tip.isEmpty() ? fnd::Value() : fnd::Value(tip);
        }
        case Key::Enabled:
            return cell->isEnabled() && cell->isEnabledForSegment(m_segment);
        case Key::Parent:
            return accessibilityUnignoredAncestor(cell->accessibilityRepresentative());
        case Key::Window:
        case Key::TopLevelUIElement: {
            auto view = cell->controlView();
            auto window = view ? view->window() : nullptr;
            return window ? window->selfValue() : fnd::Value();
        }
        case Key::Position:
        case Key::Size: {
            auto view = cell->controlView();
            auto frame = view ? view->accessibilityFrameOfCell(*cell) : std::nullopt;
            if (!frame)
                return {};
            auto inWindow = view->convertRectToView(cell->rectForSegment(m_segment, *frame), nullptr);
            auto window = view->window();
            auto onScreen = window ? window->convertRectToScreen(inWindow) : inWindow;
            return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
        }
        default:
            return AccessibilityElement::accessibilityAttributeValue(attribute);
        }
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
    accessibilityAddAttributeNames(names, { Attr::Children });
    return names;
}

fnd::Value SegmentedCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return m_trackingMode == SegmentSwitchTracking::SelectOne ? AccessibilityRole::RadioGroup
                                                                  : AccessibilityRole::Group;
    case Key::Value:
        return {};
    case Key::Children: {
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
    default:
        return Cell::accessibilityAttributeValue(attribute);
    }
}

}
