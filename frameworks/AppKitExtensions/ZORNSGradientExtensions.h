#pragma once

#include "platform/graphics/Gradient.h"

#include <cstdint>
#include <memory>

// Bar and button gradients of the platform gradient class, each built once and shared for the life of the process
// (callers must not change them), and picked by their stored type numbers.
namespace ZORNSGradientExtensions {

namespace GradientType {
inline constexpr std::int64_t GrayBar = 0;
inline constexpr std::int64_t BlueBar = 1;
inline constexpr std::int64_t GlassBar = 2;
inline constexpr std::int64_t ControlWindowBar = 3;
inline constexpr std::int64_t LightGrayBar = 100;
inline constexpr std::int64_t HighlightedButton = 200;
inline constexpr std::int64_t SelectedButton = 201;
}

// The preset of a type; nullptr for any other number.
std::shared_ptr<gfx::Gradient> gradientByType(std::int64_t type);
// The preset to use for a type while the window is inactive: the grey bar lightens, the others stay.
std::shared_ptr<gfx::Gradient> inactiveGradientByType(std::int64_t type);

std::shared_ptr<gfx::Gradient> grayBarGradient();
std::shared_ptr<gfx::Gradient> blueBarGradient();
std::shared_ptr<gfx::Gradient> glassBarGradient();
std::shared_ptr<gfx::Gradient> controlWindowBarGradient();
std::shared_ptr<gfx::Gradient> lightGrayBarGradient();
std::shared_ptr<gfx::Gradient> highlightedButtonGradient();
std::shared_ptr<gfx::Gradient> selectedButtonGradient();

}
