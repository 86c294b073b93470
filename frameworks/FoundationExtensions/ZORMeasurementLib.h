#pragma once

#include "platform/foundation/runtime/Geometry.h"
#include "platform/foundation/runtime/String.h"

#include <cstdint>
#include <optional>

// Measurement units of lengths. Lengths are kept in points (1/72 inch) everywhere and shown in one of these units.
// Values above 4 may reach the functions (stored defaults, old archives) and are handled as each function says.
using ZORMeasurementUnitType = std::uint64_t;

namespace ZORMeasurementUnit {
inline constexpr ZORMeasurementUnitType Point = 0;
inline constexpr ZORMeasurementUnitType Meter = 1;
inline constexpr ZORMeasurementUnitType Centimeter = 2;
inline constexpr ZORMeasurementUnitType Millimeter = 3;
inline constexpr ZORMeasurementUnitType Inch = 4;
// The units are the numbers 0 to Last; every function here treats a larger number as no unit.
inline constexpr ZORMeasurementUnitType Last = Inch;
}

// Converts through points and rounds the result to single precision, so every conversion of a value gives the very
// same number wherever it is made (stored defaults and archives compare equal). 0 stays 0; a source above 4 is read
// as points; a target above 4 gives 0.
double ZORMeasurementConvert(ZORMeasurementUnitType from, ZORMeasurementUnitType to, double value);
gfx::Rect ZORMeasurementConvertRect(ZORMeasurementUnitType from, ZORMeasurementUnitType to, gfx::Rect rect);
gfx::Point ZORMeasurementConvertPoint(ZORMeasurementUnitType from, ZORMeasurementUnitType to, double x, double y);
gfx::Size ZORMeasurementConvertSize(
    ZORMeasurementUnitType from, ZORMeasurementUnitType to, double width, double height);

// "ZORUnitPointType" ... "ZORUnitInchType"; nullopt above 4.
std::optional<fnd::String> ZORMeasurementUnitTypeKey(ZORMeasurementUnitType type);
// Localised texts of the framework's table "ZORMeasurementLib"; nullopt above 4.
std::optional<fnd::String> ZORMeasurementUnitName(ZORMeasurementUnitType type);
std::optional<fnd::String> ZORMeasurementUnitShortName(ZORMeasurementUnitType type);

// The unit whose short name is what remains of the text without digits, blanks, line breaks and punctuation ("12,5 mm"
// finds millimetres). On no match the type is left untouched and the answer is false.
bool ZORMeasurementUnitFromSuffix(const fnd::String& text, ZORMeasurementUnitType& type);
