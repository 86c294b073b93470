#include "platform/foundation/model/EntityDescription.h"

#include "platform/foundation/model/ManagedObjectModel.h"

namespace fnd {

FND_REGISTER_CLASS(EntityDescription, Object)

void EntityDescription::describeClass(ClassBuilder<EntityDescription>& c)
{
    c.property("name", &EntityDescription::name);
    c.property("properties", &EntityDescription::properties);
    c.property("managedObjectModel", &EntityDescription::managedObjectModel);
}

std::shared_ptr<PropertyDescription> EntityDescription::propertyNamed(const String& name) const
{
    for (const auto& p : m_properties) {
        if (p->name() == name)
            return p;
    }
    return nullptr;
}

std::vector<String> EntityDescription::propertyNames() const
{
    std::vector<String> names;
    names.reserve(m_properties.size());
    for (const auto& p : m_properties)
        names.push_back(p->name());
    return names;
}

}
