#pragma once

#include "platform/ui/accessibility/AccessibilityElement.h"

#include <unordered_map>

typedef struct _AtkObject AtkObject;

namespace ui {

// Publishes the application's accessibility tree on the desktop's accessibility bus, where screen readers and test
// tools read it through AT-SPI. GTK 4 does not let a program give its own accessible objects, and our windows are
// one drawing surface each for GTK; so GTK's own accessibility is switched off (GTK_A11Y=none, set before GTK
// starts) and the tree goes out as ATK objects through the ATK-to-AT-SPI bridge (libatk-bridge) instead, with the
// application as ATK's root. The bridge keeps one accessible object per element that was asked for, hears the
// tree's notifications and turns them into ATK's signals (which the ATK bridge sends on the bus).
class GtkAccessibilityBridge final : public AccessibilityObserver {
public:
    // Process-wide; made on first use and never destroyed (elements may leave after main returns).
    static GtkAccessibilityBridge& shared();

    // Registers with the accessibility bus once per process: true when the tree is published. Nothing happens
    // without a session bus, or with NO_AT_BRIDGE=1 in the environment.
    bool publish();
    bool isPublished() const { return m_published; }

    // The accessible object of an element (made on first use; the bridge holds it while the element lives).
    AtkObject* accessibleFor(AccessibilityElement& element);
    AtkObject* existingAccessibleFor(const AccessibilityElement& element) const;
    // The application's accessible object: ATK's root.
    AtkObject* root();

    void accessibilityNotification(AccessibilityElement& element, const fnd::String& notification) override;
    void accessibilityElementDestroyed(const AccessibilityElement* element) override;

private:
    GtkAccessibilityBridge();
    // Replaces a held object (the focused element, the active window), keeping a reference to the new one.
    static void hold(AtkObject*& slot, AtkObject* accessible);

    std::unordered_map<const AccessibilityElement*, AtkObject*> m_accessibles;
    AtkObject* m_focused { nullptr };
    AtkObject* m_activeWindow { nullptr };
    bool m_published { false };
};

}
