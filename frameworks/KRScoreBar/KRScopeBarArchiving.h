#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/Value.h"

#include <memory>

namespace gfx {
class Gradient;
}
namespace txt {
class AttributedString;
}

// The scope bar's archives carry an index set, an attributed label and a gradient, which are not archivable objects
// of their own here; these turn them into archivable values and back. Reading never trusts the archive: anything
// malformed gives the empty value (an empty set, no label, no gradient).
namespace KRScopeBarArchiving {

// An array of ranges.
fnd::Value indexSetToValue(const fnd::IndexSet& indexes);
fnd::IndexSet indexSetFromValue(const fnd::Value& value);

// A dictionary: "string", and "runs", an array of dictionaries with "range" and "attributes" (only attribute values
// an archive can hold: strings, numbers and archivable objects such as fonts and colours).
fnd::Value attributedStringToValue(const std::shared_ptr<txt::AttributedString>& text);
std::shared_ptr<txt::AttributedString> attributedStringFromValue(const fnd::Value& value);

// An array of dictionaries with "color" and "location", in stop order.
fnd::Value gradientToValue(const std::shared_ptr<gfx::Gradient>& gradient);
std::shared_ptr<gfx::Gradient> gradientFromValue(const fnd::Value& value);

}
