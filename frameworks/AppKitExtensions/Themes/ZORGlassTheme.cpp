#include "frameworks/AppKitExtensions/Themes/ZORGlassTheme.h"

#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"
#include "frameworks/AppKitExtensions/ZORNSGradientExtensions.h"

FND_REGISTER_CLASS(ZORGlassTheme, ZORAbstractTheme)

gfx::ColorPtr ZORGlassTheme::fillColorForStateMask(ZORThemeStateMask mask) const
{
    if (mask & ZORThemeState::On)
        return gfx::Color::controlShadowColor()->colorWithAlphaComponent(0.7);
    return nullptr;
}

std::shared_ptr<gfx::Gradient> ZORGlassTheme::gradientForStateMask(ZORThemeStateMask) const
{
    return ZORNSGradientExtensions::gradientByType(ZORNSGradientExtensions::GradientType::GlassBar);
}

std::shared_ptr<gfx::Gradient> ZORGlassTheme::borderSideGradientForStateMask(ZORThemeStateMask) const
{
    return ZORFlatDarkTheme::sideBorderGradient();
}
