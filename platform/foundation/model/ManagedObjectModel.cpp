#include "platform/foundation/model/ManagedObjectModel.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/files/StringsFile.h"

#include <fmt/format.h>

#include <set>

namespace fnd {

FND_REGISTER_CLASS(ManagedObjectModel, Object)

void ManagedObjectModel::describeClass(ClassBuilder<ManagedObjectModel>& c)
{
    c.property("entities", &ManagedObjectModel::entities);
    c.property("localizationDictionary", &ManagedObjectModel::localizationDictionary,
        &ManagedObjectModel::setLocalizationDictionary);
}

namespace {

Error invalid(const std::string& what)
{
    return Error::make(ManagedObjectModel::ErrorDomain, ManagedObjectModel::InvalidModelError,
        String(fmt::format("The model is invalid: {}.", what)));
}

std::string quoted(const String& s)
{
    return "\u201c" + s.utf8() + "\u201d";
}

// A text entry of a dictionary: absent gives nullopt, another kind of value an error.
Expected<std::optional<String>> textFor(const Dictionary& d, const char* key, const std::string& where)
{
    auto* v = d.find(key);
    if (!v)
        return std::optional<String> {};
    if (!v->isString())
        return std::unexpected(invalid(fmt::format("the {} of {} is not text", key, where)));
    return std::optional<String>(*v->string());
}

Expected<bool> flagFor(const Dictionary& d, const char* key, bool fallback, const std::string& where)
{
    auto* v = d.find(key);
    if (!v)
        return fallback;
    if (!v->isNumber())
        return std::unexpected(invalid(fmt::format("\u201c{}\u201d of {} is not true or false", key, where)));
    return v->boolValue();
}

}

Expected<std::shared_ptr<ManagedObjectModel>> ManagedObjectModel::modelWithData(const Data& data)
{
    auto root = PropertyList::read(data);
    if (!root)
        return std::unexpected(invalid(root.error().localizedDescription().utf8()));
    auto* top = root->dictionary();
    if (!top)
        return std::unexpected(invalid("the file does not hold a dictionary"));

    auto model = std::make_shared<ManagedObjectModel>();
    if (auto* localization = top->find("localization")) {
        auto* texts = localization->dictionary();
        if (!texts)
            return std::unexpected(invalid("the localization is not a dictionary"));
        for (const auto& [key, text] : *texts) {
            if (!text.isString())
                return std::unexpected(invalid(fmt::format("the localization of {} is not text", quoted(key))));
        }
        model->m_localization = *texts;
    }

    const Value* entities = top->find("entities");
    if (entities && !entities->isArray())
        return std::unexpected(invalid("the entities are not a list"));
    std::set<String> entityNames;
    if (entities) {
        for (std::size_t e = 0; e < entities->array()->size(); ++e) {
            auto where = fmt::format("entity {}", e + 1);
            auto* description = (*entities->array())[e].dictionary();
            if (!description)
                return std::unexpected(invalid(where + " is not a dictionary"));
            auto name = textFor(*description, "name", where);
            if (!name)
                return std::unexpected(name.error());
            if (!*name || (*name)->isEmpty())
                return std::unexpected(invalid(where + " has no name"));
            if (!entityNames.insert(**name).second)
                return std::unexpected(invalid(fmt::format("two entities are named {}", quoted(**name))));
            auto entity = std::make_shared<EntityDescription>();
            entity->m_name = **name;
            entity->m_model = model;
            where = "entity " + quoted(**name);

            const Value* properties = description->find("properties");
            if (properties && !properties->isArray())
                return std::unexpected(invalid("the properties of " + where + " are not a list"));
            for (std::size_t p = 0; properties && p < properties->array()->size(); ++p) {
                auto propertyWhere = fmt::format("property {} of {}", p + 1, where);
                auto* pd = (*properties->array())[p].dictionary();
                if (!pd)
                    return std::unexpected(invalid(propertyWhere + " is not a dictionary"));
                auto propertyName = textFor(*pd, "name", propertyWhere);
                if (!propertyName)
                    return std::unexpected(propertyName.error());
                if (!*propertyName || (*propertyName)->isEmpty())
                    return std::unexpected(invalid(propertyWhere + " has no name"));
                if (entity->propertyNamed(**propertyName))
                    return std::unexpected(
                        invalid(fmt::format("{} has two properties named {}", where, quoted(**propertyName))));
                propertyWhere = fmt::format("property {} of {}", quoted(**propertyName), where);
                auto type = textFor(*pd, "type", propertyWhere);
                auto destination = textFor(*pd, "destination", propertyWhere);
                auto toMany = flagFor(*pd, "toMany", false, propertyWhere);
                auto optional = flagFor(*pd, "optional", true, propertyWhere);
                if (!type)
                    return std::unexpected(type.error());
                if (!destination)
                    return std::unexpected(destination.error());
                if (!toMany)
                    return std::unexpected(toMany.error());
                if (!optional)
                    return std::unexpected(optional.error());

                auto property = std::make_shared<PropertyDescription>();
                property->m_name = **propertyName;
                property->m_entity = entity;
                property->m_optional = *optional;
                if (*destination) {
                    property->m_kind = PropertyDescription::Kind::Relationship;
                    property->m_destinationEntityName = **destination;
                    property->m_toMany = *toMany;
                } else {
                    property->m_attributeType = type->value_or(String());
                }
                entity->m_properties.push_back(std::move(property));
            }
            model->m_entities.push_back(std::move(entity));
        }
    }
    for (const auto& entity : model->m_entities) {
        for (const auto& property : entity->m_properties) {
            if (property->isRelationship() && !entityNames.contains(property->destinationEntityName()))
                return std::unexpected(invalid(fmt::format("the relationship {} of {} leads to {}, which is no entity",
                    quoted(property->name()), quoted(entity->name()), quoted(property->destinationEntityName()))));
        }
    }
    return model;
}

Expected<std::shared_ptr<ManagedObjectModel>> ManagedObjectModel::modelWithContentsOfFile(const String& path)
{
    auto data = FileManager::defaultManager().contentsAtPath(path);
    if (!data)
        return std::unexpected(data.error());
    auto model = modelWithData(*data);
    if (!model) {
        auto error = model.error();
        error.userInfo().set(ErrorKey::FilePath, path);
        return std::unexpected(error);
    }
    return model;
}

Expected<std::shared_ptr<ManagedObjectModel>> ManagedObjectModel::modelNamed(const String& name, const Bundle& bundle)
{
    auto path = bundle.pathForResource(name, "model");
    if (!path)
        return std::unexpected(Error::make(ErrorDomain, ModelNotFoundError,
            String(fmt::format("There is no model named {} in {}.", quoted(name), bundle.bundlePath().utf8()))));
    auto model = modelWithContentsOfFile(*path);
    if (!model)
        return model;
    // The texts of the user's language, over the file's own.
    if (auto table = bundle.pathForResource(name + String("Model"), "strings")) {
        auto bytes = FileManager::defaultManager().contentsAtPath(*table);
        auto texts = bytes ? StringsFile::parse(*bytes) : Expected<StringsFile::Table>(std::unexpected(bytes.error()));
        if (!texts) {
            auto error = texts.error();
            error.userInfo().set(ErrorKey::FilePath, *table);
            return std::unexpected(error);
        }
        auto localization = (*model)->m_localization;
        for (const auto& [key, text] : *texts)
            localization.set(key, text);
        (*model)->m_localization = std::move(localization);
    }
    return model;
}

std::shared_ptr<EntityDescription> ManagedObjectModel::entityNamed(const String& name) const
{
    for (const auto& e : m_entities) {
        if (e->name() == name)
            return e;
    }
    return nullptr;
}

std::vector<String> ManagedObjectModel::entityNames() const
{
    std::vector<String> names;
    names.reserve(m_entities.size());
    for (const auto& e : m_entities)
        names.push_back(e->name());
    return names;
}

}
