#pragma once

#include "platform/foundation/model/PropertyDescription.h"

#include <memory>
#include <vector>

namespace fnd {

class ManagedObjectModel;

// One kind of object of a model: its name and its properties, in the order the model file gives them.
class EntityDescription : public Object {
    FND_OBJECT(EntityDescription)
    static void describeClass(ClassBuilder<EntityDescription>& c);

public:
    EntityDescription() = default;

    const String& name() const { return m_name; }
    const std::vector<std::shared_ptr<PropertyDescription>>& properties() const { return m_properties; }
    // nullptr when the entity has no property of that name.
    std::shared_ptr<PropertyDescription> propertyNamed(const String& name) const;
    std::vector<String> propertyNames() const;
    // The model keeps its entities; an entity does not keep its model (whoever uses the model keeps it, as the
    // edited objects' context does), so this is nullptr once the model is gone.
    std::shared_ptr<ManagedObjectModel> managedObjectModel() const { return m_model.lock(); }

private:
    friend class ManagedObjectModel;

    String m_name;
    std::vector<std::shared_ptr<PropertyDescription>> m_properties;
    std::weak_ptr<ManagedObjectModel> m_model;
};

}
