#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/Shadow.h"

#include <cstdint>
#include <memory>

// A control's state as a theme sees it: bits combined freely.
using ZORThemeStateMask = std::uint64_t;
namespace ZORThemeState {
inline constexpr ZORThemeStateMask Disabled = 1;
// The control's window is not the main window, or the application is not active.
inline constexpr ZORThemeStateMask Inactive = 2;
// On, highlighted or selected.
inline constexpr ZORThemeStateMask On = 4;
inline constexpr ZORThemeStateMask Pressed = 8;
}

// The background a control's contents stand on, with the platform's values. Themes answer 0 and 1 only.
using ZORBackgroundStyle = std::int64_t;
namespace ZORBackgroundStyleValue {
inline constexpr ZORBackgroundStyle Light = 0;
inline constexpr ZORBackgroundStyle Dark = 1;
}

// What a themed control asks when it draws: colours, gradients, alpha values and shadows for a state. A theme holds
// no state; every answer is a new object (the cached gradient presets aside), so callers may keep or change what they
// get. A null answer means "nothing of that kind".
class ZORTheme {
public:
    virtual ~ZORTheme() = default;

    virtual ZORBackgroundStyle backgroundStyle() const = 0;
    virtual std::shared_ptr<gfx::Shadow> focusRing() const = 0;
    // The outline of a bezel.
    virtual gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask mask) const = 0;
    // A darker line inside or outside the outline.
    virtual gfx::ColorPtr darkStrokeColorForStateMask(ZORThemeStateMask mask) const = 0;
    // The separators of a bordered view.
    virtual gfx::ColorPtr gridColorForStateMask(ZORThemeStateMask mask) const = 0;
    virtual gfx::ColorPtr fillColorForStateMask(ZORThemeStateMask mask) const = 0;
    // Degrees.
    virtual double gradientAngleForStateMask(ZORThemeStateMask mask) const = 0;
    // The bezel fill.
    virtual std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask mask) const = 0;
    // A four-stop bezel fill.
    virtual std::shared_ptr<gfx::Gradient> complexGradientForStateMask(ZORThemeStateMask mask) const = 0;
    // The side borders of pop-up and button bezels.
    virtual std::shared_ptr<gfx::Gradient> borderSideGradientForStateMask(ZORThemeStateMask mask) const = 0;
    virtual gfx::ColorPtr textColorForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const = 0;
    virtual gfx::ColorPtr selectedTextColorForBackgroundStyle(
        ZORBackgroundStyle style, ZORThemeStateMask stateMask) const = 0;
    virtual gfx::ColorPtr selectedTextBackgroundColorForBackgroundStyle(
        ZORBackgroundStyle style, ZORThemeStateMask stateMask) const = 0;
    virtual double alphaValueForStateMask(ZORThemeStateMask mask) const = 0;
    virtual double alphaValueForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const = 0;
    // Whether a control draws the theme's drop shadow.
    virtual bool applyShadows() const = 0;
    virtual std::shared_ptr<gfx::Shadow> dropShadow() const = 0;
    virtual std::shared_ptr<gfx::Shadow> dropShadowForBackgroundStyle(ZORBackgroundStyle style) const = 0;
};
