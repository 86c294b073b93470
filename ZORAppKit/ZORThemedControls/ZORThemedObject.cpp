#include "ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "AppKitExtensions/Themes/ZORThemeManager.h"

#include "platform/ui/Cell.h"

namespace ZORThemedControls {

std::shared_ptr<ZORTheme> themeForKey(const fnd::String& key)
{
    return ZORThemeManager::sharedThemeManager().themeForKey(key);
}

ZORThemeStateMask stateMaskForCell(const ui::Cell& cell)
{
    ZORThemeStateMask mask = 0;
    if (!cell.isEnabled())
        mask |= ZORThemeState::Disabled;
    if (cell.isHighlighted())
        mask |= ZORThemeState::On;
    return mask;
}

ZORBackgroundStyle backgroundStyleOfCell(const ui::Cell& cell)
{
    return static_cast<ZORBackgroundStyle>(cell.backgroundStyle());
}

}
