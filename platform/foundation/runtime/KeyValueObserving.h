#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/Object.h"

#include <optional>

namespace fnd {

// What an observer learns of one change (the platform's change dictionary). oldValue and newValue are filled
// only when the options asked for them; for a to-many change they hold the affected elements.
struct KeyValueChange {
    KeyValueChangeKind kind { KeyValueChangeKind::Setting };
    Value oldValue;
    Value newValue;
    std::optional<IndexSet> indexes; // insertion, removal and replacement
    bool isPrior { false }; // sent before the change, with the Prior option
};

}
