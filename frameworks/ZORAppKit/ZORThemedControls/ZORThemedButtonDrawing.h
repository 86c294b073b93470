#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORTheme.h"

#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace gfx {
class Image;
}

namespace ui {
class ButtonCell;
class View;
}

// The steps the themed button and pop-up cells share, given the cell and its theme.
namespace ZORThemedButtonDrawing {

// An image-only, borderless cell keeps its image a seventh of its size in from each edge (a 3.5th when it glows
// on change-background highlighting); nullopt for every other cell, which takes the platform's rectangle.
std::optional<gfx::Rect> insetImageRect(const ui::ButtonCell& cell, gfx::Rect bounds, std::uint64_t highlightMode);

// Draws the image into the cell's image rectangle for the frame: upright and opaque, unless the cell highlights by
// changing grey, when platformDraw draws it there (dimmed as the platform dims).
void drawImage(const ui::ButtonCell& cell, const std::shared_ptr<gfx::Image>& image, gfx::Rect frame,
    const std::function<void(gfx::Rect imageRect)>& platformDraw);

// The highlighted background of the cell in the frame, in its highlight mode.
void drawHighlightedBackground(const ZORTheme& theme, ui::ButtonCell& cell, std::uint64_t mode, ZORThemeStateMask mask,
    gfx::Rect frame, const std::shared_ptr<gfx::Image>& image, ui::View& view);

// The interior with a theme: the highlighted background of a borderless cell that changes its background when
// highlighted, the image, the title (drawTitle, unless the cell shows its image only), then the border strips
// along the chosen sides of the drawing rectangle.
void drawInterior(const ZORTheme& theme, ui::ButtonCell& cell, std::uint64_t highlightMode, std::uint64_t borderSides,
    const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& view, const std::function<void()>& drawTitle);

}
