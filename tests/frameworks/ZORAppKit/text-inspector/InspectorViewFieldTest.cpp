// View-hosting fields, compound, URL and e-mail fields, and where the inspector places hosted views.
#include "InspectorTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorLayout.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/FoundationExtensions/ZORLanguageLocale.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/text/LayoutManager.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/LevelIndicator.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/text/DatePicker.h"

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

class InspectorViewFieldModel : public fnd::Object {
    FND_OBJECT(InspectorViewFieldModel)
    static void describeClass(fnd::ClassBuilder<InspectorViewFieldModel>& c)
    {
        c.property("value", &InspectorViewFieldModel::value);
    }

public:
    fnd::Value value;
};

// Records what the workspace was asked to open.
class InspectorViewFieldTest : public InspectorTest {
protected:
    InspectorViewFieldTest()
    {
        previous = fnd::Workspace::sharedWorkspace().setOpener([this](const fnd::String& uri) -> fnd::Expected<void> {
            opened.push_back(uri.utf8());
            return {};
        });
    }
    ~InspectorViewFieldTest() override { fnd::Workspace::sharedWorkspace().setOpener(previous); }
    template <typename T> std::shared_ptr<T> bound(std::shared_ptr<InspectorViewFieldModel>& model)
    {
        auto field = ZORTextViewInspectorField::make<T>("v", Label::fieldLabelWithString("V"));
        model = fnd::makeObject<InspectorViewFieldModel>();
        field->bind("value", *model, "value");
        return field;
    }
    std::vector<std::string> opened;
    fnd::Workspace::Opener previous;
};

}

FND_REGISTER_CLASS(InspectorViewFieldModel, fnd::Object)

TEST_F(InspectorViewFieldTest, RatingValuesAndAction)
{
    std::shared_ptr<InspectorViewFieldModel> model;
    auto field = bound<ZORTextViewInspectorRatingField>(model);
    auto indicator = std::dynamic_pointer_cast<ui::LevelIndicator>(field->view());
    ASSERT_NE(indicator, nullptr);
    const std::pair<fnd::Value, long> rows[]
        = { { 4, 4 }, { fnd::Array { 3, 3 }, 3 }, { fnd::Array { 3, 4 }, 0 }, { 2, 2 }, { {}, 0 } };
    for (const auto& [value, level] : rows) {
        field->setValue(value);
        EXPECT_EQ(indicator->integerValue(), level) << value.description().utf8();
    }
    indicator->setIntegerValue(5);
    field->ratingChanged({});
    EXPECT_EQ(model->value, fnd::Value(5));
    EXPECT_TRUE(field->viewShouldAlwaysBeVisible());
}

TEST_F(InspectorViewFieldTest, ColourValuesAndAction)
{
    std::shared_ptr<InspectorViewFieldModel> model;
    auto field = bound<ZORTextViewInspectorColorField>(model);
    auto well = std::dynamic_pointer_cast<ui::ColorWell>(field->view());
    auto red = gfx::Color::redColor();
    field->setValue(fnd::Value(red));
    EXPECT_EQ(well->color(), red);
    field->setValue({});
    EXPECT_TRUE(well->color()->isEqual(*gfx::Color::blackColor()));
    field->setValue(fnd::Value(red));
    field->setValue(fnd::Array { fnd::Null {} });
    EXPECT_EQ(well->color(), nullptr) << "only null: no colour";
    field->setValue(fnd::Array { fnd::Value(red), fnd::Value(gfx::Color::blueColor()) });
    EXPECT_EQ(well->color(), nullptr) << "several: no colour";
    // No colour is drawn white, struck through in red, not black.
    inspector->setEditableState(true);
    inspector->addField(field);
    auto image = snapshot();
    (void)image;
    image = snapshot();
    auto swatch = well->bounds();
    auto corner = pixelIn(*image, *well, { swatch.midX() - swatch.width() / 4, swatch.midY() + swatch.height() / 5 });
    EXPECT_GT(luminance(corner), 200) << "white beside the stroke";
    well->setColor(gfx::Color::blueColor());
    field->colorWellChanged({});
    ASSERT_NE(model->value.objectAs<gfx::Color>(), nullptr);
    EXPECT_TRUE(model->value.objectAs<gfx::Color>()->isEqual(*gfx::Color::blueColor()));
}

TEST_F(InspectorViewFieldTest, DateValuesAndAction)
{
    std::shared_ptr<InspectorViewFieldModel> model;
    auto field = bound<ZORTextViewInspectorDateField>(model);
    auto picker = std::dynamic_pointer_cast<ui::DatePicker>(field->view());
    auto date = fnd::Date::fromReferenceDate(86400 * 365);
    field->setValue(date);
    EXPECT_EQ(picker->dateValue(), date);
    field->setValue("not a date");
    EXPECT_FALSE(picker->dateValue().has_value());
    picker->setDateValue(date);
    field->dateChanged({});
    EXPECT_EQ(model->value, fnd::Value(date));
    EXPECT_FALSE(field->shouldBeVisibleWithEditableState(false)) << "no replacement text";
}

TEST_F(InspectorViewFieldTest, CheckboxStatesAndAction)
{
    std::shared_ptr<InspectorViewFieldModel> model;
    auto field = bound<ZORTextViewInspectorCheckboxField>(model);
    auto box = std::dynamic_pointer_cast<ui::Button>(field->view());
    field->setValue({});
    EXPECT_FALSE(box->isEnabled());
    field->setValue(true);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(box->state(), ui::ControlStateValue::On);
    field->setValue(fnd::Array { true, false });
    EXPECT_EQ(box->state(), ui::ControlStateValue::Mixed);
    // Clicking never yields the mixed state.
    box->setState(ui::ControlStateValue::On);
    field->checkboxStateChanged({});
    EXPECT_EQ(model->value, fnd::Value(true));
    box->setState(ui::ControlStateValue::Off);
    field->checkboxStateChanged({});
    EXPECT_EQ(model->value, fnd::Value(0));
    field->setValue(fnd::Array {});
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->state(), ui::ControlStateValue::Off);
}

TEST_F(InspectorViewFieldTest, CountryValues)
{
    std::shared_ptr<InspectorViewFieldModel> model;
    auto field = bound<ZORTextViewInspectorCountryField>(model);
    field->setCountryLocales({ std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("DE"),
        std::make_shared<ZORCountryLocale>("FR") });
    auto popup = std::dynamic_pointer_cast<ui::PopUpButton>(field->view());
    field->setValue("de");
    EXPECT_EQ(popup->indexOfSelectedItem(), 1);
    field->setValue("XX");
    EXPECT_GE(popup->indexOfSelectedItem(), 0) << "the current locale's country, else the first";
    field->setValue(fnd::Array { "DE", "FR" });
    EXPECT_EQ(popup->title(), fnd::String("Multiple Values"));
    // The stand-in text is one item while it shows, and never a choice.
    field->setValue(fnd::Array {});
    EXPECT_EQ(popup->title(), fnd::String("No Selection"));
    EXPECT_EQ(popup->numberOfItems(), 3 + 1);
    popup->selectItemAtIndex(3);
    field->countryPopUpButtonChanged({});
    EXPECT_TRUE(model->value.isNil()) << "choosing the stand-in writes nothing";
    field->setValue(fnd::Array { "DE", "FR" });
    popup->selectItemAtIndex(2);
    field->countryPopUpButtonChanged({});
    EXPECT_EQ(model->value, fnd::Value("FR"));
    EXPECT_EQ(popup->numberOfItems(), 3) << "gone once a country is chosen";
    field->setValue(fnd::Array { "DE", "FR" });
    field->setValue("AT");
    EXPECT_EQ(popup->numberOfItems(), 3) << "gone once a single value shows";
    EXPECT_EQ(popup->titleOfSelectedItem(), fnd::String("Austria"));
}

TEST_F(InspectorViewFieldTest, CountryAndLanguageLocales)
{
    auto country = ZORTextViewInspectorCountryField::fieldWithIdentifier("c", Label::fieldLabelWithString("C"));
    auto language = ZORTextViewInspectorLanguageField::fieldWithIdentifier("l", Label::fieldLabelWithString("L"));
    EXPECT_GT(country->countryLocales().size(), 100u) << "every named country by default";
    EXPECT_FALSE(language->languageLocales().empty());
    country->setCountryLocales({ std::make_shared<ZORCountryLocale>("FR"), std::make_shared<ZORCountryLocale>("DE") });
    auto popup = std::dynamic_pointer_cast<ui::PopUpButton>(country->view());
    EXPECT_EQ(popup->numberOfItems(), 2);
    EXPECT_EQ(popup->itemTitleAtIndex(1), fnd::String("Germany"));
    auto list = country->valueForKey("countryLocales");
    ASSERT_NE(list.array(), nullptr);
    ASSERT_EQ(list.array()->size(), 2u);
    EXPECT_EQ(list.array()->front().objectAs<ZORCountryLocale>()->localeIdentifier(), fnd::String("FR"));
    language->setLanguageLocales({ std::make_shared<ZORLanguageLocale>("de") });
    language->setValue("de");
    EXPECT_EQ(
        std::dynamic_pointer_cast<ui::PopUpButton>(language->view())->titleOfSelectedItem(), fnd::String("German"));
}

// The pop-up shows the list through an array controller: its items are the controller's arranged entries, its
// choice the controller's selection, and a chosen item gives the code of the entry it shows.
TEST_F(InspectorViewFieldTest, CountryPopUpFollowsItsArrayController)
{
    std::shared_ptr<InspectorViewFieldModel> model;
    auto field = bound<ZORTextViewInspectorCountryField>(model);
    auto popup = std::dynamic_pointer_cast<ui::PopUpButton>(field->view());
    auto controller = field->localeController();
    ASSERT_NE(controller, nullptr);
    EXPECT_GT(popup->numberOfItems(), 100) << "filled from the default list through the bindings";
    auto locale = [](const char* code) { return fnd::Value(std::make_shared<ZORCountryLocale>(code)); };
    using Titles = std::vector<fnd::String>;

    // A list set by key, with a stray value that is no country, reaches the pop-up through the controller.
    field->setValueForKey(fnd::Array { locale("FR"), locale("AT"), fnd::Value("IT"), locale("DE") }, "countryLocales");
    EXPECT_EQ(popup->itemTitles(), (Titles { "France", "Austria", "Germany" }));

    field->setValue("de");
    EXPECT_EQ(controller->selectionIndex(), 2u);
    EXPECT_EQ(popup->titleOfSelectedItem(), fnd::String("Germany"));

    // Sorted by name: the items follow, the choice stays, and a chosen item gives its own entry's code.
    controller->setSortDescriptors({ fnd::SortDescriptor::sortDescriptorWithKey("displayName") });
    EXPECT_EQ(popup->itemTitles(), (Titles { "Austria", "France", "Germany" }));
    EXPECT_EQ(popup->titleOfSelectedItem(), fnd::String("Germany"));
    popup->popUpCell()->chooseItemAtIndex(1);
    EXPECT_EQ(model->value, fnd::Value("FR"));
    EXPECT_EQ(controller->selectionIndex(), 1u) << "the choice goes back to the controller";

    // Several values: nothing selected, the stand-in shows; choosing it changes neither model nor controller.
    field->setValue(fnd::Array { "DE", "at" });
    EXPECT_TRUE(controller->selectionIndexes().isEmpty());
    EXPECT_EQ(popup->titleOfSelectedItem(), fnd::String("Multiple Values"));
    ASSERT_EQ(popup->numberOfItems(), 4);
    popup->popUpCell()->chooseItemAtIndex(3);
    EXPECT_EQ(model->value, fnd::Value("FR"));
    EXPECT_TRUE(controller->selectionIndexes().isEmpty());
    // One code given twice is one value.
    field->setValue(fnd::Array { "AT", "at" });
    EXPECT_EQ(popup->itemTitles(), (Titles { "Austria", "France", "Germany" }));
    EXPECT_EQ(popup->titleOfSelectedItem(), fnd::String("Austria"));
    EXPECT_TRUE(popup->isEnabled());

    // Languages match their codes as given: "DE" is no language code, so the first entry (English is not listed).
    auto language = ZORTextViewInspectorField::make<ZORTextViewInspectorLanguageField>("l", nullptr);
    language->setLanguageLocales(
        { std::make_shared<ZORLanguageLocale>("fr"), std::make_shared<ZORLanguageLocale>("de") });
    language->setValue("de");
    EXPECT_EQ(language->localeController()->selectionIndex(), 1u);
    language->setValue("DE");
    EXPECT_EQ(language->localeController()->selectionIndex(), 0u);
}

TEST_F(InspectorViewFieldTest, CopiesMakeTheirOwnControls)
{
    auto button = ZORTextViewInspectorField::make<ZORTextViewInspectorSmallButtonField>("b", nullptr);
    auto copy = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(button->copy());
    ASSERT_NE(copy->view(), nullptr) << "a copied button field has a button";
    EXPECT_NE(copy->view(), button->view());
    auto separator = ZORTextViewInspectorViewField::separatorField();
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_TRUE(separator->shouldBeVisibleWithEditableState(false));
    EXPECT_NE(separator->identifier(), fnd::String());
}

TEST_F(InspectorViewFieldTest, URLFieldButtonFollowsValidityAndOpens)
{
    auto url = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorURLField>("homepage", nullptr);
    auto text = url->fieldAtIndex(0);
    auto button = std::dynamic_pointer_cast<ui::Button>(
        std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(url->fieldAtIndex(1))->view());
    ASSERT_NE(button, nullptr);
    text->setValue("example");
    EXPECT_FALSE(button->isEnabled());
    text->setValue("example.org");
    EXPECT_TRUE(button->isEnabled());
    // A scheme written out makes an address of a host without a dot; the scheme alone is none.
    for (const auto& [address, opens] : { std::pair { "http://localhost:8080", true }, { "file:///srv/pictures", true },
             { "https://", false }, { "://example", false }, { "my pictures://x", false } }) {
        text->setValue(address);
        EXPECT_EQ(button->isEnabled(), opens) << address;
    }
    text->setValue("example.org");
    url->openURLAction({});
    text->setValue("https://example.org/a");
    url->openURLAction({});
    // The one address of a set of selected objects.
    text->setValue(fnd::Set { "c.org" });
    url->openURLAction({});
    auto beeps = backend->beepCount();
    text->setValue(fnd::Array { "a.org", "b.org" });
    url->openURLAction({});
    EXPECT_EQ(backend->beepCount(), beeps + 1);
    EXPECT_EQ(opened, (std::vector<std::string> { "http://example.org", "https://example.org/a", "http://c.org" }));
    // Not editable and empty: text and button both leave.
    text->setValue({});
    EXPECT_FALSE(url->shouldBeVisibleWithEditableState(false));
    EXPECT_TRUE(url->shouldBeVisibleWithEditableState(true));
}

// Inside an inspector the buttons keep what the address's validity says, through every rebuild.
TEST_F(InspectorViewFieldTest, URLAndEmailButtonsInAnInspectorFollowValidity)
{
    auto url = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorURLField>("homepage", nullptr);
    auto mail = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorEmailField>("mail", nullptr);
    url->setEditable(true);
    mail->setEditable(true);
    auto buttonOf = [](ZORTextViewInspectorCompoundField& field) {
        return std::dynamic_pointer_cast<ui::Button>(
            std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field.fieldAtIndex(1))->view());
    };
    url->fieldAtIndex(0)->setValue("example");
    mail->fieldAtIndex(0)->setValue("ada");
    inspector->setEditableState(true);
    inspector->addFieldsArray({ url, mail });
    EXPECT_FALSE(buttonOf(*url)->isEnabled()) << "\"example\" is no address";
    EXPECT_FALSE(buttonOf(*mail)->isEnabled());
    inspector->setEditableState(false);
    inspector->setEditableState(true);
    EXPECT_FALSE(buttonOf(*url)->isEnabled()) << "a rebuild keeps it off";
    // Typed valid: on, and on after a rebuild.
    inspector->jumpToField(url->fieldAtIndex(0));
    inspector->insertText(fnd::Value("example.org"));
    inspector->endEditing();
    EXPECT_TRUE(buttonOf(*url)->isEnabled());
    inspector->recreateFieldTextStorage();
    EXPECT_TRUE(buttonOf(*url)->isEnabled());
    EXPECT_FALSE(buttonOf(*mail)->isEnabled());
    url->openURLAction({});
    EXPECT_EQ(opened, (std::vector<std::string> { "http://example.org" }));
}

TEST_F(InspectorViewFieldTest, RowButtonsShowTheirPicturesAndDatesTheirWholeYear)
{
    auto add = ZORTextViewInspector::addButton(), remove = ZORTextViewInspector::removeButton();
    ASSERT_NE(add->image(), nullptr) << "the + picture on first use";
    ASSERT_NE(remove->image(), nullptr) << "the - picture on first use";
    EXPECT_NE(add->image(), remove->image());
    auto date = ZORTextViewInspectorField::make<ZORTextViewInspectorDateField>("d", Label::fieldLabelWithString("D"));
    auto picker = std::dynamic_pointer_cast<ui::DatePicker>(date->view());
    ASSERT_NE(picker, nullptr);
    EXPECT_GE(picker->frame().width(), picker->cell()->cellSizeForBounds(picker->bounds()).width)
        << "day, month and the four digits of the year fit";
    EXPECT_GE(picker->frame().width(), 68);
    EXPECT_EQ(picker->frame().height(), 18);
}

TEST_F(InspectorViewFieldTest, EmailAddressIsEscaped)
{
    auto mail = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorEmailField>("mail", nullptr);
    mail->fieldAtIndex(0)->setValue("ada@example.org?cc=eve@example.org");
    mail->writeEmailAction({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "mailto:ada@example.org%3Fcc=eve@example.org");
}

TEST_F(InspectorViewFieldTest, HostedViewFramesAfterADrawPass)
{
    inspector->setEditableState(true);
    auto rating
        = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>("r", Label::fieldLabelWithString("Rating"));
    auto check
        = ZORTextViewInspectorField::make<ZORTextViewInspectorCheckboxField>("c", Label::fieldLabelWithString("Done"));
    inspector->addFieldsArray({ rating, check });
    EXPECT_TRUE(rating->view()->isHidden()) << "until drawn";
    draw();
    EXPECT_FALSE(rating->view()->isHidden());
    // Each view stands where its attachment is laid out.
    auto manager = inspector->layoutManager();
    for (const auto& field : { std::static_pointer_cast<ZORTextViewInspectorViewField>(rating),
             std::static_pointer_cast<ZORTextViewInspectorViewField>(check) }) {
        auto range = inspector->charRangeOfField(*field);
        auto at = inspector->textStorage()->string().rangeOfString(fnd::String(u"\uFFFC"), {}, range).location;
        auto rect = manager->boundingRectForGlyphRange({ at, 1 }, *inspector->textContainer());
        auto frame = field->view()->frame();
        EXPECT_EQ(frame.minX(), rect.minX() + inspector->textContainerOrigin().x) << field->identifier().utf8();
        EXPECT_FALSE(field->view()->isHidden());
    }
    // The width-adjusted check box spans the value column.
    auto container = inspector->textContainer();
    EXPECT_EQ(check->view()->frame().width(),
        container->containerSize().width - inspector->maxLabelWidth() - container->lineFragmentPadding() - 10);
}

TEST_F(InspectorViewFieldTest, CellNudgesByControlKind)
{
    auto cell = fnd::makeObject<ZORTextViewInspectorViewTextAttachmentCell>();
    auto font = ZORTextViewInspector::labelFont();
    cell->setLabelFont(font);
    auto popup = ui::PopUpButton::create({ 0, 0, 80, 20 });
    popup->setBordered(true);
    cell->setView(popup);
    gfx::Rect proposed { 0, 0, 300, 17 };
    auto frame = cell->cellFrameForTextContainer(*inspector->textContainer(), proposed, {}, 0);
    EXPECT_EQ(frame.minY(), std::floor(font->descender() + font->leading() - 1.5 - 2));
    // A view kept off its attachment takes 1 × 6 points.
    cell->setViewShouldNotShowAtAttachmentPosition(true);
    cell->setOverrideCellSize({ 1, 6 });
    EXPECT_EQ(cell->cellSize(), (gfx::Size { 1, 6 }));
    EXPECT_EQ(cell->cellBaselineOffset(), (gfx::Point { -1, 0 }));
}

TEST_F(InspectorViewFieldTest, MinimumHeightsAndInsets)
{
    inspector->setEditableState(true);
    auto first
        = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("a", Label::fieldLabelWithString("A"), "a");
    first->setMinimumHeight(40);
    auto second
        = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("b", Label::fieldLabelWithString("B"), "b");
    second->setInsetValue(12);
    auto third
        = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("c", Label::fieldLabelWithString("C"), "c");
    inspector->addFieldsArray({ first, second, third });
    draw();
    EXPECT_GE(second->lineFragmentRect().minY(), first->lineFragmentRect().minY() + 40 - 0.001);
    EXPECT_EQ(second->lineFragmentRect().minX(), 12);
    // The third follows the second normally.
    EXPECT_LT(third->lineFragmentRect().minY() - second->lineFragmentRect().minY(), 40);
    second->setSuppressMinimumHeight(true);
    inspector->recreateFieldTextStorage();
    draw();
    EXPECT_LT(second->lineFragmentRect().minY() - first->lineFragmentRect().minY(), 40);
}

TEST_F(InspectorViewFieldTest, AFormDrawsItsFieldsAndTheRaisedEditor)
{
    inspector->setEditableState(true);
    auto name = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
        "name", Label::fieldLabelWithString("Name"), "Enter a name");
    name->setValue("Ada Lovelace");
    auto mail = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorEmailField>("mail", nullptr);
    mail->setLabel(Label::fieldLabelWithString("E-mail"));
    mail->fieldAtIndex(0)->setLabel(nullptr);
    mail->fieldAtIndex(0)->setValue("ada@example.org");
    auto rating = ZORTextViewInspectorField::make<ZORTextViewInspectorRatingField>(
        "rating", Label::fieldLabelWithString("Rating"));
    rating->setValue(3);
    auto check = ZORTextViewInspectorField::make<ZORTextViewInspectorCheckboxField>(
        "done", Label::fieldLabelWithString("Done"));
    check->setValue(true);
    auto city = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
        "city", Label::fieldLabelWithString("City"), "Enter a city");
    inspector->addFieldsArray({ name, mail, ZORTextViewInspectorViewField::separatorField(), rating, check, city });
    inspector->jumpToField(city);
    auto image = snapshot("text-inspector-form");
    // The edited run has a grey outline; the label column is dark grey text on white.
    auto selected = inspector->selectedRect();
    ASSERT_GT(selected.width(), 0);
    auto frameOf = [&](gfx::Point p) {
        return pixel(*image, inspector->convertPointToView(p, nullptr).x, inspector->convertPointToView(p, nullptr).y);
    };
    auto outline = frameOf({ selected.minX() - 1.5, selected.midY() });
    EXPECT_LT(outline & 0xFF, 0xF0) << "outline left of the edited run";
    EXPECT_FALSE(rating->view()->isHidden());
}
