#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"

// The dark theme for heads-up panels: a little more opaque at rest, and four-stop bezels.
class ZORHUDTheme : public ZORFlatDarkTheme {
    FND_OBJECT(ZORHUDTheme)
public:
    gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask mask) const override;
    double alphaValueForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
    bool applyShadows() const override;
};
