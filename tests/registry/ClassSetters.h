#pragma once

#include "registry/SetterPools.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The public setters of a class as the archive property drives them: every key its key-value coding table (and its
// superclasses') can set, and the setters those tables do not reach, from a small table per class.
namespace registrytest {

struct Setter {
    // The key, or for a setter from the table its method name ("setDocumentView").
    std::string name;
    // What the setter takes; nullopt when the getter's current value tells (a key of the table).
    std::optional<SetterKind> kind;
    // The current value (for the kind and the ordinary pool); may be empty.
    std::function<fnd::Value(const fnd::Object&)> get;
    std::function<void(fnd::Object&, const fnd::Value&)> set;
};

// An object made by name with the objects around it: a view sits in a parent inside an ancestor, an entry of a tree
// under a parent entry below a root; `elsewhere` is an object of the same class held by another tree.
struct Subject {
    std::shared_ptr<fnd::Object> object;
    ObjectNeighbours neighbours;
    // What holds the neighbours that the object and they link to only weakly.
    std::vector<std::shared_ptr<fnd::Object>> holders;
};

// Made as an interface file or archive makes it (a view with a frame); nullptr when the class cannot be made by name.
std::shared_ptr<fnd::Object> madeByName(const fnd::ClassInfo& cls);
Subject subjectMadeByName(const fnd::ClassInfo& cls);

// Every setter of the class: its keys (and its superclasses'), then the table's setters of it and its superclasses.
std::vector<Setter> settersOf(const fnd::ClassInfo& cls);

// The classes the table names (each must be registered: a renamed class would drop out of the table unseen).
std::vector<std::string> classesWithTabledSetters();

}
