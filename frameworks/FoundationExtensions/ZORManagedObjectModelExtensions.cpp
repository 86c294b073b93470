#include "frameworks/FoundationExtensions/ZORManagedObjectModelExtensions.h"

#include <initializer_list>
#include <optional>

namespace ZORExtensions {

namespace {

const fnd::String Missing = "missing localization";

std::optional<fnd::String> firstOf(const ModelLocalization& model, std::initializer_list<fnd::String> keys)
{
    for (const auto& key : keys) {
        if (auto text = model.find(key); text && text->string())
            return *text->string();
    }
    return std::nullopt;
}

}

fnd::String localizedPlaceholderForPropertyName(
    const ModelLocalization& model, const fnd::String& property, const fnd::String& entity)
{
    if (auto text = firstOf(
            model, { "Placeholder/Property/" + property + "/Entity/" + entity, "Placeholder/Property/" + property }))
        return *text;
    return localizedPropertyNameForPropertyName(model, property, entity);
}

fnd::String localizedPropertyNameForPropertyName(
    const ModelLocalization& model, const fnd::String& property, const fnd::String& entity)
{
    return firstOf(model, { "Property/" + property + "/Entity/" + entity, "Property/" + property }).value_or(Missing);
}

fnd::String localizedLabelForPropertyName(
    const ModelLocalization& model, const fnd::String& property, const fnd::String& entity)
{
    auto label = firstOf(model, { "Label/Property/" + property + "/Entity/" + entity, "Label/Property/" + property });
    return label.value_or(localizedPropertyNameForPropertyName(model, property, entity)) + ":";
}

fnd::String localizedEntityNameOfEntity(const ModelLocalization& model, const fnd::String& entity)
{
    return firstOf(model, { "Entity/" + entity }).value_or(Missing);
}

}
