#include "frameworks/AppKitExtensions/Themes/ZORWhiteTheme.h"

FND_REGISTER_CLASS(ZORWhiteTheme, ZORAbstractTheme)

gfx::ColorPtr ZORWhiteTheme::fillColorForStateMask(ZORThemeStateMask) const
{
    return gfx::Color::whiteColor();
}

std::shared_ptr<gfx::Gradient> ZORWhiteTheme::gradientForStateMask(ZORThemeStateMask) const
{
    return nullptr;
}
