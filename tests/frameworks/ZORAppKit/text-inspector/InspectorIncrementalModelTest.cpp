// Random steps on a form bound to a model (list rows coming and going, model changes, typing, Tab, Backtab, ending
// edits): after each step the text, the visible fields and the edit equal what a rebuild of the whole text gives,
// and the model holds every value the person finished typing.
#include "InspectorTextPicture.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Cell.h"

#include <fmt/format.h>
#include <map>
#include <random>

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

class InspectorStepsModel : public fnd::Object {
    FND_OBJECT(InspectorStepsModel)
    static void describeClass(fnd::ClassBuilder<InspectorStepsModel>& c)
    {
        c.property(
            "name", [](const InspectorStepsModel& m) { return m.values.at("name"); },
            [](InspectorStepsModel& m, const fnd::Value& v) { m.values["name"] = v; });
        c.property(
            "notes", [](const InspectorStepsModel& m) { return m.values.at("notes"); },
            [](InspectorStepsModel& m, const fnd::Value& v) { m.values["notes"] = v; });
        c.property(
            "tail", [](const InspectorStepsModel& m) { return m.values.at("tail"); },
            [](InspectorStepsModel& m, const fnd::Value& v) { m.values["tail"] = v; });
    }

public:
    std::map<std::string, fnd::Value> values { { "name", {} }, { "notes", {} }, { "tail", {} } };
};

class InspectorStepsEntry : public fnd::Object {
    FND_OBJECT(InspectorStepsEntry)
    static void describeClass(fnd::ClassBuilder<InspectorStepsEntry>& c)
    {
        c.property("title", &InspectorStepsEntry::title);
    }

public:
    fnd::Value title;
};

// The four forms: rows of hosted controls or of text fields, the list on a line of its own or sharing its first
// line with the field before it (which ends with a blank); text rows that end with a blank put the rows on one line.
struct InspectorStepsLayout {
    const char* name;
    bool textRows;
    bool fieldOnFirstLine;
    bool rowsEndWithBlank;
};

const InspectorStepsLayout InspectorStepsLayouts[] = {
    { "view rows", false, false, false },
    { "view rows after a field on their line", false, true, false },
    { "text rows", true, false, false },
    { "text rows on one line after a field", true, true, true },
};

class InspectorIncrementalModelTest : public InspectorTest {
protected:
    void build(const InspectorStepsLayout& layout, unsigned seed)
    {
        random.seed(seed);
        model = fnd::makeObject<InspectorStepsModel>();
        controller = fnd::makeObject<fnd::ArrayController>();
        name = textField("name", "Name", "File name");
        name->setShouldAppendNewline(!layout.fieldOnFirstLine);
        notes = textField("notes", "Notes", "Notes");
        // No label: it shows two tabs after a field that ends its line, nothing after a blank.
        tail = textField("tail", nullptr, "Tail");
        list = fnd::makeObject<ZORTextViewInspectorListField>();
        list->initWithIdentifier("entries", std::nullopt, Label::fieldLabelWithString("Entries"));
        list->setEditable(true);
        ZORTextViewInspectorFieldPtr row;
        if (layout.textRows) {
            row = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("row", nullptr, fnd::String("Entry"));
        } else {
            row = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>("row", nullptr);
        }
        row->setShouldAppendNewline(!layout.rowsEndWithBlank);
        list->setEntryFieldTemplate(row);
        for (int i = 0; i < 3; ++i)
            controller->addObject(entry());
        list->bindToObject(controller, "arrangedObjects", "title", "");
        name->bind("value", *model, "name");
        notes->bind("value", *model, "notes");
        tail->bind("value", *model, "tail");
        inspector->setEditableState(true);
        inspector->addFieldsArray({ name, list, notes, tail });
    }

    static std::shared_ptr<ZORTextViewInspectorTextField> textField(
        const char* id, const char* label, const char* placeholder)
    {
        return ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
            id, label ? Label::fieldLabelWithString(label) : nullptr, fnd::String(placeholder));
    }

    fnd::Value entry() const
    {
        auto made = fnd::makeObject<InspectorStepsEntry>();
        if (pick(3) != 0)
            made->title = word();
        return fnd::Value(std::static_pointer_cast<fnd::Object>(made));
    }

    // Never a placeholder: typed text reading like one would be taken for no value.
    fnd::String word() const
    {
        static const char* const words[] = { "a", "bc", "longer one", "x-1", "quite a long value", "zz" };
        return fnd::String(words[pick(std::size(words))]);
    }

    std::string picture() const { return textPicture(*inspector); }

    fnd::String runText() const { return text().substring(inspector->currentEditingCharRange()); }

    // The person's edit as the test knows it: the field, and what its run holds.
    void expectEdit(const std::string& step) const
    {
        if (!edited) {
            EXPECT_FALSE(inspector->isEditing()) << step;
            return;
        }
        EXPECT_EQ(inspector->activeField(), edited) << step << ": the edit stays in its field";
        auto run = inspector->currentEditingCharRange();
        ASSERT_NE(run.location, fnd::NotFound) << step << ": the edit lost its run";
        EXPECT_EQ(runText().utf8(), typed.utf8()) << step << ": what was typed stays";
    }

    // Where a finished edit's value goes: the model for the three fields, a row's object for a row.
    void commitExpected()
    {
        if (!edited || !dirty)
            return;
        if (edited == name)
            expected["name"] = typed;
        else if (edited == notes)
            expected["notes"] = typed;
        else if (edited == tail)
            expected["tail"] = typed;
        else if (auto object = edited->listObject().objectAs<InspectorStepsEntry>())
            expectedTitles[object] = typed;
        dirty = false;
    }

    void expectModel(const std::string& step) const
    {
        for (const auto& [key, value] : expected)
            EXPECT_EQ(model->values.at(key), value) << step << ": model " << key;
        for (const auto& [object, title] : expectedTitles)
            EXPECT_EQ(object->title, title) << step << ": a row's object";
    }

    // After the step: the edit as typed; then the edit ends (a value written may change a row's buttons), a rebuild
    // changes nothing, and the edit is taken up again with the caret at its end.
    void checkAgainstRebuild(const std::string& step)
    {
        expectEdit(step);
        commitExpected();
        inspector->endEditing();
        expectModel(step);
        auto before = picture();
        inspector->recreateFieldTextStorage();
        EXPECT_EQ(before, picture()) << step << ": incremental text differs from a rebuild";
        expectModel(step);
        if (!edited)
            return;
        inspector->jumpToField(edited);
        if (!inspector->isEditing()) {
            edited = nullptr;
            return;
        }
        auto run = inspector->currentEditingCharRange();
        inspector->setSelectedRange({ run.max(), 0 });
        wholeRunSelected = inspector->selectedRange().length > 0;
        typed = runText();
    }

    ZORTextViewInspectorFieldPtr anyRow() const
    {
        const auto& rows = list->allRows();
        return rows.empty() ? nullptr : rows[pick(rows.size())];
    }
    std::size_t pick(std::size_t n) const { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); }

    std::shared_ptr<ui::Button> rowButton(const ZORTextViewInspectorField& row, const char* action) const
    {
        for (const auto& view : inspector->subviews())
            if (auto button = std::dynamic_pointer_cast<ui::Button>(view); button && button->cell()
                && button->action() == fnd::Selector(action)
                && button->cell()->representedObject().object().get() == &row)
                return button;
        return nullptr;
    }

    // The edit after a step that may move it: whatever field the inspector edits now, its run whole.
    void followEdit()
    {
        edited = inspector->activeField();
        typed = edited ? runText() : fnd::String();
        wholeRunSelected = edited != nullptr;
        dirty = false;
    }

    std::string step(std::size_t number)
    {
        const auto objects = controller->arrangedObjects().size();
        switch (pick(11)) {
        case 0: {
            auto at = pick(objects + 1);
            controller->insertObjectAtArrangedObjectIndex(entry(), static_cast<fnd::Index>(at));
            return fmt::format("{}: controller inserts at {}", number, at);
        }
        case 1: {
            if (objects == 0)
                return fmt::format("{}: nothing to remove", number);
            auto at = pick(objects);
            if (edited && edited->compoundField() == list
                && list->controllerIndexOfRow(static_cast<std::size_t>(list->indexOfField(*edited))) == at)
                edited = nullptr; // its row goes, and the object with it
            controller->removeObjectAtArrangedObjectIndex(static_cast<fnd::Index>(at));
            return fmt::format("{}: controller removes {}", number, at);
        }
        case 2: {
            auto row = anyRow();
            auto button = row ? rowButton(*row, "addListRow:") : nullptr;
            if (!button)
                return fmt::format("{}: no + to press", number);
            // The new row takes the keyboard: an edit elsewhere ends first.
            commitExpected();
            inspector->addListRow(fnd::Value(std::static_pointer_cast<fnd::Object>(button)));
            followEdit();
            return fmt::format("{}: + on row {}", number, list->indexOfField(*row));
        }
        case 3: {
            auto row = anyRow();
            auto button = row ? rowButton(*row, "removeListRow:") : nullptr;
            if (!button)
                return fmt::format("{}: no - to press", number);
            auto index = list->indexOfField(*row);
            if (edited == row)
                edited = nullptr;
            inspector->removeListRow(fnd::Value(std::static_pointer_cast<fnd::Object>(button)));
            return fmt::format("{}: - on row {}", number, index);
        }
        case 4:
        case 5: {
            // The model changes a field other than the one being typed into, above or below it.
            std::vector<std::pair<std::string, ZORTextViewInspectorFieldPtr>> others;
            for (const auto& [key, field] : { std::pair<std::string, ZORTextViewInspectorFieldPtr> { "name", name },
                     { "notes", notes }, { "tail", tail } })
                if (field != edited)
                    others.emplace_back(key, field);
            for (const auto& row : list->allRows())
                if (row != edited && row->listObject().object()
                    && std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(row))
                    others.emplace_back("row", row);
            auto [key, field] = others[pick(others.size())];
            fnd::Value value = pick(4) == 0 ? fnd::Value() : fnd::Value(word());
            if (key == "row") {
                auto object = field->listObject().objectAs<InspectorStepsEntry>();
                object->setValueForKey(value, "title");
                expectedTitles[object] = value;
            } else {
                model->setValueForKey(value, fnd::String(key));
                expected[key] = value;
            }
            return fmt::format("{}: model sets {} {}", number, key, list->indexOfField(*field));
        }
        case 6:
        case 7: {
            if (!edited) {
                std::vector<ZORTextViewInspectorFieldPtr> texts;
                for (const auto& field : inspector->visibleFieldsArray())
                    if (std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field))
                        texts.push_back(field);
                inspector->jumpToField(texts[pick(texts.size())]);
                followEdit();
            }
            auto typedNow = word();
            inspector->insertText(fnd::Value(typedNow));
            typed = wholeRunSelected ? typedNow : fnd::String(typed.utf8() + typedNow.utf8());
            wholeRunSelected = false;
            dirty = true;
            return fmt::format("{}: types \"{}\"", number, typedNow.utf8());
        }
        case 8:
            commitExpected();
            inspector->insertTab({});
            followEdit();
            return fmt::format("{}: Tab", number);
        case 9:
            commitExpected();
            inspector->insertBacktab({});
            followEdit();
            return fmt::format("{}: Backtab", number);
        default:
            commitExpected();
            inspector->endEditing();
            edited = nullptr;
            return fmt::format("{}: ends the edit", number);
        }
    }

    void run(const InspectorStepsLayout& layout, unsigned seed, std::size_t steps)
    {
        build(layout, seed);
        for (const auto& [key, value] : model->values)
            expected[key] = value;
        checkAgainstRebuild(fmt::format("{} seed {}: the form as built", layout.name, seed));
        for (std::size_t i = 1; i <= steps && !HasFailure(); ++i) {
            auto what = fmt::format("{} seed {} step {}", layout.name, seed, step(i));
            checkAgainstRebuild(what);
        }
    }

    mutable std::mt19937 random;
    std::shared_ptr<InspectorStepsModel> model;
    std::shared_ptr<fnd::ArrayController> controller;
    std::shared_ptr<ZORTextViewInspectorTextField> name, notes, tail;
    std::shared_ptr<ZORTextViewInspectorListField> list;
    ZORTextViewInspectorFieldPtr edited;
    fnd::String typed;
    bool wholeRunSelected { false };
    bool dirty { false };
    std::map<std::string, fnd::Value> expected;
    std::map<std::shared_ptr<InspectorStepsEntry>, fnd::Value> expectedTitles;
};

}

FND_REGISTER_CLASS(InspectorStepsModel, fnd::Object)
FND_REGISTER_CLASS(InspectorStepsEntry, fnd::Object)

TEST_F(InspectorIncrementalModelTest, RandomStepsEqualARebuildInEveryLayout)
{
    // 4 layouts x 3 seeds x 200 steps: 2,400 steps, each checked against a rebuild.
    for (const auto& layout : InspectorStepsLayouts)
        for (unsigned seed : { 1u, 2u, 3u }) {
            SCOPED_TRACE(fmt::format("{} seed {}", layout.name, seed));
            inspector->removeAllFields();
            edited = nullptr;
            dirty = false;
            expected.clear();
            expectedTitles.clear();
            run(layout, seed, 200);
            inspector->removeAllFields();
            list->unbindController();
            for (auto& field : { name, notes, tail })
                field->unbind("value");
            if (HasFailure())
                return;
        }
}
