#include "frameworks/ZORAppKit/ZORThemedControls/ZORTPopUpButton.h"

FND_REGISTER_CLASS(ZORTPopUpButton, ui::PopUpButton)

void ZORTPopUpButton::describeClass(fnd::ClassBuilder<ZORTPopUpButton>& c)
{
    c.property("themeKey", &ZORTPopUpButton::themeKey, &ZORTPopUpButton::setThemeKey);
}

std::shared_ptr<ZORTPopUpButton> ZORTPopUpButton::create(gfx::Rect frame, bool pullsDown)
{
    auto button = ui::makeView<ZORTPopUpButton>(frame);
    button->setPullsDown(pullsDown);
    return button;
}

std::shared_ptr<ui::Cell> ZORTPopUpButton::makeCell() const
{
    return fnd::makeObject<ZORTPopUpButtonCell>();
}

fnd::String ZORTPopUpButton::themeKey() const
{
    auto c = themedCell();
    return c ? c->themeKey() : fnd::String();
}

void ZORTPopUpButton::setThemeKey(const fnd::String& key)
{
    if (auto c = themedCell())
        c->setThemeKey(key);
}

void ZORTPopUpButton::setHighlightBackgroundMode(std::uint64_t mode)
{
    if (auto c = themedCell())
        c->setHighlightBackgroundMode(mode);
}

void ZORTPopUpButton::setBorderSideMask(std::uint64_t mask)
{
    if (auto c = themedCell())
        c->setBorderSideMask(mask);
}
