#pragma once

#include "frameworks/FoundationExtensions/ZFMLocation.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/locale/NumberFormatter.h"

#include <cstdint>
#include <memory>
#include <optional>

// The compass sector of a bearing in degrees: 0 north, 1 northeast, ... 7 northwest; each sector spans 45°, its
// upper bound included (22.5 is north, 22.6 northeast).
int ZFMCompassSectorFromBearing(double degrees);

// Geographic values for people: coordinates, distances in metric or imperial units, bearings as words,
// abbreviations or degrees, and speeds. Numbers show two significant digits; words and formats come from the main
// bundle's table "ZORFormatters".
class ZFMLocationFormatter : public fnd::Formatter, public fnd::Coding {
    FND_OBJECT(ZFMLocationFormatter)

public:
    enum BearingStyle : std::int32_t { Word = 0, Abbreviation = 1, Degrees = 2 };
    enum UnitSystem : std::int32_t { Metric = 0, Imperial = 1 };

    ZFMLocationFormatter();
    ZFMLocationFormatter(const ZFMLocationFormatter& other);

    // Kept and archived; it changes no output.
    std::int32_t coordinateOrder() const { return m_coordinateOrder; }
    void setCoordinateOrder(std::int32_t order) { m_coordinateOrder = order; }
    std::int32_t bearingStyle() const { return m_bearingStyle; }
    void setBearingStyle(std::int32_t style) { m_bearingStyle = style; }
    std::int32_t unitSystem() const { return m_unitSystem; }
    void setUnitSystem(std::int32_t system) { m_unitSystem = system; }
    const std::shared_ptr<fnd::NumberFormatter>& numberFormatter() const { return m_numberFormatter; }

    // "(latitude, longitude)".
    fnd::String stringFromCoordinate(ZFMLocationCoordinate2D coordinate) const;
    fnd::String stringFromLocation(const ZFMLocation& location) const;
    // Metres as m or km, or as ft, yds or miles; nullopt for an unknown unit system.
    std::optional<fnd::String> stringFromDistance(double meters) const;
    // By the bearing style; nullopt for an unknown style.
    std::optional<fnd::String> stringFromBearing(double degrees) const;
    // Metres per second as m/s or km/h, or as ft/s or mph; nullopt for an unknown unit system.
    std::optional<fnd::String> stringFromSpeed(double metersPerSecond) const;
    std::optional<fnd::String> stringFromDistanceFromLocation(const ZFMLocation& from, const ZFMLocation& to) const;
    std::optional<fnd::String> stringFromBearingFromLocation(const ZFMLocation& from, const ZFMLocation& to) const;
    // "<distance> <bearing>".
    std::optional<fnd::String> stringFromDistanceAndBearingFromLocation(
        const ZFMLocation& from, const ZFMLocation& to) const;
    // "<speed> <bearing>".
    std::optional<fnd::String> stringFromVelocityFromLocation(
        const ZFMLocation& from, const ZFMLocation& to, double atSpeed) const;

    // Locations only.
    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    // Not offered: the answer is the reason.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    fnd::String number(double value) const;

    std::int32_t m_coordinateOrder { 0 };
    std::int32_t m_bearingStyle { Word };
    std::int32_t m_unitSystem { Metric };
    std::shared_ptr<fnd::NumberFormatter> m_numberFormatter;
};
