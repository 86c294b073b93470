#pragma once

#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/Color.h"

// Colours kept in the defaults as data of the sequential (non-keyed) archive format.
namespace QFAppKitExtensions {

void setColor(fnd::UserDefaults& defaults, const gfx::ColorPtr& color, const fnd::String& key);
// nullptr when the key holds no data or the data is no colour.
gfx::ColorPtr colorForKey(const fnd::UserDefaults& defaults, const fnd::String& key);

}
