#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/graphics/Units.h"

#include <array>

namespace {

struct UnitKeys {
    const char* typeKey;
    const char* nameKey;
    const char* shortNameKey;
};

constexpr std::array<UnitKeys, ZORMeasurementUnit::Last + 1> MeasurementUnits { {
    { "ZORUnitPointType", "ZORMeasurementLibPoint", "ZORMeasurementLibSCPoint" },
    { "ZORUnitMeterType", "ZORMeasurementLibMeter", "ZORMeasurementLibSCMeter" },
    { "ZORUnitCentimeterType", "ZORMeasurementLibCentimeter", "ZORMeasurementLibSCCentimeter" },
    { "ZORUnitMillimeterType", "ZORMeasurementLibMillimeter", "ZORMeasurementLibSCMillimeter" },
    { "ZORUnitInchType", "ZORMeasurementLibInch", "ZORMeasurementLibSCInch" },
} };

// The unit numbers are the order of gfx::LengthUnit; a number past the table converts to nothing.
std::optional<gfx::LengthUnit> measurementLengthUnit(ZORMeasurementUnitType type)
{
    if (type > ZORMeasurementUnit::Last)
        return std::nullopt;
    return static_cast<gfx::LengthUnit>(type);
}

// The framework bundle is the one holding the measurement formatter.
std::shared_ptr<fnd::Bundle> measurementBundle()
{
    ZORFrameworkBundle::registerClassPrefixes();
    return fnd::Bundle::bundleForClass("ZORMeasurementNumberFormatter");
}

fnd::String measurementText(const fnd::Bundle* bundle, const char* key)
{
    return bundle ? bundle->localizedStringForKey(key, "", "ZORMeasurementLib") : fnd::String();
}

fnd::String measurementText(const char* key)
{
    return measurementText(measurementBundle().get(), key);
}

}

double ZORMeasurementConvert(ZORMeasurementUnitType from, ZORMeasurementUnitType to, double value)
{
    if (value == 0)
        return 0;
    auto toUnit = measurementLengthUnit(to);
    if (!toUnit)
        return 0;
    auto fromUnit = measurementLengthUnit(from).value_or(gfx::LengthUnit::Point);
    return static_cast<double>(
        static_cast<float>(gfx::lengthFromPoints(*toUnit, gfx::lengthToPoints(fromUnit, value))));
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
    const auto bundle = measurementBundle();
    for (ZORMeasurementUnitType candidate = 0; candidate < MeasurementUnits.size(); ++candidate) {
        if (measurementText(bundle.get(), MeasurementUnits[candidate].shortNameKey) == letters) {
            type = candidate;
            return true;
        }
    }
    return false;
}
