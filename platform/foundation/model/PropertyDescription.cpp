#include "platform/foundation/model/PropertyDescription.h"

#include "platform/foundation/model/EntityDescription.h"

namespace fnd {

FND_REGISTER_CLASS(PropertyDescription, Object)

void PropertyDescription::describeClass(ClassBuilder<PropertyDescription>& c)
{
    c.property("name", &PropertyDescription::name);
    c.property("isRelationship", &PropertyDescription::isRelationship);
    c.property("attributeType", &PropertyDescription::attributeType);
    c.property("destinationEntityName", &PropertyDescription::destinationEntityName);
    c.property("isToMany", &PropertyDescription::isToMany);
    c.property("isOptional", &PropertyDescription::isOptional);
    c.property("entity", &PropertyDescription::entity);
}

}
