#pragma once

#include "platform/foundation/files/Bundle.h"

#include <memory>

namespace KRScopeBarBundle {

// The bundle of the scope bar classes (the framework's), with their texts and the overflow image. The bar does not
// link the Foundation extensions that register the framework's prefixes, so it registers its own.
std::shared_ptr<fnd::Bundle> bundle();

}
