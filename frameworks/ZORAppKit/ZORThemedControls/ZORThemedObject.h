#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORTheme.h"

#include "platform/foundation/runtime/String.h"

#include <memory>

#include <optional>

namespace fnd {
class Coder;
}

namespace ui {
class Cell;
}

// A control part that draws with the theme registered under its key. The theme is looked up at every drawing call
// and never kept; without one (no key, or a key nobody registered) the part draws exactly as the platform's does.
class ZORThemedObject {
public:
    virtual ~ZORThemedObject() = default;
    // The empty string stands for no key.
    virtual fnd::String themeKey() const { return m_themeKey; }
    virtual void setThemeKey(const fnd::String& key) { m_themeKey = key; }

protected:
    // The theme under the key now, or nullptr.
    std::shared_ptr<ZORTheme> theme() const;

    fnd::String m_themeKey;
};

// What every themed control shares.
namespace ZORThemedControls {

// The archive key of the theme key.
inline const fnd::String ThemeKeyArchiveKey = "themeKey";
// The archive key of a cell's highlight background mode.
inline const fnd::String HighlightModeArchiveKey = "highlightBgMode";

// The theme under the key now, or nullptr.
std::shared_ptr<ZORTheme> themeForKey(const fnd::String& key);

// The theme key under ThemeKeyArchiveKey, nil for no key; keyed coders only.
void encodeThemeKey(fnd::Coder& coder, const fnd::String& key);
// The archived theme key; nullopt when the archive holds none.
std::optional<fnd::String> decodeThemeKey(fnd::Coder& coder);

// A cell's state as themes see it: 1 when disabled, plus 4 when highlighted.
ZORThemeStateMask stateMaskForCell(const ui::Cell& cell);

// The background style a cell's content stands on (0 light, 1 dark).
ZORBackgroundStyle backgroundStyleOfCell(const ui::Cell& cell);

}
