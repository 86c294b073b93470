#include "BarcodeTestSupport.h"
#include "TestSymbologies.h"

#include "barcodes/EAN13.h"

#include "platform/text/LayoutManager.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

std::shared_ptr<TBQGenericBarcode> make(const char* className)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(className);
    EXPECT_TRUE(barcode) << className;
    return barcode;
}

}

TEST(GenericBarcode, DefaultsAsCreatedByName)
{
    auto b = make("TBQGenericBarcode");
    EXPECT_EQ(b->barWidth(), 0.9354330897331238);
    EXPECT_EQ(b->height(), 74.43779754638672);
    ASSERT_TRUE(b->font());
    EXPECT_EQ(b->font()->fontName(), String("Monaco"));
    EXPECT_EQ(b->font()->pointSize(), 10);
    EXPECT_TRUE(b->drawCaption());
    EXPECT_TRUE(b->shouldDrawBackground());
    EXPECT_FALSE(b->convertTextToVector());
    EXPECT_TRUE(b->calcQuietZone());
    EXPECT_FALSE(b->calculateChecksum());
    EXPECT_NEAR(b->quietZoneLeft(), 10.28976, 1e-5);
    EXPECT_NEAR(b->quietZoneRight(), 10.28976, 1e-5);
    EXPECT_NEAR(b->quietZoneTop(), 5.14488, 1e-5);
    EXPECT_NEAR(b->quietZoneBottom(), 5.14488, 1e-5);
    EXPECT_TRUE(b->content().isEmpty());
    EXPECT_EQ(b->completeEncodedBarcode(), "");
    EXPECT_EQ(TBQGenericBarcode::barcodeWithClassName("NoSuchSymbology"), nullptr);
    EXPECT_EQ(TBQGenericBarcode::barcodeWithClassName("TBQDataEntry"), nullptr);
}

TEST(GenericBarcode, SettersThatChangeNothingStayQuiet)
{
    auto b = make("TestPatterned");
    auto delegate = std::make_shared<RecordingDelegate>();
    b->setDelegate(delegate);
    b->setContent("12");
    auto afterFirst = delegate->calls.size();
    EXPECT_EQ(afterFirst, 1u);
    b->setContent("12");
    EXPECT_EQ(delegate->calls.size(), afterFirst);

    auto font = b->font();
    b->setFontSize(0);
    b->setFontSize(-3);
    EXPECT_EQ(b->font(), font);
    b->setFontSize(14);
    EXPECT_EQ(b->fontSize(), 14);
    EXPECT_EQ(b->font()->fontName(), String("Monaco"));

    double x = b->barWidth();
    b->setWidth(0);
    EXPECT_EQ(b->barWidth(), x);

    // Clearing a bound field sets nil: ignored for the sizes, refused for other scalar keys.
    for (const char* key : { "barWidth", "height", "fontSize" })
        EXPECT_NO_THROW(b->setValueForKey(Value(), key)) << key;
    EXPECT_EQ(b->barWidth(), x);
    EXPECT_EQ(b->fontSize(), 14);
    EXPECT_THROW(b->setValueForKey(Value(), "fontOffset"), Exception);
}

TEST(GenericBarcode, WidthSetsTheModuleWidth)
{
    auto b = make("TestPatterned");
    b->setContent("1234567890"); // 2 + 10 x 3 + 9 + 1 + 3 (check) + 1 + 3 = 49 modules
    auto modules = b->completeEncodedBarcode().size();
    b->setWidth(100);
    EXPECT_DOUBLE_EQ(b->barWidth(), 100.0 / static_cast<double>(modules));
    EXPECT_DOUBLE_EQ(b->width(), 100);
}

TEST(GenericBarcode, PipelineJoinsStartCharactersCheckAndStop)
{
    auto b = make("TestPatterned");
    b->setContent("12");
    EXPECT_EQ(b->checksum(), String("3"));
    EXPECT_TRUE(b->calculateChecksum());
    // encode(1) S encode(2) S encode(3)
    EXPECT_EQ(b->encodedContent(),
        "101"
        "0"
        "102"
        "0"
        "103");
    EXPECT_EQ(b->completeEncodedBarcode(),
        "11"
        "0"
        "1010102"
        "0"
        "103"
        "0"
        "111");
    // Mended: switching a mandatory check off leaves it in place rather than drawing the symbol without it.
    b->setCalculateChecksum(false);
    EXPECT_TRUE(b->calculateChecksum());
    EXPECT_EQ(b->checksum(), String("3"));
    // The separator before the check character is there even without content.
    b->setContent("");
    EXPECT_EQ(b->encodedContent(), "0103");
}

TEST(GenericBarcode, ModuleStringHelpers)
{
    EXPECT_EQ(BarcodeExtension::expandWidthPattern("3211"), "1110010");
    EXPECT_EQ(BarcodeExtension::expandWidthPattern("1x1"), "11");
    EXPECT_EQ(BarcodeExtension::expandWidthPattern(""), "");
    EXPECT_EQ(BarcodeExtension::swapHandedness("0001101"), "1110010");
    EXPECT_EQ(BarcodeExtension::swapParity("0001101"), "0100111");
    EXPECT_EQ(gs1AIToString(1), "(01)");
    EXPECT_EQ(gs1AIToString(100), "(100)");
    EXPECT_EQ(gs1AIToString(3100), "(3100)");
    EXPECT_EQ(barcodeDigitValue('Z'), 35);
    EXPECT_EQ(barcodeIndexOfChar("ABC", 'Q'), 0);
    std::string text = "(01)";
    barcodeAppendString(text, "0950");
    barcodeAppendString(text, "");
    EXPECT_EQ(text, "(01)0950");
}

TEST(GenericBarcode, InitWithContentIsInitThenTheContent)
{
    // Constructed only: no defaults yet, as before an initializer runs.
    auto direct = std::make_shared<EAN13>();
    direct->initWithContent("400638133393");
    auto byName = make("EAN13");
    byName->setContent("400638133393");
    EXPECT_EQ(direct->content(), String("400638133393"));
    EXPECT_EQ(direct->checksum(), String("1")) << "4006381333931";
    EXPECT_EQ(direct->barWidth(), 0.9354330897331238);
    EXPECT_EQ(direct->completeEncodedBarcode(), byName->completeEncodedBarcode());
    EXPECT_EQ(direct->workAreaSize(), byName->workAreaSize());
}

TEST(GenericBarcode, AddOnTakesTheMainBarcodesSettings)
{
    auto main = make("TestPatterned");
    main->setName("main");
    auto addOn = make("TestPatterned");
    addOn->setName("addon");
    main->setAddOn(addOn);
    EXPECT_TRUE(addOn->isAddOn());
    EXPECT_TRUE(main->hadAddOn());

    auto delegate = std::make_shared<RecordingDelegate>();
    main->setDelegate(delegate);
    main->setBarColor(gfx::Color::colorWithCalibratedRed(1, 0, 0, 1));
    EXPECT_EQ(delegate->calls, (std::vector<std::string> { "drawing addon", "drawing main" }));
    EXPECT_TRUE(addOn->barColor()->isEqual(*main->barColor()));

    main->setHeight(30);
    EXPECT_EQ(addOn->height(), 30);
    // Not handed on: the background switch.
    main->setShouldDrawBackground(false);
    EXPECT_TRUE(addOn->shouldDrawBackground());
}

TEST(GenericBarcode, QuietZoneAndBarExtents)
{
    auto b = make("TestPatterned");
    b->setBarWidth(0.5);
    EXPECT_NEAR(b->quietZoneLeft(), 7.0866142, 1e-9);
    EXPECT_NEAR(b->quietZoneTop(), 3.5433071, 1e-9);

    double lineHeight = txt::defaultLineHeight(*b->font());
    b->setCalcQuietZone(false);
    b->setQuietZone({ 4, lineHeight - 2, 6, 3 });
    EXPECT_DOUBLE_EQ(b->captionHeight(), lineHeight);
    EXPECT_DOUBLE_EQ(b->bottomPositionForBarIndex(0), lineHeight);
    b->setQuietZoneBottom(lineHeight + 8);
    EXPECT_DOUBLE_EQ(b->bottomPositionForBarIndex(5), lineHeight + 8);
    EXPECT_DOUBLE_EQ(b->topPositionForBarIndex(5), lineHeight + 8 + b->height());
    EXPECT_DOUBLE_EQ(b->captionBaselinePosition(), -b->font()->descender());

    b->setDrawCaption(false);
    EXPECT_DOUBLE_EQ(b->workAreaSize().height, lineHeight + 8 + b->height() + 3);
    EXPECT_DOUBLE_EQ(b->workAreaSize().width, 4 + b->width() + 6);
    EXPECT_DOUBLE_EQ(b->firstBarPosition(), 4);
    EXPECT_DOUBLE_EQ(b->lastBarPosition(), 4 + b->width() - 0.5);
}

TEST(GenericBarcode, ArchiveKeepsEveryAttributeInSinglePrecision)
{
    auto b = make("TestPatterned");
    b->setContent("0042");
    b->setAddOnContent("12");
    b->setBarColor(gfx::Color::colorWithCalibratedRed(0.2, 0.4, 0.6, 1));
    b->setBackgroundColor(gfx::Color::colorWithCalibratedWhite(0.9, 1));
    b->setBarWidth(0.9354330708661419);
    b->setHeight(50.1);
    b->setFontOffset(1.5);
    b->setCalcQuietZone(false);
    b->setQuietZone({ 1, 2, 3, 4 });
    b->setShouldDrawBackground(false);
    b->setConvertTextToVector(true);
    b->setDrawLightMarginIndicators(true);
    b->setName("label");

    auto data = KeyedArchiver::archivedDataWithRootObject(Value(b));
    ASSERT_TRUE(data) << data.error().localizedDescription();
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
    auto c = decoded->objectAs<TBQGenericBarcode>();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->className(), String("TestPatterned"));
    EXPECT_EQ(c->content(), String("0042"));
    EXPECT_EQ(c->addOnContent(), String("12"));
    EXPECT_EQ(c->checksum(), String("3"));
    EXPECT_TRUE(c->barColor()->isEqual(*b->barColor()));
    EXPECT_TRUE(c->backgroundColor()->isEqual(*b->backgroundColor()));
    EXPECT_EQ(c->font()->fontName(), String("Monaco"));
    EXPECT_EQ(c->barWidth(), 0.9354330897331238);
    EXPECT_EQ(c->height(), static_cast<double>(50.1f));
    EXPECT_EQ(c->fontOffset(), 1.5);
    EXPECT_FALSE(c->calcQuietZone());
    EXPECT_EQ(c->quietZone(), gfx::Rect(1, 2, 3, 4));
    EXPECT_FALSE(c->shouldDrawBackground());
    EXPECT_TRUE(c->convertTextToVector());
    EXPECT_TRUE(c->drawLightMarginIndicators());
    EXPECT_EQ(c->name(), String("label"));
    EXPECT_DOUBLE_EQ(c->width(), c->barWidth() * static_cast<double>(c->completeEncodedBarcode().size()));
}

TEST(GenericBarcode, DamagedArchivesAreRefusedWithoutACrash)
{
    auto b = make("TestPatterned");
    b->setContent("99");
    auto data = KeyedArchiver::archivedDataWithRootObject(Value(b));
    ASSERT_TRUE(data);
    for (std::size_t cut : { data->length() / 2, data->length() / 3, std::size_t(10) }) {
        Data truncated(data->bytes(), cut);
        EXPECT_FALSE(KeyedUnarchiver::unarchiveTopLevelObjectWithData(truncated)) << "cut at " << cut;
    }
    EXPECT_FALSE(KeyedUnarchiver::unarchiveTopLevelObjectWithData(Data::fromString("not an archive")));
}

namespace {

// Writes what older archives hold: the entry keys and the twelve keys every version wrote.
class LegacyPatterned : public TestPatterned {
    FND_OBJECT(LegacyPatterned)
public:
    void encodeWithCoder(Coder& coder) const override
    {
        TBQDataEntry::encodeWithCoder(coder);
        coder.encodeObject(content(), "content");
        coder.encodeObject(addOnContent(), "addOnContent");
        coder.encodeObject(checksum(), "checksum");
        coder.encodeObject(Value(barColor()), "barColor");
        coder.encodeObject(Value(backgroundColor()), "backgroundColor");
        coder.encodeObject(Value(font()), "font");
        coder.encodeBool(false, "calculateChecksum");
        coder.encodeFloat(static_cast<float>(barWidth()), "barWidth");
        coder.encodeFloat(static_cast<float>(height()), "height");
        coder.encodeBool(drawCaption(), "drawCaption");
        coder.encodeBool(calcQuietZone(), "autoCalcQuietZone");
        coder.encodeRect(quietZone(), "quietZoneRect");
    }
};

}

FND_REGISTER_CLASS(LegacyPatterned, TestPatterned)

TEST(GenericBarcode, OlderArchivesTakeTheFixedDefaults)
{
    auto legacy = makeObject<LegacyPatterned>();
    legacy->setContent("42");
    legacy->setShouldDrawBackground(false);
    legacy->setConvertTextToVector(true);
    legacy->setFontOffset(3);
    legacy->setDrawLightMarginIndicators(true);
    KeyedArchiver archiver;
    archiver.setClassName("TestPatterned", LegacyPatterned::staticClassInfo());
    archiver.encodeObject(Value(legacy), "root");
    auto data = archiver.encodedData();
    ASSERT_TRUE(data);
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
    auto b = decoded->objectAs<TBQGenericBarcode>();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->className(), String("TestPatterned"));
    EXPECT_EQ(b->content(), String("42"));
    EXPECT_TRUE(b->shouldDrawBackground());
    EXPECT_FALSE(b->convertTextToVector());
    EXPECT_EQ(b->fontOffset(), 0);
    EXPECT_FALSE(b->drawLightMarginIndicators());
}

TEST(GenericBarcode, CopyAndAttributeHandOver)
{
    auto main = make("TestPatterned");
    auto addOn = make("TestPatterned");
    addOn->setContent("5");
    main->setAddOn(addOn);
    main->setContent("77");
    auto copy = std::static_pointer_cast<TBQGenericBarcode>(main->copy());
    ASSERT_TRUE(copy->addOn());
    EXPECT_NE(copy->addOn(), addOn);
    EXPECT_EQ(copy->addOn()->content(), String("5"));
    EXPECT_TRUE(copy->addOn()->isAddOn());
    copy->addOn()->setContent("6");
    EXPECT_EQ(addOn->content(), String("5"));

    auto target = make("TestPatterned");
    auto delegate = std::make_shared<RecordingDelegate>();
    target->setDelegate(delegate);
    main->setHeight(20);
    main->copyAttributesToBarcode(*target);
    EXPECT_EQ(target->height(), 20);
    EXPECT_EQ(std::count(delegate->calls.begin(), delegate->calls.end(), "drawing TestPatterned"), 4);
}

// The default caption font "Monaco" 10 is DejaVu Sans Mono 10 here; its metrics are pinned so that a change of font
// or of the line-height rule shows up.
TEST(GenericBarcode, LayoutWithTheDefaultFont)
{
    constexpr double LineHeight = 11.640625;
    constexpr double Descender = -2.3583984375;
    constexpr double BoundingWidth = 12.763671875;
    constexpr double X = 0.9354330897331238;
    constexpr double Height = 74.43779754638672;
    const double zone = 11 * X;

    auto b = make("TBQGenericBarcode");
    EXPECT_EQ(txt::defaultLineHeight(*b->font()), LineHeight);
    EXPECT_EQ(b->captionHeight(), LineHeight);
    EXPECT_EQ(b->captionBaselinePosition(), -Descender);
    EXPECT_EQ(b->bottomPositionForBarIndex(0), LineHeight);
    EXPECT_EQ(b->areaWidthForLeftLightMarginIndicator(), BoundingWidth);
    EXPECT_DOUBLE_EQ(b->workAreaSize().width, 2 * zone);
    EXPECT_DOUBLE_EQ(b->workAreaSize().height, LineHeight + Height + zone / 2);

    auto h = make("TestHeadline");
    EXPECT_EQ(h->headlineHeight(), LineHeight);
    EXPECT_DOUBLE_EQ(h->headlineBaselinePosition(), LineHeight - Descender + Height - Descender);
    EXPECT_DOUBLE_EQ(h->workAreaSize().height, LineHeight + Height + zone / 2 + LineHeight);
    h->setFontOffset(1.5);
    EXPECT_DOUBLE_EQ(h->headlineBaselinePosition(), LineHeight - Descender + Height - Descender + 1.5);
    EXPECT_DOUBLE_EQ(h->captionBaselinePosition(), -Descender + 1.5);
    // Without a caption there is no headline either.
    h->setDrawCaption(false);
    EXPECT_EQ(h->headlineHeight(), 0);
    EXPECT_DOUBLE_EQ(h->workAreaSize().height, zone / 2 + Height + zone / 2);
}
