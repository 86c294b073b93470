#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/look/ControlState.h"

#include <memory>

namespace gfx {
class Image;
}

namespace ui {

class Menu;

// Modifier bits of a key equivalent, with the platform's values.
namespace KeyEquivalentModifier {
inline constexpr unsigned long Shift = 1ul << 17;
inline constexpr unsigned long Control = 1ul << 18;
inline constexpr unsigned long Option = 1ul << 19;
inline constexpr unsigned long Command = 1ul << 20;
}

// One entry of a menu: a command (title, action and target, key equivalent), a state mark, or a separator, and
// optionally the submenu it opens.
class MenuItem : public fnd::Object, public AccessibilityElement {
    FND_OBJECT(MenuItem)
    static void describeClass(fnd::ClassBuilder<MenuItem>& c);

public:
    MenuItem() = default;
    static std::shared_ptr<MenuItem> create(
        const fnd::String& title, fnd::Selector action = {}, const fnd::String& keyEquivalent = {});
    static std::shared_ptr<MenuItem> separatorItem();
    // A fresh item with the same settings, and a copy of the submenu; it belongs to no menu.
    std::shared_ptr<MenuItem> copy() const;

    const fnd::String& title() const { return m_title; }
    // A change is told to assistive technologies (the title, the state as the value, enabling as the state).
    void setTitle(const fnd::String& title);
    fnd::Selector action() const { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }
    // nil: the action goes to the first object of the responder chain that answers it.
    std::shared_ptr<fnd::Object> target() const { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) { m_target = target; }

    // Lower-case letters mean the key alone; an upper-case letter adds Shift when matched against a key press.
    const fnd::String& keyEquivalent() const { return m_keyEquivalent; }
    void setKeyEquivalent(const fnd::String& key) { m_keyEquivalent = key; }
    unsigned long keyEquivalentModifierMask() const { return m_keyEquivalentModifierMask; }
    void setKeyEquivalentModifierMask(unsigned long mask) { m_keyEquivalentModifierMask = mask; }

    long tag() const { return m_tag; }
    void setTag(long tag) { m_tag = tag; }
    const fnd::Value& representedObject() const { return m_representedObject; }
    void setRepresentedObject(const fnd::Value& object) { m_representedObject = object; }
    ControlStateValue state() const { return m_state; }
    void setState(ControlStateValue state);
    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    void setImage(std::shared_ptr<gfx::Image> image) { m_image = std::move(image); }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    // 0 to 15; other values are clamped.
    long indentationLevel() const { return m_indentationLevel; }
    void setIndentationLevel(long level);
    const fnd::String& toolTip() const { return m_toolTip; }
    void setToolTip(const fnd::String& toolTip) { m_toolTip = toolTip; }

    bool isSeparatorItem() const { return m_isSeparator; }
    // Interface files make separators by setting "isSeparatorItem"; the item loses its title and action.
    void setSeparatorItem(bool flag);
    bool hasSubmenu() const { return m_submenu != nullptr; }
    const std::shared_ptr<Menu>& submenu() const { return m_submenu; }
    // The submenu's supermenu becomes this item's menu. A menu already open under another item is refused
    // (invalid argument): a menu has one place.
    void setSubmenu(std::shared_ptr<Menu> submenu);
    // The menu holding the item.
    std::shared_ptr<Menu> menu() const { return m_menu.lock(); }

    // Accessibility (MenuAccessibility.cpp): a menu item (a menu bar item in the main menu) with its title, mark and
    // key equivalent; pressing it performs its action, or chooses it in the pop-up button whose menu holds it.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override { return m_hidden; }

private:
    friend class Menu;

    fnd::String m_title;
    fnd::Selector m_action;
    std::weak_ptr<fnd::Object> m_target;
    fnd::String m_keyEquivalent;
    unsigned long m_keyEquivalentModifierMask { KeyEquivalentModifier::Command };
    long m_tag { 0 };
    fnd::Value m_representedObject;
    ControlStateValue m_state { ControlStateValue::Off };
    std::shared_ptr<gfx::Image> m_image;
    bool m_enabled { true };
    bool m_hidden { false };
    long m_indentationLevel { 0 };
    fnd::String m_toolTip;
    bool m_isSeparator { false };
    std::shared_ptr<Menu> m_submenu;
    std::weak_ptr<Menu> m_menu;
};

}
