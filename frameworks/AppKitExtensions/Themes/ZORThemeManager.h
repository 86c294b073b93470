#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORTheme.h"

#include "platform/foundation/runtime/String.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

// The keys the built-in themes are registered under: each theme's class name, which is what a control's theme key
// names.
namespace ZORThemeKey {
inline const fnd::String Glass = "ZORGlassTheme";
inline const fnd::String FlatDark = "ZORFlatDarkTheme";
inline const fnd::String HUD = "ZORHUDTheme";
inline const fnd::String Gray = "ZORGrayTheme";
inline const fnd::String LightGray = "ZORLightGrayTheme";
inline const fnd::String White = "ZORWhiteTheme";
}

// The process-wide registry of themes by key. It exists once and is never freed; the six built-in themes are
// registered before the first lookup. Controls ask it at every drawing call and never keep the answer. Registration
// and lookup belong to the main thread.
class ZORThemeManager {
public:
    static ZORThemeManager& sharedThemeManager();

    // The theme under the key; failing that, the theme under the default key when one is set; else nullptr (the
    // control then draws the platform's look). The empty key stands for no key.
    std::shared_ptr<ZORTheme> themeForKey(const fnd::String& key) const;
    // Registers or replaces. A null theme or an empty key raises an invalid-argument exception.
    void setTheme(std::shared_ptr<ZORTheme> theme, const fnd::String& forKey);
    // Every key a theme is registered under, in order.
    std::vector<fnd::String> themeKeys() const;
    // Nothing sets it by default, so an unknown key finds no theme.
    static std::optional<fnd::String> keyOfDefaultTheme();
    static void setKeyOfDefaultThemeKey(std::optional<fnd::String> key);

    // One new instance of each built-in theme under its key.
    void registerDefaultThemes();

    ZORThemeManager(const ZORThemeManager&) = delete;
    ZORThemeManager& operator=(const ZORThemeManager&) = delete;

private:
    ZORThemeManager();

    std::map<fnd::String, std::shared_ptr<ZORTheme>> m_themes;
};
