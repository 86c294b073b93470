#include "platform/ui/menus/MenuItem.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/menus/Menu.h"

#include <algorithm>

namespace ui {

FND_REGISTER_CLASS(MenuItem, fnd::Object)

void MenuItem::describeClass(fnd::ClassBuilder<MenuItem>& c)
{
    c.property("title", &MenuItem::title, &MenuItem::setTitle);
    c.property("keyEquivalent", &MenuItem::keyEquivalent, &MenuItem::setKeyEquivalent);
    c.property(
        "keyEquivalentModifierMask", &MenuItem::keyEquivalentModifierMask, &MenuItem::setKeyEquivalentModifierMask);
    c.property("tag", &MenuItem::tag, &MenuItem::setTag);
    c.property("representedObject", &MenuItem::representedObject, &MenuItem::setRepresentedObject);
    c.property(
        "state", [](const MenuItem& item) { return static_cast<int>(item.state()); },
        [](MenuItem& item, int state) { item.setState(static_cast<ControlStateValue>(std::clamp(state, -1, 1))); });
    c.property("enabled", &MenuItem::isEnabled, &MenuItem::setEnabled);
    c.property("hidden", &MenuItem::isHidden, &MenuItem::setHidden);
    c.property("indentationLevel", &MenuItem::indentationLevel, &MenuItem::setIndentationLevel);
    c.property("toolTip", &MenuItem::toolTip, &MenuItem::setToolTip);
    c.property("isSeparatorItem", &MenuItem::isSeparatorItem, &MenuItem::setSeparatorItem);
    c.property("submenu", &MenuItem::submenu, &MenuItem::setSubmenu);
    c.property("target", &MenuItem::target, &MenuItem::setTarget);
    // Selectors travel by name.
    c.property(
        "action", [](const MenuItem& item) { return item.action() ? item.action().name() : fnd::String(); },
        [](MenuItem& item, const fnd::String& name) {
            item.setAction(name.isEmpty() ? fnd::Selector() : fnd::Selector(name));
        });
}

std::shared_ptr<MenuItem> MenuItem::create(
    const fnd::String& title, fnd::Selector action, const fnd::String& keyEquivalent)
{
    auto item = fnd::makeObject<MenuItem>();
    item->m_title = title;
    item->m_action = action;
    item->m_keyEquivalent = keyEquivalent;
    return item;
}

std::shared_ptr<MenuItem> MenuItem::separatorItem()
{
    auto item = fnd::makeObject<MenuItem>();
    item->m_isSeparator = true;
    item->m_enabled = false;
    return item;
}

void MenuItem::setSeparatorItem(bool flag)
{
    m_isSeparator = flag;
    m_enabled = !flag;
    if (flag) {
        m_title = {};
        m_action = {};
        m_keyEquivalent = {};
    }
}

std::shared_ptr<MenuItem> MenuItem::copy() const
{
    auto item = fnd::makeObject<MenuItem>();
    item->m_title = m_title;
    item->m_action = m_action;
    item->m_target = m_target;
    item->m_keyEquivalent = m_keyEquivalent;
    item->m_keyEquivalentModifierMask = m_keyEquivalentModifierMask;
    item->m_tag = m_tag;
    item->m_representedObject = m_representedObject;
    item->m_state = m_state;
    item->m_image = m_image;
    item->m_enabled = m_enabled;
    item->m_hidden = m_hidden;
    item->m_indentationLevel = m_indentationLevel;
    item->m_toolTip = m_toolTip;
    item->m_isSeparator = m_isSeparator;
    if (m_submenu)
        item->setSubmenu(m_submenu->copy());
    return item;
}

void MenuItem::setTitle(const fnd::String& title)
{
    if (title == m_title)
        return;
    m_title = title;
    accessibilityPostNotification(*this, AccessibilityNotification::TitleChanged);
}

void MenuItem::setState(ControlStateValue state)
{
    if (state == m_state)
        return;
    m_state = state;
    accessibilityPostNotification(*this, AccessibilityNotification::ValueChanged);
}

void MenuItem::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    accessibilityPostNotification(*this, AccessibilityNotification::StateChanged);
}

void MenuItem::setIndentationLevel(long level)
{
    m_indentationLevel = std::clamp(level, 0l, 15l);
}

void MenuItem::setSubmenu(std::shared_ptr<Menu> submenu)
{
    if (submenu == m_submenu)
        return;
    if (submenu && submenu->m_parentItem.lock())
        throw fnd::Exception(fnd::ExceptionName::InvalidArgument,
            fnd::String("The menu \"") + submenu->title() + "\" is already the submenu of another item.");
    if (m_submenu)
        m_submenu->m_parentItem.reset();
    m_submenu = std::move(submenu);
    if (m_submenu)
        m_submenu->m_parentItem = std::static_pointer_cast<MenuItem>(weak_from_this().lock());
}

}
