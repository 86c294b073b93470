#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/ui/controls/Cell.h"

std::shared_ptr<ZORTheme> ZORThemedObject::theme() const
{
    return ZORThemedControls::themeForKey(m_themeKey);
}

namespace ZORThemedControls {

std::shared_ptr<ZORTheme> themeForKey(const fnd::String& key)
{
    return ZORThemeManager::sharedThemeManager().themeForKey(key);
}

void encodeThemeKey(fnd::Coder& coder, const fnd::String& key)
{
    if (coder.allowsKeyedCoding())
        coder.encodeObject(key.isEmpty() ? fnd::Value() : fnd::Value(key), ThemeKeyArchiveKey);
}

std::optional<fnd::String> decodeThemeKey(fnd::Coder& coder)
{
    if (!coder.containsValueForKey(ThemeKeyArchiveKey))
        return std::nullopt;
    return coder.decodeObjectForKey(ThemeKeyArchiveKey).stringValue();
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
