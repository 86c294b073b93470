// How a combo box answers assistive technologies: a text field with its list of items as its child.

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/accessibility/AccessibilityPartElement.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/views/Window.h"

namespace ui {

namespace {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

}

namespace detail {

// The list of a combo box's items: each a row named by its text, the chosen one selected (the highlighted one while
// the list is open). The list shows while its window is open; choosing a row through it is choosing the item.
class ComboBoxAccessibilityList final : public fnd::Object, public AccessibilityElement, public AccessibilityPartOwner {
public:
    explicit ComboBoxAccessibilityList(const std::shared_ptr<ComboBox>& box)
        : m_box(box)
    {
    }

    fnd::Value row(long index) const
    {
        auto box = m_box.lock();
        return box ? m_rows.element(*this, index, box->numberOfItems(), AccessibilityRole::Row) : fnd::Value();
    }

    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        return accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Parent, Attr::Children,
            Attr::SelectedChildren, Attr::VisibleChildren, Attr::Enabled, Attr::Window, Attr::TopLevelUIElement,
            Attr::Position, Attr::Size, Attr::Orientation });
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto box = m_box.lock();
        const auto key = accessibilityAttributeKey(attribute);
        if (key == Key::Role)
            return AccessibilityRole::List;
        if (!box)
            return AccessibilityElement::accessibilityAttributeValue(attribute);
        switch (key) {
        case Key::Parent:
            return box->selfValue();
        case Key::Children:
            return m_rows.elements(*this, box->numberOfItems(), AccessibilityRole::Row);
        case Key::SelectedChildren: {
            auto chosen = row(chosenIndex(*box));
            return chosen.isNil() ? fnd::Array() : fnd::Array { chosen };
        }
        case Key::VisibleChildren: {
            fnd::Array visible;
            for (long index = 0; index < box->numberOfItems(); ++index)
                if (box->listRectOfItem(index))
                    visible.push_back(row(index));
            return visible;
        }
        case Key::Enabled:
            return box->isEnabled();
        case Key::Window:
        case Key::TopLevelUIElement:
            // Shown while its window is open.
            return box->listWindow() ? box->listWindow()->selfValue() : fnd::Value();
        case Key::Position:
        case Key::Size: {
            if (!box->listWindow())
                return {};
            auto frame = box->listWindow()->frame();
            return key == Key::Position ? fnd::Value(frame.origin) : fnd::Value(frame.size);
        }
        case Key::Orientation:
            return AccessibilityOrientation::Vertical;
        default:
            return AccessibilityElement::accessibilityAttributeValue(attribute);
        }
    }

    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override
    {
        auto box = m_box.lock();
        return box && box->isEnabled() && accessibilityAttributeKey(attribute) == Key::SelectedChildren;
    }

    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override
    {
        const auto* rows = value.array();
        if (!accessibilityIsAttributeSettable(attribute) || !rows || rows->empty())
            return;
        if (auto* part = dynamic_cast<AccessibilityPartElement*>(accessibilityElement(rows->front()));
            part && part->isPartOf(*this))
            choose(part->part());
    }

    bool accessibilityIsIgnored() const override { return false; }

    // The rows.
    fnd::Value accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const override
    {
        auto box = m_box.lock();
        auto cell = box ? box->comboBoxCell() : nullptr;
        if (!cell || part >= box->numberOfItems())
            return {};
        switch (key) {
        case Key::Title:
            return cell->itemStringAtIndex(part);
        case Key::Selected:
            return part == chosenIndex(*box);
        case Key::Focused:
            return box->isListShown() && part == box->highlightedIndex();
        case Key::Enabled:
            return box->isEnabled();
        case Key::Position:
        case Key::Size: {
            auto rect = box->listRectOfItem(part);
            if (!rect)
                return {};
            return key == Key::Position ? fnd::Value(rect->origin) : fnd::Value(rect->size);
        }
        default:
            return {};
        }
    }

    bool accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const override
    {
        auto box = m_box.lock();
        return box && box->isEnabled() && part < box->numberOfItems() && key == Key::Selected;
    }

    void accessibilityPartSetValue(long part, AccessibilityAttributeKey key, const fnd::Value& value) override
    {
        if (key == Key::Selected && value.boolValue())
            choose(part);
    }

    std::vector<fnd::String> accessibilityPartActionNames(long part) const override
    {
        auto box = m_box.lock();
        return box && box->isEnabled() && part < box->numberOfItems() ? std::vector { AccessibilityAction::Press }
                                                                      : std::vector<fnd::String>();
    }

    void accessibilityPartPerformAction(long part, const fnd::String& action) override
    {
        if (action == AccessibilityAction::Press)
            choose(part);
    }

private:
    // The highlighted item while the list is open, else the chosen one, else the one whose text the field shows.
    static long chosenIndex(const ComboBox& box)
    {
        if (box.isListShown() && box.highlightedIndex() >= 0)
            return box.highlightedIndex();
        if (auto selected = box.indexOfSelectedItem(); selected >= 0)
            return selected;
        auto shown = box.indexOfItemWithStringValue(box.stringValue());
        return shown >= 0 && shown < box.numberOfItems() ? shown : -1;
    }

    void choose(long index)
    {
        auto box = m_box.lock();
        if (!box || !box->isEnabled() || index < 0 || index >= box->numberOfItems())
            return;
        box->chooseItem(index);
    }

    std::weak_ptr<ComboBox> m_box;
    mutable AccessibilityParts m_rows;
};

}

std::vector<fnd::String> ComboBox::accessibilityAttributeNames() const
{
    auto names = TextField::accessibilityAttributeNames();
    accessibilityAddAttributeNames(names, { Attr::Children });
    return names;
}

fnd::Value ComboBox::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return AccessibilityRole::ComboBox;
    case Key::Children: {
        if (!m_accessibilityList)
            m_accessibilityList = std::make_shared<detail::ComboBoxAccessibilityList>(
                std::static_pointer_cast<ComboBox>(std::const_pointer_cast<fnd::Object>(shared_from_this())));
        auto children = TextField::accessibilityAttributeValue(attribute);
        fnd::Array all = children.isArray() ? *children.array() : fnd::Array();
        all.push_back(m_accessibilityList->selfValue());
        return all;
    }
    default:
        return TextField::accessibilityAttributeValue(attribute);
    }
}

void ComboBox::accessibilityListChanged(const fnd::String& notification)
{
    if (!m_accessibilityList || !isAccessibilityObserved())
        return;
    if (notification == AccessibilityNotification::FocusedUIElementChanged) {
        // The row the keyboard is on in the open list.
        auto row = isListShown() ? m_accessibilityList->row(m_highlighted) : fnd::Value();
        accessibilityPostNotification(row, notification);
        return;
    }
    accessibilityPostNotification(*m_accessibilityList, notification);
}

}
