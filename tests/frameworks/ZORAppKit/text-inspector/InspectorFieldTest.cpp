// The field base class and the text and integer fields.
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <gtest/gtest.h>

namespace {

using State = ZORInspectorValueState;
using Label = ZORTextViewInspectorFieldLabel;

// A model object with one key, for bindings.
class InspectorFieldTestModel : public fnd::Object {
    FND_OBJECT(InspectorFieldTestModel)
    static void describeClass(fnd::ClassBuilder<InspectorFieldTestModel>& c)
    {
        c.property("name", &InspectorFieldTestModel::name);
        c.property("valid", &InspectorFieldTestModel::valid);
        c.property("kind", &InspectorFieldTestModel::kind);
    }

public:
    fnd::Value name;
    fnd::Value valid;
    fnd::Value kind;
};

class InspectorFieldTestDelegate : public fnd::Object, public ZORTextViewInspectorFieldDelegate {
public:
    void inspectorFieldDidChangeLabelSelection(
        ZORTextViewInspectorField&, const ZORTextViewInspectorFieldLabelPtr& label) override
    {
        chosen.push_back(label ? label->label() : fnd::String("nil"));
    }
    std::vector<fnd::String> chosen;
};

}

FND_REGISTER_CLASS(InspectorFieldTestModel, fnd::Object)

TEST(InspectorFieldBase, ValueStates)
{
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorField>("f", nullptr);
    auto text = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("t", nullptr);
    text->setSupportMultipleValues(true);
    struct Row {
        fnd::Value value;
        State base;
        State multipleText;
    };
    const Row rows[] = {
        { {}, State::NoValue, State::NoValue },
        { fnd::Null {}, State::NoValue, State::NoValue },
        { "x", State::SingleValue, State::SingleValue },
        { fnd::Array {}, State::NoSelection, State::NoSelection },
        { fnd::Array { fnd::Null {} }, State::NoValue, State::NoValue },
        { fnd::Array { "a" }, State::SingleValue, State::SingleValue },
        // Elements are counted, not compared.
        { fnd::Array { "a", "a" }, State::MultipleValues, State::SingleValue },
        // Sets follow the same rules.
        { fnd::Set {}, State::NoSelection, State::NoSelection },
        { fnd::Set { fnd::Null {} }, State::NoValue, State::NoValue },
        { fnd::Set { "a" }, State::SingleValue, State::SingleValue },
        { fnd::Set { "a", "b" }, State::MultipleValues, State::SingleValue },
    };
    for (const auto& row : rows) {
        field->setValue(row.value);
        text->ZORTextViewInspectorField::setValue(row.value);
        EXPECT_EQ(field->valueState(), row.base) << row.value.description().utf8();
        EXPECT_EQ(text->valueState(), row.multipleText) << row.value.description().utf8();
    }
}

TEST(InspectorFieldBase, Visibility)
{
    auto compound = fnd::makeObject<ZORTextViewInspectorCompoundField>();
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorField>("f", nullptr);
    EXPECT_TRUE(field->shouldBeVisibleWithEditableState(false));
    field->setConditionallySetsHidden(true);
    EXPECT_FALSE(field->shouldBeVisibleWithEditableState(true)) << "no value";
    field->setValue(fnd::Array {});
    EXPECT_TRUE(field->shouldBeVisibleWithEditableState(true)) << "no selection stays visible";
    field->setSuppressFieldIfNotEditable(true);
    EXPECT_FALSE(field->shouldBeVisibleWithEditableState(false));
    EXPECT_TRUE(field->shouldBeVisibleWithEditableState(true));
    compound->addField(field);
    compound->setHidden(true);
    EXPECT_FALSE(field->shouldBeVisibleWithEditableState(true)) << "an invisible compound hides its fields";
    compound->removeFieldAtIndex(0);
    EXPECT_EQ(field->compoundField(), nullptr);
    EXPECT_TRUE(field->shouldBeVisibleWithEditableState(true));
    field->setHidden(true);
    EXPECT_FALSE(field->shouldBeVisibleWithEditableState(true));

    // Text fields without a value leave a non-editable inspector unless a replacement text stands in.
    auto text = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("t", nullptr);
    EXPECT_FALSE(text->shouldBeVisibleWithEditableState(false));
    EXPECT_TRUE(text->shouldBeVisibleWithEditableState(true));
    text->setNotEditableReplacementString("none");
    EXPECT_TRUE(text->shouldBeVisibleWithEditableState(false));
}

TEST(InspectorFieldBase, LabelMenuRules)
{
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("phone", nullptr);
    field->setLabelArray({ Label::fieldLabelWithString("work", "W") });
    EXPECT_EQ(field->labelMenu(), nullptr);
    EXPECT_FALSE(field->shouldDisplayLabelMenu());
    field->setLabelArray({ Label::fieldLabelWithString("work", "W"), Label::fieldLabelWithString("Home", "H"),
        Label::fieldLabelWithString("apple", "A") });
    EXPECT_TRUE(field->shouldDisplayLabelMenu());
    field->setEditable(false);
    EXPECT_FALSE(field->shouldDisplayLabelMenu()) << "only while editable";
    auto menu = field->labelMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> titles;
    for (long i = 0; i < menu->numberOfItems(); ++i)
        titles.push_back(menu->itemAtIndex(i)->title().utf8());
    EXPECT_EQ(titles, (std::vector<std::string> { "apple", "Home", "work" })) << "case-insensitive order";
    // A sub-field without labels of its own takes its compound field's.
    auto compound = fnd::makeObject<ZORTextViewInspectorCompoundField>();
    compound->setLabelArray(field->labelArray());
    auto sub = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("s", nullptr);
    compound->addField(sub);
    EXPECT_EQ(sub->effectiveLabelArray().size(), 3u);
}

TEST(InspectorFieldBase, LabelAndRepresentedObjectStayPaired)
{
    auto work = Label::fieldLabelWithString("work", "W");
    work->setLabelDependentPlaceholder("work number");
    auto home = Label::fieldLabelWithString("home", "H");
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("phone", nullptr, "number");
    field->setLabelArray({ work, home });
    field->setSelectedRepresentedObjectOfLabel("W");
    EXPECT_EQ(field->label(), work);
    EXPECT_EQ(field->placeholder(), std::optional<fnd::String>("work number"));
    field->setSelectedRepresentedObjectOfLabel("H");
    EXPECT_EQ(field->label(), home);
    EXPECT_EQ(field->placeholder(), std::optional<fnd::String>("number")) << "the default placeholder comes back";
    // An object no label carries, while a label is shown, leaves both empty.
    field->setSelectedRepresentedObjectOfLabel("X");
    EXPECT_EQ(field->label(), nullptr);
    EXPECT_TRUE(field->selectedRepresentedObjectOfLabel().isNil());
}

TEST(InspectorFieldBase, ChoosingALabelPushesAndTellsTheDelegateOnce)
{
    auto work = Label::fieldLabelWithString("work", "W");
    auto home = Label::fieldLabelWithString("home", "H");
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("phone", work);
    field->setLabelArray({ work, home });
    auto model = fnd::makeObject<InspectorFieldTestModel>();
    field->bind("selectedRepresentedObjectOfLabel", *model, "kind");
    auto delegate = std::make_shared<InspectorFieldTestDelegate>();
    field->setDelegate(delegate);
    auto menu = field->labelMenu();
    auto itemFor = [&](const ZORTextViewInspectorFieldLabelPtr& label) {
        return menu->itemAtIndex(menu->indexOfItemWithRepresentedObject(fnd::Value(label)));
    };
    field->labelSelectionDidChange(fnd::Value(itemFor(work)));
    EXPECT_TRUE(delegate->chosen.empty()) << "the label already shown";
    EXPECT_TRUE(model->kind.isNil());
    field->labelSelectionDidChange(fnd::Value(itemFor(home)));
    EXPECT_EQ(field->label(), home);
    EXPECT_EQ(model->kind, fnd::Value("H"));
    ASSERT_EQ(delegate->chosen.size(), 1u);
    EXPECT_EQ(delegate->chosen[0], "home");
}

TEST(InspectorFieldBase, CopyKeepsSettingsButNotTheValue)
{
    auto label = Label::fieldLabelWithString("Name", "N");
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("name", label, "placeholder");
    auto delegate = std::make_shared<InspectorFieldTestDelegate>();
    field->setDelegate(delegate);
    field->setValue("Ada");
    field->setMinimumHeight(30);
    field->setInsetValue(12);
    field->setShouldAppendNewline(false);
    field->setSupportNewLine(true);
    field->setValidationMethod(ZORInspectorValidationMethod::URL);
    auto compound = fnd::makeObject<ZORTextViewInspectorCompoundField>();
    compound->addField(field);
    auto copied = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field->copy());
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->value().isNil());
    EXPECT_EQ(copied->compoundField(), nullptr);
    EXPECT_EQ(copied->delegate(), delegate);
    EXPECT_EQ(copied->minimumHeight(), 30);
    EXPECT_EQ(copied->insetValue(), 0);
    EXPECT_FALSE(copied->shouldAppendNewline());
    EXPECT_TRUE(copied->supportNewLine()) << "list rows copy their template and must keep multi-line values";
    EXPECT_EQ(copied->validationMethod(), ZORInspectorValidationMethod::URL);
    ASSERT_NE(copied->label(), nullptr);
    EXPECT_NE(copied->label(), label);
    EXPECT_EQ(copied->label()->label(), "Name");
    EXPECT_EQ(copied->selectedRepresentedObjectOfLabel(), fnd::Value("N"));
    EXPECT_EQ(copied->placeholder(), std::optional<fnd::String>("placeholder"));
}

TEST(InspectorTextField, DisplayStrings)
{
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("t", nullptr);
    const fnd::String separator(u"\u2028");
    struct Row {
        fnd::Value value;
        std::optional<fnd::String> shown;
    };
    const Row rows[] = {
        { {}, std::nullopt },
        { "one line", fnd::String("one line") },
        { "first\n\nsecond", fnd::String("first") + separator + "second" },
        { "ends\n", fnd::String("ends") },
        { fnd::Array { "same", "same" }, fnd::String("same") },
        { fnd::Array { "one", "two" }, std::nullopt },
        { fnd::Array {}, std::nullopt },
        { 42, std::nullopt },
        // A set is shown as an array is: its one value, or nothing for none or several.
        { fnd::Set { "Paris" }, fnd::String("Paris") },
        { fnd::Set { "Paris", "Lyon" }, std::nullopt },
        { fnd::Set {}, std::nullopt },
    };
    for (const auto& row : rows) {
        field->setValue(row.value);
        EXPECT_EQ(field->displayStringForValue(), row.shown) << row.value.description().utf8();
    }
    // Several values: an array of two different elements or a set of two; two equal elements are one value.
    const std::pair<fnd::Value, bool> multiple[] = { { fnd::Array { "x", "y" }, true }, { fnd::Set { "x", "y" }, true },
        { fnd::Array { "x", "x" }, false }, { fnd::Set { "x" }, false }, { "x", false } };
    for (const auto& [value, several] : multiple) {
        field->setValue(value);
        EXPECT_EQ(field->isMultipleValue(), several) << value.description().utf8();
    }
    // Showing a value does not change it.
    field->setValue(fnd::Array { "same", "same" });
    (void)field->displayStringForValue();
    EXPECT_EQ(field->value(), fnd::Value(fnd::Array { "same", "same" }));
}

TEST(InspectorTextField, ParsingEditedText)
{
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("t", nullptr, "Enter a name");
    EXPECT_EQ(field->valueObjectForString("enter A NAME"), fnd::Value()) << "the placeholder left untouched";
    EXPECT_EQ(field->valueObjectForString("multiple values"), fnd::Value());
    EXPECT_EQ(field->valueObjectForString("Ada"), fnd::Value("Ada"));
    auto integer = ZORTextViewInspectorField::make<ZORTextViewInspectorIntegerField>("i", nullptr);
    EXPECT_EQ(integer->valueObjectForString("42"), fnd::Value(42));
    EXPECT_EQ(integer->valueObjectForString("-5"), fnd::Value(-5)) << "a negative integer is one";
    // What the formatter cannot read is no value of the field's kind: its error, never the text as a string.
    for (const char* text : { "abc", "1.5", "12abc" })
        EXPECT_FALSE(integer->valueObjectForString(text).has_value()) << text;
    EXPECT_EQ(integer->valueObjectForString("abc").error(), fnd::String(u"\u201Cabc\u201D is not a valid number."));
    integer->setValue(7);
    EXPECT_EQ(integer->displayStringForValue(), std::optional<fnd::String>("7"));
}

TEST(InspectorTextField, FactoriesWithAPlaceholder)
{
    auto label = Label::fieldLabelWithString("ZIP");
    auto integer = ZORTextViewInspectorIntegerField::fieldWithIdentifier("zip", fnd::String("Postcode"), label);
    static_assert(std::is_same_v<decltype(integer), std::shared_ptr<ZORTextViewInspectorIntegerField>>);
    EXPECT_EQ(integer->identifier(), fnd::String("zip"));
    EXPECT_EQ(integer->placeholder(), std::optional<fnd::String>("Postcode"));
    EXPECT_EQ(integer->defaultPlaceholder(), std::optional<fnd::String>("Postcode"));
    EXPECT_EQ(integer->label(), label);
    EXPECT_EQ(integer->valueObjectForString("12"), fnd::Value(12)) << "made through the integer initialiser";
    auto text = ZORTextViewInspectorTextField::fieldWithIdentifier("name", fnd::String("Full name"), nullptr);
    EXPECT_EQ(text->placeholder(), std::optional<fnd::String>("Full name"));
    EXPECT_TRUE(text->isEditable());
}

TEST(InspectorTextField, ValidityReachesTheBinding)
{
    auto model = fnd::makeObject<InspectorFieldTestModel>();
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("mail", nullptr);
    field->bind("isValid", *model, "valid");
    field->setValidationMethod(ZORInspectorValidationMethod::EMailAddress);
    struct Row {
        const char* text;
        bool valid;
    };
    const Row rows[] = { { "a@b.c", true }, { "@b.c", false }, { "a@b.", false }, { "ab", false } };
    for (const auto& row : rows) {
        field->setValue(row.text);
        EXPECT_EQ(field->isValid(), row.valid) << row.text;
        EXPECT_EQ(model->valid, fnd::Value(row.valid)) << row.text;
    }
    field->setValidationMethod(ZORInspectorValidationMethod::URL);
    field->setValue("example.org");
    EXPECT_TRUE(field->isValid());
    field->setValue("example");
    EXPECT_FALSE(field->isValid());
}

TEST(InspectorTextField, EmptyValues)
{
    auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("t", nullptr);
    const std::pair<fnd::Value, bool> rows[] = { { {}, true }, { " \n", true }, { 0, true }, { 0.5, false },
        { fnd::Array {}, true }, { "x", false }, { fnd::Set {}, true }, { fnd::Set { "x" }, false } };
    for (const auto& [value, empty] : rows) {
        field->setValue(value);
        EXPECT_EQ(field->isValueEmpty(), empty) << value.description().utf8();
    }
}
