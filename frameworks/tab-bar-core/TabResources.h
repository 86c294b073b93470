#pragma once

#include "platform/foundation/runtime/String.h"

#include <memory>

namespace fnd {
class Bundle;
}
namespace gfx {
class Image;
}

// The pictures and settings both tab-bar families take from outside.
namespace tbcore {

// The six close-button pictures a style supplies; any other value has none.
enum class CloseImageType { Normal = 0, Rollover = 1, Pressed = 2, Edited = 3, EditedRollover = 4, EditedPressed = 5 };
constexpr bool isCloseImageType(long type)
{
    return type >= 0 && type <= 5;
}

// The bundle holding the class (the framework's own), where its pictures and texts are.
std::shared_ptr<fnd::Bundle> bundleOfClass(const fnd::String& className);

// A named picture of the bundle of the class, loaded on first use and shared for the process; nullptr when the
// bundle has no such picture.
std::shared_ptr<gfx::Image> namedImage(const fnd::String& bundleClassName, const fnd::String& name);

// How long a drag must rest over a tab before the tab is selected: our own defaults' "SpringingDelayMilliseconds"
// when set, else 0.668 s.
inline const fnd::String SpringingDelayDefaultsKey = "SpringingDelayMilliseconds";
double springingDelay();

}
