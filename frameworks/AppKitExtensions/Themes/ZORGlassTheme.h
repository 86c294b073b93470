#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"

// The glass bar gradient with its hard edge in the middle; a translucent shadow grey marks the on state.
class ZORGlassTheme : public ZORAbstractTheme {
    FND_OBJECT(ZORGlassTheme)
public:
    gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> borderSideGradientForStateMask(ZORThemeStateMask mask) const override;
};
