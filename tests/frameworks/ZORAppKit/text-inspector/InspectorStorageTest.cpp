// The inspector's text built from its fields, its state, field list and display modes.
#include "InspectorTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Cell.h"

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

class InspectorStorageTest : public InspectorTest { };

std::shared_ptr<ZORTextViewInspectorTextField> InspectorStorageTestText(
    const char* identifier, const char* label, const char* placeholder = "none")
{
    return ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
        identifier, label ? Label::fieldLabelWithString(label) : nullptr, fnd::String(placeholder));
}

}

TEST_F(InspectorStorageTest, NoFieldsLeaveALineBreak)
{
    inspector->recreateFieldTextStorage();
    EXPECT_EQ(shown(), "\\n");
}

TEST_F(InspectorStorageTest, TextFieldCharactersAndRuns)
{
    inspector->setEditableState(true);
    auto name = InspectorStorageTestText("name", "Name", "Enter a name");
    name->setValue("Ada");
    auto city = InspectorStorageTestText("city", "City", "Enter a city");
    inspector->addField(name);
    inspector->addField(city);
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n");
    // The field's run covers label and value, not the line break.
    fnd::Range run;
    auto field = attributeAt(ZORTextInspectorAttribute::Field, rangeOf("Name").location, &run);
    EXPECT_EQ(field.object(), name);
    EXPECT_EQ(run, (fnd::Range { 1, 9 }));
    EXPECT_EQ(inspector->charRangeOfField(*name), (fnd::Range { 1, 9 }));
    // The value run carries the placeholder; the label carries the label mark and no placeholder.
    auto placeholder = attributeAt(ZORTextInspectorAttribute::PlaceholderValue, rangeOf("Ada").location, &run);
    EXPECT_EQ(placeholder, fnd::Value("Enter a name"));
    EXPECT_EQ(run, rangeOf("Ada"));
    EXPECT_EQ(attributeAt(ZORTextInspectorAttribute::Label, rangeOf("Name").location), fnd::Value(fnd::String()));
    EXPECT_TRUE(attributeAt(ZORTextInspectorAttribute::PlaceholderValue, rangeOf("Name").location).isNil());
    // A value shows in black, a placeholder in grey.
    auto colour = [&](const char* part) {
        return attributeAt(txt::ForegroundColorAttributeName, rangeOf(part).location).objectAs<gfx::Color>();
    };
    EXPECT_TRUE(colour("Ada")->isEqual(*gfx::Color::blackColor()));
    EXPECT_TRUE(colour("Enter a city")->isEqual(*gfx::Color::grayColor()));
    EXPECT_EQ(inspector->visibleFieldsArray().size(), 2u);
    EXPECT_EQ(inspector->stringRepresentation(), fnd::String("\nName Ada\nCity Enter a city\n"));
}

TEST_F(InspectorStorageTest, LabelsColonsAndSameLineFields)
{
    inspector->setEditableState(true);
    auto rating = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>(
        "rating", Label::fieldLabelWithString("Name"));
    auto colon
        = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>("r2", Label::fieldLabelWithString("Name:"));
    auto first = InspectorStorageTestText("first", "Given");
    first->setShouldAppendNewline(false);
    first->setValue("Ada");
    auto second = InspectorStorageTestText("second", nullptr);
    second->setValue("Lovelace");
    inspector->beginFieldEditing();
    inspector->addFieldsArray({ rating, colon, first, second });
    inspector->endFieldEditing();
    EXPECT_EQ(shown(), "\\n\\tName:\\t[o]\\n\\tName:\\t[o]\\n\\tGiven\\tAda Lovelace\\n");
}

TEST_F(InspectorStorageTest, CompoundFieldLabelsGoToTheFirstSubField)
{
    inspector->setEditableState(true);
    auto compound = fnd::makeObject<ZORTextViewInspectorCompoundField>();
    compound->setLabel(Label::fieldLabelWithString("Address"));
    auto street = InspectorStorageTestText("street", nullptr);
    street->setValue("Main St");
    auto city = InspectorStorageTestText("city", nullptr);
    city->setValue("Springfield");
    auto zip = InspectorStorageTestText("zip", nullptr);
    zip->setValue("12345");
    city->setShouldAppendNewline(false);
    compound->addField(street);
    compound->addField(city);
    compound->addField(zip);
    inspector->addField(compound);
    EXPECT_EQ(shown(), "\\n\\tAddress\\tMain St\\n\\t\\tSpringfield 12345\\n");
    EXPECT_EQ(inspector->visibleFieldsArray().size(), 3u);
}

TEST_F(InspectorStorageTest, ValueRunsByState)
{
    auto field = InspectorStorageTestText("t", "T", "enter");
    inspector->setEditableState(true);
    inspector->addField(field);
    struct Row {
        fnd::Value value;
        const char* text;
        bool grey;
    };
    const Row rows[] = {
        { fnd::Array { "a", "b" }, "Multiple Values", true },
        { fnd::Array {}, "No Selection", true },
        { "x", "x", false },
        { {}, "enter", true },
    };
    for (const auto& row : rows) {
        field->setValue(row.value);
        auto value = inspector->newTextFieldValueStringForTextField(*field);
        EXPECT_EQ(value.string().utf8(), row.text);
        auto colour = value.attributeAtIndex(txt::ForegroundColorAttributeName, 0).objectAs<gfx::Color>();
        EXPECT_EQ(colour->isEqual(*gfx::Color::grayColor()), row.grey) << row.text;
        EXPECT_EQ(value.attributeAtIndex(ZORTextInspectorAttribute::PlaceholderValue, 0), fnd::Value("enter"))
            << row.text;
        EXPECT_EQ(shown(), "\\n\\tT\\t" + std::string(row.text) + "\\n") << "the run is replaced in place";
    }
    // Not editable, empty value, a replacement text: the replacement in black.
    field->setNotEditableReplacementString("unknown");
    inspector->setEditableState(false);
    EXPECT_EQ(shown(), "\\n\\tT\\tunknown\\n");
    // Without a placeholder the grey text says so and nothing is editable.
    auto bare = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("b", nullptr);
    auto value = inspector->newTextFieldValueStringForTextField(*bare);
    inspector->setEditableState(true);
    value = inspector->newTextFieldValueStringForTextField(*bare);
    EXPECT_EQ(value.string(), fnd::String("missing placeholder"));
    EXPECT_TRUE(value.attributeAtIndex(ZORTextInspectorAttribute::PlaceholderValue, 0).isNil());
}

TEST_F(InspectorStorageTest, ViewFieldsWhenNotEditable)
{
    auto date
        = ZORTextViewInspectorField::make<ZORTextViewInspectorDateField>("date", Label::fieldLabelWithString("Born"));
    auto separator = ZORTextViewInspectorViewField::separatorField();
    auto rating = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>(
        "rating", Label::fieldLabelWithString("Stars"));
    auto checkbox
        = ZORTextViewInspectorField::make<ZORTextViewInspectorCheckboxField>("ok", Label::fieldLabelWithString("OK"));
    checkbox->setNotEditableReplacementString("yes indeed");
    inspector->addFieldsArray({ date, separator, rating, checkbox });
    // The date field leaves; the separator and the always-visible rating show their views; the check box its text.
    EXPECT_EQ(shown(), "\\n[o]\\n\\tStars:\\t[o]\\n\\tOK:\\tyes indeed\\n");
    EXPECT_EQ(rating->view()->superview(), inspector);
    EXPECT_EQ(checkbox->view()->superview(), nullptr);
    EXPECT_EQ(separator->view()->frame().width(),
        inspector->textContainer()->containerSize().width - 2 * inspector->textContainer()->lineFragmentPadding());
}

TEST_F(InspectorStorageTest, LabelWidth)
{
    auto field = InspectorStorageTestText("t", "Telephone");
    inspector->addField(field);
    txt::AttributedString measured("Telephone", ZORTextViewInspector::labelAttributes());
    EXPECT_EQ(inspector->maxLabelWidth(), std::trunc(static_cast<float>(measured.size().width + 20)));
    // Hidden fields still count.
    auto hidden = InspectorStorageTestText("h", "A much longer label than that");
    hidden->setHidden(true);
    inspector->addField(hidden);
    txt::AttributedString longer("A much longer label than that", ZORTextViewInspector::labelAttributes());
    EXPECT_EQ(inspector->maxLabelWidth(), std::trunc(static_cast<float>(longer.size().width + 20)));
    ZORTextViewInspector::setMinFieldLabelWidth(1000);
    inspector->recreateFieldTextStorage();
    EXPECT_EQ(inspector->maxLabelWidth(), 1000);
    ZORTextViewInspector::setMinFieldLabelWidth(0);
}

TEST_F(InspectorStorageTest, DeferredRebuilds)
{
    auto before = inspector->rebuildCount();
    inspector->beginFieldEditing();
    inspector->beginFieldEditing();
    inspector->addField(InspectorStorageTestText("a", "A"));
    inspector->setValueForFieldWithIdentifier("x", "a");
    inspector->setEditableState(true);
    inspector->endFieldEditing();
    EXPECT_EQ(inspector->rebuildCount(), before);
    inspector->endFieldEditing();
    EXPECT_EQ(inspector->rebuildCount(), before + 1);
    inspector->endFieldEditing();
    EXPECT_EQ(inspector->rebuildCount(), before + 2) << "an extra end rebuilds again";
    EXPECT_EQ(inspector->fieldEditingCounter(), 0);
    // An identifier nobody has changes nothing.
    inspector->setValueForFieldWithIdentifier("y", "nobody");
    EXPECT_EQ(inspector->rebuildCount(), before + 2);
}

// A list of fields is laid out once, not once per field, and shows as adding each in turn would; a null entry is
// passed over and a list of nothing rebuilds nothing.
TEST_F(InspectorStorageTest, AFieldListRebuildsOnce)
{
    inspector->setEditableState(true);
    auto before = inspector->rebuildCount();
    inspector->addFieldsArray({ InspectorStorageTestText("a", "A", "first"), nullptr,
        InspectorStorageTestText("b", "B", "second"), InspectorStorageTestText("c", "C", "third") });
    EXPECT_EQ(inspector->rebuildCount(), before + 1);
    EXPECT_EQ(inspector->fieldsArray().size(), 3u);
    EXPECT_EQ(shown(), "\\n\\tA\\tfirst\\n\\tB\\tsecond\\n\\tC\\tthird\\n");
    inspector->addFieldsArray({ nullptr });
    EXPECT_EQ(inspector->rebuildCount(), before + 1);
    inspector->addField(InspectorStorageTestText("d", "D", "fourth"));
    EXPECT_EQ(inspector->rebuildCount(), before + 2);
    EXPECT_EQ(inspector->visibleFieldsArray().size(), 4u);
}

TEST_F(InspectorStorageTest, DisplayModes)
{
    auto noSelection = ui::View::create({ 0, 0, 200, 50 });
    auto multiple = ui::View::create({ 0, 0, 100, 30 });
    ZORTextViewInspectorViewController::setSharedViews(noSelection, multiple);
    inspector->setMinSize({ 0, 0 });
    inspector->setVerticallyResizable(false);
    inspector->setFrame({ 0, 0, 301, 120 });
    inspector->setEditableState(true);
    inspector->addField(InspectorStorageTestText("a", "A"));
    auto count = inspector->rebuildCount();
    inspector->setDisplaymode(ZORInspectorDisplayMode::Fields);
    EXPECT_EQ(inspector->rebuildCount(), count) << "the mode it has";
    inspector->setDisplaymode(ZORInspectorDisplayMode::NoSelection);
    EXPECT_EQ(shown(), "\\n");
    EXPECT_EQ(noSelection->superview(), inspector);
    EXPECT_EQ(noSelection->frame().origin, (gfx::Point { 50, 35 }));
    inspector->setDisplaymode(ZORInspectorDisplayMode::MultipleSelection);
    EXPECT_EQ(noSelection->superview(), nullptr);
    EXPECT_EQ(multiple->superview(), inspector);
    inspector->setDisplaymode(ZORInspectorDisplayMode::Fields);
    EXPECT_EQ(shown(), "\\n\\tA\\tnone\\n");
    EXPECT_EQ(multiple->superview(), nullptr);
    ZORTextViewInspectorViewController::setSharedViews(nullptr, nullptr);
    EXPECT_NE(ZORTextViewInspectorViewController::noSelectionView(), nullptr) << "from the interface file";
}

TEST_F(InspectorStorageTest, RemoveAllFieldsLeavesNothingBehind)
{
    inspector->setEditableState(true);
    auto phone = InspectorStorageTestText("phone", nullptr);
    phone->setLabelArray({ Label::fieldLabelWithString("work", "W"), Label::fieldLabelWithString("home", "H") });
    phone->setLabel(phone->labelArray()[0]);
    auto rating
        = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>("r", Label::fieldLabelWithString("R"));
    inspector->addFieldsArray({ phone, rating });
    EXPECT_EQ(inspector->subviews().size(), 2u) << "the label pop-up and the rating";
    inspector->removeAllFields();
    EXPECT_TRUE(inspector->subviews().empty());
    EXPECT_TRUE(inspector->visibleFieldsArray().empty());
    EXPECT_TRUE(inspector->fieldsArray().empty());
    EXPECT_EQ(shown(), "");
}

TEST_F(InspectorStorageTest, DelegateIsNotKeptAlive)
{
    auto delegate = std::make_shared<ZORTextViewInspectorDelegate>();
    inspector->setInspectorDelegate(delegate);
    EXPECT_EQ(inspector->inspectorDelegate(), delegate);
    std::weak_ptr<ZORTextViewInspectorDelegate> weak = delegate;
    delegate.reset();
    EXPECT_TRUE(weak.expired());
}
