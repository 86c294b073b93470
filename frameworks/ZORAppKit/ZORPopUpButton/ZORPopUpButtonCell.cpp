#include "frameworks/ZORAppKit/ZORPopUpButton/ZORPopUpButtonCell.h"

FND_REGISTER_CLASS(ZORPopUpButtonCell, ui::PopUpButtonCell)

gfx::Rect ZORPopUpButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    auto rect = PopUpButtonCell::titleRectForBounds(bounds);
    rect.origin.x -= 2;
    rect.size.width += isBordered() ? 6 : 10;
    auto item = shownItem();
    const bool hasImage = item ? item->image() != nullptr : image() != nullptr;
    if (!hasImage)
        return rect;
    using Position = ui::CellImagePosition;
    switch (imagePosition()) {
    case Position::NoImage:
    case Position::ImageLeft:
        rect.origin.x += 2; // back where the platform puts it, after the image
        break;
    case Position::ImageRight:
        if (alignment() == txt::TextAlignment::Right)
            rect.origin.x -= 3;
        break;
    default:
        break;
    }
    return rect;
}
