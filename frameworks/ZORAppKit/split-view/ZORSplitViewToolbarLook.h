#pragma once

#include "platform/graphics/Color.h"

#include <memory>

namespace gfx {
class Gradient;
}

// The split-view toolbar's greys: calibrated, equal components; dimmed means 42 % toward white, for windows that
// are not key.
namespace ZORSplitViewToolbarLook {

gfx::ColorPtr grey(double white, double alpha, bool dimmed);
// Background, bottom to top: grey 0.75 to grey 0.95.
std::shared_ptr<gfx::Gradient> backgroundGradient(bool dimmed);
gfx::ColorPtr separatorColor(bool dimmed);
std::shared_ptr<gfx::Gradient> delimiterGradient(bool dimmed);
// A button's face: grey 0.95 to grey 0.75, or grey 0.78 to 0.9 while pressed.
std::shared_ptr<gfx::Gradient> buttonGradient(bool pressed, bool dimmed);
std::shared_ptr<gfx::Gradient> gripGradient(bool dimmed);

}
