#include "frameworks/AppKitExtensions/Themes/ZORLightGrayTheme.h"

#include "frameworks/AppKitExtensions/ZORNSGradientExtensions.h"

FND_REGISTER_CLASS(ZORLightGrayTheme, ZORAbstractTheme)

gfx::ColorPtr ZORLightGrayTheme::fillColorForStateMask(ZORThemeStateMask) const
{
    return gfx::Color::lightGrayColor();
}

std::shared_ptr<gfx::Gradient> ZORLightGrayTheme::gradientForStateMask(ZORThemeStateMask) const
{
    return ZORNSGradientExtensions::gradientByType(ZORNSGradientExtensions::GradientType::LightGrayBar);
}
