#include "platform/ui/panels/detail/RowListView.h"

#include "platform/ui/views/Window.h"

namespace ui::detail {

namespace {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

}

RowListView::RowListView(fnd::String listRole, fnd::String rowRole, fnd::String rowSubrole)
    : m_listRole(std::move(listRole))
    , m_role(std::move(rowRole))
    , m_subrole(std::move(rowSubrole))
{
}

fnd::Value RowListView::rowElement(long row) const
{
    return m_rows.element(*this, row, accessibilityRowCount(), m_role, m_subrole);
}

std::vector<fnd::String> RowListView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Children, Attr::SelectedChildren, Attr::VisibleChildren });
    if (!accessibilityListName().isEmpty())
        accessibilityAddAttributeNames(names, { Attr::Description });
    return names;
}

fnd::Value RowListView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    const long count = accessibilityRowCount();
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return m_listRole;
    case Key::Description: {
        auto name = accessibilityListName();
        return name.isEmpty() ? fnd::Value() : fnd::Value(name);
    }
    case Key::Children:
        return m_rows.elements(*this, count, m_role, m_subrole);
    case Key::SelectedChildren: {
        fnd::Array selected;
        for (long row = 0; row < count; ++row)
            if (accessibilityRowIsSelected(row))
                selected.push_back(rowElement(row));
        return selected;
    }
    case Key::VisibleChildren: {
        // The rows the view shows now (it scrolls in a clip view).
        fnd::Array visible;
        const auto shown = visibleRect();
        for (long row = 0; row < count; ++row)
            if (gfx::intersectsRect(accessibilityRowRect(row), shown))
                visible.push_back(rowElement(row));
        return visible;
    }
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

bool RowListView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return accessibilityAttributeKey(attribute) == Key::SelectedChildren
        || View::accessibilityIsAttributeSettable(attribute);
}

void RowListView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (accessibilityAttributeKey(attribute) != Key::SelectedChildren) {
        View::accessibilitySetValue(value, attribute);
        return;
    }
    const auto* rows = value.array();
    if (!rows || rows->empty())
        return;
    if (auto* part = dynamic_cast<AccessibilityPartElement*>(accessibilityElement(rows->front()));
        part && part->isPartOf(*this))
        accessibilityPartSetValue(part->part(), Key::Selected, true);
}

void RowListView::rowListChanged()
{
    m_rows.clear();
    accessibilityPostNotification(*this, AccessibilityNotification::ChildrenChanged);
}

void RowListView::rowListSelectionChanged()
{
    accessibilityPostNotification(*this, AccessibilityNotification::SelectedChildrenChanged);
}

fnd::Value RowListView::accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const
{
    if (part >= accessibilityRowCount())
        return {};
    const auto& view = *this;
    switch (key) {
    case Key::Title:
        return accessibilityRowTitle(part);
    case Key::Description: {
        auto description = accessibilityRowDescription(part);
        return description.isEmpty() ? fnd::Value() : fnd::Value(description);
    }
    case Key::Selected:
        return accessibilityRowIsSelected(part);
    case Key::Enabled:
        return accessibilityRowIsEnabled(part);
    case Key::Focused: {
        auto window = view.window();
        return window && window->firstResponder().get() == &view && accessibilityRowIsSelected(part);
    }
    case Key::Position:
    case Key::Size: {
        auto window = view.window();
        if (!window)
            return {};
        auto onScreen = window->convertRectToScreen(view.convertRectToView(accessibilityRowRect(part), nullptr));
        return key == Key::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
    }
    default:
        return {};
    }
}

bool RowListView::accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const
{
    return key == Key::Selected && part < accessibilityRowCount() && accessibilityRowIsEnabled(part);
}

void RowListView::accessibilityPartSetValue(long part, AccessibilityAttributeKey key, const fnd::Value& value)
{
    if (key == Key::Selected && value.boolValue() && accessibilityPartIsAttributeSettable(part, key))
        accessibilityChooseRow(part);
}

std::vector<fnd::String> RowListView::accessibilityPartActionNames(long part) const
{
    if (part >= accessibilityRowCount() || !accessibilityRowIsEnabled(part))
        return {};
    return { AccessibilityAction::Press };
}

void RowListView::accessibilityPartPerformAction(long part, const fnd::String& action)
{
    if (action == AccessibilityAction::Press && part < accessibilityRowCount() && accessibilityRowIsEnabled(part))
        accessibilityChooseRow(part);
}

}
