#include "BarcodeTestSupport.h"
#include "LinearSymbols.h"
#include "support/DecoderCheck.h"

#include "barcodes/ISSN.h"
#include "barcodes/ModuleString.h"
#include "barcodes/UPC_E.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fnd;

namespace {

std::shared_ptr<TBQGenericBarcode> make(const char* className, const char* content = "")
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(className);
    EXPECT_TRUE(barcode) << className;
    if (barcode)
        barcode->setContent(content);
    return barcode;
}

// ISO/IEC 15420 number set A, written out here independently of the encoder.
const char* const SetA[]
    = { "0001101", "0011001", "0010011", "0111101", "0100011", "0110001", "0101111", "0111011", "0110111", "0001011" };
std::string setA(char d)
{
    return SetA[d - '0'];
}
std::string setB(char d)
{
    return BarcodeExtension::swapParity(setA(d));
}
std::string setC(char d)
{
    return BarcodeExtension::swapHandedness(setA(d));
}
const std::string Guard = "101";
const std::string Centre = "01010";

}

TEST(UPCEAN, CheckDigitsCaptionsAndModuleCounts)
{
    struct Case {
        const char* className;
        const char* content;
        const char* checksum;
        std::vector<std::string> captions;
        std::size_t modules;
    };
    const Case cases[] = {
        { "EAN13", "400638133393", "1", { "4", "006381", "333931" }, 95 },
        { "EAN13", "12", "3", { "1", "200000", "000003" }, 95 }, // padded to 120000000000
        { "EAN13", "978-3-16-148410-0", "0", { "9", "783161", "484100" }, 95 },
        { "UPC_A", "03600029145", "2", { "0", "36000", "29145", "2" }, 95 },
        { "UPC_E", "0425261", "4", { "0", "425261", "4" }, 51 },
        { "UPC_E", "1425261", "1", { "1", "425261", "1" }, 51 },
        { "EAN8", "9638507", "4", { "9638", "5074" }, 67 },
        { "EANVelocity", "123456", "5", { "0123", "4565" }, 67 },
        { "EAN2", "34", "", { "34" }, 20 },
        { "EAN2", "5", "", { "50" }, 20 },
        { "EAN5", "52495", "", { "52495" }, 47 },
        { "ISBN13", "9783161484100", "0", { "9", "783161", "484100" }, 95 },
        { "ISMN", "26000004", "9", { "9", "790260", "000049" }, 95 },
        { "ISSN", "031784700", "1", { "9", "770317", "847001" }, 95 },
    };
    for (const auto& c : cases) {
        auto b = make(c.className, c.content);
        EXPECT_EQ(b->checksum(), String(c.checksum)) << describe(*b);
        ASSERT_EQ(b->numberOfCaptionStrings(), static_cast<int>(c.captions.size())) << describe(*b);
        for (std::size_t i = 0; i < c.captions.size(); ++i)
            EXPECT_EQ(b->captionStringWithIndex(static_cast<int>(i)), String(c.captions[i]))
                << describe(*b) << " #" << i;
        EXPECT_EQ(b->completeEncodedBarcode().size(), c.modules) << describe(*b);
        EXPECT_TRUE(b->validatedErrorString().isEmpty()) << describe(*b);
    }
}

TEST(UPCEAN, ModuleStringsFromDigitSetsAndParities)
{
    struct Case {
        const char* className;
        const char* content;
        std::string modules;
    };
    const Case cases[] = {
        // 4 | 006381 with parities A B A A B B (first digit 4) | 333931 in set C
        { "EAN13", "400638133393",
            Guard + setA('0') + setB('0') + setA('6') + setA('3') + setB('8') + setB('1') + Centre + setC('3')
                + setC('3') + setC('3') + setC('9') + setC('3') + setC('1') + Guard },
        // first digit 0: all set A, as UPC-A
        { "EAN13", "012345678901",
            Guard + setA('1') + setA('2') + setA('3') + setA('4') + setA('5') + setA('6') + Centre + setC('7')
                + setC('8') + setC('9') + setC('0') + setC('1') + setC('2') + Guard },
        { "UPC_A", "03600029145",
            Guard + setA('0') + setA('3') + setA('6') + setA('0') + setA('0') + setA('0') + Centre + setC('2')
                + setC('9') + setC('1') + setC('4') + setC('5') + setC('2') + Guard },
        // check digit 4, number system 0: B A B B A A
        { "UPC_E", "0425261",
            Guard + setB('4') + setA('2') + setB('5') + setB('2') + setA('6') + setA('1') + "010101" },
        // check digit 1, number system 1: the inverse of B B A B A A
        { "UPC_E", "1425261",
            Guard + setA('4') + setA('2') + setB('5') + setA('2') + setB('6') + setB('1') + "010101" },
        { "EAN8", "9638507",
            Guard + setA('9') + setA('6') + setA('3') + setA('8') + Centre + setC('5') + setC('0') + setC('7')
                + setC('4') + Guard },
        // 34 mod 4 = 2: B then A
        { "EAN2", "34", "1011" + setB('3') + "01" + setA('4') },
        { "EAN2", "01", "1011" + setA('0') + "01" + setB('1') },
        { "EAN2", "03", "1011" + setB('0') + "01" + setB('3') },
        // 3 × (5 + 4 + 5) + 9 × (2 + 9) = 141: sum 1, B A B A A
        { "EAN5", "52495",
            "1011" + setB('5') + "01" + setA('2') + "01" + setB('4') + "01" + setA('9') + "01" + setA('5') },
    };
    for (const auto& c : cases) {
        auto b = make(c.className, c.content);
        EXPECT_EQ(b->completeEncodedBarcode(), c.modules) << describe(*b);
    }
}

TEST(UPCEAN, UPCEAcceptsOnlyNumberSystemsZeroAndOne)
{
    EXPECT_EQ(UPC_E::expandedUPCA("0425261"), "04210000526");
    for (const char* content : { "2425261", "9000000" }) {
        auto b = make("UPC_E", content);
        EXPECT_FALSE(b->validatedErrorString().isEmpty()) << content;
        EXPECT_EQ(b->completeEncodedBarcode(), Guard + "010101") << content;
    }
    auto fine = make("UPC_E", "1425261");
    EXPECT_TRUE(fine->validatedErrorString().isEmpty());
}

TEST(UPCEAN, AddOnFollowsTheAddOnText)
{
    for (const char* mainClass : { "EAN13", "UPC_A", "ISBN13" }) {
        auto main = make(mainClass, "400638133393");
        main->setBarWidth(2);
        main->setAddOnContent("5");
        ASSERT_TRUE(main->addOn()) << mainClass;
        EXPECT_EQ(main->addOn()->className(), String("EAN2"));
        EXPECT_EQ(main->addOn()->content(), String("5"));
        EXPECT_EQ(main->addOn()->validatedContentString(), String("50"));
        EXPECT_EQ(main->addOn()->barWidth(), 2) << "attributes handed over";
        EXPECT_TRUE(main->addOn()->isAddOn());

        main->setAddOnContent("12345");
        ASSERT_TRUE(main->addOn());
        EXPECT_EQ(main->addOn()->className(), String("EAN5"));
        EXPECT_EQ(main->addOn()->content(), String("12345"));
        EXPECT_EQ(main->objectCount(), 1);

        main->setHeight(40);
        EXPECT_EQ(main->addOn()->height(), 40) << "setters pass on to the add-on";

        main->setAddOnContent("");
        EXPECT_FALSE(main->addOn()) << mainClass;
        EXPECT_EQ(main->objectCount(), 0);
    }
    // A copy has an add-on of its own.
    auto source = make("EAN13", "400638133393");
    source->setAddOnContent("12345");
    auto copy = std::dynamic_pointer_cast<TBQGenericBarcode>(source->copy());
    ASSERT_TRUE(copy && copy->addOn());
    EXPECT_EQ(copy->addOn()->className(), String("EAN5"));
    EXPECT_EQ(copy->addOn()->content(), String("12345"));
    EXPECT_NE(copy->addOn(), source->addOn());
    copy->setAddOnContent("12");
    EXPECT_EQ(source->addOn()->className(), String("EAN5"));
    EXPECT_EQ(source->addOn()->content(), String("12345"));
    EXPECT_EQ(source->addOnContent(), String("12345"));

    auto upce = make("UPC_E", "0425261");
    upce->setAddOnContent("12");
    EXPECT_FALSE(upce->addOn()) << "UPC-E takes no add-on";
}

// With light-margin indicators on, a main symbol with an add-on leaves out its right indicator, and the add-on its
// left one. Laying either out again from its own settings changes nothing: attaching an add-on lays the main symbol
// out anew, and a copy's add-on is laid out as an add-on (copied before it was attached, it kept room for the left
// indicator, a font's bounding width: 2.47 points of the default font).
TEST(UPCEAN, MainSymbolAndAddOnAreLaidOutAsAPairAlsoWhenCopied)
{
    for (const char* text : { "12", "12345" }) {
        auto source = make("EAN13", "400638133393");
        source->setDrawLightMarginIndicators(true);
        source->setAddOnContent(text);
        ASSERT_TRUE(source->addOn());
        const auto mainSize = source->workAreaSize();
        source->recalculateWorkAreaSize();
        EXPECT_EQ(source->workAreaSize(), mainSize) << text << ": the main symbol kept its right indicator's room";
        auto copy = std::dynamic_pointer_cast<TBQGenericBarcode>(source->copy());
        ASSERT_TRUE(copy && copy->addOn());
        EXPECT_TRUE(copy->addOn()->drawLightMarginIndicators());
        EXPECT_EQ(copy->addOn()->workAreaSize(), source->addOn()->workAreaSize()) << text;
        EXPECT_EQ(copy->workAreaSize(), source->workAreaSize()) << text;
        // Laid out afresh from its own settings, the copied add-on keeps its size.
        const auto size = copy->addOn()->workAreaSize();
        copy->addOn()->recalculateWorkAreaSize();
        EXPECT_EQ(copy->addOn()->workAreaSize(), size) << text;
    }
}

TEST(UPCEAN, GuardBarsReachBelowTheDataBars)
{
    struct Case {
        const char* className;
        const char* content;
        std::vector<Index> guards;
        std::vector<Index> data;
    };
    const Case cases[] = {
        { "EAN13", "400638133393", { 0, 3, 45, 49, 92, 94 }, { 4, 44, 50, 91 } },
        { "UPC_A", "03600029145", { 0, 9, 45, 49, 85, 94 }, { 10, 44, 50, 84 } },
        { "UPC_E", "0425261", { 0, 2, 45, 50 }, { 3, 44 } },
        { "EAN8", "9638507", { 0, 3, 31, 34, 64, 66 }, { 4, 30, 35, 63 } },
    };
    for (const auto& c : cases) {
        auto b = make(c.className, c.content);
        double lift = b->font()->ascender() / 2;
        ASSERT_GT(lift, 0);
        double guard = b->bottomPositionForBarIndex(0);
        EXPECT_EQ(guard, std::max(b->captionHeight(), b->quietZoneBottom()));
        for (Index i : c.guards)
            EXPECT_DOUBLE_EQ(b->bottomPositionForBarIndex(i), guard) << describe(*b) << " index " << i;
        for (Index i : c.data)
            EXPECT_DOUBLE_EQ(b->bottomPositionForBarIndex(i), guard + lift) << describe(*b) << " index " << i;
        EXPECT_DOUBLE_EQ(b->topPositionForBarIndex(0), b->topPositionForBarIndex(c.data[0])) << describe(*b);
    }
}

TEST(UPCEAN, CaptionBoxesBesideAndUnderTheBars)
{
    auto ean = make("EAN13", "400638133393");
    ean->setBarWidth(1);
    double box = ean->font()->boundingRectForFont().width();
    double first = ean->firstBarPosition();
    EXPECT_DOUBLE_EQ(first, std::max(box, ean->quietZoneLeft()));
    EXPECT_DOUBLE_EQ(ean->xPositionForCaptionStringWithIndex(0), first - box);
    EXPECT_DOUBLE_EQ(ean->xPositionForCaptionStringWithIndex(1), first + 3);
    EXPECT_DOUBLE_EQ(ean->xPositionForCaptionStringWithIndex(2), first + 50);
    EXPECT_DOUBLE_EQ(ean->areaWidthForCaptionStringWithIndex(2), 42);
    EXPECT_DOUBLE_EQ(ean->workAreaSize().width, std::max(ean->quietZoneLeft(), box) + 95 + ean->quietZoneRight());

    auto upca = make("UPC_A", "03600029145");
    upca->setBarWidth(1);
    EXPECT_DOUBLE_EQ(upca->xPositionForCaptionStringWithIndex(2), upca->firstBarPosition() + 50);
    EXPECT_DOUBLE_EQ(upca->xPositionForCaptionStringWithIndex(3), upca->lastBarPosition() + 1);
    EXPECT_DOUBLE_EQ(
        upca->workAreaSize().width, std::max(upca->quietZoneLeft(), box) + 95 + std::max(upca->quietZoneRight(), box));

    auto ean8 = make("EAN8", "9638507");
    ean8->setBarWidth(1);
    EXPECT_DOUBLE_EQ(ean8->xPositionForCaptionStringWithIndex(1), ean8->firstBarPosition() + 36);

    // The add-on caption stands above its bars.
    auto addOn = make("EAN5", "52495");
    EXPECT_DOUBLE_EQ(
        addOn->captionBaselinePosition(), addOn->height() + addOn->quietZoneBottom() - addOn->font()->descender());
    EXPECT_DOUBLE_EQ(addOn->bottomPositionForBarIndex(0), addOn->quietZoneBottom());
}

TEST(UPCEAN, LightMarginIndicatorsMakeRoomOnlyWhereDrawn)
{
    auto ean = make("EAN13", "400638133393");
    ean->setCalcQuietZone(false);
    ean->setQuietZone({ 0, 0, 0, 0 });
    ean->setDrawLightMarginIndicators(true);
    double box = ean->font()->boundingRectForFont().width();
    double bars = ean->width();
    EXPECT_DOUBLE_EQ(ean->workAreaSize().width, box + bars + box) << "first digit left, \">\" right";

    ean->setAddOnContent("12");
    ean->recalculateWorkAreaSize();
    EXPECT_DOUBLE_EQ(ean->workAreaSize().width, box + bars) << "the add-on carries the \">\"";
    auto addOn = ean->addOn();
    addOn->setQuietZone({ 0, 0, 0, 0 });
    EXPECT_DOUBLE_EQ(addOn->firstBarPosition(), 0) << "no \"<\" before an add-on";
    EXPECT_DOUBLE_EQ(addOn->workAreaSize().width, addOn->width() + box);

    auto alone = make("EAN2", "12");
    alone->setCalcQuietZone(false);
    alone->setQuietZone({ 0, 0, 0, 0 });
    alone->setDrawLightMarginIndicators(true);
    EXPECT_DOUBLE_EQ(alone->workAreaSize().width, box + alone->width() + box);
}

TEST(UPCEAN, PublicationHeadlines)
{
    struct Case {
        const char* className;
        const char* content;
        const char* headline;
    };
    const Case cases[] = {
        { "ISBN13", "978-3-16-148410-0", "ISBN 978-3-16-148410-0" },
        { "ISBN13", "9783161484100", "ISBN 978-3-16148-410-0" },
        { "ISBN13", "978--3-16", "ISBN 978-3-160000004" }, // "--" counts once: hyphens at 3 and 5
        { "ISBN13", "-978-3", "ISBN 9783-000000003" }, // positions as typed; the one at 0 places nothing
        { "ISMN", "26000004", "ISMN: M 260-000049" },
        { "ISSN", "031784700", "ISSN 0317-8471" },
        { "ISSN", "", "ISSN 0000-0000" },
    };
    for (const auto& c : cases) {
        auto b = make(c.className, c.content);
        EXPECT_TRUE(b->drawHeadline());
        EXPECT_EQ(b->headline(), String(c.headline)) << describe(*b);
    }

    const std::pair<const char*, char> issnChecks[]
        = { { "2049363", '0' }, { "0317847", '1' }, { "0000006", 'X' }, { "", '0' } };
    for (auto [serial, check] : issnChecks)
        EXPECT_EQ(ISSN::ISSNChecksumCharacterForString(serial), check) << serial;
}

// An independent reader decodes what we draw.
TEST(UPCEAN, ZbarReadsTheSymbols)
{
    struct Case {
        const char* className;
        std::vector<const char*> contents;
        const char* zbarName;
        std::string (*expected)(const TBQGenericBarcode&);
    };
    auto full = [](const TBQGenericBarcode& b) { return b.caption().utf8(); };
    // zbar reports a UPC-A symbol as the EAN-13 number with a leading 0.
    auto asEAN13 = [](const TBQGenericBarcode& b) { return b.caption().utf8().insert(0, 1, '0'); };
    const Case cases[] = {
        { "EAN13",
            { "400638133393", "012345678901", "100000000000", "299999999999", "312345678901", "499999999999",
                "512345098765", "600000000001", "712345678901", "812345678901", "912345678901" },
            "EAN-13", full },
        { "ISBN13", { "978-3-16-148410-0", "9780306406157" }, "EAN-13", full },
        { "ISMN", { "26000004", "12345678" }, "EAN-13", full },
        { "ISSN", { "031784700", "204936300" }, "EAN-13", full },
        { "EAN8", { "9638507", "0000000", "1234567", "5512345" }, "EAN-8", full },
        { "EANVelocity", { "123456", "999999" }, "EAN-8", full },
        { "UPC_A", { "03600029145", "12345678901", "98765432109" }, "EAN-13", asEAN13 },
    };
    for (const auto& c : cases) {
        for (const char* content : c.contents) {
            auto b = make(c.className, content);
            auto path = DecoderCheck::scratchPath(std::string("upcean-") + c.className);
            ASSERT_TRUE(DecoderCheck::renderLinear(b->completeEncodedBarcode(), path));
            auto read = DecoderCheck::zbarimg(path);
            if (!read)
                GTEST_SKIP() << "zbarimg is not installed";
            EXPECT_EQ(*read, std::string(c.zbarName) + ":" + c.expected(*b)) << describe(*b);
        }
    }
}

TEST(UPCEAN, ZbarReadsUPCE)
{
    // Every last digit selects another expansion. zbar reads number system 0 only; number system 1 is checked by
    // its module string above.
    for (const char* content :
        { "0123450", "0123451", "0123452", "0123453", "0123454", "0123455", "0123459", "0654321", "0000005" }) {
        auto b = make("UPC_E", content);
        auto path = DecoderCheck::scratchPath("upce");
        ASSERT_TRUE(DecoderCheck::renderLinear(b->completeEncodedBarcode(), path));
        auto read = DecoderCheck::zbarimg(path, false, "-Supce.enable");
        if (!read)
            GTEST_SKIP() << "zbarimg is not installed";
        EXPECT_EQ(*read, "UPC-E:" + b->caption().utf8()) << describe(*b);
    }
}

TEST(UPCEAN, ZbarReadsAddOnsBesideTheirMainSymbol)
{
    for (const char* addOnText : { "12", "5", "34", "99", "52495", "00000", "90000", "12345" }) {
        auto main = make("EAN13", "400638133393");
        main->setAddOnContent(addOnText);
        auto addOn = main->addOn();
        ASSERT_TRUE(addOn);
        // The add-on stands nine modules after the main symbol.
        auto modules = main->completeEncodedBarcode() + std::string(9, '0') + addOn->completeEncodedBarcode();
        auto path = DecoderCheck::scratchPath("ean-addon");
        ASSERT_TRUE(DecoderCheck::renderLinear(modules, path));
        auto read = DecoderCheck::zbarimg(path, true, "-Sean2.enable -Sean5.enable");
        if (!read)
            GTEST_SKIP() << "zbarimg is not installed";
        // zbar reports the add-on as a symbol of its own, before the main one.
        EXPECT_EQ(*read, addOn->caption().utf8() + "\n" + main->caption().utf8()) << addOnText << ": " << modules;
    }
}
