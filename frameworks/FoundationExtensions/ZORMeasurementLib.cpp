#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/CharacterSet.h"

#include <array>

namespace {

struct UnitKeys {
    const char* typeKey;
    const char* nameKey;
    const char* shortNameKey;
};

constexpr std::array<UnitKeys, 5> MeasurementUnits { {
    { "ZORUnitPointType", "ZORMeasurementLibPoint", "ZORMeasurementLibSCPoint" },
    { "ZORUnitMeterType", "ZORMeasurementLibMeter", "ZORMeasurementLibSCMeter" },
    { "ZORUnitCentimeterType", "ZORMeasurementLibCentimeter", "ZORMeasurementLibSCCentimeter" },
    { "ZORUnitMillimeterType", "ZORMeasurementLibMillimeter", "ZORMeasurementLibSCMillimeter" },
    { "ZORUnitInchType", "ZORMeasurementLibInch", "ZORMeasurementLibSCInch" },
} };

// Points per unit, written as the divisors the stored values were always computed with (0.0254/72, 2.54/72 and
// 25.4/72 as doubles), so conversions keep matching old files to the last bit.
constexpr double MeterPerPoint = 0.00035277777777777776;
constexpr double CentimeterPerPoint = 0.035277777777777776;
constexpr double MillimeterPerPoint = 0.35277777777777775;

double toPoints(ZORMeasurementUnitType from, double value)
{
    switch (from) {
    case ZORMeasurementUnit::Meter:
        return value / MeterPerPoint;
    case ZORMeasurementUnit::Centimeter:
        return value / CentimeterPerPoint;
    case ZORMeasurementUnit::Millimeter:
        return value / MillimeterPerPoint;
    case ZORMeasurementUnit::Inch:
        return value * 72;
    default:
        return value;
    }
}

std::optional<double> fromPoints(ZORMeasurementUnitType to, double points)
{
    switch (to) {
    case ZORMeasurementUnit::Point:
        return points;
    case ZORMeasurementUnit::Meter:
        return points * 0.0254 / 72;
    case ZORMeasurementUnit::Centimeter:
        return points * 2.54 / 72;
    case ZORMeasurementUnit::Millimeter:
        return points * 25.4 / 72;
    case ZORMeasurementUnit::Inch:
        return points / 72;
    default:
        return std::nullopt;
    }
}

// The framework bundle is the one holding the measurement formatter.
fnd::String measurementText(const char* key)
{
    ZORFrameworkBundle::registerClassPrefixes();
    auto bundle = fnd::Bundle::bundleForClass("ZORMeasurementNumberFormatter");
    return bundle ? bundle->localizedStringForKey(key, "", "ZORMeasurementLib") : fnd::String();
}

}

double ZORMeasurementConvert(ZORMeasurementUnitType from, ZORMeasurementUnitType to, double value)
{
    if (value == 0)
        return 0;
    auto converted = fromPoints(to, toPoints(from, value));
    if (!converted)
        return 0;
    return static_cast<double>(static_cast<float>(*converted));
}

gfx::Rect ZORMeasurementConvertRect(ZORMeasurementUnitType from, ZORMeasurementUnitType to, gfx::Rect rect)
{
    return { ZORMeasurementConvert(from, to, rect.origin.x), ZORMeasurementConvert(from, to, rect.origin.y),
        ZORMeasurementConvert(from, to, rect.size.width), ZORMeasurementConvert(from, to, rect.size.height) };
}

gfx::Point ZORMeasurementConvertPoint(ZORMeasurementUnitType from, ZORMeasurementUnitType to, double x, double y)
{
    return { ZORMeasurementConvert(from, to, x), ZORMeasurementConvert(from, to, y) };
}

gfx::Size ZORMeasurementConvertSize(ZORMeasurementUnitType from, ZORMeasurementUnitType to, double width, double height)
{
    return { ZORMeasurementConvert(from, to, width), ZORMeasurementConvert(from, to, height) };
}

std::optional<fnd::String> ZORMeasurementUnitTypeKey(ZORMeasurementUnitType type)
{
    if (type >= MeasurementUnits.size())
        return std::nullopt;
    return fnd::String(MeasurementUnits[type].typeKey);
}

std::optional<fnd::String> ZORMeasurementUnitName(ZORMeasurementUnitType type)
{
    if (type >= MeasurementUnits.size())
        return std::nullopt;
    return measurementText(MeasurementUnits[type].nameKey);
}

std::optional<fnd::String> ZORMeasurementUnitShortName(ZORMeasurementUnitType type)
{
    if (type >= MeasurementUnits.size())
        return std::nullopt;
    return measurementText(MeasurementUnits[type].shortNameKey);
}

bool ZORMeasurementUnitFromSuffix(const fnd::String& text, ZORMeasurementUnitType& type)
{
    static const fnd::CharacterSet ignored = [] {
        auto set = fnd::CharacterSet::decimalDigitCharacterSet();
        set.formUnionWithCharacterSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet());
        set.formUnionWithCharacterSet(fnd::CharacterSet::punctuationCharacterSet());
        return set;
    }();
    fnd::String letters = fnd::componentsJoinedByString(text.componentsSeparatedByCharactersInSet(ignored), "");
    for (ZORMeasurementUnitType candidate = 0; candidate < MeasurementUnits.size(); ++candidate) {
        if (ZORMeasurementUnitShortName(candidate) == letters) {
            type = candidate;
            return true;
        }
    }
    return false;
}
