#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORDelayedPopUpButton.h"

FND_REGISTER_CLASS(ZORDelayedPopUpButton, ui::Button)

std::shared_ptr<ZORDelayedPopUpButton> ZORDelayedPopUpButton::create(gfx::Rect frame)
{
    return ui::makeView<ZORDelayedPopUpButton>(frame);
}

std::shared_ptr<ZORDelayedPopUpButtonCell> ZORDelayedPopUpButton::makeDelayedCell(const fnd::String& title)
{
    auto cell = std::make_shared<ZORDelayedPopUpButtonCell>();
    cell->initTextCell(title);
    cell->setControlSize(ui::ControlSize::Regular);
    return cell;
}

void ZORDelayedPopUpButton::initWithFrame(gfx::Rect frame)
{
    Button::initWithFrame(frame);
    if (!delayedCell())
        setCell(makeDelayedCell(title()));
}

std::shared_ptr<ui::Cell> ZORDelayedPopUpButton::makeCell() const
{
    return makeDelayedCell({});
}
