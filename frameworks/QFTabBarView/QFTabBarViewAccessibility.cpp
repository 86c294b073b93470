// The tab bar view and its tabs as assistive technologies read them: a group of buttons, one per tab.

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "platform/ui/views/Window.h"

fnd::Value QFTabBarView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ui::AccessibilityAttribute::Role)
        return ui::AccessibilityRole::Group;
    if (attribute == ui::AccessibilityAttribute::Children) {
        fnd::Array buttons;
        for (const auto& button : orderedAttachedButtons())
            buttons.push_back(button->selfValue());
        return ui::accessibilityUnignoredChildren(buttons);
    }
    return ui::View::accessibilityAttributeValue(attribute);
}

fnd::Value QFTabBarView::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto w = window();
    auto point = convertPointFromView(w ? w->convertScreenToBase(screenPoint) : screenPoint, nullptr);
    for (const auto& button : attachedButtons())
        if (!button->isHidden() && mouseInRect(point, button->frame()))
            return ui::accessibilityUnignoredAncestor(button->selfValue());
    return selfValue();
}

std::vector<fnd::String> QFAttachedTabBarButtonCell::accessibilityAttributeNames() const
{
    auto names = QFTabBarButtonCell::accessibilityAttributeNames();
    if (std::find(names.begin(), names.end(), ui::AccessibilityAttribute::Value) == names.end())
        names.push_back(ui::AccessibilityAttribute::Value);
    return names;
}

fnd::Value QFAttachedTabBarButtonCell::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ui::AccessibilityAttribute::Value)
        return state() == ui::ControlStateValue::On ? 1 : 0;
    return QFTabBarButtonCell::accessibilityAttributeValue(attribute);
}
