#include "platform/foundation/model/ManagedObjectModel.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/TestSupport.h"

#include <gtest/gtest.h>

using namespace fnd;
using testsupport::ScopedEnvironment;
using testsupport::TemporaryFolder;

namespace {

std::string modelDocument(const std::string& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0">)" + body + "</plist>";
}

const char* const Contacts = R"(<dict>
  <key>entities</key>
  <array>
    <dict>
      <key>name</key><string>Person</string>
      <key>properties</key>
      <array>
        <dict><key>name</key><string>name</string><key>type</key><string>string</string></dict>
        <dict><key>name</key><string>born</string><key>type</key><string>date</string><key>optional</key><false/></dict>
        <dict><key>name</key><string>addresses</string><key>destination</key><string>Address</string><key>toMany</key><true/></dict>
      </array>
    </dict>
    <dict><key>name</key><string>Address</string></dict>
  </array>
  <key>localization</key>
  <dict><key>Entity/Person</key><string>Person</string><key>Property/name</key><string>Name</string></dict>
</dict>)";

}

TEST(ManagedObjectModel, EntitiesPropertiesAndLocalisationComeFromTheModelFile)
{
    auto model = ManagedObjectModel::modelWithData(Data::fromString(modelDocument(Contacts)));
    ASSERT_TRUE(model) << model.error().localizedDescription().utf8();
    EXPECT_EQ((*model)->entityNames(), (std::vector<String> { "Person", "Address" }));
    auto person = (*model)->entityNamed("Person");
    ASSERT_TRUE(person);
    EXPECT_EQ(person->managedObjectModel(), *model);
    EXPECT_EQ(person->propertyNames(), (std::vector<String> { "name", "born", "addresses" }));
    auto born = person->propertyNamed("born");
    EXPECT_EQ(born->attributeType(), String("date"));
    EXPECT_FALSE(born->isOptional());
    EXPECT_EQ(born->entity(), person);
    auto addresses = person->propertyNamed("addresses");
    EXPECT_TRUE(addresses->isRelationship());
    EXPECT_TRUE(addresses->isToMany());
    EXPECT_EQ(addresses->destinationEntityName(), String("Address"));
    EXPECT_TRUE(person->propertyNamed("name")->isOptional());
    EXPECT_FALSE(person->propertyNamed("missing"));
    EXPECT_FALSE((*model)->entityNamed("Missing"));
    EXPECT_EQ((*model)->localizationDictionary().get("Property/name"), Value("Name"));
    // Key-value coding reaches the description, as inspectors read it.
    EXPECT_EQ(person->valueForKeyPath("managedObjectModel.localizationDictionary.Entity/Person"), Value("Person"));
}

TEST(ManagedObjectModel, InvalidModelsSayWhatIsWrong)
{
    const struct {
        std::string body;
        const char* says;
    } cases[] = {
        { "<array/>", "does not hold a dictionary" },
        { "<dict><key>entities</key><string>x</string></dict>", "entities are not a list" },
        { "<dict><key>entities</key><array><dict/></array></dict>", "entity 1 has no name" },
        { "<dict><key>entities</key><array><dict><key>name</key><string>A</string></dict>"
          "<dict><key>name</key><string>A</string></dict></array></dict>",
            "two entities are named \u201cA\u201d" },
        { "<dict><key>entities</key><array><dict><key>name</key><string>A</string><key>properties</key><array>"
          "<dict><key>name</key><string>p</string></dict><dict><key>name</key><string>p</string></dict>"
          "</array></dict></array></dict>",
            "two properties named \u201cp\u201d" },
        { "<dict><key>entities</key><array><dict><key>name</key><string>A</string><key>properties</key><array>"
          "<dict><key>name</key><string>r</string><key>destination</key><string>B</string></dict>"
          "</array></dict></array></dict>",
            "leads to \u201cB\u201d, which is no entity" },
        { "<dict><key>entities</key><array><dict><key>name</key><string>A</string><key>properties</key><array>"
          "<dict><key>name</key><integer>1</integer></dict></array></dict></array></dict>",
            "the name of property 1 of entity \u201cA\u201d is not text" },
        { "<dict><key>localization</key><dict><key>k</key><integer>1</integer></dict></dict>",
            "localization of \u201ck\u201d is not text" },
        { "<dict><key>broken", "The model is invalid" },
    };
    for (const auto& c : cases) {
        auto model = ManagedObjectModel::modelWithData(Data::fromString(modelDocument(c.body)));
        ASSERT_FALSE(model) << c.body;
        EXPECT_EQ(model.error().domain(), ManagedObjectModel::ErrorDomain);
        EXPECT_NE(model.error().localizedDescription().utf8().find(c.says), std::string::npos)
            << model.error().localizedDescription().utf8();
    }
}

TEST(ManagedObjectModel, ANamedModelTakesTheTextsOfTheUsersLanguage)
{
    TemporaryFolder folder;
    folder.write("Book/Contacts.model", modelDocument(Contacts));
    folder.write("Book/de.lproj/ContactsModel.strings", "\"Property/name\" = \"Name (de)\";\n");
    auto bundle = Bundle::bundleWithPath(String(folder / "Book"));
    ASSERT_TRUE(bundle);
    {
        ScopedEnvironment language("LANGUAGE", "de");
        auto model = ManagedObjectModel::modelNamed("Contacts", *bundle);
        ASSERT_TRUE(model) << model.error().localizedDescription().utf8();
        EXPECT_EQ((*model)->localizationDictionary().get("Property/name"), Value("Name (de)"));
        EXPECT_EQ((*model)->localizationDictionary().get("Entity/Person"), Value("Person")) << "the file's own";
    }
    {
        ScopedEnvironment language("LANGUAGE", "fr");
        auto model = ManagedObjectModel::modelNamed("Contacts", *bundle);
        ASSERT_TRUE(model);
        EXPECT_EQ((*model)->localizationDictionary().get("Property/name"), Value("Name"));
    }
    auto missing = ManagedObjectModel::modelNamed("Nothing", *bundle);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code(), ManagedObjectModel::ModelNotFoundError);
}
