#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"

// The grey bar gradient, lighter in an inactive window; a translucent shadow grey marks the on state.
class ZORGrayTheme : public ZORAbstractTheme {
    FND_OBJECT(ZORGrayTheme)
public:
    gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> borderSideGradientForStateMask(ZORThemeStateMask mask) const override;
};
