#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedButtonDrawing.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"

#include "platform/graphics/Image.h"
#include "platform/ui/controls/ButtonCell.h"

namespace ZORThemedButtonDrawing {

using ui::CellMask::ChangeBackground;
using ui::CellMask::ChangeGray;

std::optional<gfx::Rect> insetImageRect(const ui::ButtonCell& cell, gfx::Rect bounds, std::uint64_t highlightMode)
{
    if (cell.imagePosition() != ui::CellImagePosition::ImageOnly || cell.isBordered())
        return std::nullopt;
    const bool glows = (cell.highlightsBy() & ChangeBackground)
        && highlightMode == static_cast<std::uint64_t>(ZORThemeDrawing::HighlightBackgroundMode::Glow);
    const double divisor = glows ? 3.5 : 7;
    return gfx::insetRect(bounds, bounds.width() / divisor, bounds.height() / divisor);
}

void drawImage(const ui::ButtonCell& cell, const std::shared_ptr<gfx::Image>& image, gfx::Rect frame,
    const std::function<void(gfx::Rect imageRect)>& platformDraw)
{
    if (!image)
        return;
    auto rect = cell.imageRectForBounds(frame);
    if (!(cell.highlightsBy() & ChangeGray))
        image->drawInRect(rect, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
    else
        platformDraw(rect);
}

void drawHighlightedBackground(const ZORTheme& theme, ui::ButtonCell& cell, std::uint64_t mode, ZORThemeStateMask mask,
    gfx::Rect frame, const std::shared_ptr<gfx::Image>& image, ui::View& view)
{
    auto imageRect = cell.imageRectForBounds(frame);
    ZORThemeDrawing::drawHighlightedBackground(
        theme, mode, mask, frame, ZORThemedControls::backgroundStyleOfCell(cell), imageRect, [&] {
            if (!image)
                return;
            if (!(cell.highlightsBy() & ChangeGray))
                image->drawInRect(imageRect, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
            else
                cell.drawImage(image, frame, view);
        });
}

void drawInterior(const ZORTheme& theme, ui::ButtonCell& cell, std::uint64_t highlightMode, std::uint64_t borderSides,
    const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& view, const std::function<void()>& drawTitle)
{
    const auto mask = ZORThemedControls::stateMaskForCell(cell);
    const auto drawingRect = cell.drawingRectForBounds(frame);
    if ((mask & ZORThemeState::On) && !cell.isBordered() && (cell.highlightsBy() & ChangeBackground))
        drawHighlightedBackground(theme, cell, highlightMode, mask, frame, image, view);
    cell.drawImage(image, frame, view);
    if (cell.imagePosition() != ui::CellImagePosition::ImageOnly)
        drawTitle();
    ZORThemeDrawing::drawBorderSides(theme, mask, drawingRect, borderSides);
}

}
