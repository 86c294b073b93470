// A visit that types nothing writes nothing: every kind of field, every way of leaving it, values of every kind.
#include "InspectorFocus.h"
#include "InspectorTestSupport.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Event.h"

#include <fmt/format.h>
#include <map>

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

// One key per field bound to it, each write counted.
const char* const InspectorVisitKeys[] = { "text", "notes", "integer", "url", "email", "compound", "view", "rating",
    "colour", "date", "checkbox", "image", "button", "country", "language", "token" };

class InspectorVisitModel : public fnd::Object {
    FND_OBJECT(InspectorVisitModel)
    static void describeClass(fnd::ClassBuilder<InspectorVisitModel>& c)
    {
        for (const char* key : InspectorVisitKeys) {
            const std::string name = key;
            c.property(
                key, [name](const InspectorVisitModel& m) { return m.values.at(name); },
                [name](InspectorVisitModel& m, const fnd::Value& v) {
                    m.values[name] = v;
                    ++m.writes;
                });
        }
    }

public:
    std::map<std::string, fnd::Value> values;
    int writes { 0 };
};

// An object of a list, shown by its title.
class InspectorVisitEntry : public fnd::Object {
    FND_OBJECT(InspectorVisitEntry)
    static void describeClass(fnd::ClassBuilder<InspectorVisitEntry>& c)
    {
        c.property(
            "title", [](const InspectorVisitEntry& e) { return e.title; },
            [](InspectorVisitEntry& e, const fnd::Value& v) {
                e.title = v;
                ++e.writes;
            });
    }

public:
    fnd::Value title;
    int writes { 0 };
};

const char* const InspectorVisitPlaceholder = "Enter a value";

enum class InspectorVisitExit { Tab, Backtab, Click, Return, WindowCloses };
const char* const InspectorVisitExitNames[] = { "Tab", "Backtab", "a click elsewhere", "Return", "the window closing" };

class InspectorVisitTest : public InspectorTest {
protected:
    InspectorVisitTest()
    {
        model = fnd::makeObject<InspectorVisitModel>();
        for (const char* key : InspectorVisitKeys)
            model->values[key] = fnd::Value();
        auto label = [](const char* text) { return Label::fieldLabelWithString(text); };
        auto text = [&](const char* key) {
            return ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
                key, label(key), fnd::String(InspectorVisitPlaceholder));
        };
        auto notes = text("notes");
        notes->setSupportNewLine(true);
        auto compound = ZORTextViewInspectorCompoundField::fieldWithIdentifier("compound", label("compound"));
        compound->addField(text("compound"));
        compound->setEditable(true);
        auto url = ZORTextViewInspectorField::make<ZORTextViewInspectorURLField>(
            "url", label("url"), fnd::String(InspectorVisitPlaceholder));
        auto email = ZORTextViewInspectorField::make<ZORTextViewInspectorEmailField>(
            "email", label("email"), fnd::String(InspectorVisitPlaceholder));
        auto view = ZORTextViewInspectorViewField::viewFieldWithIdentifier<ZORTextViewInspectorViewField>(
            "view", ui::TextField::create({ 0, 0, 120, 20 }), label("view"));
        auto country = ZORTextViewInspectorField::make<ZORTextViewInspectorCountryField>("country", label("country"));
        country->setCountryLocales(
            { std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("FR") });
        auto rows = ZORTextViewInspectorField::make<ZORTextViewInspectorListField>("list", label("list"));
        rows->setEditable(true);
        rows->setEntryFieldTemplate(text("row"));
        rows->bindToObject(listController, "arrangedObjects", "title", "");
        auto tokens = ZORTextViewInspectorTokenListField::fieldWithIdentifier("tokens", label("tokens"));
        tokens->bindToObject(tokenController, "arrangedObjects", "title", "");
        fields = { text("text"), notes,
            ZORTextViewInspectorField::make<ZORTextViewInspectorIntegerField>(
                "integer", label("integer"), fnd::String(InspectorVisitPlaceholder)),
            url, email, compound, view,
            ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>("rating", label("rating")),
            ZORTextViewInspectorField::make<ZORTextViewInspectorColorField>("colour", label("colour")),
            ZORTextViewInspectorField::make<ZORTextViewInspectorDateField>("date", label("date")),
            ZORTextViewInspectorField::make<ZORTextViewInspectorCheckboxField>("checkbox", label("checkbox")),
            ZORTextViewInspectorField::make<ZORTextViewInspectorImageField>("image", label("image")),
            ZORTextViewInspectorField::make<ZORTextViewInspectorSmallButtonField>("button", label("button")), country,
            ZORTextViewInspectorField::make<ZORTextViewInspectorLanguageField>("language", label("language")),
            ZORTextViewInspectorField::make<ZORTextViewInspectorTokenListFieldItem>(
                "token", label("token"), fnd::String(InspectorVisitPlaceholder)),
            rows, tokens };
        for (const auto& field : fields) {
            auto compoundField = std::dynamic_pointer_cast<ZORTextViewInspectorCompoundField>(field);
            if (std::dynamic_pointer_cast<ZORTextViewInspectorListField>(field))
                continue;
            // A compound's text is what is bound (a URL or e-mail field hands its binding to it itself).
            auto bound = compoundField && !std::dynamic_pointer_cast<ZORTextViewInspectorURLField>(field)
                ? compoundField->fieldAtIndex(0)
                : field;
            bound->bind("value", *model, field->identifier());
        }
        inspector->setEditableState(true);
        inspector->addFieldsArray(fields);
    }

    // Every field and list row holds the value; nothing written so far counts.
    void holdEverywhere(const fnd::Value& value)
    {
        for (const char* key : InspectorVisitKeys)
            model->setValueForKey(value, key);
        fnd::Array entries, tokens;
        for (int i = 0; i < 2; ++i) {
            for (auto* array : { &entries, &tokens }) {
                auto entry = fnd::makeObject<InspectorVisitEntry>();
                entry->title = value;
                array->push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(entry)));
            }
        }
        listController->setContent(entries);
        tokenController->setContent(tokens);
        model->writes = 0;
        draw();
    }

    // What the person can visit: text runs and hosted controls, list rows one by one.
    std::vector<ZORTextViewInspectorFieldPtr> stops() const
    {
        std::vector<ZORTextViewInspectorFieldPtr> all;
        for (const auto& field : inspector->visibleFieldsArray())
            if (inspector->editableFieldAtIndex(inspector->charRangeOfField(*field).location))
                all.push_back(field);
        return all;
    }

    void key(const std::u16string& characters, int code, unsigned flags = 0)
    {
        backend->keyDown(*window, fnd::String(characters), code, flags);
        dispatch();
    }

    void leave(const ZORTextViewInspectorFieldPtr& field, InspectorVisitExit exit)
    {
        const auto name = fieldName(*field);
        switch (exit) {
        case InspectorVisitExit::Tab:
        case InspectorVisitExit::Backtab:
            // A date control takes Tab through its parts first.
            for (int i = 0; i < 4 && focusIn(*window, *inspector) == name; ++i)
                exit == InspectorVisitExit::Tab ? key(u"\t", ui::KeyCode::Tab)
                                                : key(u"\x19", ui::KeyCode::Tab, ui::ModifierFlags::Shift);
            break;
        case InspectorVisitExit::Click: {
            // The first field's label.
            auto point = characterPointInWindow(*inspector, rangeOf("text").location);
            ASSERT_TRUE(point);
            backend->click(*window, *point);
            dispatch();
            break;
        }
        case InspectorVisitExit::Return:
            key(u"\r", ui::KeyCode::Return);
            break;
        case InspectorVisitExit::WindowCloses:
            window->close();
            inspector->removeFromSuperview();
            window = ui::Window::create({ { 100, 100 }, { 400, 900 } });
            window->makeKeyAndOrderFront();
            add(inspector);
            window->makeFirstResponder(inspector);
            draw();
            break;
        }
    }

    // The model and every list object as they were.
    void expectUntouched(const fnd::Value& value, const std::string& what) const
    {
        EXPECT_EQ(model->writes, 0) << what;
        for (const char* key : InspectorVisitKeys)
            EXPECT_TRUE(model->values.at(key) == value)
                << what << ": " << key << " holds " << visible(model->values.at(key).description());
        for (const auto& controller : { listController, tokenController }) {
            ASSERT_EQ(controller->arrangedObjects().size(), 2u) << what;
            for (const auto& object : controller->arrangedObjects()) {
                auto entry = object.objectAs<InspectorVisitEntry>();
                ASSERT_TRUE(entry) << what << ": " << object.description().utf8();
                EXPECT_TRUE(entry->title == value)
                    << what << ": a row's object holds " << visible(entry->title.description());
                EXPECT_EQ(entry->writes, 0) << what;
            }
        }
    }

    std::shared_ptr<InspectorVisitModel> model;
    std::shared_ptr<fnd::ArrayController> listController = fnd::makeObject<fnd::ArrayController>();
    std::shared_ptr<fnd::ArrayController> tokenController = fnd::makeObject<fnd::ArrayController>();
    std::vector<ZORTextViewInspectorFieldPtr> fields;
};

}

FND_REGISTER_CLASS(InspectorVisitModel, fnd::Object)
FND_REGISTER_CLASS(InspectorVisitEntry, fnd::Object)

TEST_F(InspectorVisitTest, AVisitThatTypesNothingWritesNothing)
{
    window->setFrame({ { 100, 100 }, { 400, 900 } }, false);
    inspector->setFrameSize({ 400, 900 });
    const fnd::Value values[] = {
        fnd::Value("para one\n\npara two\n"), // several paragraphs: shown as two lines
        fnd::Value("last line\n"), // a trailing line break: shown without it
        fnd::Value(3.7), // a fraction: an integer field shows 4
        fnd::Value(42), // a number: a plain text field shows its placeholder
        fnd::Value(), // nothing: the placeholder
        fnd::Value(InspectorVisitPlaceholder), // reads like the placeholder, but is a value
        fnd::Value(fnd::Array { "a", "b" }), // several objects, different values
    };
    for (const auto& value : values) {
        holdEverywhere(value);
        const auto visited = stops();
        std::string names;
        for (const auto& field : visited)
            names += fieldName(*field) + " ";
        // Every kind takes the keyboard but the image, which is clicked (and a check box with no value to show).
        if (&value == &values[0]) {
            ASSERT_EQ(names,
                "text notes integer url email compound view rating colour date checkbox button country language "
                "token list0 list1 tokens0 tokens1 ");
        }
        for (auto exit : { InspectorVisitExit::Tab, InspectorVisitExit::Backtab, InspectorVisitExit::Click,
                 InspectorVisitExit::Return, InspectorVisitExit::WindowCloses }) {
            for (const auto& field : visited) {
                // In a multi-line field Return types a line break.
                if (auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field);
                    text && text->supportNewLine() && exit == InspectorVisitExit::Return)
                    continue;
                auto what = fmt::format("{} left by {} holding {}", fieldName(*field),
                    InspectorVisitExitNames[static_cast<int>(exit)], visible(value.description()));
                inspector->jumpToField(field);
                leave(field, exit);
                inspector->endEditing();
                expectUntouched(value, what);
                if (HasFailure())
                    return;
            }
        }
    }
}

TEST_F(InspectorVisitTest, LinesTypedIntoAMultiLineFieldReachTheModelAsTyped)
{
    auto notes = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(inspector->fieldWithIdentifier("notes"));
    holdEverywhere(fnd::Value());
    inspector->jumpToField(notes);
    // A blank line between two paragraphs and a line break at the end, each Return a line separator.
    for (char16_t c : std::u16string(u"para one\r\rpara two\r")) {
        if (c == u'\r')
            key(u"\r", ui::KeyCode::Return);
        else
            key(std::u16string(1, c), 0);
    }
    key(u"\t", ui::KeyCode::Tab);
    const fnd::Value typed(fnd::String(u"para one\u2028\u2028para two\u2028"));
    EXPECT_TRUE(model->values.at("notes") == typed) << visible(model->values.at("notes").description());
    EXPECT_EQ(model->writes, 1);
    // The field shows each line once; a later visit leaves the model as typed.
    inspector->jumpToField(notes);
    EXPECT_EQ(visible(text().substring(inspector->currentEditingCharRange())), "para one[ls]para two");
    key(u"\t", ui::KeyCode::Tab);
    EXPECT_TRUE(model->values.at("notes") == typed) << visible(model->values.at("notes").description());
    EXPECT_EQ(model->writes, 1);
}

// What a visit writes once something is typed: the typed text, in every kind of text field, whatever was shown.
TEST_F(InspectorVisitTest, TypingIntoAnyTextFieldStillWrites)
{
    holdEverywhere(fnd::Value(3.7));
    for (const char* name : { "text", "notes", "integer", "url", "email", "compound", "list" }) {
        ZORTextViewInspectorFieldPtr field = inspector->fieldWithIdentifier(name);
        if (auto compound = std::dynamic_pointer_cast<ZORTextViewInspectorCompoundField>(field))
            field = compound->fieldAtIndex(0);
        inspector->jumpToField(field);
        key(u"7", 0);
        key(u"\t", ui::KeyCode::Tab);
        const bool isInteger = std::string(name) == "integer";
        const auto written = std::string(name) == "list"
            ? listController->arrangedObjects().front().objectAs<InspectorVisitEntry>()->title
            : model->values.at(name);
        EXPECT_TRUE(written == (isInteger ? fnd::Value(7) : fnd::Value("7")))
            << name << " holds " << visible(written.description());
    }
    EXPECT_EQ(model->writes, 6);
}
