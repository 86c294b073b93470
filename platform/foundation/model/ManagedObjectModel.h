#pragma once

#include "platform/foundation/model/EntityDescription.h"
#include "platform/foundation/runtime/Error.h"

#include <memory>
#include <vector>

namespace fnd {

class Bundle;

// A description of the kinds of objects an application keeps (entities and their properties) with the texts that
// name them to people (the localisation dictionary, keys such as "Entity/Person" and "Property/name/Entity/Person").
//
// Model files ("<name>.model") are XML property lists:
//
//     <dict>
//       <key>entities</key>
//       <array>
//         <dict>
//           <key>name</key><string>Person</string>
//           <key>properties</key>
//           <array>
//             <dict><key>name</key><string>name</string><key>type</key><string>string</string></dict>
//             <dict><key>name</key><string>addresses</string>
//                   <key>destination</key><string>Address</string><key>toMany</key><true/></dict>
//           </array>
//         </dict>
//         ...
//       </array>
//       <key>localization</key>
//       <dict><key>Entity/Person</key><string>Person</string> ...</dict>
//     </dict>
//
// A property with a destination is a relationship; any other is an attribute whose "type" is kept as written
// ("optional" defaults to true). Entity names and the property names within an entity are unique and not empty,
// and every destination names an entity of the model. modelNamed also reads the string table "<name>Model" of
// the bundle, in the user's language, over the file's own localisation.
class ManagedObjectModel : public Object {
    FND_OBJECT(ManagedObjectModel)
    static void describeClass(ClassBuilder<ManagedObjectModel>& c);

public:
    static inline const String ErrorDomain = "FNDManagedObjectModelErrorDomain";
    enum ErrorCode : std::int64_t { InvalidModelError = 1, ModelNotFoundError = 2 };

    ManagedObjectModel() = default;

    static Expected<std::shared_ptr<ManagedObjectModel>> modelWithData(const Data& data);
    static Expected<std::shared_ptr<ManagedObjectModel>> modelWithContentsOfFile(const String& path);
    static Expected<std::shared_ptr<ManagedObjectModel>> modelNamed(const String& name, const Bundle& bundle);

    const std::vector<std::shared_ptr<EntityDescription>>& entities() const { return m_entities; }
    // nullptr when the model has no entity of that name.
    std::shared_ptr<EntityDescription> entityNamed(const String& name) const;
    std::vector<String> entityNames() const;

    // Keys to texts; nothing is looked up here, the keys are the users' convention.
    const Dictionary& localizationDictionary() const { return m_localization; }
    void setLocalizationDictionary(const Dictionary& dictionary) { m_localization = dictionary; }

private:
    std::vector<std::shared_ptr<EntityDescription>> m_entities;
    Dictionary m_localization;
};

}
