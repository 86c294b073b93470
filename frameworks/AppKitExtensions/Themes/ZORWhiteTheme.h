#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"

// Plain white bezels without a gradient.
class ZORWhiteTheme : public ZORAbstractTheme {
    FND_OBJECT(ZORWhiteTheme)
public:
    gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
};
