#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <optional>
#include <string>

// What the archive property checks of an object and its archives.
namespace registrytest {

// Where the object holds a number or geometry that is NaN or infinite: in what its getters answer (its class's keys
// and its superclasses'), or for a view in the frame or bounds of it or a view below it. Nothing when all are finite.
std::optional<std::string> nonFiniteState(const fnd::Object& object);

// Where a keyed archive holds a real that is NaN or infinite.
std::optional<std::string> nonFiniteInArchive(const fnd::Data& archive);

// Where two keyed archives part, compared as the property lists they are; nothing when they are equal.
std::optional<std::string> archiveDifference(const fnd::Data& first, const fnd::Data& second);

// What goes wrong when the object is archived and decoded: its archive holds a number that is not finite, does not
// read back as its class, or the decoded object holds such a number or archives otherwise. Nothing when it holds.
std::optional<std::string> archiveReadBackProblem(const std::shared_ptr<fnd::Object>& object);

}
