#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>

class ZORPreferenceWindowController;

// For tests and fuzz targets only.
namespace ZORPreferenceWindowControllerTesting {

// Lets the next create() or shared accessor make a new controller, as a fresh process would.
void forgetSharedPreferenceWindowController();

// Places the controller's window from a saved frame as its first window() call does (nullopt: none was saved).
void restoreFrame(ZORPreferenceWindowController& controller, const std::optional<fnd::String>& saved);

}
