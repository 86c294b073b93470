// The registered defaults and the three size lists, as a fresh installation and a returning user see them.
#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

fnd::UserDefaults& defaults()
{
    Preferences::initialize();
    return fnd::UserDefaults::standardUserDefaults();
}

float mm(double millimetres)
{
    return static_cast<float>(millimetres / 25.4 * 72);
}

// Each test starts from a defaults domain the user never touched.
class PreferencesTest : public ::testing::Test {
protected:
    PreferencesTest()
    {
        for (const auto& [key, value] : Preferences::registeredDefaults())
            defaults().removeObjectForKey(key);
    }
};

std::string describe(const fnd::Array& list)
{
    std::string out;
    for (const auto& v : list) {
        if (auto c = v.objectAs<ZORNumberContainer>())
            out += c->numberObject().stringValue().utf8() + c->infoString().value_or("-").utf8() + " ";
        else
            out += v.stringValue().utf8() + " ";
    }
    return out;
}

}

TEST_F(PreferencesTest, EveryKeyIsRegisteredInOrderWithItsDefault)
{
    const std::vector<std::string> order { "TBQBCFontHeightArrayKey", "TBQBCModulWidthArrayKey",
        "TBQBCBarcodeHeightArrayKey", "LMVExportFilenamePrefix", "LMVExportFilenameExtension", "LMVExportFileTypeTag",
        "LMVExportResolutionTag", "LMVExportColorSpaceTag", "DefaultBarcodeValueBarColorKey",
        "DefaultBarcodeValueBackgroundColorKey", "DefaultBarcodeValueBarWidthKey", "DefaultBarcodeValueHeightKey",
        "DefaultBarcodeValueFontKey", "DefaultBarcodeValueDrawCaptionKey", "DefaultBarcodeValueAutoCalcQuietZoneKey",
        "DefaultBarcodeValueCalculateChecksumKey", "DefaultBarcodeValueShouldDrawBackgroundKey",
        "DefaultBarcodeContentKey", "DefaultBarcodeAddOnContentKey", "DefaultBarcodeZoomScaleKey",
        "DefaultBarcodeClassNameKey" };
    std::vector<std::string> registered;
    for (const auto& [key, value] : Preferences::registeredDefaults())
        registered.push_back(key.utf8());
    EXPECT_EQ(registered, order);

    auto& d = defaults();
    EXPECT_EQ(d.stringForKey(LMVExportFilenamePrefix), fnd::String("Lumvara"));
    EXPECT_EQ(d.stringForKey(LMVExportFilenameExtension), fnd::String("@NAME@-@CONTENT@"));
    EXPECT_EQ(d.integerForKey(LMVExportFileTypeTag), 0);
    // 300 dpi rather than 0, which matches no offered resolution.
    EXPECT_EQ(d.integerForKey(LMVExportResolutionTag), 300);
    EXPECT_EQ(d.integerForKey(LMVExportColorSpaceTag), 0);
    EXPECT_EQ(d.floatForKey(DefaultBarcodeValueBarWidthKey), mm(0.33));
    EXPECT_EQ(d.floatForKey(DefaultBarcodeValueHeightKey), mm(26.26));
    EXPECT_NEAR(d.floatForKey(DefaultBarcodeValueBarWidthKey), 0.9354331, 1e-6);
    EXPECT_NEAR(d.floatForKey(DefaultBarcodeValueHeightKey), 74.43780, 1e-4);
    for (const auto& key : { DefaultBarcodeValueDrawCaptionKey, DefaultBarcodeValueAutoCalcQuietZoneKey,
             DefaultBarcodeValueCalculateChecksumKey, DefaultBarcodeValueShouldDrawBackgroundKey })
        EXPECT_TRUE(d.boolForKey(key)) << key.utf8();
    EXPECT_EQ(d.stringForKey(DefaultBarcodeContentKey), fnd::String(""));
    EXPECT_EQ(d.stringForKey(DefaultBarcodeAddOnContentKey), fnd::String(""));
    EXPECT_EQ(d.integerForKey(DefaultBarcodeZoomScaleKey), 100);
    EXPECT_EQ(d.stringForKey(DefaultBarcodeClassNameKey), fnd::String("EAN13"));

    auto bar = Preferences::colorForKey(DefaultBarcodeValueBarColorKey);
    auto background = Preferences::colorForKey(DefaultBarcodeValueBackgroundColorKey);
    ASSERT_TRUE(bar && background);
    EXPECT_TRUE(bar->isEqual(*gfx::Color::colorWithCalibratedRed(0, 0, 0, 1))) << bar->description().utf8();
    EXPECT_TRUE(background->isEqual(*gfx::Color::colorWithCalibratedRed(1, 1, 1, 1)));

    // Reading the defaults writes nothing to the user's file.
    EXPECT_TRUE(d.persistentDomain().isEmpty());
}

TEST_F(PreferencesTest, TheCaptionFontIsAMonospaceFaceThatIsInstalled)
{
    auto font = Preferences::fontForKey(DefaultBarcodeValueFontKey);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 10);
    EXPECT_TRUE(font->isFixedPitch()) << font->fontName().utf8();
    // Monaco where it exists, else the monospace face shipped with the program; never a name that falls back.
    EXPECT_FALSE(font->isFallback()) << font->fontName().utf8();
    EXPECT_TRUE(font->fontName() == "Monaco" || font->familyName() == "DejaVu Sans Mono") << font->fontName().utf8();
}

TEST_F(PreferencesTest, SizeListsStartWithTheMagnificationClasses)
{
    const double widths[] = { 0.27, 0.297, 0.33, 0.363, 0.396, 0.445, 0.495, 0.544, 0.61, 0.66 };
    const double heights[] = { 21.48, 23.63, 26.26, 28.89, 31.51, 35.45, 39.39, 43.33, 48.58, 52.52 };
    auto moduleWidths = Preferences::modulWidthArray();
    auto barHeights = Preferences::barcodeHeightArray();
    ASSERT_EQ(moduleWidths.size(), 10u) << describe(moduleWidths);
    ASSERT_EQ(barHeights.size(), 10u) << describe(barHeights);
    for (std::size_t i = 0; i < 10; ++i) {
        auto w = moduleWidths[i].objectAs<ZORNumberContainer>();
        auto h = barHeights[i].objectAs<ZORNumberContainer>();
        ASSERT_TRUE(w && h) << i;
        const std::string info = "(SC " + std::to_string(i) + ")";
        EXPECT_EQ(w->numberObject().floatValue(), mm(widths[i])) << info;
        EXPECT_EQ(h->numberObject().floatValue(), mm(heights[i])) << info;
        EXPECT_EQ(w->infoString().value_or("").utf8(), info);
        EXPECT_EQ(h->infoString().value_or("").utf8(), info);
    }
    EXPECT_NEAR(moduleWidths[9].objectAs<ZORNumberContainer>()->numberObject().doubleValue(), 1.8709, 1e-4);
    EXPECT_NEAR(barHeights[5].objectAs<ZORNumberContainer>()->numberObject().doubleValue(), 100.488, 1e-3);

    fnd::Array fonts = Preferences::fontHeightArray();
    std::vector<long long> heightsShown;
    for (const auto& v : fonts)
        heightsShown.push_back(v.integerValue());
    EXPECT_EQ(heightsShown, (std::vector<long long> { 7, 8, 9, 10, 11, 12, 13, 14, 16, 18, 20 }));
}

TEST_F(PreferencesTest, UsedValuesJoinTheirListsSortedAndOnlyOnce)
{
    auto& d = defaults();
    // An entry that is there already (SC 2) writes nothing.
    Preferences::usedModulWidth(mm(0.33));
    EXPECT_TRUE(d.persistentDomain().get(TBQBCModulWidthArrayKey).isNil());

    Preferences::usedModulWidth(1.0f);
    auto list = Preferences::modulWidthArray();
    ASSERT_EQ(list.size(), 11u) << describe(list);
    auto added = list[3].objectAs<ZORNumberContainer>();
    ASSERT_TRUE(added) << describe(list);
    EXPECT_EQ(added->numberObject().floatValue(), 1.0f) << describe(list);
    EXPECT_EQ(added->infoString().value_or("nil").utf8(), "") << describe(list);
    EXPECT_EQ(list[2].objectAs<ZORNumberContainer>()->infoString()->utf8(), "(SC 2)");
    EXPECT_EQ(list[4].objectAs<ZORNumberContainer>()->infoString()->utf8(), "(SC 3)");
    EXPECT_TRUE(d.persistentDomain().get(TBQBCModulWidthArrayKey).isData());

    // Once in, the same value adds nothing.
    auto stored = d.dataForKey(TBQBCModulWidthArrayKey);
    Preferences::usedModulWidth(1.0f);
    EXPECT_EQ(d.dataForKey(TBQBCModulWidthArrayKey), stored);

    Preferences::usedBarcodeHeight(200.0f);
    auto heights = Preferences::barcodeHeightArray();
    ASSERT_EQ(heights.size(), 11u);
    EXPECT_EQ(heights.back().objectAs<ZORNumberContainer>()->numberObject().floatValue(), 200.0f);

    Preferences::usedFontHeight(15);
    Preferences::usedFontHeight(15);
    Preferences::usedFontHeight(9);
    std::vector<double> fonts;
    for (const auto& v : Preferences::fontHeightArray())
        fonts.push_back(v.doubleValue());
    EXPECT_EQ(fonts, (std::vector<double> { 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 20 }));
}

TEST_F(PreferencesTest, ListsAreArchivedUnderTheStoredClassNameAndSurviveDamage)
{
    // The stored archive names its class "NumberContainer" and reads back as containers.
    Preferences::usedModulWidth(1.0f);
    auto data = defaults().dataForKey(TBQBCModulWidthArrayKey);
    ASSERT_TRUE(data);
    EXPECT_NE(data->view().find("NumberContainer"), std::string_view::npos);
    EXPECT_EQ(data->view().find("ZORNumberContainer"), std::string_view::npos);

    // An archive another version wrote by hand with that name reads as containers too.
    fnd::Array list { ZORNumberContainer::numberContainerWithNumber(fnd::Number(2.5f), fnd::String("x")) };
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(list));
    ASSERT_TRUE(archive);
    defaults().setObject(*archive, TBQBCBarcodeHeightArrayKey);
    auto read = Preferences::barcodeHeightArray();
    ASSERT_EQ(read.size(), 1u);
    ASSERT_TRUE(read[0].objectAs<ZORNumberContainer>());
    EXPECT_EQ(read[0].objectAs<ZORNumberContainer>()->numberObject().floatValue(), 2.5f);

    // Unreadable bytes give the preset list back instead of an empty menu.
    defaults().setObject(fnd::Data::fromString("not an archive"), TBQBCModulWidthArrayKey);
    EXPECT_EQ(Preferences::modulWidthArray().size(), 10u);
}

TEST_F(PreferencesTest, ColoursAndFontsRoundTripAsArchives)
{
    auto colour = gfx::Color::colorWithCalibratedRed(0.25, 0.5, 0.75, 0.5);
    Preferences::setColor(colour, DefaultBarcodeValueBarColorKey);
    auto read = Preferences::colorForKey(DefaultBarcodeValueBarColorKey);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isEqual(*colour));

    auto font = gfx::Font::fontWithName("DejaVu Sans Bold", 15);
    Preferences::setFont(font, DefaultBarcodeValueFontKey);
    auto readFont = Preferences::fontForKey(DefaultBarcodeValueFontKey);
    ASSERT_TRUE(readFont);
    EXPECT_EQ(readFont->fontName(), font->fontName());
    EXPECT_EQ(readFont->pointSize(), 15);

    // A colour that cannot be read is the default colour, black.
    defaults().setObject(fnd::Data::fromString("garbage"), DefaultBarcodeValueBarColorKey);
    auto fallback = Preferences::colorForKey(DefaultBarcodeValueBarColorKey);
    ASSERT_TRUE(fallback);
    EXPECT_TRUE(fallback->isEqual(*gfx::Color::colorWithCalibratedRed(0, 0, 0, 1)));
}
