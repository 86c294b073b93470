#pragma once

#include "frameworks/AppKitExtensions/Themes/ZORTheme.h"

#include "platform/foundation/runtime/Object.h"

// The light look in the platform's own system colours, and the base of every theme: a theme overrides only the
// answers that differ. Registered under no key.
class ZORAbstractTheme : public fnd::Object, public ZORTheme {
    FND_OBJECT(ZORAbstractTheme)
public:
    ZORBackgroundStyle backgroundStyle() const override;
    std::shared_ptr<gfx::Shadow> focusRing() const override;
    gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr darkStrokeColorForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr gridColorForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const override;
    double gradientAngleForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> complexGradientForStateMask(ZORThemeStateMask mask) const override;
    std::shared_ptr<gfx::Gradient> borderSideGradientForStateMask(ZORThemeStateMask mask) const override;
    gfx::ColorPtr textColorForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    gfx::ColorPtr selectedTextColorForBackgroundStyle(
        ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    gfx::ColorPtr selectedTextBackgroundColorForBackgroundStyle(
        ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    double alphaValueForStateMask(ZORThemeStateMask mask) const override;
    // On a dark background: opaque unless disabled; on any other, this theme's alphaValueForStateMask.
    double alphaValueForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const override;
    bool applyShadows() const override;
    std::shared_ptr<gfx::Shadow> dropShadow() const override;
    // Black below the control on a light background, white on a dark one; nullptr for other styles.
    std::shared_ptr<gfx::Shadow> dropShadowForBackgroundStyle(ZORBackgroundStyle style) const override;

protected:
    static std::shared_ptr<gfx::Shadow> makeShadow(gfx::ColorPtr color, double blurRadius, gfx::Size offset);
};
