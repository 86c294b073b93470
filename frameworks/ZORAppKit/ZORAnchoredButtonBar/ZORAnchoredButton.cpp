#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButton.h"

FND_REGISTER_CLASS(ZORAnchoredButton, ui::Button)

std::shared_ptr<ZORAnchoredButton> ZORAnchoredButton::create(gfx::Rect frame, const fnd::String& title)
{
    auto button = ui::makeView<ZORAnchoredButton>({ frame.origin, { frame.width(), Height } });
    button->setTitle(title);
    return button;
}

std::shared_ptr<ui::Cell> ZORAnchoredButton::makeCell() const
{
    return fnd::makeObject<ZORAnchoredButtonCell>();
}
