#pragma once

#include "registry/ClassSetters.h"

#include <optional>
#include <string>
#include <vector>

// The public setters that key-value coding does not reach, per class, and how a class that lives in a tree of its
// own kind is placed in one for the archive property.
namespace registrytest {

// The setters the table gives for exactly that class (not its superclasses).
std::vector<Setter> tabledSettersOf(const std::string& className);

// An entry or item placed under a parent below a root of its own kind; nullopt for a class that has no such tree.
std::optional<Subject> treeSubject(const fnd::ClassInfo& cls, const std::shared_ptr<fnd::Object>& object);

}
