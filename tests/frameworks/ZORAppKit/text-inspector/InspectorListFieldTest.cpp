// List and token-list fields following an array controller, and the inspector's rows.
#include "InspectorTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/accessibility/AccessibilityNames.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Cell.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/text/TokenField.h"

#include <functional>
#include <random>

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

class InspectorListEntry : public fnd::Object {
    FND_OBJECT(InspectorListEntry)
    static void describeClass(fnd::ClassBuilder<InspectorListEntry>& c)
    {
        c.property("title", &InspectorListEntry::title);
        c.property("kind", &InspectorListEntry::kind);
    }

public:
    static std::shared_ptr<InspectorListEntry> make(const char* title, const char* kind = "")
    {
        auto entry = fnd::makeObject<InspectorListEntry>();
        entry->title = fnd::String(title);
        entry->kind = fnd::String(kind);
        return entry;
    }
    fnd::String title;
    fnd::String kind;
};

// A controller that announces exactly the change kinds it is told to.
class InspectorListFakeController : public fnd::ObjectController {
    FND_OBJECT(InspectorListFakeController)
    static void describeClass(fnd::ClassBuilder<InspectorListFakeController>& c)
    {
        c.property("arrangedObjects", [](const InspectorListFakeController& f) { return fnd::Value(f.objects); });
    }

public:
    void change(fnd::KeyValueChangeKind kind, fnd::IndexSet indexes, const std::function<void()>& edit)
    {
        willChange(kind, indexes, "arrangedObjects");
        edit();
        didChange(kind, indexes, "arrangedObjects");
    }
    fnd::Array objects;
};

class InspectorListFieldTest : public InspectorTest {
protected:
    InspectorListFieldTest()
    {
        controller = fnd::makeObject<fnd::ArrayController>();
        list = fnd::makeObject<ZORTextViewInspectorListField>();
        list->initWithIdentifier("entries", std::nullopt, Label::fieldLabelWithString("Entries"));
        list->setEditable(true);
        auto row = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>("row", nullptr);
        list->setEntryFieldTemplate(row);
        list->bindToObject(controller, "arrangedObjects", "title", "kind");
    }
    // The object each row stands for (nil for an empty row).
    std::vector<fnd::Object*> rowObjects() const
    {
        std::vector<fnd::Object*> objects;
        for (const auto& row : list->allRows())
            objects.push_back(row->listObject().object().get());
        return objects;
    }
    std::vector<fnd::Object*> arranged() const
    {
        std::vector<fnd::Object*> objects;
        for (const auto& value : controller->arrangedObjects())
            objects.push_back(value.object().get());
        return objects;
    }

    std::shared_ptr<fnd::ArrayController> controller;
    std::shared_ptr<ZORTextViewInspectorListField> list;
};

}

FND_REGISTER_CLASS(InspectorListEntry, fnd::Object)
FND_REGISTER_CLASS(InspectorListFakeController, fnd::ObjectController)

TEST_F(InspectorListFieldTest, EveryChangeKindOfAFakeController)
{
    using Kind = fnd::KeyValueChangeKind;
    auto fake = fnd::makeObject<InspectorListFakeController>();
    list->bindToObject(fake, "arrangedObjects", "title", "");
    std::vector<std::shared_ptr<InspectorListEntry>> e;
    for (const char* t : { "a", "b", "c", "d", "e" })
        e.push_back(InspectorListEntry::make(t));
    auto titles = [&] {
        std::string out;
        for (const auto& row : list->allRows())
            out += row->value().isNil() ? "-" : row->value().string()->utf8();
        return out;
    };
    fake->change(Kind::Setting, {}, [&] { fake->objects = { e[0], e[1], e[2], e[3] }; });
    EXPECT_EQ(titles(), "abcd");
    fake->change(Kind::Insertion, fnd::IndexSet { 1, 3 }, [&] {
        fake->objects = { e[0], e[4], e[1], e[4], e[2], e[3] };
    });
    EXPECT_EQ(titles(), "aebecd");
    fake->change(Kind::Removal, fnd::IndexSet { 1, 3 }, [&] { fake->objects = { e[0], e[1], e[2], e[3] }; });
    EXPECT_EQ(titles(), "abcd") << "removal indexes count rows before the change";
    fake->change(Kind::Replacement, fnd::IndexSet { 0, 2 }, [&] { fake->objects = { e[4], e[1], e[4], e[3] }; });
    EXPECT_EQ(titles(), "ebed");
    fake->change(Kind::Setting, {}, [&] { fake->objects = {}; });
    EXPECT_EQ(titles(), "-");
}

TEST_F(InspectorListFieldTest, ChangeKindsGiveTheRows)
{
    auto a = InspectorListEntry::make("a"), b = InspectorListEntry::make("b"), c = InspectorListEntry::make("c"),
         d = InspectorListEntry::make("d");
    // Setting.
    controller->setContent(fnd::Array { a, b, c, d });
    EXPECT_EQ(rowObjects(), arranged());
    // Removal of objects 1 and 2 leaves those of 0 and 3.
    controller->removeObjectsAtArrangedObjectIndexes(fnd::IndexSet { 1, 2 });
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), d.get() }));
    // Insertion.
    controller->insertObjectAtArrangedObjectIndex(b, 1);
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), b.get(), d.get() }));
    // Setting to nothing: one empty row.
    controller->setContent(fnd::Array {});
    ASSERT_EQ(list->allRows().size(), 1u);
    EXPECT_TRUE(list->allRows()[0]->value().isNil());
}

TEST_F(InspectorListFieldTest, DefaultLabelsOfferRowsWithoutObjects)
{
    auto work = Label::fieldLabelWithString("work", "W"), home = Label::fieldLabelWithString("home", "H");
    list->setDefaultLabels({ work, home });
    list->entryFieldTemplate()->setLabelArray({ work, home });
    auto entry = InspectorListEntry::make("x", "W");
    controller->setContent(fnd::Array { entry });
    ASSERT_EQ(list->allRows().size(), 1u + 1u);
    EXPECT_EQ(list->allRows()[0]->listObject().object(), entry);
    EXPECT_TRUE(list->allRows()[1]->value().isNil());
    EXPECT_EQ(list->allRows()[1]->label()->label(), fnd::String("home"));
}

TEST_F(InspectorListFieldTest, RandomChangesKeepRowsEqualToArrangedObjects)
{
    const unsigned seed = std::random_device {}();
    std::mt19937 random(seed);
    std::vector<std::shared_ptr<InspectorListEntry>> pool;
    for (int i = 0; i < 40; ++i)
        pool.push_back(InspectorListEntry::make(std::to_string(i).c_str()));
    controller->setContent(fnd::Array { pool[0], pool[1] });
    inspector->setEditableState(true);
    inspector->addField(list);
    for (int step = 0; step < 300; ++step) {
        auto count = static_cast<fnd::Index>(controller->arrangedObjects().size());
        auto pick = [&](fnd::Index n) {
            return static_cast<fnd::Index>(random() % static_cast<unsigned>(std::max<fnd::Index>(n, 1)));
        };
        auto fresh = pool[random() % pool.size()];
        switch (random() % 5) {
        case 0:
            controller->insertObjectAtArrangedObjectIndex(fresh, pick(count + 1));
            break;
        case 1:
            if (count > 0)
                controller->removeObjectAtArrangedObjectIndex(pick(count));
            break;
        case 2:
            if (count > 1) {
                fnd::IndexSet several;
                for (int k = 0; k < 3; ++k)
                    several.add(pick(count));
                controller->removeObjectsAtArrangedObjectIndexes(several);
            }
            break;
        case 3: {
            // A move: out at one place, in at another.
            if (count > 1) {
                auto from = pick(count);
                auto moved = controller->arrangedObjects()[static_cast<std::size_t>(from)];
                controller->removeObjectAtArrangedObjectIndex(from);
                controller->insertObjectAtArrangedObjectIndex(moved, pick(count));
            }
            break;
        }
        default: {
            fnd::Array content;
            for (int k = 0; k < static_cast<int>(random() % 5); ++k)
                content.push_back(pool[random() % pool.size()]);
            controller->setContent(content);
        }
        }
        // Rows without an object (the one empty row a list shows when set to nothing) stand for nothing.
        auto rows = rowObjects();
        auto empty = std::erase(rows, nullptr);
        ASSERT_LE(empty, 1u) << "seed " << seed << " step " << step;
        ASSERT_EQ(rows, arranged()) << "seed " << seed << " step " << step;
        // The inspector shows exactly the rows.
        std::size_t shownRows = 0;
        for (const auto& field : inspector->visibleFieldsArray())
            shownRows += field->compoundField() == list ? 1 : 0;
        ASSERT_EQ(shownRows, list->allRows().size()) << "seed " << seed << " step " << step;
        for (const auto& row : list->allRows())
            ASSERT_NE(inspector->charRangeOfField(*row).location, fnd::NotFound) << "seed " << seed;
    }
}

TEST_F(InspectorListFieldTest, RowButtonsAndTheirActions)
{
    auto a = InspectorListEntry::make("a"), b = InspectorListEntry::make("b"), c = InspectorListEntry::make("c");
    controller->setContent(fnd::Array { a, b, c });
    inspector->setEditableState(true);
    inspector->addField(list);
    // Every row has the add button; all but the first the remove button.
    EXPECT_EQ(shown(), "\\n[o]\\tEntries\\t[o]\\n[o] [o]\\t\\t[o]\\n[o] [o]\\t\\t[o]\\n");
    // Assistive technologies hear the buttons by the list's label.
    auto description = [](const std::shared_ptr<ui::View>& view) {
        return ui::accessibilityAttribute(*view, ui::AccessibilityAttribute::Description).stringValue().utf8();
    };
    auto secondRowViews = inspector->viewsInCharacterRange(inspector->charRangeOfField(*list->rowAtIndex(1)));
    ASSERT_GE(secondRowViews.size(), 2u);
    EXPECT_EQ(description(secondRowViews[0]), "Add to Entries");
    EXPECT_EQ(description(secondRowViews[1]), "Remove from Entries");
    // The add button of the last row inserts at 3 and puts the focus there.
    auto addOfLast = inspector->viewsInCharacterRange(inspector->charRangeOfField(*list->rowAtIndex(2))).front();
    inspector->addListRow(fnd::Value(addOfLast));
    ASSERT_EQ(list->allRows().size(), 4u);
    EXPECT_TRUE(list->rowAtIndex(3)->value().isNil());
    // The remove button of row 1 removes its object from the controller, and its row once.
    auto removeOfSecond = inspector->viewsInCharacterRange(inspector->charRangeOfField(*list->rowAtIndex(1)))[1];
    inspector->removeListRow(fnd::Value(removeOfSecond));
    EXPECT_EQ(arranged(), (std::vector<fnd::Object*> { a.get(), c.get() }));
    EXPECT_EQ(list->allRows().size(), 3u);
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), c.get(), nullptr }));
    // Not editable: no buttons.
    inspector->setEditableState(false);
    for (const auto& row : list->allRows()) {
        auto range = inspector->charRangeOfField(*row);
        if (range.location != fnd::NotFound) {
            EXPECT_TRUE(inspector->viewsInCharacterRange(range).size() <= 1u);
        }
    }
}

TEST_F(InspectorListFieldTest, FlatArrayValueGivesOneRowPerElement)
{
    list->unbindController();
    list->setValue(fnd::Array { 1, 2, 3 });
    EXPECT_EQ(list->allRows().size(), 3u);
    EXPECT_EQ(list->value(), fnd::Value(fnd::Array { 1, 2, 3 }));
    list->setValue(fnd::Array { fnd::Array { 1, 2 }, fnd::Array { 2, 3 } });
    EXPECT_EQ(list->allRows().size(), 3u) << "distinct union of the inner arrays";
    list->setValue("not an array");
    EXPECT_EQ(list->allRows().size(), 3u);
}

TEST_F(InspectorListFieldTest, TokenEditsWriteBack)
{
    auto tokens = fnd::makeObject<ZORTextViewInspectorTokenListField>();
    tokens->initWithIdentifier("tags", fnd::String("tag"), Label::fieldLabelWithString("Tags"));
    auto strings = fnd::makeObject<fnd::ArrayController>();
    tokens->bindToObject(strings, "arrangedObjects", "", "");
    strings->setContent(fnd::Array { "red", "blue" });
    ASSERT_EQ(tokens->allRows().size(), 2u);
    auto item = std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(tokens->rowAtIndex(1));
    ASSERT_NE(item, nullptr);
    auto field = item->tokenField();
    auto editor = ui::TextView::create({});
    // A changed row replaces its object.
    field->setObjectValue(fnd::Value(fnd::Array { "green" }));
    EXPECT_TRUE(tokens->controlTextShouldEndEditing(*field, *editor));
    EXPECT_EQ(strings->arrangedObjects(), (fnd::Array { "red", "green" }));
    // An emptied row removes its object.
    auto first = std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(tokens->rowAtIndex(0));
    first->tokenField()->setObjectValue(fnd::Value(fnd::Array {}));
    tokens->controlTextShouldEndEditing(*first->tokenField(), *editor);
    EXPECT_EQ(strings->arrangedObjects(), (fnd::Array { "green" }));
}

TEST_F(InspectorListFieldTest, ALineBreakInATokenRowOpensARowBelow)
{
    auto tokens = fnd::makeObject<ZORTextViewInspectorTokenListField>();
    tokens->initWithIdentifier("tags", fnd::String("tag"), Label::fieldLabelWithString("Tags"));
    auto strings = fnd::makeObject<fnd::ArrayController>();
    tokens->bindToObject(strings, "arrangedObjects", "", "");
    strings->setContent(fnd::Array { "red", "blue" });
    auto first = std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(tokens->rowAtIndex(0));
    auto editor = ui::TextView::create({ 0, 0, 100, 20 });
    editor->setString("red");
    fnd::Notification plain("NSControlTextDidChangeNotification", fnd::Value(first->tokenField()),
        fnd::Dictionary { { "NSFieldEditor", fnd::Value(editor) } });
    tokens->controlTextDidChange(plain);
    EXPECT_EQ(tokens->allRows().size(), 2u) << "no line break, no new row";
    editor->setString(fnd::String(u"red\u2028"));
    tokens->controlTextDidChange(plain);
    ASSERT_EQ(tokens->allRows().size(), 3u);
    EXPECT_TRUE(tokens->rowAtIndex(1)->value().isNil()) << "the new row comes right below";
    EXPECT_EQ(editor->string().rangeOfString(fnd::String(u"\u2028")).location, fnd::NotFound)
        << "the line break ends the token and stays out of it";
}

namespace {

// A list whose rows (rating rows, as the fixture's template) stand for a, b and c, shown in an editable inspector.
class InspectorListRowsTest : public InspectorListFieldTest {
protected:
    InspectorListRowsTest()
    {
        controller->setContent(fnd::Array { a, b, c });
        inspector->setEditableState(true);
        inspector->addField(list);
    }
    // The add (0) or remove (1) button of a row.
    std::shared_ptr<ui::Button> buttonOfRow(std::size_t index, std::size_t which) const
    {
        auto views = inspector->viewsInCharacterRange(inspector->charRangeOfField(*list->rowAtIndex(index)));
        return which < views.size() ? std::dynamic_pointer_cast<ui::Button>(views[which]) : nullptr;
    }
    std::string titles() const
    {
        std::string out;
        for (const auto& object : arranged())
            out += static_cast<InspectorListEntry*>(object)->title.utf8() + " ";
        return out;
    }
    std::shared_ptr<InspectorListEntry> a { InspectorListEntry::make("a") }, b { InspectorListEntry::make("b") },
        c { InspectorListEntry::make("c") };
};

// The same objects as text rows, each showing and editing its entry's title.
class InspectorTextListTest : public InspectorListRowsTest {
protected:
    InspectorTextListTest()
    {
        auto row = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("row", nullptr, fnd::String("title"));
        inspector->removeAllFields();
        controller->setContent(fnd::Array {});
        list->setEntryFieldTemplate(row);
        controller->setContent(fnd::Array { a, b, c });
        inspector->addField(list);
    }
    fnd::Range valueRunOfRow(std::size_t index) const
    {
        auto range = inspector->charRangeOfField(*list->rowAtIndex(index));
        fnd::Range run;
        attributeAt(ZORTextInspectorAttribute::PlaceholderValue, range.max() - 1, &run);
        return run;
    }
};

}

TEST_F(InspectorTextListTest, RowsShowAndEditTheirObjectsValue)
{
    // Each row shows its entry's title, not the placeholder.
    EXPECT_EQ(text().substring(valueRunOfRow(0)), fnd::String("a"));
    EXPECT_EQ(text().substring(valueRunOfRow(2)), fnd::String("c"));
    // Typing into a row and pressing Return writes the title back.
    inspector->jumpToField(list->rowAtIndex(1));
    inspector->insertText(fnd::Value("bee"));
    inspector->insertNewline({});
    EXPECT_EQ(b->title, fnd::String("bee"));
    EXPECT_EQ(rowObjects(), arranged()) << "the row still stands for its entry";
    // A later change of the model shows in the row.
    c->setValueForKey(fnd::Value("sea"), "title");
    EXPECT_EQ(text().substring(valueRunOfRow(2)), fnd::String("sea"));
    // Leaving the inspector mid-edit (the window closing) writes back too.
    inspector->jumpToField(list->rowAtIndex(0));
    inspector->insertText(fnd::Value("ant"));
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(a->title, fnd::String("ant"));
    inspector->jumpToField(list->rowAtIndex(0));
    inspector->insertText(fnd::Value("ape"));
    window->close();
    EXPECT_EQ(a->title, fnd::String("ape"));
}

TEST_F(InspectorListRowsTest, MinusRemovesTheRowsOwnObject)
{
    // + on a's row opens an empty row below it: the rows are a, (new), b, c.
    inspector->addListRow(fnd::Value(buttonOfRow(0, 0)));
    ASSERT_EQ(list->allRows().size(), 4u);
    EXPECT_TRUE(list->rowAtIndex(1)->listObject().isNil());
    EXPECT_EQ(
        window->firstResponder(), std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(list->rowAtIndex(1))->view())
        << "the new row takes the keyboard";
    // − on b's row (after the empty one) removes b and b's row.
    inspector->removeListRow(fnd::Value(buttonOfRow(2, 1)));
    EXPECT_EQ(titles(), "a c ");
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), nullptr, c.get() }));
    // − on the last row removes c from the model as well.
    inspector->removeListRow(fnd::Value(buttonOfRow(2, 1)));
    EXPECT_EQ(titles(), "a ");
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), nullptr }));
    // − on the empty row removes only the row.
    inspector->removeListRow(fnd::Value(buttonOfRow(1, 1)));
    EXPECT_EQ(titles(), "a ");
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get() }));
    // The text holds exactly the rows left.
    std::size_t shownRows = 0;
    for (const auto& field : inspector->visibleFieldsArray())
        shownRows += field->compoundField() == list ? 1 : 0;
    EXPECT_EQ(shownRows, 1u);
}

TEST_F(InspectorListRowsTest, ControllerChangesAroundAnEmptyRowReachTheirRows)
{
    inspector->addListRow(fnd::Value(buttonOfRow(0, 0)));
    // Rows a, (new), b, c: the controller's index 1 is b's row, index 2 c's.
    controller->removeObjectAtArrangedObjectIndex(1);
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), nullptr, c.get() }));
    auto d = InspectorListEntry::make("d");
    controller->insertObjectAtArrangedObjectIndex(d, 2);
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), nullptr, c.get(), d.get() }));
    controller->insertObjectAtArrangedObjectIndex(b, 1);
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), nullptr, b.get(), c.get(), d.get() }));
}

TEST_F(InspectorListFieldTest, TypingIntoANewTokenRowShowsTheObjectOnce)
{
    auto tokens = fnd::makeObject<ZORTextViewInspectorTokenListField>();
    tokens->initWithIdentifier("tags", fnd::String("tag"), Label::fieldLabelWithString("Tags"));
    auto strings = fnd::makeObject<fnd::ArrayController>();
    tokens->bindToObject(strings, "arrangedObjects", "", "");
    strings->setContent(fnd::Array { "red", "blue" });
    inspector->setEditableState(true);
    inspector->addField(tokens);
    auto editor = ui::TextView::create({});
    auto item = [&](std::size_t index) {
        return std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(tokens->rowAtIndex(index));
    };
    // + on the first row, "green" typed into the new row, the edit ended.
    auto plus = inspector->viewsInCharacterRange(inspector->charRangeOfField(*tokens->rowAtIndex(0))).front();
    inspector->addListRow(fnd::Value(plus));
    ASSERT_EQ(tokens->allRows().size(), 3u);
    item(1)->tokenField()->setObjectValue(fnd::Value(fnd::Array { "green" }));
    tokens->controlTextShouldEndEditing(*item(1)->tokenField(), *editor);
    EXPECT_EQ(strings->arrangedObjects(), (fnd::Array { "red", "green", "blue" }));
    ASSERT_EQ(tokens->allRows().size(), 3u) << "one row per object";
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(tokens->rowAtIndex(i)->listObject(), strings->arrangedObjects()[i]) << "row " << i;
    // Editing the same row again replaces its object instead of adding a second one.
    item(1)->tokenField()->setObjectValue(fnd::Value(fnd::Array { "lime" }));
    tokens->controlTextShouldEndEditing(*item(1)->tokenField(), *editor);
    EXPECT_EQ(strings->arrangedObjects(), (fnd::Array { "red", "lime", "blue" }));
    EXPECT_EQ(tokens->allRows().size(), 3u);
    std::size_t shownRows = 0;
    for (const auto& field : inspector->visibleFieldsArray())
        shownRows += field->compoundField() == tokens ? 1 : 0;
    EXPECT_EQ(shownRows, 3u);
}

namespace {

// A token list of strings with equal ones among them, shown in an editable inspector.
class InspectorTokenListTest : public InspectorListFieldTest {
protected:
    InspectorTokenListTest()
    {
        tokens = ZORTextViewInspectorTokenListField::fieldWithIdentifier("tags", Label::fieldLabelWithString("Tags"));
        strings = fnd::makeObject<fnd::ArrayController>();
        inspector->setEditableState(true);
        inspector->addField(tokens);
    }
    std::shared_ptr<ZORTextViewInspectorTokenListFieldItem> item(std::size_t index) const
    {
        return std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(tokens->rowAtIndex(index));
    }
    std::shared_ptr<ui::Button> removeButtonOfRow(std::size_t index) const
    {
        auto views = inspector->viewsInCharacterRange(inspector->charRangeOfField(*tokens->rowAtIndex(index)));
        return views.size() > 1 ? std::dynamic_pointer_cast<ui::Button>(views[1]) : nullptr;
    }

    std::shared_ptr<ZORTextViewInspectorTokenListField> tokens;
    fnd::Object* arrangedAt(std::size_t index) const
    {
        const auto& arranged = strings->arrangedObjects();
        return index < arranged.size() ? arranged[index].object().get() : nullptr;
    }

    std::shared_ptr<fnd::ArrayController> strings;
    std::shared_ptr<ui::TextView> editor { ui::TextView::create({}) };
};

}

TEST_F(InspectorTokenListTest, RowsOfEqualValuesRemoveTheirOwnPlace)
{
    tokens->bindToObject(strings, "arrangedObjects", "", "");
    strings->setContent(fnd::Array { "red", "blue", "red" });
    ASSERT_EQ(tokens->allRows().size(), 3u);
    // − on the third row takes the third "red", not the first.
    inspector->removeListRow(fnd::Value(removeButtonOfRow(2)));
    EXPECT_EQ(strings->arrangedObjects(), (fnd::Array { "red", "blue" }));
    EXPECT_EQ(tokens->allRows().size(), 2u);
    // Emptying a row takes its own place too: the second "red" of [red, blue, red] this time by its token field.
    strings->setContent(fnd::Array { "red", "blue", "red" });
    item(2)->tokenField()->setObjectValue(fnd::Value(fnd::Array {}));
    tokens->controlTextShouldEndEditing(*item(2)->tokenField(), *editor);
    EXPECT_EQ(strings->arrangedObjects(), (fnd::Array { "red", "blue" }));
}

TEST_F(InspectorTokenListTest, RowsShowingAValueOfTheirObjectEditThatValue)
{
    auto maths = InspectorListEntry::make("maths"), physics = InspectorListEntry::make("physics");
    tokens->bindToObject(strings, "arrangedObjects", "title", "");
    strings->setContent(fnd::Array { maths, physics });
    ASSERT_EQ(tokens->allRows().size(), 2u);
    EXPECT_EQ(item(0)->tokenField()->objectValue(), fnd::Value(fnd::Array { "maths" }));
    auto objects = [&] { return std::vector<fnd::Object*> { arrangedAt(0), arrangedAt(1) }; };
    // Into the row and out again, typing nothing: the controller keeps both tags, their titles unchanged.
    tokens->controlTextShouldEndEditing(*item(0)->tokenField(), *editor);
    ASSERT_EQ(strings->arrangedObjects().size(), 2u);
    EXPECT_EQ(objects(), (std::vector<fnd::Object*> { maths.get(), physics.get() }));
    EXPECT_EQ(maths->title, fnd::String("maths"));
    // A changed row sets the title of its own tag, which stays in the controller and in its row.
    item(1)->tokenField()->setObjectValue(fnd::Value(fnd::Array { "algebra" }));
    tokens->controlTextShouldEndEditing(*item(1)->tokenField(), *editor);
    EXPECT_EQ(physics->title, fnd::String("algebra"));
    EXPECT_EQ(objects(), (std::vector<fnd::Object*> { maths.get(), physics.get() }));
    EXPECT_EQ(tokens->rowAtIndex(1)->listObject().object(), physics);
    EXPECT_EQ(item(1)->tokenField()->objectValue(), fnd::Value(fnd::Array { "algebra" }));
}

// The text a rebuild gives, to compare a row change with.
static std::string InspectorListFieldRebuilt(ZORTextViewInspector& inspector)
{
    inspector.recreateFieldTextStorage();
    return visible(inspector.textStorage()->string());
}

TEST_F(InspectorListFieldTest, RowsOnTheLineOfTheFieldBeforeComeAndGoAsARebuildShowsThem)
{
    auto name = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
        "name", Label::fieldLabelWithString("Name"), fnd::String("Name"));
    name->setValue("Ada");
    name->setShouldAppendNewline(false);
    auto city = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
        "city", Label::fieldLabelWithString("City"), fnd::String("Enter a city"));
    auto a = InspectorListEntry::make("a"), b = InspectorListEntry::make("b");
    controller->setContent(fnd::Array { a });
    inspector->setEditableState(true);
    inspector->addFieldsArray({ name, list, city });
    // The first row shares the name's line; it has the list's label and no minus button.
    const std::string one = "\\n\\tName\\tAda [o]\\tEntries\\t[o]\\n\\tCity\\tEnter a city\\n";
    EXPECT_EQ(shown(), one);
    // A new first row goes before the old one, which loses the label and gains a minus button.
    controller->insertObjectAtArrangedObjectIndex(b, 0);
    const std::string two = "\\n\\tName\\tAda [o]\\tEntries\\t[o]\\n[o] [o]\\t\\t[o]\\n\\tCity\\tEnter a city\\n";
    EXPECT_EQ(shown(), two);
    EXPECT_EQ(inspector->visibleFieldsArray(),
        (std::vector<ZORTextViewInspectorFieldPtr> { name, list->rowAtIndex(0), list->rowAtIndex(1), city }));
    EXPECT_EQ(InspectorListFieldRebuilt(*inspector), two);
    // Removing object 0 leaves the name's characters; the row left becomes the first.
    controller->removeObjectAtArrangedObjectIndex(0);
    EXPECT_EQ(shown(), one);
    EXPECT_EQ(inspector->charRangeOfField(*name), (fnd::Range { 1, 9 }));
    EXPECT_EQ(inspector->visibleFieldsArray(),
        (std::vector<ZORTextViewInspectorFieldPtr> { name, list->rowAtIndex(0), city }));
    // The last row going leaves the city's line as a rebuild has it.
    controller->removeObjectAtArrangedObjectIndex(0);
    EXPECT_EQ(shown(), "\\n\\tName\\tAda \\tCity\\tEnter a city\\n");
    EXPECT_EQ(InspectorListFieldRebuilt(*inspector), "\\n\\tName\\tAda \\tCity\\tEnter a city\\n");
}

TEST_F(InspectorListFieldTest, TextRowsFollowTheControllerWithTheirButtonsAndKeepAnEditBelow)
{
    auto notes = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
        "notes", Label::fieldLabelWithString("Notes"), fnd::String("Notes"));
    list->setEntryFieldTemplate(
        ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("row", nullptr, fnd::String("Entry")));
    controller->setContent(fnd::Array { InspectorListEntry::make("a") });
    inspector->setEditableState(true);
    inspector->addFieldsArray({ list, notes });
    EXPECT_EQ(shown(), "\\n[o]\\tEntries\\ta\\n\\tNotes\\tNotes\\n");
    // Typing into the notes while an object comes in above them: a row with + and -, and the typing kept.
    inspector->jumpToField(notes);
    inspector->insertText(fnd::Value("kept"));
    controller->addObject(InspectorListEntry::make("b"));
    EXPECT_EQ(shown(), "\\n[o]\\tEntries\\ta\\n[o] [o]\\t\\tb\\n\\tNotes\\tkept\\n");
    EXPECT_EQ(inspector->activeField(), notes);
    inspector->endEditing();
    EXPECT_EQ(notes->value(), fnd::Value("kept"));
    // A row's edit goes to its object.
    inspector->jumpToField(list->rowAtIndex(1));
    inspector->insertText(fnd::Value("c"));
    controller->insertObjectAtArrangedObjectIndex(InspectorListEntry::make("z"), 0);
    inspector->endEditing();
    EXPECT_EQ(controller->arrangedObjects().at(2).objectAs<InspectorListEntry>()->title, fnd::String("c"));
    EXPECT_EQ(InspectorListFieldRebuilt(*inspector),
        "\\n[o]\\tEntries\\tz\\n[o] [o]\\t\\ta\\n[o] [o]\\t\\tc\\n\\tNotes\\tkept\\n");
}

TEST_F(InspectorListFieldTest, AControllerFilledBeforeBindingShowsItsRows)
{
    auto a = InspectorListEntry::make("a"), b = InspectorListEntry::make("b");
    auto filled = fnd::makeObject<fnd::ArrayController>();
    filled->setContent(fnd::Array { a, b });
    inspector->setEditableState(true);
    inspector->addField(list);
    // Bound while in the inspector: its rows come at once.
    list->bindToObject(filled, "arrangedObjects", "title", "");
    EXPECT_EQ(rowObjects(), (std::vector<fnd::Object*> { a.get(), b.get() }));
    EXPECT_EQ(shown(), "\\n[o]\\tEntries\\t[o]\\n[o] [o]\\t\\t[o]\\n");
    // Bound before it is shown: the first rebuild shows them.
    auto other = fnd::makeObject<ZORTextViewInspectorListField>();
    other->initWithIdentifier("other", std::nullopt, Label::fieldLabelWithString("Other"));
    other->setEntryFieldTemplate(
        ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("row", nullptr, fnd::String("Entry")));
    other->bindToObject(filled, "arrangedObjects", "title", "");
    inspector->removeAllFields();
    inspector->addField(other);
    EXPECT_EQ(shown(), "\\n\\tOther\\ta\\n\\t\\tb\\n");
}
