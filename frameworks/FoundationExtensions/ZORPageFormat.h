#pragma once

#include "platform/foundation/runtime/Geometry.h"
#include "platform/foundation/runtime/String.h"

#include <cstdint>
#include <memory>

namespace ui {
class Menu;
}

// The standard paper sizes, in points, portrait except the two business cards: A0-A7 and the DIN long formats, B0-B7,
// the North American sizes and broadsheets, and business cards. The ISO sizes are millimetres converted to points in
// single precision, so callers compare sizes exactly as long as they take them from here or from the menu.
class ZORPageFormat {
public:
    static constexpr long NumberOfFormats = 28;
    // The tag of the menu item "user defined".
    static constexpr long UserDefinedTag = NumberOfFormats;

    // How a size matched a menu entry.
    enum class Direction : std::int32_t { Portrait = 0, Turned = 1, NoMatch = 2 };

    // The two menu functions are in the FoundationExtensionsUI library.
    // One item per format (title: its name, represented object: its size, tag: its index), separators after the A, B
    // and broadsheet groups, and with the flag a separator and the item "user defined" without a size.
    static std::shared_ptr<ui::Menu> standardPageFormatMenuWithUserDefineEntry(bool userDefineEntry);
    // The index of the first item whose size is the size, or the size turned; else the last item without a size
    // (-1 when there is none) with NoMatch.
    static long indexOfStandardPageFormatWithSize(gfx::Size size, const ui::Menu& menu, Direction* direction = nullptr);
    // index 0 to 27; a zero size outside.
    static gfx::Size sizeOfPageStandardFormat(std::int32_t index);
    // The name of the first format of exactly this size (not turned), else "".
    static fnd::String nameForFormatWithSize(gfx::Size size);
};
