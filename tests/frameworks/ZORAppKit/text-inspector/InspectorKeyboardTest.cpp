// The keyboard and the pasteboard in a form: Tab through text runs and hosted controls, Paste, drops, first clicks.
#include "InspectorFocus.h"
#include "InspectorTestSupport.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/text/LayoutManager.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Event.h"

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

// A tag object: a token row shows its title.
class InspectorKeyboardTag : public fnd::Object {
    FND_OBJECT(InspectorKeyboardTag)
    static void describeClass(fnd::ClassBuilder<InspectorKeyboardTag>& c)
    {
        c.property("title", &InspectorKeyboardTag::title);
    }

public:
    static std::shared_ptr<InspectorKeyboardTag> make(const char* title)
    {
        auto tag = fnd::makeObject<InspectorKeyboardTag>();
        tag->title = fnd::String(title);
        return tag;
    }
    fnd::String title;
};

class InspectorKeyboardTest : public InspectorTest {
protected:
    InspectorKeyboardTest()
    {
        name = textField("name", "Name");
        rating = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>(
            "rating", Label::fieldLabelWithString("Rating"));
        city = textField("city", "City");
        born = ZORTextViewInspectorField::make<ZORTextViewInspectorDateField>(
            "born", Label::fieldLabelWithString("Born"));
        born->setValue(fnd::Date::fromReferenceDate(0));
        done = ZORTextViewInspectorField::make<ZORTextViewInspectorCheckboxField>(
            "done", Label::fieldLabelWithString("Done"));
        done->setValue(false);
        country = ZORTextViewInspectorField::make<ZORTextViewInspectorCountryField>(
            "country", Label::fieldLabelWithString("Country"));
        country->setCountryLocales(
            { std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("FR") });
        inspector->setEditableState(true);
        inspector->addFieldsArray({ name, rating, city, born, done, country });
        draw();
    }
    static std::shared_ptr<ZORTextViewInspectorTextField> textField(const char* id, const char* label)
    {
        return ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
            id, Label::fieldLabelWithString(label), fnd::String(label));
    }
    std::string focus() const { return focusIn(*window, *inspector); }
    void type(const std::u16string& text)
    {
        for (char16_t c : text)
            backend->keyDown(*window, fnd::String(std::u16string(1, c)), 0);
        dispatch();
    }
    void tab(bool back = false)
    {
        backend->keyDown(*window, back ? u"\x19" : u"\t", ui::KeyCode::Tab, back ? ui::ModifierFlags::Shift : 0);
        dispatch();
    }
    // Where the keyboard is after each of a number of Tabs (or Backtabs).
    std::vector<std::string> tabs(int count, bool back = false)
    {
        std::vector<std::string> stops;
        for (int i = 0; i < count; ++i) {
            tab(back);
            stops.push_back(focus());
        }
        return stops;
    }
    fnd::Range valueRun(const ZORTextViewInspectorField& field) const
    {
        auto range = inspector->charRangeOfField(field);
        fnd::Range run;
        attributeAt(ZORTextInspectorAttribute::PlaceholderValue, range.max() - 1, &run);
        return run;
    }
    void clickAt(fnd::Index index)
    {
        auto point = inspectortest::characterPointInWindow(*inspector, index);
        ASSERT_TRUE(point);
        backend->click(*window, *point);
        dispatch();
    }

    std::shared_ptr<ZORTextViewInspectorTextField> name, city;
    std::shared_ptr<ZORTextViewInspectorRatingField> rating;
    std::shared_ptr<ZORTextViewInspectorDateField> born;
    std::shared_ptr<ZORTextViewInspectorCheckboxField> done;
    std::shared_ptr<ZORTextViewInspectorCountryField> country;
};

}

FND_REGISTER_CLASS(InspectorKeyboardTag, fnd::Object)

TEST_F(InspectorKeyboardTest, TabAndBacktabWalkEveryFieldInOrder)
{
    inspector->jumpToField(name);
    // The date control takes Tab through its day, month and year before it lets go.
    EXPECT_EQ(tabs(9),
        (std::vector<std::string> { "rating", "city", "born", "born", "born", "done", "country", "name", "rating" }));
    // Backtab enters the date control at its year and walks back through month and day.
    EXPECT_EQ(tabs(7, true), (std::vector<std::string> { "name", "country", "done", "born", "born", "born", "city" }));
}

TEST_F(InspectorKeyboardTest, TabAndBacktabWalkTokenRowsAndTouchNoTag)
{
    // A token list between the name and the city, each row showing a tag's title.
    auto maths = InspectorKeyboardTag::make("maths"), physics = InspectorKeyboardTag::make("physics");
    auto tags = fnd::makeObject<fnd::ArrayController>();
    auto list = ZORTextViewInspectorTokenListField::fieldWithIdentifier("tags", Label::fieldLabelWithString("Tags"));
    list->bindToObject(tags, "arrangedObjects", "title", "");
    tags->setContent(fnd::Array { maths, physics });
    inspector->removeAllFields();
    inspector->addFieldsArray({ name, list, city });
    draw();
    inspector->jumpToField(name);
    EXPECT_EQ(tabs(4), (std::vector<std::string> { "tags0", "tags1", "city", "name" }));
    EXPECT_EQ(tabs(4, true), (std::vector<std::string> { "city", "tags1", "tags0", "name" }));
    // Passing through the rows typed nothing: the controller holds the same two tags, titles unchanged.
    ASSERT_EQ(tags->arrangedObjects().size(), 2u);
    EXPECT_EQ(tags->arrangedObjects()[0].object(), maths);
    EXPECT_EQ(tags->arrangedObjects()[1].object(), physics);
    EXPECT_EQ(maths->title, fnd::String("maths"));
    EXPECT_EQ(physics->title, fnd::String("physics"));
    // A row typed into and left by Tab writes its tag's title, and the keyboard goes on to the next row.
    tab();
    ASSERT_EQ(focus(), "tags0");
    type(u"algebra");
    tab();
    EXPECT_EQ(focus(), "tags1");
    EXPECT_EQ(maths->title, fnd::String("algebra")) << "Tab selected the token, typing replaced it";
    tab(true);
    EXPECT_EQ(focus(), "tags0");
}

namespace {
// Makes capitals of what was typed: the row then shows other tokens than the typed ones.
class InspectorKeyboardCapitals : public ZORTextViewInspectorTokenListField {
    FND_OBJECT(InspectorKeyboardCapitals)
public:
    fnd::Value objectToInsertWithProposedObject(const fnd::Value& proposed, const ZORTextViewInspectorFieldPtr&,
        std::size_t, const ZORTextViewInspectorFieldLabelPtr&) override
    {
        return proposed.string() ? fnd::Value(proposed.string()->uppercaseString()) : proposed;
    }
};
}
FND_REGISTER_CLASS(InspectorKeyboardCapitals, ZORTextViewInspectorTokenListField)

TEST_F(InspectorKeyboardTest, TabLeavesAChangedRowOfAPlainTokenListForTheNext)
{
    // Rows standing for strings: a changed row puts a new string in its object's place.
    auto words = fnd::makeObject<fnd::ArrayController>();
    auto list
        = ZORTextViewInspectorField::make<InspectorKeyboardCapitals>("words", Label::fieldLabelWithString("Words"));
    list->bindToObject(words, "arrangedObjects", "", "");
    words->setContent(fnd::Array { "red", "blue" });
    inspector->removeAllFields();
    inspector->addFieldsArray({ name, list, city });
    draw();
    inspector->jumpToField(name);
    tab();
    ASSERT_EQ(focus(), "words0");
    type(u"dish");
    tab();
    EXPECT_EQ(words->arrangedObjects(), (fnd::Array { "DISH", "blue" }));
    EXPECT_EQ(focus(), "words1");
    tab(true);
    EXPECT_EQ(focus(), "words0");
    tab(true);
    EXPECT_EQ(focus(), "name");
    EXPECT_EQ(words->arrangedObjects(), (fnd::Array { "DISH", "blue" }));
}

TEST_F(InspectorKeyboardTest, AStaticLabelIsNoStopOfTheWindowsLoop)
{
    inspector->removeFromSuperview();
    auto label = ui::TextField::create({ 0, 280, 200, 20 });
    label->setStringValue("A form");
    label->setEditable(false);
    label->setSelectable(true);
    add(label);
    auto entry = ui::TextField::create({ 200, 280, 200, 20 });
    add(entry);
    EXPECT_FALSE(label->canBecomeKeyView()) << "clicked into, never tabbed into";
    EXPECT_TRUE(entry->canBecomeKeyView());
    window->makeFirstResponder(nullptr);
    window->selectNextKeyView();
    auto first = std::dynamic_pointer_cast<ui::View>(window->firstResponder());
    EXPECT_TRUE(first == entry || (first && first->isDescendantOf(*entry))) << "the label at the top left is skipped";
    window->selectNextKeyView();
    first = std::dynamic_pointer_cast<ui::View>(window->firstResponder());
    EXPECT_TRUE(first == entry || (first && first->isDescendantOf(*entry))) << "the loop comes back to the entry";
}

TEST_F(InspectorKeyboardTest, PasteWithBothCommandsRefusesDrops)
{
    auto pasteboard = ui::Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ ui::PasteboardType::String });
    ASSERT_TRUE(pasteboard->setString("Lyon", ui::PasteboardType::String));
    const int beeps = backend->beepCount();
    // Over a whole run (the placeholder selected): the inspector makes that change itself.
    inspector->jumpToField(city);
    auto item = ui::MenuItem::create("Paste", "paste:");
    EXPECT_TRUE(inspector->validateUserInterfaceItem(fnd::Value(item))) << "the menu offers Paste";
    inspector->paste({});
    EXPECT_EQ(text().substring(valueRun(*city)), fnd::String("Lyon"));
    // Into a run that holds text: at the caret.
    inspector->pasteAsPlainText({});
    EXPECT_EQ(text().substring(valueRun(*city)), fnd::String("LyonLyon"));
    inspector->insertNewline({});
    EXPECT_EQ(city->value(), fnd::Value("LyonLyon"));
    // The whole run selected again, with the other command.
    inspector->jumpToField(name);
    inspector->pasteAsPlainText({});
    inspector->endEditing();
    EXPECT_EQ(name->value(), fnd::Value("Lyon"));
    EXPECT_EQ(backend->beepCount(), beeps) << "a paste that worked does not beep";
    // Nothing can be dropped on the form.
    EXPECT_TRUE(inspector->acceptableDragTypes().empty());
    EXPECT_TRUE(ui::registeredDraggedTypes(*inspector).empty());
}

TEST_F(InspectorKeyboardTest, TheFirstClickIntoAnInactiveWindowStartsEditing)
{
    auto other = ui::Window::create({ { 600, 100 }, { 200, 100 } });
    other->makeKeyAndOrderFront();
    ASSERT_FALSE(window->isKeyWindow());
    clickAt(valueRun(*city).location + 1);
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(inspector->activeField(), city);
    other->close();
}
