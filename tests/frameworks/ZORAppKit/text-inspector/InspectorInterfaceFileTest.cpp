// An inspector written in an interface file: its fields, with labels and placeholders, as an array and as children,
// their values bound to the file's owner.
#include "InspectorTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/interface/InterfaceFile.h"

namespace {

class InspectorFileOwner : public fnd::Object {
    FND_OBJECT(InspectorFileOwner)
    static void describeClass(fnd::ClassBuilder<InspectorFileOwner>& c)
    {
        c.property("name", &InspectorFileOwner::name);
        c.property("inspector", &InspectorFileOwner::inspector);
    }

public:
    fnd::Value name;
    std::shared_ptr<ZORTextViewInspector> inspector;
};

class InspectorInterfaceFileTest : public uitest::KeyWindowTest {
protected:
    InspectorInterfaceFileTest()
        : KeyWindowTest({ 400, 300 })
    {
    }
};

const char* const InspectorInterfaceFileText = R"(<interface>
  <object id="inspector" class="ZORTextViewInspector">
    <rect key="frame" x="0" y="0" width="400" height="300"/>
    <bool key="editableState">true</bool>
    <array key="fields">
      <object id="name" class="ZORTextViewInspectorTextField">
        <string key="identifier">name</string>
        <object key="label" class="ZORTextViewInspectorFieldLabel"><string key="label">Name</string></object>
        <string key="placeholder">Full name</string>
      </object>
      <object id="zip" class="ZORTextViewInspectorIntegerField">
        <string key="identifier">zip</string>
        <object key="label" class="ZORTextViewInspectorFieldLabel"><string key="label">ZIP</string></object>
        <string key="placeholder">Postcode</string>
      </object>
      <object id="homepage" class="ZORTextViewInspectorURLField">
        <string key="identifier">homepage</string>
        <object key="label" class="ZORTextViewInspectorFieldLabel"><string key="label">Homepage</string></object>
      </object>
    </array>
    <children selector="addField:">
      <object id="done" class="ZORTextViewInspectorCheckboxField">
        <string key="identifier">done</string>
        <object key="label" class="ZORTextViewInspectorFieldLabel"><string key="label">Done</string></object>
      </object>
    </children>
  </object>
  <connections>
    <outlet source="owner" key="inspector" destination="inspector"/>
    <binding source="name" name="value" destination="owner" keyPath="name"/>
  </connections>
</interface>)";

}

FND_REGISTER_CLASS(InspectorFileOwner, fnd::Object)

TEST_F(InspectorInterfaceFileTest, FieldsWithLabelsPlaceholdersAndBindingsComeFromTheFile)
{
    auto owner = fnd::makeObject<InspectorFileOwner>();
    owner->name = fnd::Value("Ada");
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(InspectorInterfaceFileText), owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto inspector = owner->inspector;
    ASSERT_TRUE(inspector);
    add(inspector);
    std::vector<std::string> identifiers;
    for (const auto& field : inspector->fieldsArray())
        identifiers.push_back(field->identifier().utf8());
    EXPECT_EQ(identifiers, (std::vector<std::string> { "name", "zip", "homepage", "done" }));
    EXPECT_EQ(inspector->valueForKey("fields").array()->size(), 4u);

    // A URL field made by name has its text and its button, as one made for a property has.
    auto homepage = std::dynamic_pointer_cast<ZORTextViewInspectorURLField>(loaded->objectsById.at("homepage"));
    ASSERT_TRUE(homepage);
    ASSERT_EQ(homepage->allFields().size(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(homepage->fieldAtIndex(0)));
    EXPECT_TRUE(std::dynamic_pointer_cast<ZORTextViewInspectorSmallButtonField>(homepage->fieldAtIndex(1)));

    // The bound value shows at once; the unbound integer field shows its placeholder.
    const std::string text = inspectortest::visible(inspector->textStorage()->string());
    EXPECT_EQ(text.rfind("\\n\\tName\\tAda\\n\\tZIP\\tPostcode\\n\\tHomepage\\t", 0), 0u) << text;
    EXPECT_NE(text.find("\\tDone:\\t[o]"), std::string::npos) << text;

    // Edits go back through the file's binding.
    auto name = std::dynamic_pointer_cast<ZORTextViewInspectorField>(loaded->objectsById.at("name"));
    window->makeFirstResponder(inspector);
    inspector->jumpToField(name);
    for (char c : std::string("Byron"))
        backend->keyDown(*window, fnd::String(std::string(1, c)), ui::KeyCode::A);
    backend->keyDown(*window, "\r", ui::KeyCode::Return);
    dispatch();
    EXPECT_EQ(owner->name, fnd::Value("Byron"));
}

TEST_F(InspectorInterfaceFileTest, AFieldListWithAnObjectThatIsNoFieldIsRefused)
{
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<interface>
  <object class="ZORTextViewInspector">
    <rect key="frame" x="0" y="0" width="400" height="300"/>
    <array key="fields"><object class="ZORTextViewInspectorTextField"/><object class="View"/></array>
  </object>
</interface>)"));
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError);
    EXPECT_NE(loaded.error().localizedDescription().utf8().find("is not an inspector field"), std::string::npos)
        << loaded.error().localizedDescription().utf8();
}

namespace {

class InspectorLinkFieldsOwner : public fnd::Object {
    FND_OBJECT(InspectorLinkFieldsOwner)
    static void describeClass(fnd::ClassBuilder<InspectorLinkFieldsOwner>& c)
    {
        c.property("homepage", &InspectorLinkFieldsOwner::homepage);
        c.property("mail", &InspectorLinkFieldsOwner::mail);
        c.property("inspector", &InspectorLinkFieldsOwner::inspector);
    }

public:
    fnd::Value homepage;
    fnd::Value mail;
    std::shared_ptr<ZORTextViewInspector> inspector;
};

// Link fields as a form written by hand has them: identifier, label and placeholder as keys, the value bound to the
// owner, nothing else.
const char* const InspectorLinkFieldsText = R"(<interface>
  <object id="inspector" class="ZORTextViewInspector">
    <rect key="frame" x="0" y="0" width="400" height="300"/>
    <bool key="editableState">true</bool>
    <array key="fields">
      <object id="homepage" class="ZORTextViewInspectorURLField">
        <string key="identifier">homepage</string>
        <object key="label" class="ZORTextViewInspectorFieldLabel"><string key="label">Homepage</string></object>
        <string key="placeholder">Web address</string>
      </object>
      <object id="mail" class="ZORTextViewInspectorEmailField">
        <string key="identifier">mail</string>
        <object key="label" class="ZORTextViewInspectorFieldLabel"><string key="label">E-mail</string></object>
        <string key="placeholder">Mail address</string>
      </object>
    </array>
  </object>
  <connections>
    <outlet source="owner" key="inspector" destination="inspector"/>
    <binding source="homepage" name="value" destination="owner" keyPath="homepage"/>
    <binding source="mail" name="value" destination="owner" keyPath="mail"/>
  </connections>
</interface>)";

}

FND_REGISTER_CLASS(InspectorLinkFieldsOwner, fnd::Object)

TEST_F(InspectorInterfaceFileTest, LinkFieldsFromAFileShowPlaceholderAndBoundValueAndTakeTyping)
{
    auto owner = fnd::makeObject<InspectorLinkFieldsOwner>();
    owner->homepage = fnd::Value("example.org");
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(InspectorLinkFieldsText), owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto inspector = owner->inspector;
    ASSERT_TRUE(inspector);
    add(inspector);
    auto homepage = std::dynamic_pointer_cast<ZORTextViewInspectorURLField>(loaded->objectsById.at("homepage"));
    auto mail = std::dynamic_pointer_cast<ZORTextViewInspectorEmailField>(loaded->objectsById.at("mail"));
    ASSERT_TRUE(homepage && mail);
    ASSERT_EQ(mail->allFields().size(), 2u);
    auto buttonOf = [](ZORTextViewInspectorCompoundField& field) {
        return std::dynamic_pointer_cast<ui::Button>(
            std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field.fieldAtIndex(1))->view());
    };

    // The bound address and the file's placeholder, each before its button; the address's button is on.
    const std::string text = inspectortest::visible(inspector->textStorage()->string());
    EXPECT_EQ(text, "\\n\\tHomepage\\texample.org [o]\\n\\tE-mail\\tMail address [o]\\n") << text;
    EXPECT_TRUE(buttonOf(*homepage)->isEnabled());
    EXPECT_FALSE(buttonOf(*mail)->isEnabled()) << "no address yet";

    // A click on the placeholder starts editing it; what is typed goes to the owner through the file's binding.
    (void)snapshot();
    auto clickOn = [&](const char* shown) {
        auto index = inspector->textStorage()->string().rangeOfString(shown).location;
        auto point = inspectortest::characterPointInWindow(*inspector, index);
        ASSERT_TRUE(point);
        backend->click(*window, *point);
        dispatch();
    };
    clickOn("Mail address");
    ASSERT_EQ(inspector->activeField(), mail->fieldAtIndex(0)) << "the e-mail field's text is edited";
    for (char c : std::string("ada@example.org"))
        backend->keyDown(*window, fnd::String(std::string(1, c)), ui::KeyCode::A);
    backend->keyDown(*window, "\r", ui::KeyCode::Return);
    dispatch();
    EXPECT_EQ(owner->mail, fnd::Value("ada@example.org"));
    EXPECT_TRUE(buttonOf(*mail)->isEnabled());

    // The bound address, replaced: written back, and a change of the owner's shows in the field.
    clickOn("example.org");
    ASSERT_EQ(inspector->activeField(), homepage->fieldAtIndex(0));
    inspector->selectAll({});
    for (char c : std::string("lumvara.test"))
        backend->keyDown(*window, fnd::String(std::string(1, c)), ui::KeyCode::A);
    backend->keyDown(*window, "\r", ui::KeyCode::Return);
    dispatch();
    EXPECT_EQ(owner->homepage, fnd::Value("lumvara.test"));
    owner->setValueForKey(fnd::Value("tessaro.test"), "homepage");
    EXPECT_NE(inspectortest::visible(inspector->textStorage()->string()).find("\\tHomepage\\ttessaro.test [o]"),
        std::string::npos)
        << inspectortest::visible(inspector->textStorage()->string());
}
