#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORGlassTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORGrayTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORHUDTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORLightGrayTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORWhiteTheme.h"

#include "platform/foundation/runtime/Exception.h"

namespace {

std::optional<fnd::String>& defaultThemeKey()
{
    static std::optional<fnd::String> key;
    return key;
}

}

ZORThemeManager& ZORThemeManager::sharedThemeManager()
{
    static ZORThemeManager shared;
    return shared;
}

ZORThemeManager::ZORThemeManager()
{
    registerDefaultThemes();
}

std::shared_ptr<ZORTheme> ZORThemeManager::themeForKey(const fnd::String& key) const
{
    if (auto found = m_themes.find(key); !key.isEmpty() && found != m_themes.end())
        return found->second;
    if (const auto& fallback = defaultThemeKey(); fallback && !fallback->isEmpty())
        if (auto found = m_themes.find(*fallback); found != m_themes.end())
            return found->second;
    return nullptr;
}

void ZORThemeManager::setTheme(std::shared_ptr<ZORTheme> theme, const fnd::String& forKey)
{
    if (!theme)
        throw fnd::Exception::invalidArgument("-[ZORThemeManager setTheme:forKey:]: theme cannot be nil");
    if (forKey.isEmpty())
        throw fnd::Exception::invalidArgument("-[ZORThemeManager setTheme:forKey:]: key cannot be nil");
    m_themes[forKey] = std::move(theme);
}

std::vector<fnd::String> ZORThemeManager::themeKeys() const
{
    std::vector<fnd::String> keys;
    for (const auto& [key, theme] : m_themes)
        keys.push_back(key);
    return keys;
}

std::optional<fnd::String> ZORThemeManager::keyOfDefaultTheme()
{
    return defaultThemeKey();
}

void ZORThemeManager::setKeyOfDefaultThemeKey(std::optional<fnd::String> key)
{
    defaultThemeKey() = std::move(key);
}

void ZORThemeManager::registerDefaultThemes()
{
    setTheme(fnd::makeObject<ZORGlassTheme>(), ZORThemeKey::Glass);
    setTheme(fnd::makeObject<ZORFlatDarkTheme>(), ZORThemeKey::FlatDark);
    setTheme(fnd::makeObject<ZORHUDTheme>(), ZORThemeKey::HUD);
    setTheme(fnd::makeObject<ZORGrayTheme>(), ZORThemeKey::Gray);
    setTheme(fnd::makeObject<ZORLightGrayTheme>(), ZORThemeKey::LightGray);
    setTheme(fnd::makeObject<ZORWhiteTheme>(), ZORThemeKey::White);
}
