#include "frameworks/KRScoreBar/KROverflowPullDownCell.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/look/ControlLook.h"

#include <cmath>

FND_REGISTER_CLASS(KROverflowPullDownCell, ui::PopUpButtonCell)

void KROverflowPullDownCell::initTextCell(const fnd::String& title, bool)
{
    ui::PopUpButtonCell::initTextCell(title, true);
    setButtonType(ui::ButtonType::PushOnPushOff);
    setArrowPosition(ui::PopUpArrowPosition::NoArrow);
    setControlSize(ui::ControlSize::Small);
    setImagePosition(ui::CellImagePosition::ImageOnly);
    setBordered(false);
    setHighlightsBy(ui::CellMask::ChangeGray);
}

gfx::Size KROverflowPullDownCell::cellSizeForBounds(gfx::Rect) const
{
    auto m = menu();
    if (!m || m->numberOfItems() < 1 || !m->itemAtIndex(0)->image())
        return {};
    auto size = m->itemAtIndex(0)->image()->size();
    return { size.width + ImageWidening, size.height };
}

void KROverflowPullDownCell::drawWithFrame(gfx::Rect cellFrame, ui::View&)
{
    auto m = menu();
    if (!m || m->numberOfItems() < 1)
        return;
    auto image = m->itemAtIndex(0)->image();
    if (!image)
        return;
    auto size = image->size();
    gfx::Rect at { std::floor(cellFrame.midX() - size.width / 2), std::floor(cellFrame.midY() - size.height / 2),
        size.width, size.height };
    // Highlighting darkens the picture (a change of grey).
    image->drawInRect(at, {}, gfx::CompositingOperation::SourceOver, isHighlighted() ? 0.6 : 1.0, true);
}
