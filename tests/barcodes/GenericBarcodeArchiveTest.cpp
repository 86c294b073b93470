// What an archive may bring into a barcode: the numbers typing allows and the check characters its content makes.
#include "support/DecoderCheck.h"

#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace fnd;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

const Array EAN13Hierarchy { "EAN13", "UPCEANMasterCode", "TBQGenericBarcode", "TBQDataEntry", "NSObject" };
const Array Code39Hierarchy { "Code39", "TBQGenericBarcode", "TBQDataEntry", "NSObject" };

Value rect(double x, double y, double width, double height)
{
    return Dictionary { { "$rect", Array { x, y, width, height } } };
}

// A hand-made archive of one barcode of the class: the keys given and nothing else. A font, when given by its size,
// is the second object.
Data barcodeArchive(const Array& hierarchy, Dictionary keys, std::optional<double> fontSize = std::nullopt)
{
    keys.set("$class", 0);
    Array objects { keys };
    Array classes { Dictionary { { "hierarchy", hierarchy }, { "versions", Array(hierarchy.size(), Value(0)) } } };
    if (fontSize) {
        objects[0].dictionary()->set("font", Dictionary { { "$ref", 1 } });
        objects.emplace_back(Dictionary { { "$class", 1 }, { "NSName", "DejaVu Sans" }, { "NSSize", *fontSize } });
        classes.emplace_back(
            Dictionary { { "hierarchy", Array { "Font", "NSObject" } }, { "versions", Array { 0, 0 } } });
    }
    return *PropertyList::writeXML(Dictionary {
        { "$format", "fnd.keyed-archive" },
        { "$formatVersion", 1 },
        { "$top", Dictionary { { "root", Dictionary { { "$ref", 0 } } } } },
        { "$objects", objects },
        { "$classes", classes },
    });
}

Dictionary ean13Keys()
{
    return Dictionary {
        { "content", "400638133393" },
        { "barWidth", 2.0 },
        { "height", 50.0 },
        { "fontOffset", -3.0 },
        { "drawCaption", true },
        { "autoCalcQuietZone", false },
        { "quietZoneRect", rect(1, 2, 3, 4) },
    };
}

std::shared_ptr<TBQGenericBarcode> decoded(const Data& archive)
{
    auto value = KeyedUnarchiver::unarchiveTopLevelObjectWithData(archive);
    EXPECT_TRUE(value) << value.error().localizedDescription().utf8();
    return value ? value->objectAs<TBQGenericBarcode>() : nullptr;
}

std::string text(double v)
{
    return std::to_string(v);
}

}

// Lengths are bounded on the way in from an archive as the setters bound them: NaN, infinite, negative and absurd
// values are refused with an error naming what was wrong, instead of becoming a work area of the same kind.
TEST(GenericBarcodeArchive, LengthsOutsideTheirBoundsAreRefused)
{
    auto good = decoded(barcodeArchive(EAN13Hierarchy, ean13Keys(), 12));
    ASSERT_TRUE(good);
    EXPECT_EQ(good->barWidth(), 2);
    EXPECT_EQ(good->height(), 50);
    EXPECT_EQ(good->fontOffset(), -3);
    EXPECT_EQ(good->quietZone(), gfx::Rect(1, 2, 3, 4));
    EXPECT_EQ(good->fontSize(), 12);
    // The largest lengths still make a finite work area: 95 modules of 10,000 points and the quiet zones beside.
    auto largest = ean13Keys();
    largest.set("barWidth", 10000.0);
    largest.set("height", 10000.0);
    largest.set("quietZoneRect", rect(10000, 10000, 10000, 10000));
    auto large = decoded(barcodeArchive(EAN13Hierarchy, largest, 10000));
    ASSERT_TRUE(large);
    EXPECT_EQ(large->width(), 95 * 10000.0);
    EXPECT_TRUE(std::isfinite(large->workAreaSize().width) && std::isfinite(large->workAreaSize().height));

    struct Case {
        const char* key;
        Value value;
        const char* named; // in the error
    };
    std::vector<Case> cases;
    for (double v : { NaN, Infinity, -Infinity, -1.0, 0.0, 1e300, 10000.5, 1e-40 }) {
        cases.push_back({ "barWidth", v, "barWidth" });
        cases.push_back({ "height", v, "height" });
    }
    for (double v : { NaN, Infinity, -Infinity, 10000.5, -1e300 })
        cases.push_back({ "fontOffset", v, "fontOffset" });
    for (double v : { NaN, Infinity, -0.5, 110000.5 }) {
        cases.push_back({ "quietZoneRect", rect(v, 0, 0, 0), "quiet zone" });
        cases.push_back({ "quietZoneRect", rect(0, 0, 0, v), "quiet zone" });
    }
    for (const auto& c : cases) {
        auto keys = ean13Keys();
        keys.set(c.key, c.value);
        const auto what = std::string(c.key) + " = " + c.value.description().utf8();
        auto result = KeyedUnarchiver::unarchiveTopLevelObjectWithData(barcodeArchive(EAN13Hierarchy, keys));
        ASSERT_FALSE(result) << what << " was taken";
        EXPECT_EQ(result.error().code(), CoderError::ReadCorrupt) << what;
        EXPECT_NE(result.error().localizedDescription().utf8().find(c.named), std::string::npos)
            << what << ": " << result.error().localizedDescription().utf8();
    }
    for (double size : { Infinity, 1e300, 20000.0 }) {
        auto result
            = KeyedUnarchiver::unarchiveTopLevelObjectWithData(barcodeArchive(EAN13Hierarchy, ean13Keys(), size));
        ASSERT_FALSE(result) << "font size " << size << " was taken";
        EXPECT_NE(result.error().localizedDescription().utf8().find("font size"), std::string::npos)
            << result.error().localizedDescription().utf8();
    }
}

// Whatever typing makes, the archive reads back: the widest modules give automatic quiet zones of 10 or 11 module
// widths (110,000 points), which the archive stores as they were computed.
TEST(GenericBarcodeArchive, TheLargestTypedLengthsReadBack)
{
    for (const char* className : { "EAN13", "Code128", "ITF14", "QR", "DataMatrix", "Code39" }) {
        auto b = TBQGenericBarcode::barcodeWithClassName(className);
        ASSERT_TRUE(b) << className;
        b->setContent("1234");
        b->setBarWidth(TBQGenericBarcode::MaximumLength);
        b->setHeight(TBQGenericBarcode::MaximumLength);
        b->setFontOffset(-TBQGenericBarcode::MaximumLength);
        b->setFontSize(TBQGenericBarcode::MaximumLength);
        auto data = KeyedArchiver::archivedDataWithRootObject(Value(b));
        ASSERT_TRUE(data) << className;
        auto c = decoded(*data);
        ASSERT_TRUE(c) << className;
        EXPECT_EQ(c->barWidth(), TBQGenericBarcode::MaximumLength) << className;
        EXPECT_EQ(c->quietZone(), b->quietZone()) << className;
        EXPECT_EQ(c->workAreaSize(), b->workAreaSize()) << className;
    }
    // A matrix symbol without a grid (content that fits no size) has the height 0, and reads back so.
    auto empty = TBQGenericBarcode::barcodeWithClassName("DataMatrix");
    empty->setContent(String(std::u16string(778, u'\u00E9')));
    ASSERT_EQ(empty->height(), 0);
    auto data = KeyedArchiver::archivedDataWithRootObject(Value(empty));
    ASSERT_TRUE(data);
    auto c = decoded(*data);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->height(), 0);
}

// A missing module width or bar height keeps the default (0.33 mm and 26.26 mm in single precision), not 0: a symbol
// of width 0 is one nobody sees. So does a colour that is missing or is no colour: no colour would draw no bars.
TEST(GenericBarcodeArchive, MissingLengthsAndColoursKeepTheirDefaults)
{
    auto keys = ean13Keys();
    keys.remove("barWidth");
    keys.remove("height");
    keys.remove("fontOffset");
    keys.set("backgroundColor", "white");
    auto b = decoded(barcodeArchive(EAN13Hierarchy, keys));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->barWidth(), 0.9354330897331238);
    EXPECT_EQ(b->height(), 74.43779754638672);
    EXPECT_EQ(b->fontOffset(), 0);
    ASSERT_TRUE(b->barColor() && b->backgroundColor());
    EXPECT_TRUE(b->barColor()->isEqual(*gfx::Color::colorWithCalibratedRed(0, 0, 0, 1)));
    EXPECT_TRUE(b->backgroundColor()->isEqual(*gfx::Color::colorWithCalibratedRed(1, 1, 1, 1)));
}

// The check characters of a decoded barcode are those its content makes, as when the content is typed; the stored
// ones are not drawn.
TEST(GenericBarcodeArchive, CheckCharactersComeFromTheContent)
{
    // EAN-13 400638133393: weight 1 from the left, 4+0+3+1+3+9 = 20, weight 3, 3 × (0+6+8+3+3+3) = 69; 89 leaves
    // the check digit (10 - 9) mod 10 = 1.
    auto keys = ean13Keys();
    keys.set("checksum", "7");
    auto b = decoded(barcodeArchive(EAN13Hierarchy, keys));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->checksum(), String("1"));
    auto png = DecoderCheck::scratchPath("ean13-stored-check-digit");
    ASSERT_TRUE(DecoderCheck::renderLinear(b->completeEncodedBarcode(), png));
    if (auto read = DecoderCheck::zbarimg(png, true)) {
        EXPECT_EQ(*read, "4006381333931");
    }

    // Code 39 "ABC": A 10 + B 11 + C 12 = 33, modulo 43 is 33, the character "X". Asked for, it is made whatever was
    // stored; not asked for, the stored one is dropped and the caption shows the content alone.
    Dictionary code39 { { "content", "ABC" }, { "checksum", "Z" }, { "calculateChecksum", true } };
    auto withCheck = decoded(barcodeArchive(Code39Hierarchy, code39));
    ASSERT_TRUE(withCheck);
    EXPECT_EQ(withCheck->checksum(), String("X"));
    EXPECT_EQ(withCheck->caption(), String("ABCX"));
    code39.set("calculateChecksum", false);
    auto without = decoded(barcodeArchive(Code39Hierarchy, code39));
    ASSERT_TRUE(without);
    EXPECT_EQ(without->checksum(), String());
    EXPECT_EQ(without->caption(), String("ABC"));
}

// Reading is no change: a barcode and its add-on come back with the dates the archive holds, though decoding sets
// fields through setters that forward to the add-on and lays both out; so the decoded tree archives to the same data.
TEST(GenericBarcodeArchive, ADecodedBarcodeKeepsItsDatesAndArchivesAsItWasRead)
{
    auto main = TBQGenericBarcode::barcodeWithClassName("EAN13");
    main->setContent("400638133393");
    main->setAddOnContent("12");
    main->setFontOffset(-2);
    main->setConvertTextToVector(true);
    auto addOn = main->addOn();
    ASSERT_TRUE(addOn);
    main->setCreationDate(Date::fromReferenceDate(1000));
    main->setModificationDate(Date::fromReferenceDate(2000));
    addOn->setCreationDate(Date::fromReferenceDate(3000));
    addOn->setModificationDate(Date::fromReferenceDate(4000));

    auto data = KeyedArchiver::archivedDataWithRootObject(Value(main));
    ASSERT_TRUE(data) << data.error().localizedDescription();
    auto back = decoded(*data);
    ASSERT_TRUE(back && back->addOn());
    EXPECT_EQ(back->creationDate(), Date::fromReferenceDate(1000));
    EXPECT_EQ(back->modificationDate(), Date::fromReferenceDate(2000));
    EXPECT_EQ(back->addOn()->creationDate(), Date::fromReferenceDate(3000));
    EXPECT_EQ(back->addOn()->modificationDate(), Date::fromReferenceDate(4000));
    auto again = KeyedArchiver::archivedDataWithRootObject(Value(back));
    ASSERT_TRUE(again);
    EXPECT_TRUE(*again == *data) << "the decoded barcode archives differently";

    // A change after reading is one.
    back->setFontOffset(-1);
    EXPECT_NE(back->modificationDate(), Date::fromReferenceDate(2000));
}

// The setters (and the properties an interface file sets through them) take a length only within its bound; any
// other leaves the barcode as it was.
TEST(GenericBarcodeArchive, SettersIgnoreLengthsOutsideTheirBounds)
{
    auto b = TBQGenericBarcode::barcodeWithClassName("EAN13");
    ASSERT_TRUE(b);
    b->setContent("400638133393");
    b->setCalcQuietZone(false);
    b->setQuietZone({ 1, 2, 3, 4 });
    const double barWidth = b->barWidth(), height = b->height(), fontSize = b->fontSize();
    const gfx::Size area = b->workAreaSize();
    for (double v : { NaN, Infinity, -Infinity, -1.0, 0.0, 1e300, 10000.5 }) {
        b->setBarWidth(v);
        b->setHeight(v);
        b->setWidth(v * 95);
        b->setFontSize(v);
        // A font asked for at a size that is no size comes at the user font size; only those too large stay so.
        if (v > 10000)
            b->setFont(gfx::Font::fontWithName("DejaVu Sans", v));
        b->setValueForKey(Value(v), "barWidth");
        b->setValueForKey(Value(v), "height");
        EXPECT_EQ(b->barWidth(), barWidth) << text(v);
        EXPECT_EQ(b->height(), height) << text(v);
        EXPECT_EQ(b->fontSize(), fontSize) << text(v);
    }
    for (double v : { NaN, Infinity, -0.5, 1e300 }) {
        b->setQuietZoneLeft(v);
        b->setQuietZoneTop(v);
        b->setQuietZone({ 0, v, 0, 0 });
        b->setValueForKey(Value(v), "quietZoneRight");
        b->setFontOffset(v == -0.5 ? -1e300 : v);
        EXPECT_EQ(b->quietZone(), gfx::Rect(1, 2, 3, 4)) << text(v);
        EXPECT_EQ(b->fontOffset(), 0) << text(v);
    }
    EXPECT_EQ(b->workAreaSize(), area);

    // The bounds themselves are lengths.
    b->setBarWidth(10000);
    EXPECT_EQ(b->barWidth(), 10000);
    b->setFontOffset(-10000);
    EXPECT_EQ(b->fontOffset(), -10000);
    b->setQuietZoneLeft(0);
    EXPECT_EQ(b->quietZoneLeft(), 0);
}
