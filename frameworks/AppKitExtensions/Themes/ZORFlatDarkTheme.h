#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"

// A flat dark look: dark grey bezels with a light blue-grey outline, lighter when on or pressed, translucent by the
// theme's alpha for the state. Its contents stand on a dark background.
class ZORFlatDarkTheme : public ZORAbstractTheme {
    FND_OBJECT(ZORFlatDarkTheme)
public:
    ZORBackgroundStyle backgroundStyle() const override;
    gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr darkStrokeColorForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const override;
    double gradientAngleForStateMask(ZORThemeStateMask mask) const override;
    // Two stops: the light pair when on or pressed in an enabled, active control, else the dark pair.
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
    // Four stops with a hard edge in the middle; looks at the disabled, pressed and on bits only.
    std::shared_ptr<gfx::Gradient> complexGradientForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> borderSideGradientForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr textColorForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    gfx::ColorPtr selectedTextColorForBackgroundStyle(
        ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    gfx::ColorPtr selectedTextBackgroundColorForBackgroundStyle(
        ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    double alphaValueForStateMask(ZORThemeStateMask mask) const override;
    bool applyShadows() const override;

    // The colour sets the gradients are made of, shared with the HUD theme.
    static std::shared_ptr<gfx::Gradient> darkPairGradient(double alpha);
    static std::shared_ptr<gfx::Gradient> lightPairGradient(double alpha);
    static std::shared_ptr<gfx::Gradient> darkSetGradient(double alpha);
    static std::shared_ptr<gfx::Gradient> lightSetGradient(double alpha);
    // A light edge with a dark middle, the same for every state; the grey and glass themes use it too.
    static std::shared_ptr<gfx::Gradient> sideBorderGradient();
};
