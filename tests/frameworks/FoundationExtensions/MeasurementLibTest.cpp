#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"

#include "SinglePrecision.h"

#include <gtest/gtest.h>

namespace {

using namespace ZORMeasurementUnit;

TEST(MeasurementConvert, ConvertsThroughPointsRoundedToSinglePrecision)
{
    struct Case {
        ZORMeasurementUnitType from, to;
        double value, expected;
    } cases[] = {
        { Point, Inch, 72, 1 },
        { Inch, Millimeter, 1, 25.399999618530273 },
        { Millimeter, Point, 0.33, 0.9354330897331238 }, // the default module width
        { Millimeter, Point, 26.26, 74.43779754638672 }, // the default bar height
        { Centimeter, Point, 1, single(28.346456692913385) },
        { Meter, Centimeter, 1, 100 },
        { Inch, Point, 2.5, 180 },
        { Point, Millimeter, 72, single(25.4) },
        { Point, Point, 0.1, single(0.1) },
        { Point, 7, 0, 0 }, // zero comes back before the target is looked at
        { Millimeter, 7, 1, 0 },
        { 7, Inch, 72, 1 }, // an unknown source is read as points
        { Inch, Inch, -1, -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZORMeasurementConvert(c.from, c.to, c.value), c.expected)
            << c.value << " from unit " << c.from << " to unit " << c.to;
}

TEST(MeasurementConvert, ConvertsEachNumberOfGeometry)
{
    auto rect = ZORMeasurementConvertRect(Inch, Point, gfx::Rect(1, 2, 0.5, 0));
    EXPECT_EQ(rect, gfx::Rect(72, 144, 36, 0));
    EXPECT_EQ(ZORMeasurementConvertPoint(Point, Inch, 36, 144), (gfx::Point { 0.5, 2 }));
    EXPECT_EQ(ZORMeasurementConvertSize(Millimeter, 9, 10, 20), (gfx::Size { 0, 0 }));
}

TEST(MeasurementUnitNames, ComeFromTheFrameworkTableAndStopAfterInch)
{
    const char* keys[] = { "ZORUnitPointType", "ZORUnitMeterType", "ZORUnitCentimeterType", "ZORUnitMillimeterType",
        "ZORUnitInchType" };
    const char* shortNames[] = { "pt", "m", "cm", "mm", "in" };
    // In British English, as every other text.
    const char* names[] = { "Points", "Metres", "Centimetres", "Millimetres", "Inches" };
    for (ZORMeasurementUnitType type = 0; type < 5; ++type) {
        EXPECT_EQ(ZORMeasurementUnitTypeKey(type), fnd::String(keys[type]));
        EXPECT_EQ(ZORMeasurementUnitShortName(type), fnd::String(shortNames[type]));
        EXPECT_EQ(ZORMeasurementUnitName(type), fnd::String(names[type])) << "unit " << type;
    }
    EXPECT_FALSE(ZORMeasurementUnitTypeKey(5));
    EXPECT_FALSE(ZORMeasurementUnitName(5));
    EXPECT_FALSE(ZORMeasurementUnitShortName(7));
}

TEST(MeasurementUnitFromSuffix, FindsTheUnitOfTheTypedLetters)
{
    struct Case {
        const char* text;
        bool found;
        ZORMeasurementUnitType unit;
    } cases[] = {
        { "12,5 mm", true, Millimeter }, { "3cm", true, Centimeter }, { "-2.5 in\n", true, Inch },
        { "(4) pt.", true, Point }, { "1 m", true, Meter }, { "12", false, 99 }, // digits alone: no short name is empty
        { "12 furlongs", false, 99 }, { "12 MM", false, 99 }, // short names compare exactly
    };
    for (const auto& c : cases) {
        ZORMeasurementUnitType unit = 99;
        EXPECT_EQ(ZORMeasurementUnitFromSuffix(c.text, unit), c.found) << c.text;
        EXPECT_EQ(unit, c.unit) << c.text;
    }
}

}
