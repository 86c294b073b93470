#pragma once

#include "platform/foundation/runtime/Value.h"

namespace ui {

class Layer;

// Action keys a layer looks up when it enters or leaves a tree, and the key transitions are added under.
namespace LayerActionKey {
inline const fnd::String OnOrderIn = "onOrderIn";
inline const fnd::String OnOrderOut = "onOrderOut";
inline const fnd::String Transition = "transition";
}

// The argument a changed key's action receives: the value shown just before the change.
inline const fnd::String LayerActionPreviousValueKey = "previousValue";

// What a layer runs when one of its keys changes (an implicit animation) or when it enters or leaves a tree (a
// transition). Animations are actions: run, they add a copy of themselves to the layer under the key.
class LayerAction {
public:
    virtual ~LayerAction() = default;
    virtual void runActionForKey(const fnd::String& key, Layer& layer, const fnd::Dictionary& arguments) = 0;
};

}
