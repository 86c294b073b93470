#include "frameworks/proportional-split-view/ZORSplitSubviewResizeButton.h"

#include "frameworks/proportional-split-view/KJSplitView.h"

FND_REGISTER_CLASS(ZORSplitSubviewResizeButton, ui::Button)

std::shared_ptr<ZORSplitSubviewResizeButton> ZORSplitSubviewResizeButton::create(gfx::Rect frame)
{
    return ui::makeView<ZORSplitSubviewResizeButton>(frame);
}

void ZORSplitSubviewResizeButton::initWithFrame(gfx::Rect frame)
{
    Button::initWithFrame(frame);
    if (!std::dynamic_pointer_cast<ZORSplitSubviewResizeButtonCell>(cell()))
        setCell(makeCell());
}

std::shared_ptr<ui::Cell> ZORSplitSubviewResizeButton::makeCell() const
{
    auto cell = std::make_shared<ZORSplitSubviewResizeButtonCell>();
    cell->init();
    return cell;
}

void ZORSplitSubviewResizeButton::awakeFromNib()
{
    auto pane = std::dynamic_pointer_cast<KJSplitSubview>(superview());
    auto buttonCell = std::dynamic_pointer_cast<ui::ButtonCell>(cell());
    if (!pane || !buttonCell)
        return;
    buttonCell->setImagePosition(
        pane->position() != 0 ? ui::CellImagePosition::ImageLeft : ui::CellImagePosition::ImageRight);
}
