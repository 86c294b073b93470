#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"

// Light grey bezels on the light grey bar gradient.
class ZORLightGrayTheme : public ZORAbstractTheme {
    FND_OBJECT(ZORLightGrayTheme)
public:
    gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
};
