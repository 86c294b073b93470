#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"

#include "platform/foundation/files/UserDefaults.h"

#include <array>

namespace {

struct AppUnit {
    const char* defaultsKey;
    ZORMeasurementUnitType defaultUnit;
};

constexpr std::array<AppUnit, 4> AppUnits { {
    { "ZORICPageUnitMeasurementType", ZORMeasurementUnit::Centimeter },
    { "ZORICFontUnitMeasurementType", ZORMeasurementUnit::Point },
    { "ZORICLineUnitMeasurementType", ZORMeasurementUnit::Millimeter },
    { "ZORICTextRulerUnitMeasurementType", ZORMeasurementUnit::Millimeter },
} };

bool isKnown(DVNAppUnitType type)
{
    return type >= 0 && static_cast<std::size_t>(type) < AppUnits.size();
}

}

void ZORApplicationMeasurementCenter::initializeInformationCenter()
{
    informationCenter();
}

ZORApplicationMeasurementCenter& ZORApplicationMeasurementCenter::informationCenter()
{
    // Registered once, with the centre: stored choices of the user stay above the registration domain.
    static ZORApplicationMeasurementCenter& shared = []() -> ZORApplicationMeasurementCenter& {
        static ZORApplicationMeasurementCenter centre;
        fnd::Dictionary defaults;
        for (const auto& unit : AppUnits)
            defaults.set(unit.defaultsKey, static_cast<long long>(unit.defaultUnit));
        fnd::UserDefaults::standardUserDefaults().registerDefaults(defaults);
        return centre;
    }();
    return shared;
}

fnd::String ZORApplicationMeasurementCenter::defaultsKeyForDVNAppUnitType(DVNAppUnitType type)
{
    return isKnown(type) ? fnd::String(AppUnits[type].defaultsKey) : fnd::String();
}

ZORMeasurementUnitType ZORApplicationMeasurementCenter::measurementUnitTypeForDVNAppUnitType(DVNAppUnitType type) const
{
    if (!isKnown(type))
        return ZORMeasurementUnit::Point;
    return static_cast<ZORMeasurementUnitType>(
        fnd::UserDefaults::standardUserDefaults().integerForKey(AppUnits[type].defaultsKey));
}

void ZORApplicationMeasurementCenter::setMeasurementUnitType(ZORMeasurementUnitType unit, DVNAppUnitType type)
{
    if (isKnown(type))
        fnd::UserDefaults::standardUserDefaults().setInteger(
            static_cast<std::int64_t>(unit), AppUnits[type].defaultsKey);
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification, fnd::Value(type));
}
