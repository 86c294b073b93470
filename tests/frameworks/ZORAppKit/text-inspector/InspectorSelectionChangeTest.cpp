// Typing while the selection moves (a slideshow, an import) and the program acts: it renames the pictures, makes a
// field read-only, empties its controller or removes the edited picture. What was typed for one object never reaches
// another.
#include "InspectorTestSupport.h"
#include "support/GestureSeeds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/ui/views/Event.h"

#include <fmt/format.h>
#include <map>
#include <random>

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

class InspectorPicture : public fnd::Object {
    FND_OBJECT(InspectorPicture)
    static void describeClass(fnd::ClassBuilder<InspectorPicture>& c)
    {
        c.property("name", &InspectorPicture::name);
        c.property("caption", &InspectorPicture::caption);
    }

public:
    fnd::Value name;
    fnd::Value caption;
};

const char* const InspectorPictureKeys[] = { "name", "caption" };

class InspectorSelectionChangeTest : public InspectorTest {
protected:
    InspectorSelectionChangeTest()
    {
        for (int i = 0; i < 6; ++i) {
            auto picture = fnd::makeObject<InspectorPicture>();
            picture->name = fnd::String(fmt::format("p{:05}.png", i + 20));
            picture->caption = fnd::String(fmt::format("caption {}", i));
            pictures.push_back(picture);
            content.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(picture)));
        }
        controller->setContent(content);
        for (const char* key : InspectorPictureKeys) {
            auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
                key, Label::fieldLabelWithString(key), fnd::String("Untitled"));
            field->bind("value", *controller, fnd::String("selection.") + key);
            fields.push_back(field);
        }
        inspector->setEditableState(true);
        inspector->addFieldsArray({ fields[0], fields[1] });
    }

    // What the model holds for a picture, as the test works it out.
    fnd::Value& expected(const std::shared_ptr<InspectorPicture>& picture, const std::string& key)
    {
        return model[{ picture.get(), key }];
    }
    static fnd::Value held(const InspectorPicture& picture, const std::string& key)
    {
        return key == "name" ? picture.name : picture.caption;
    }

    std::vector<std::shared_ptr<InspectorPicture>> selected() const
    {
        std::vector<std::shared_ptr<InspectorPicture>> chosen;
        for (const auto& object : controller->selectedObjects())
            chosen.push_back(object.objectAs<InspectorPicture>());
        return chosen;
    }

    // The edit ends: what was typed goes to the picture it was typed for.
    void editEnds()
    {
        if (editKey.empty())
            return;
        if (!typed.isEmpty())
            for (const auto& picture : editObjects)
                expected(picture, editKey) = fnd::Value(typed);
        editKey.clear();
        typed = {};
    }
    void editBegins(const std::string& key)
    {
        editKey = key;
        editObjects = selected();
        typed = {};
        wholeRunSelected = true;
    }

    // What a field shows for the selected picture when nothing is typed into it.
    std::string shownFor(const std::string& key) const
    {
        const auto chosen = selected();
        // Nothing selected, the binding gives no value: the field shows its placeholder.
        if (chosen.empty())
            return "Untitled";
        return held(*chosen.front(), key).stringValue().utf8();
    }
    std::shared_ptr<ZORTextViewInspectorTextField> fieldFor(const std::string& key) const
    {
        return fields[key == "name" ? 0 : 1];
    }
    bool editable(const std::string& key) const { return fieldFor(key)->isEditable(); }
    // The fields Tab reaches from the one edited (from the top without one), passing those made read-only.
    std::string tabbedTo(const std::string& from) const
    {
        const std::size_t start = from.empty() ? 0 : (from == "name" ? 1 : 0);
        for (std::size_t i = 0; i < 2; ++i) {
            const char* key = InspectorPictureKeys[(start + i) % 2];
            if (editable(key))
                return key;
        }
        return {};
    }
    // A program step may change the selection under an edit: the edit ends, writing what was typed to the pictures
    // it was typed for.
    template <typename Act> void changingSelection(Act act)
    {
        const auto before = selected();
        const auto typedBefore = typed;
        const auto key = editKey;
        const auto objects = editObjects;
        act();
        if (selected() == before)
            return;
        editKey = key;
        editObjects = objects;
        typed = typedBefore;
        editEnds();
    }
    std::string runOf(const ZORTextViewInspectorField& field) const
    {
        auto range = inspector->charRangeOfField(field);
        fnd::Range run;
        attributeAt(ZORTextInspectorAttribute::PlaceholderValue, range.max() - 1, &run);
        return text().substring(run).utf8();
    }

    void select(std::size_t index)
    {
        const fnd::IndexSet set(static_cast<fnd::Index>(index));
        if (set == controller->selectionIndexes())
            return; // nothing changes under the edit
        editEnds();
        controller->setSelectionIndexes(set);
    }

    // What the program does besides renaming: makes a field read-only (or editable again), empties the controller
    // or fills it again, removes the edited picture.
    std::string programStep(std::size_t number)
    {
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        switch (pick(4)) {
        case 0: {
            const std::string key = InspectorPictureKeys[pick(2)];
            const bool locking = editable(key);
            // Locked, the field's edit ends, keeping what was typed while it took edits.
            if (locking && editKey == key)
                editEnds();
            fieldFor(key)->setEditable(!locking);
            return fmt::format("{}: the program makes {} {}", number, key, locking ? "read-only" : "editable");
        }
        case 1:
            if (controller->arrangedObjects().empty()) {
                changingSelection([&] { controller->setContent(content); });
                return fmt::format("{}: the program fills the controller", number);
            }
            if (pick(2) == 0) {
                changingSelection([&] { controller->setContent(fnd::Array {}); });
                return fmt::format("{}: the program empties the controller", number);
            }
            changingSelection([&] { controller->removeObjects(controller->arrangedObjects()); });
            return fmt::format("{}: the program removes every picture", number);
        default: {
            auto shown = selected();
            if (shown.empty())
                return fmt::format("{}: nothing to remove", number);
            auto gone = shown.front();
            changingSelection(
                [&] { controller->removeObject(fnd::Value(std::static_pointer_cast<fnd::Object>(gone))); });
            return fmt::format("{}: the program removes {}", number, expected(gone, "name").stringValue().utf8());
        }
        }
    }

    std::string step(std::size_t number)
    {
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        switch (pick(15)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: {
            const char16_t letter = u'A' + static_cast<char16_t>(keys++ % 26);
            backend->keyDown(*window, fnd::String(std::u16string(1, letter)), 0);
            dispatch();
            // A key replaces a run selected whole (what the field showed, or what was typed before).
            if (!editKey.empty())
                typed = fnd::String(
                    (wholeRunSelected ? std::string() : typed.utf8()) + fnd::String(std::u16string(1, letter)).utf8());
            wholeRunSelected = false;
            return fmt::format("{}: types {}", number, fnd::String(std::u16string(1, letter)).utf8());
        }
        case 5:
        case 6:
        case 7: {
            const auto count = controller->arrangedObjects().size();
            if (count == 0)
                return fmt::format("{}: nothing to select", number);
            auto index = pick(count);
            select(index);
            return fmt::format("{}: selects picture {}", number, index);
        }
        case 8:
        case 9: {
            auto key = pick(2);
            if (!editable(InspectorPictureKeys[key])) {
                // A read-only field takes no edit; the one under way ends, as at a click anywhere else.
                editEnds();
                inspector->jumpToField(fields[key]);
                return fmt::format("{}: clicks into the read-only {}", number, InspectorPictureKeys[key]);
            }
            // Into the field being edited, the edit goes on with its run selected.
            if (editKey != InspectorPictureKeys[key]) {
                editEnds();
                editBegins(InspectorPictureKeys[key]);
            }
            inspector->jumpToField(fields[key]);
            wholeRunSelected = true;
            return fmt::format("{}: clicks into {}", number, InspectorPictureKeys[key]);
        }
        case 10: {
            const std::string next = tabbedTo(editKey);
            editEnds();
            backend->keyDown(*window, "\t", ui::KeyCode::Tab);
            dispatch();
            if (!next.empty())
                editBegins(next);
            return fmt::format("{}: Tab", number);
        }
        case 11:
        case 12:
        case 13:
            return programStep(number);
        default: {
            // The program renames the selected pictures: an edit of that value ends first, writing what was typed.
            auto key = InspectorPictureKeys[pick(2)];
            if (selected().empty())
                return fmt::format("{}: nothing to rename", number);
            if (editKey == key)
                editEnds();
            const fnd::Value renamed(fnd::String(fmt::format("set {}", number)));
            for (const auto& picture : selected()) {
                picture->setValueForKey(renamed, key);
                expected(picture, key) = renamed;
            }
            return fmt::format("{}: the program sets {}", number, key);
        }
        }
    }

    void check(const std::string& what)
    {
        for (const auto& picture : pictures)
            for (const char* key : InspectorPictureKeys)
                EXPECT_EQ(held(*picture, key).stringValue().utf8(), expected(picture, key).stringValue().utf8())
                    << what << ": " << key << " of " << expected(picture, "name").stringValue().utf8();
        if (editKey.empty()) {
            EXPECT_FALSE(inspector->isEditing()) << what;
        } else {
            ASSERT_TRUE(inspector->isEditing()) << what;
            EXPECT_EQ(inspector->activeField()->identifier().utf8(), editKey) << what;
        }
        // A field shows the selection's own value, or what is being typed into it.
        for (const auto& field : fields) {
            const auto key = field->identifier().utf8();
            EXPECT_EQ(runOf(*field), key == editKey && !typed.isEmpty() ? typed.utf8() : shownFor(key))
                << what << ": " << key;
        }
    }

    std::shared_ptr<fnd::ArrayController> controller = fnd::makeObject<fnd::ArrayController>();
    std::vector<std::shared_ptr<InspectorPicture>> pictures;
    fnd::Array content;
    std::vector<std::shared_ptr<ZORTextViewInspectorTextField>> fields;
    std::map<std::pair<const InspectorPicture*, std::string>, fnd::Value> model;
    std::mt19937 random;
    int keys { 0 };
    std::string editKey;
    std::vector<std::shared_ptr<InspectorPicture>> editObjects;
    fnd::String typed;
    bool wholeRunSelected { false };
};

}

FND_REGISTER_CLASS(InspectorPicture, fnd::Object)

TEST_F(InspectorSelectionChangeTest, EachPictureHoldsWhatWasTypedForIt)
{
    const int seeds = testsupport::gestureSeeds(3);
    for (int seed = 1; seed <= seeds; ++seed) {
        random.seed(unsigned(seed));
        controller->setContent(content);
        for (const auto& field : fields)
            field->setEditable(true);
        controller->setSelectionIndexes(fnd::IndexSet(0));
        for (const auto& picture : pictures)
            for (const char* key : InspectorPictureKeys)
                expected(picture, key) = held(*picture, key);
        inspector->jumpToField(fields[0]);
        editBegins("name");
        check(fmt::format("seed {}: the form as built", seed));
        for (std::size_t i = 1; i <= 300 && !HasFailure(); ++i) {
            auto what = step(i);
            check(fmt::format("seed {} step {}", seed, what));
        }
        editEnds();
        inspector->endEditing();
        if (HasFailure())
            return;
    }
}

// The slideshow: ten keys, the selection moving on every second. "AB" belongs to the first picture, "CD" to the
// second; nothing typed after a move reaches the picture shown then, until the person clicks into it again.
TEST_F(InspectorSelectionChangeTest, KeysTypedBeforeAMoveStayWithTheirPicture)
{
    controller->setSelectionIndexes(fnd::IndexSet(0));
    inspector->jumpToField(fields[0]);
    for (int i = 0; i < 10; ++i) {
        backend->keyDown(*window, fnd::String(std::u16string(1, char16_t(u'A' + i))), 0);
        dispatch();
        if (i % 2 == 1) {
            controller->setSelectionIndexes(fnd::IndexSet(static_cast<fnd::Index>(i / 2 + 1)));
            if (i / 2 == 0)
                inspector->jumpToField(fields[0]);
        }
    }
    EXPECT_EQ(pictures[0]->name.stringValue().utf8(), "AB");
    EXPECT_EQ(pictures[1]->name.stringValue().utf8(), "CD");
    for (std::size_t i = 2; i < pictures.size(); ++i)
        EXPECT_EQ(pictures[i]->name.stringValue().utf8(), fmt::format("p{:05}.png", i + 20));
    EXPECT_FALSE(inspector->isEditing());
    EXPECT_EQ(runOf(*fields[0]), "p00025.png") << "the picture shown at the end, its own name";
}

// Owners that show another object without a controller: the field bound to the next object, or given its value.
TEST_F(InspectorSelectionChangeTest, AFieldBoundElsewhereOrGivenAValueWritesWhatWasTypedFirst)
{
    auto name = fields[0];
    name->bind("value", *pictures[0], "name");
    inspector->jumpToField(name);
    inspector->insertText(fnd::Value("Zed"));
    name->bind("value", *pictures[1], "name");
    EXPECT_EQ(pictures[0]->name.stringValue().utf8(), "Zed");
    EXPECT_EQ(pictures[1]->name.stringValue().utf8(), "p00021.png");
    EXPECT_FALSE(inspector->isEditing());
    EXPECT_EQ(runOf(*name), "p00021.png");
    // Unbound: the delegate hears of the typed value before the program's new one takes the field.
    struct Delegate : ZORTextViewInspectorDelegate {
        void textViewInspectorDidChangedValueOfField(ZORTextViewInspector&, ZORTextViewInspectorField& field) override
        {
            heard.push_back(field.value().stringValue().utf8());
        }
        std::vector<std::string> heard;
    };
    auto delegate = std::make_shared<Delegate>();
    inspector->setInspectorDelegate(delegate);
    name->unbind("value");
    inspector->jumpToField(name);
    inspector->insertText(fnd::Value("Kim"));
    inspector->setValueForFieldWithIdentifier(fnd::Value("p00022.png"), "name");
    EXPECT_EQ(delegate->heard, (std::vector<std::string> { "Kim" }));
    EXPECT_EQ(pictures[1]->name.stringValue().utf8(), "p00021.png") << "unbound, the next picture is not written";
    EXPECT_EQ(runOf(*name), "p00022.png");
    // Another field's value changing leaves the edit and what was typed in place.
    inspector->jumpToField(name);
    inspector->insertText(fnd::Value("Lou"));
    pictures[0]->setValueForKey(fnd::Value("other caption"), "caption");
    EXPECT_EQ(inspector->activeField(), name);
    EXPECT_EQ(runOf(*name), "Lou");
}

// With nothing selected the binding has no object to write to: what was typed is not kept as if it were stored,
// the field shows its placeholder again (the seeded test's seed 1 typed "GH" into an emptied controller's form).
TEST_F(InspectorSelectionChangeTest, WhatNoObjectTookIsNotShownAsKept)
{
    controller->setContent(fnd::Array {});
    inspector->jumpToField(fields[1]);
    inspector->insertText(fnd::Value("GH"));
    inspector->endEditing();
    EXPECT_EQ(runOf(*fields[1]), "Untitled");
    for (std::size_t i = 0; i < pictures.size(); ++i)
        EXPECT_EQ(pictures[i]->caption.stringValue().utf8(), fmt::format("caption {}", i));
    // Selected again, a picture's caption takes what is typed, and shows it.
    controller->setContent(content);
    controller->setSelectionIndexes(fnd::IndexSet(2));
    inspector->jumpToField(fields[1]);
    inspector->insertText(fnd::Value("GH"));
    inspector->endEditing();
    EXPECT_EQ(pictures[2]->caption.stringValue().utf8(), "GH");
    EXPECT_EQ(runOf(*fields[1]), "GH");
}
