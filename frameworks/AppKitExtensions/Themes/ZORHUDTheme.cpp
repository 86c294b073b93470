#include "frameworks/AppKitExtensions/Themes/ZORHUDTheme.h"

namespace State = ZORThemeState;

FND_REGISTER_CLASS(ZORHUDTheme, ZORFlatDarkTheme)

gfx::ColorPtr ZORHUDTheme::strokeColorForStateMask(ZORThemeStateMask mask) const
{
    if (mask == 0)
        return gfx::Color::colorWithDeviceRed(0.749, 0.761, 0.788, 0.7);
    return ZORFlatDarkTheme::strokeColorForStateMask(mask);
}

double ZORHUDTheme::alphaValueForStateMask(ZORThemeStateMask mask) const
{
    return mask == 0 ? 0.7 : ZORFlatDarkTheme::alphaValueForStateMask(mask);
}

std::shared_ptr<gfx::Gradient> ZORHUDTheme::gradientForStateMask(ZORThemeStateMask mask) const
{
    if (mask & (State::Disabled | State::Inactive))
        return ZORFlatDarkTheme::gradientForStateMask(mask);
    double alpha = alphaValueForStateMask(mask);
    return mask & (State::On | State::Pressed) ? lightSetGradient(alpha) : darkSetGradient(alpha);
}

bool ZORHUDTheme::applyShadows() const
{
    return false;
}
