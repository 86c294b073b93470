#include "frameworks/FoundationExtensions/ZFMLocationFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include <array>
#include <cmath>

FND_REGISTER_CLASS(ZFMLocationFormatter, fnd::Formatter)

namespace {

using ZFMFormatterStrings::fill;
using ZFMFormatterStrings::text;

constexpr double FeetPerMeter = 3.2808399;
constexpr double YardsPerMeter = 1.0936133;
constexpr double MilesPerMeter = 0.000621371192;
constexpr double KilometersPerHourPerMeterPerSecond = 3.6;
constexpr double MilesPerHourPerMeterPerSecond = 2.23693629;

struct Sector {
    const char* word;
    const char* abbreviation;
};
constexpr std::array<Sector, 8> Sectors = {
    Sector { "North", "N" },
    Sector { "Northeast", "NE" },
    Sector { "East", "E" },
    Sector { "Southeast", "SE" },
    Sector { "South", "S" },
    Sector { "Southwest", "SW" },
    Sector { "West", "W" },
    Sector { "Northwest", "NW" },
};

std::shared_ptr<fnd::NumberFormatter> defaultLocationNumberFormatter()
{
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    formatter->setLocale(fnd::Locale::current());
    formatter->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
    formatter->setUsesSignificantDigits(true);
    formatter->setMaximumSignificantDigits(2);
    return formatter;
}

}

int ZFMCompassSectorFromBearing(double degrees)
{
    // Any bearing counts by its direction: -90 is west.
    if (!std::isfinite(degrees))
        return 0;
    degrees = std::fmod(degrees, 360);
    if (degrees < 0)
        degrees += 360;
    if (degrees <= 22.5 || degrees > 337.5)
        return 0;
    return static_cast<int>(std::ceil((degrees - 22.5) / 45));
}

ZFMLocationFormatter::ZFMLocationFormatter()
    : m_numberFormatter(defaultLocationNumberFormatter())
{
}

ZFMLocationFormatter::ZFMLocationFormatter(const ZFMLocationFormatter& other)
    : fnd::Formatter(other)
    , fnd::Coding(other)
    , m_coordinateOrder(other.m_coordinateOrder)
    , m_bearingStyle(other.m_bearingStyle)
    , m_unitSystem(other.m_unitSystem)
    , m_numberFormatter(std::make_shared<fnd::NumberFormatter>(*other.m_numberFormatter))
{
}

fnd::String ZFMLocationFormatter::number(double value) const
{
    return m_numberFormatter->stringFromNumber(value);
}

fnd::String ZFMLocationFormatter::stringFromCoordinate(ZFMLocationCoordinate2D coordinate) const
{
    return fill(text("(%@, %@)"), { number(coordinate.latitude), number(coordinate.longitude) });
}

fnd::String ZFMLocationFormatter::stringFromLocation(const ZFMLocation& location) const
{
    return stringFromCoordinate(location.coordinate());
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromDistance(double meters) const
{
    double value = 0;
    const char* unit = nullptr;
    if (m_unitSystem == Metric) {
        double kilometers = meters * 0.001;
        value = kilometers >= 1.0 ? kilometers : meters;
        unit = kilometers >= 1.0 ? "km" : "m";
    } else if (m_unitSystem == Imperial) {
        double feet = meters * FeetPerMeter;
        double yards = meters * YardsPerMeter;
        double miles = meters * MilesPerMeter;
        if (feet < 300) {
            value = feet;
            unit = "ft";
        } else if (yards < 500) {
            value = yards;
            unit = "yds";
        } else {
            value = miles;
            unit = miles > 1.0 && miles < 1.1 ? "mile" : "miles";
        }
    } else {
        return std::nullopt;
    }
    return fill(text("Distance Format String", "%@ %@"), { number(value), text(unit) });
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromBearing(double degrees) const
{
    const auto& sector = Sectors[static_cast<std::size_t>(ZFMCompassSectorFromBearing(degrees))];
    switch (m_bearingStyle) {
    case Word:
        return text(sector.word);
    case Abbreviation:
        return text(sector.abbreviation);
    case Degrees:
        return number(degrees);
    default:
        return std::nullopt;
    }
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromSpeed(double metersPerSecond) const
{
    double value = 0;
    const char* unit = nullptr;
    if (m_unitSystem == Metric) {
        double kilometersPerHour = metersPerSecond * KilometersPerHourPerMeterPerSecond;
        value = kilometersPerHour <= 1.0 ? metersPerSecond : kilometersPerHour;
        unit = kilometersPerHour <= 1.0 ? "m/s" : "km/h";
    } else if (m_unitSystem == Imperial) {
        double milesPerHour = metersPerSecond * MilesPerHourPerMeterPerSecond;
        value = milesPerHour <= 1.0 ? metersPerSecond * FeetPerMeter : milesPerHour;
        unit = milesPerHour <= 1.0 ? "ft/s" : "mph";
    } else {
        return std::nullopt;
    }
    return fill(text("Speed Format String", "%@ %@"), { number(value), text(unit) });
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromDistanceFromLocation(
    const ZFMLocation& from, const ZFMLocation& to) const
{
    return stringFromDistance(from.distanceFromLocation(to));
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromBearingFromLocation(
    const ZFMLocation& from, const ZFMLocation& to) const
{
    return stringFromBearing(from.bearingToLocation(to));
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromDistanceAndBearingFromLocation(
    const ZFMLocation& from, const ZFMLocation& to) const
{
    auto distance = stringFromDistanceFromLocation(from, to);
    auto bearing = stringFromBearingFromLocation(from, to);
    if (!distance || !bearing)
        return std::nullopt;
    return fill(text("Dimension Format String", "%@ %@"), { *distance, *bearing });
}

std::optional<fnd::String> ZFMLocationFormatter::stringFromVelocityFromLocation(
    const ZFMLocation& from, const ZFMLocation& to, double atSpeed) const
{
    auto speed = stringFromSpeed(atSpeed);
    auto bearing = stringFromBearingFromLocation(from, to);
    if (!speed || !bearing)
        return std::nullopt;
    return fill(text("Dimension Format String", "%@ %@"), { *speed, *bearing });
}

std::optional<fnd::String> ZFMLocationFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (auto location = value.objectAs<ZFMLocation>())
        return stringFromLocation(*location);
    return std::nullopt;
}

std::expected<fnd::Value, fnd::String> ZFMLocationFormatter::getObjectValue(const fnd::String&) const
{
    return std::unexpected(ZFMFormatterStrings::methodNotImplemented());
}

std::shared_ptr<fnd::Formatter> ZFMLocationFormatter::copy() const
{
    return std::make_shared<ZFMLocationFormatter>(*this);
}

void ZFMLocationFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt32(m_coordinateOrder, "coordinateOrder");
    coder.encodeInt32(m_bearingStyle, "bearingStyle");
    coder.encodeInt32(m_unitSystem, "unitSystem");
    coder.encodeObject(m_numberFormatter, "numberFormatter");
}

bool ZFMLocationFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    m_coordinateOrder = coder.decodeInt32ForKey("coordinateOrder");
    m_bearingStyle = coder.decodeInt32ForKey("bearingStyle");
    m_unitSystem = coder.decodeInt32ForKey("unitSystem");
    if (auto formatter = coder.decodeObjectForKey("numberFormatter").objectAs<fnd::NumberFormatter>())
        m_numberFormatter = formatter;
    return true;
}
