#include "frameworks/AppKitExtensions/Themes/ZORGrayTheme.h"

#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"
#include "frameworks/AppKitExtensions/ZORNSGradientExtensions.h"

namespace Type = ZORNSGradientExtensions::GradientType;

FND_REGISTER_CLASS(ZORGrayTheme, ZORAbstractTheme)

gfx::ColorPtr ZORGrayTheme::fillColorForStateMask(ZORThemeStateMask mask) const
{
    if (mask & ZORThemeState::On)
        return gfx::Color::controlShadowColor()->colorWithAlphaComponent(0.7);
    return nullptr;
}

std::shared_ptr<gfx::Gradient> ZORGrayTheme::gradientForStateMask(ZORThemeStateMask mask) const
{
    return ZORNSGradientExtensions::gradientByType(mask & ZORThemeState::Inactive ? Type::LightGrayBar : Type::GrayBar);
}

std::shared_ptr<gfx::Gradient> ZORGrayTheme::borderSideGradientForStateMask(ZORThemeStateMask) const
{
    return ZORFlatDarkTheme::sideBorderGradient();
}
