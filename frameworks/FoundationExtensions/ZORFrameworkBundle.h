#pragma once

#include "platform/foundation/files/Bundle.h"

// Every framework class (prefixes ZOR, ZHK, ZRX, ZFM, DVN, QF, KJ, ZTB, KR, TBQ and AI) takes its resources from the
// one bundle "ZORFramework". The prefixes are registered when this library loads, before any class asks for its
// bundle; the application's own classes, matching none of them, keep the main bundle.
namespace ZORFrameworkBundle {

inline const fnd::String Name = "ZORFramework";

// Idempotent; runs at library load, callable again by code that needs the registration before that.
void registerClassPrefixes();

// The framework bundle itself; nullptr only when its resources are missing.
std::shared_ptr<fnd::Bundle> bundle();

}
