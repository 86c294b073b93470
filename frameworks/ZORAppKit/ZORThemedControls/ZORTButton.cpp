#include "frameworks/ZORAppKit/ZORThemedControls/ZORTButton.h"

FND_REGISTER_CLASS(ZORTButton, ui::Button)

void ZORTButton::describeClass(fnd::ClassBuilder<ZORTButton>& c)
{
    c.property("themeKey", &ZORTButton::themeKey, &ZORTButton::setThemeKey);
}

std::shared_ptr<ZORTButton> ZORTButton::create(gfx::Rect frame, const fnd::String& title)
{
    auto button = ui::makeView<ZORTButton>(frame);
    button->setTitle(title);
    return button;
}

std::shared_ptr<ui::Cell> ZORTButton::makeCell() const
{
    return fnd::makeObject<ZORTButtonCell>();
}

fnd::String ZORTButton::themeKey() const
{
    auto c = themedCell();
    return c ? c->themeKey() : fnd::String();
}

void ZORTButton::setThemeKey(const fnd::String& key)
{
    if (auto c = themedCell())
        c->setThemeKey(key);
}

void ZORTButton::setHighlightBackgroundMode(std::uint64_t mode)
{
    if (auto c = themedCell())
        c->setHighlightBackgroundMode(mode);
}

void ZORTButton::setStateBackgroundMode(std::uint64_t mode)
{
    if (auto c = themedCell())
        c->setStateBackgroundMode(mode);
}

void ZORTButton::setBorderSideMask(std::uint64_t mask)
{
    if (auto c = themedCell())
        c->setBorderSideMask(mask);
}
