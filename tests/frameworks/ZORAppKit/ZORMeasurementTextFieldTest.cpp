#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORAutoCompleteTextField/ZORAutoCompleteTextField.h"
#include "frameworks/ZORAppKit/ZORMeasurementTextField/ZORAppMeasurementTextField.h"
#include "frameworks/ZORAppKit/ZORNumberTextField/ZORNumberTextField.h"

#include "frameworks/AppKitExtensions/ZORNSFont_Extension.h"
#include "frameworks/AppKitExtensions/ZORNSTextFieldExtension.h"
#include "frameworks/FoundationExtensions/ZORAppMeasurementNumberFormatter.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/text/TextView.h"

#include "support/ArchiveEditing.h"

namespace measurementfieldtest {

// Remembers the texts a formatter refused and why.
class Refusals : public ui::ControlTextEditingDelegate {
public:
    bool controlDidFailToFormatString(ui::Control&, const fnd::String& string, const fnd::String& error) override
    {
        refused.push_back({ string, error });
        return false;
    }
    std::vector<std::pair<fnd::String, fnd::String>> refused;
};

class MeasurementFieldTest : public viewstest::ViewsTest {
protected:
    ~MeasurementFieldTest() override
    {
        for (auto key : { "ZORICPageUnitMeasurementType", "ZORICFontUnitMeasurementType",
                 "ZORICLineUnitMeasurementType", "ZORICTextRulerUnitMeasurementType" })
            fnd::UserDefaults::standardUserDefaults().removeObjectForKey(key);
    }
    // A field following the unit type, with a formatter of that type, showing 72 points.
    std::shared_ptr<ZORAppMeasurementTextField> fieldFor(DVNAppUnitType type, gfx::Rect frame)
    {
        auto field = ZORAppMeasurementTextField::create(frame);
        auto formatter = fnd::makeObject<ZORAppMeasurementNumberFormatter>();
        formatter->setAppUnitType(type);
        field->setFormatter(formatter);
        field->setCalUnitType(type);
        field->setObjectValue(72.0);
        add(field);
        return field;
    }
};

TEST_F(MeasurementFieldTest, SwitchingAUnitRedisplaysTheFieldsOfThatTypeInTheNewUnit)
{
    auto& centre = ZORApplicationMeasurementCenter::informationCenter();
    centre.setMeasurementUnitType(ZORMeasurementUnit::Millimeter, DVNAppUnit::Line);
    centre.setMeasurementUnitType(ZORMeasurementUnit::Point, DVNAppUnit::Font);
    auto line = fieldFor(DVNAppUnit::Line, { 20, 120, 160, 22 });
    auto font = fieldFor(DVNAppUnit::Font, { 20, 80, 160, 22 });
    EXPECT_EQ(line->calUnitType(), DVNAppUnit::Line) << "the type is kept";
    EXPECT_EQ(line->stringValue(), "25.4000 mm");
    EXPECT_EQ(font->stringValue(), "72.0000 pt");
    auto before = snapshot("ZORAppMeasurementTextField-mm");

    window->displayIfNeeded();
    centre.setMeasurementUnitType(ZORMeasurementUnit::Inch, DVNAppUnit::Line);
    EXPECT_EQ(line->stringValue(), "1.0000 in");
    EXPECT_TRUE(line->needsDisplay()) << "shown again";
    EXPECT_EQ(line->doubleValue(), 72.0) << "the same length";
    EXPECT_EQ(font->stringValue(), "72.0000 pt") << "another type's field stays";
    auto after = snapshot("ZORAppMeasurementTextField-in");
    int changed = 0;
    for (double x = 25.5; x < 175; x += 1)
        changed += pixelIn(*before, *line, { x - 20, 11 }) != pixelIn(*after, *line, { x - 20, 11 });
    EXPECT_GT(changed, 5) << "the new text is drawn";
}

TEST_F(MeasurementFieldTest, TypedLengthsAreReadInTheirOwnUnitAndTextWithoutANumberIsRefused)
{
    ZORApplicationMeasurementCenter::informationCenter().setMeasurementUnitType(
        ZORMeasurementUnit::Centimeter, DVNAppUnit::Page);
    auto field = fieldFor(DVNAppUnit::Page, { 20, 120, 160, 22 });
    auto cell = field->cell();
    cell->setStringValue("12.5 mm");
    EXPECT_NEAR(field->doubleValue(), 12.5 / 25.4 * 72, 1e-4);
    EXPECT_EQ(field->stringValue(), "1.2500 cm");

    auto formatter = field->formatter();
    auto refused = formatter->getObjectValue("abc");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), "\u201Cabc\u201D is not a length.");
}

TEST_F(MeasurementFieldTest, TypingALengthWithItsUnitGivesPointsAndBadTextChangesNothing)
{
    ZORApplicationMeasurementCenter::informationCenter().setMeasurementUnitType(
        ZORMeasurementUnit::Centimeter, DVNAppUnit::Page);
    auto field = fieldFor(DVNAppUnit::Page, { 20, 120, 160, 22 });
    auto refusals = std::make_shared<Refusals>();
    field->setDelegate(refusals);
    auto type = [&](const char16_t* text) {
        for (const char16_t* c = text; *c; ++c)
            backend->keyDown(*window, fnd::String(std::u16string(1, *c)), 0);
        backend->keyDown(*window, "\r", ui::KeyCode::Return);
        backend->dispatchEvents();
    };

    field->selectText();
    ASSERT_NE(field->currentEditor(), nullptr);
    type(u"12.5 mm");
    EXPECT_NEAR(field->doubleValue(), 35.43307, 1e-4) << "12.5 mm in points";
    EXPECT_EQ(field->stringValue(), "1.2500 cm");

    field->selectText();
    const int beeps = backend->beepCount();
    type(u"abc");
    ASSERT_EQ(refusals->refused.size(), 1u);
    EXPECT_EQ(refusals->refused[0].first, "abc");
    EXPECT_EQ(refusals->refused[0].second, "\u201Cabc\u201D is not a length.");
    EXPECT_NE(field->currentEditor(), nullptr) << "editing goes on";
    EXPECT_GT(backend->beepCount(), beeps);
    field->abortEditing();
    EXPECT_NEAR(field->doubleValue(), 35.43307, 1e-4) << "the length is unchanged";
    snapshot("ZORAppMeasurementTextField-typed");
}

TEST_F(MeasurementFieldTest, AutoCompletingFieldsCompleteAfterKeysButNotAfterSideArrows)
{
    auto field = ZORAutoCompleteTextField::create({ 20, 120, 160, 22 });
    add(field);
    field->setStringValue("alpha al");
    field->selectText();
    auto editor = std::dynamic_pointer_cast<ui::TextView>(field->currentEditor());
    ASSERT_NE(editor, nullptr);
    editor->setSelectedRange({ 8, 0 });
    auto keyUp = [&](const fnd::String& characters, unsigned short code) {
        backend->keyUp(*window, characters, code);
        backend->dispatchEvents();
    };
    keyUp(fnd::String(std::u16string(1, char16_t(0xF702))), 0x7B); // left arrow
    keyUp(fnd::String(std::u16string(1, char16_t(0xF703))), 0x7C); // right arrow
    keyUp(fnd::String(), ui::KeyCode::Shift); // a key that types nothing
    EXPECT_EQ(editor->string(), "alpha al") << "no completion";
    keyUp(fnd::String(std::u16string(1, char16_t(0xF700))), 0x7E); // up arrow
    EXPECT_EQ(editor->string(), "alpha alpha") << "completed from the text's own words";
}

TEST_F(MeasurementFieldTest, TheUnitTypeSurvivesBothArchives)
{
    auto field = ZORAppMeasurementTextField::create();
    field->setCalUnitType(DVNAppUnit::TextRuler);
    for (bool keyed : { true, false }) {
        auto data = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(field)
                          : fnd::SequentialArchiver::archivedDataWithRootObject(field);
        ASSERT_TRUE(data);
        auto decoded = (keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*data)
                              : fnd::SequentialUnarchiver::unarchiveObjectWithData(*data))
                           .objectAs<ZORAppMeasurementTextField>();
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(decoded->calUnitType(), DVNAppUnit::TextRuler) << (keyed ? "keyed" : "sequential");
    }
}

TEST_F(MeasurementFieldTest, NumberFieldsBuildTheirSuffixIntoTheFormatterOnlyWhenTheyHaveOne)
{
    auto made = ZORNumberTextField::create({ 20, 120, 160, 22 });
    EXPECT_TRUE(made->cell()->wraps()) << "made in code";
    EXPECT_EQ(made->stringValue(), "0.0000 %");
    made->setNumberOfDigitsAfterPoint(1);
    made->setShowNumberType(ZORNumberTextField::Degree);
    made->setDoubleValue(12.5);
    EXPECT_EQ(made->stringValue(), "12.5°");
    made->setShowNumberType(5);
    EXPECT_EQ(made->stringValue(), "12.5 dpi");
    made->setMaximum(100.0);
    EXPECT_EQ(std::dynamic_pointer_cast<fnd::NumberFormatter>(made->formatter())->maximum(), 100.0);
    EXPECT_EQ(made->inspectorClassName(), "ZORNumberTextFieldInspector");

    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="bare" class="ZORNumberTextField">
    <integer key="showNumberType">2</integer>
  </object>
  <object id="formatted" class="ZORNumberTextField">
    <integer key="numberOfDigitsAfterPoint">2</integer>
    <object key="formatter" class="NumberFormatter"/>
    <real key="doubleValue">3</real>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto bare = std::dynamic_pointer_cast<ZORNumberTextField>(loaded->objectsById.at("bare"));
    ASSERT_NE(bare, nullptr);
    // Made by name it is set up as in code, then the file's key changes the format; only one made in code wraps.
    EXPECT_FALSE(bare->cell()->wraps()) << "from an interface file";
    EXPECT_EQ(bare->showNumberType(), ZORNumberTextField::Degree);
    EXPECT_EQ(bare->stringValue(), "0.0000°");
    EXPECT_EQ(bare->maximum(), std::nullopt);
    auto formatted = std::dynamic_pointer_cast<ZORNumberTextField>(loaded->objectsById.at("formatted"));
    EXPECT_EQ(formatted->stringValue(), "3.00 %") << "the file's formatter takes the format once the file is loaded";
    EXPECT_FALSE(formatted->cell()->wraps()) << "from an interface file";

    auto decoded = fnd::KeyedUnarchiver::unarchiveObjectWithData(*fnd::KeyedArchiver::archivedDataWithRootObject(made))
                       .objectAs<ZORNumberTextField>();
    ASSERT_NE(decoded, nullptr);
    EXPECT_FALSE(decoded->cell()->wraps()) << "decoded from the archive of a field that wrapped";
    EXPECT_EQ(decoded->showNumberType(), 5);
    EXPECT_EQ(decoded->stringValue(), "12.5 dpi");
}

// One "0" per digit after the point goes into the format: 2,000,000,000 of them once ran out of memory loading an
// interface file.
TEST_F(MeasurementFieldTest, NumberFieldDigitsAfterThePointStopAtFifteenOnEveryPath)
{
    auto field = ZORNumberTextField::create({ 20, 120, 160, 22 });
    auto format = [](const ZORNumberTextField& f) {
        return std::dynamic_pointer_cast<fnd::NumberFormatter>(f.formatter())->format();
    };
    field->setNumberOfDigitsAfterPoint(2'000'000'000);
    EXPECT_EQ(field->numberOfDigitsAfterPoint(), 15u);
    EXPECT_EQ(format(*field), "#0.000000000000000 %") << "a point, fifteen zeros and the percent suffix";

    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="many" class="ZORNumberTextField"><integer key="numberOfDigitsAfterPoint">2000000000</integer></object>
  <object id="negative" class="ZORNumberTextField"><integer key="numberOfDigitsAfterPoint">-1</integer></object>
  <object id="huge" class="ZORNumberTextField"><real key="numberOfDigitsAfterPoint">1e300</real></object>
  <object id="sixteen" class="ZORNumberTextField"><integer key="numberOfDigitsAfterPoint">16</integer></object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    for (auto [id, digits] : { std::pair { "many", 15u }, { "negative", 0u }, { "huge", 15u }, { "sixteen", 15u } }) {
        auto loadedField = std::dynamic_pointer_cast<ZORNumberTextField>(loaded->objectsById.at(id));
        EXPECT_EQ(loadedField->numberOfDigitsAfterPoint(), digits) << id;
        EXPECT_EQ(loadedField->valueForKey("numberOfDigitsAfterPoint").integerValue(), digits) << id;
    }

    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(field);
    ASSERT_TRUE(archive);
    for (double digits : { -1.0, 16.0, 2e9 })
        EXPECT_FALSE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(
            testsupport::withRootKey(*archive, "numberOfDigitsAfterPoint", fnd::Value(digits))))
            << digits << " digits in an archive";
}

TEST_F(MeasurementFieldTest, AMarkedFieldShowsItsTextInTheColourAtTheSizeOfItsControl)
{
    auto field = ui::TextField::create({ 20, 120, 160, 22 });
    field->setStringValue("Sample");
    field->setAlignment(txt::TextAlignment::Right);
    field->setControlSize(ui::ControlSize::Small);
    add(field);
    ZORNSTextFieldExtension::markTextField(*field, gfx::Color::redColor());
    EXPECT_EQ(field->stringValue(), "Sample");
    auto text = field->attributedStringValue();
    auto font = text->attributeAtIndex(txt::FontAttributeName, 0).objectAs<gfx::Font>();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->pointSize(), gfx::Font::systemFontSizeForControlSize(ui::ControlSize::Small));
    EXPECT_TRUE(text->attributeAtIndex(txt::ForegroundColorAttributeName, 5)
                    .objectAs<gfx::Color>()
                    ->isEqual(*gfx::Color::redColor()));
    auto paragraph = text->attributeAtIndex(txt::ParagraphStyleAttributeName, 0).objectAs<txt::ParagraphStyle>();
    ASSERT_NE(paragraph, nullptr);
    EXPECT_EQ(paragraph->alignment(), txt::TextAlignment::Right);
    auto image = snapshot("ZORNSTextFieldExtension-marked");
    bool red = false;
    for (double x = 20.5; x < 180 && !red; x += 1)
        for (double y = 125.5; y < 140 && !red; y += 1)
            red = gfx::redOf(pixel(*image, x, y)) > 180 && gfx::greenOf(pixel(*image, x, y)) < 80;
    EXPECT_TRUE(red) << "red letters";
}

TEST(ZORNSFontExtensionTest, FullNamesJoinFamilyAndStyle)
{
    auto bold = gfx::Font::fontWithName("DejaVuSans-Bold", 12);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(ZORNSFont_Extension::fullDisplayName(*bold), "DejaVu Sans Bold");
    auto missing = gfx::Font::fontWithName("NoSuchFace-Regular", 12);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(ZORNSFont_Extension::fullDisplayName(*missing), missing->familyName()) << "no member of that name";
    EXPECT_FALSE(ZORNSFont_Extension::localizedNameOfMostCompatibleStringEncoding(*bold).isEmpty());
}

}
