#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <random>
#include <string>

// The values the archive property hands to setters: an ordinary pool of what a program sets, and an extreme pool of
// what a careless or hostile caller sets (NaN, infinities, ±1e308, 0, -1, 1e7, the empty and a 100,000-character
// string, nil, and for objects the object itself, its parent, an ancestor and an object held elsewhere).
namespace registrytest {

// What a setter takes, so that its values come from the pool of that kind.
enum class SetterKind { Real, Integer, Bool, String, Point, Size, Rect, Range, Date, Object, Array, Dictionary, Any };

// The objects around the one under test: the extreme pool of an object setter. Any of them may be nil.
struct ObjectNeighbours {
    std::shared_ptr<fnd::Object> self;
    std::shared_ptr<fnd::Object> parent;
    std::shared_ptr<fnd::Object> ancestor;
    std::shared_ptr<fnd::Object> elsewhere;
};

// The kind of a setter's values judged from what its getter answers now (Any when it answers nil).
SetterKind setterKindOf(const fnd::Value& current);

// A value for a setter of that kind: from the extreme pool when `extreme`, else from the ordinary one. `current` is
// what the getter answers (an object setter's ordinary pool holds it and a fresh object of its class).
fnd::Value pooledValue(
    SetterKind kind, bool extreme, const fnd::Value& current, const ObjectNeighbours& neighbours, std::mt19937& random);

// A short account of a value for a failure message (a long string by its length, an object by its class).
std::string describedValue(const fnd::Value& value, const ObjectNeighbours& neighbours);

}
