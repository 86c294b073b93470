#include "platform/ui/look/SystemColors.h"

#include "platform/foundation/runtime/NotificationCenter.h"

#include <mutex>

namespace ui {

namespace {

struct AccentState {
    std::mutex mutex;
    gfx::ColorPtr accent;
};

AccentState& state()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& s = *new AccentState;
    return s;
}

// The system colours that are shades of the accent.
void applyAccent(const gfx::ColorPtr& accent)
{
    auto white = gfx::Color::whiteColor();
    auto selection = accent->blendedColorWithFraction(0.7, *white);
    gfx::Color::setSystemColorOverride("alternateSelectedControlColor", accent);
    gfx::Color::setSystemColorOverride("selectedMenuItemColor", accent);
    gfx::Color::setSystemColorOverride("keyboardFocusIndicatorColor", accent);
    gfx::Color::setSystemColorOverride("selectedControlColor", selection);
    gfx::Color::setSystemColorOverride("selectedTextBackgroundColor", selection);
}

}

gfx::ColorPtr SystemColors::defaultAccentColor()
{
    return gfx::Color::colorWithCalibratedRed(53 / 255.0, 132 / 255.0, 228 / 255.0);
}

gfx::ColorPtr SystemColors::accentColor()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.accent) {
        s.accent = defaultAccentColor();
        applyAccent(s.accent);
    }
    return s.accent;
}

void SystemColors::setAccentColor(gfx::ColorPtr color)
{
    if (!color)
        color = defaultAccentColor();
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        if (s.accent && s.accent->isEqual(*color))
            return;
        s.accent = color;
        applyAccent(color);
    }
    systemColorsDidChange();
}

void SystemColors::systemColorsDidChange()
{
    // The application hears it and draws every window again.
    fnd::NotificationCenter::defaultCenter().postNotificationName(SystemColorsDidChangeNotification, fnd::Value());
}

}
