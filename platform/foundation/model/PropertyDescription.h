#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>

namespace fnd {

class EntityDescription;

// One property of an entity: an attribute (a value of a named type: "string", "integer", "double", "boolean",
// "date", "data", or whatever the model file says) or a relationship to another entity, to one or to many.
class PropertyDescription : public Object {
    FND_OBJECT(PropertyDescription)
    static void describeClass(ClassBuilder<PropertyDescription>& c);

public:
    enum class Kind { Attribute, Relationship };

    PropertyDescription() = default;

    const String& name() const { return m_name; }
    Kind kind() const { return m_kind; }
    bool isRelationship() const { return m_kind == Kind::Relationship; }
    // Attributes only.
    const String& attributeType() const { return m_attributeType; }
    // Relationships only.
    const String& destinationEntityName() const { return m_destinationEntityName; }
    bool isToMany() const { return m_toMany; }
    bool isOptional() const { return m_optional; }
    std::shared_ptr<EntityDescription> entity() const { return m_entity.lock(); }

private:
    friend class ManagedObjectModel;

    String m_name;
    Kind m_kind { Kind::Attribute };
    String m_attributeType;
    String m_destinationEntityName;
    bool m_toMany { false };
    bool m_optional { true };
    std::weak_ptr<EntityDescription> m_entity;
};

}
