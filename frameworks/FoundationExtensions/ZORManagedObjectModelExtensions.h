#pragma once

#include "platform/foundation/runtime/Value.h"

// Localised names of a data model's entities and properties, from the model's localisation dictionary (keys such as
// "Property/<name>/Entity/<entity>" mapped to texts).
namespace ZORExtensions {

using ModelLocalization = fnd::Dictionary;

// "Placeholder/Property/%@/Entity/%@", "Placeholder/Property/%@", else the property's name.
fnd::String localizedPlaceholderForPropertyName(
    const ModelLocalization& model, const fnd::String& property, const fnd::String& entity);
// "Property/%@/Entity/%@", "Property/%@", else "missing localization".
fnd::String localizedPropertyNameForPropertyName(
    const ModelLocalization& model, const fnd::String& property, const fnd::String& entity);
// "Label/Property/%@/Entity/%@", "Label/Property/%@", else the property's name; always followed by ":".
fnd::String localizedLabelForPropertyName(
    const ModelLocalization& model, const fnd::String& property, const fnd::String& entity);
// "Entity/%@", else "missing localization".
fnd::String localizedEntityNameOfEntity(const ModelLocalization& model, const fnd::String& entity);

}
