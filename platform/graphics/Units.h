#pragma once

// Physical lengths and the point (1/72 inch), the unit every drawing is measured in.
namespace gfx {

enum class LengthUnit { Point, Meter, Centimeter, Millimeter, Inch };

// Points per unit, written as the divisors stored values were always computed with (0.0254/72, 2.54/72 and 25.4/72
// as doubles), so conversions keep matching old files to the last bit.
inline constexpr double MetersPerPoint = 0.00035277777777777776;
inline constexpr double CentimetersPerPoint = 0.035277777777777776;
inline constexpr double MillimetersPerPoint = 0.35277777777777775;

constexpr double lengthToPoints(LengthUnit from, double value)
{
    switch (from) {
    case LengthUnit::Meter:
        return value / MetersPerPoint;
    case LengthUnit::Centimeter:
        return value / CentimetersPerPoint;
    case LengthUnit::Millimeter:
        return value / MillimetersPerPoint;
    case LengthUnit::Inch:
        return value * 72;
    case LengthUnit::Point:
        break;
    }
    return value;
}

constexpr double lengthFromPoints(LengthUnit to, double points)
{
    switch (to) {
    case LengthUnit::Meter:
        return points * 0.0254 / 72;
    case LengthUnit::Centimeter:
        return points * 2.54 / 72;
    case LengthUnit::Millimeter:
        return points * 25.4 / 72;
    case LengthUnit::Inch:
        return points / 72;
    case LengthUnit::Point:
        break;
    }
    return points;
}

}
