#pragma once

#include "frameworks/FoundationExtensions/ZORMeasurementLib.h"

#include "platform/foundation/runtime/NotificationCenter.h"

#include <cstdint>

// The kinds of length the user picks a unit for.
using DVNAppUnitType = std::int32_t;

namespace DVNAppUnit {
inline constexpr DVNAppUnitType Page = 0;
inline constexpr DVNAppUnitType Font = 1;
inline constexpr DVNAppUnitType Line = 2;
inline constexpr DVNAppUnitType TextRuler = 3;
}

// Posted on the default centre after every change of a unit; the object is a number holding the DVNAppUnitType.
inline const fnd::NotificationName ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification
    = "ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification";

// The measurement unit of each application unit type, kept in the standard user defaults (registered defaults:
// page centimetres, font points, line and text ruler millimetres) so a stored choice survives restarts. Every change
// is announced so that formatters and fields switch units at once. Main thread.
class ZORApplicationMeasurementCenter {
public:
    // Makes the shared centre and registers the defaults; the application calls it at start, before windows load.
    static void initializeInformationCenter();
    // The shared centre; the first request initialises it.
    static ZORApplicationMeasurementCenter& informationCenter();
    static bool hasSharedInstances() { return true; }

    // The defaults key of a type; empty above 3.
    static fnd::String defaultsKeyForDVNAppUnitType(DVNAppUnitType type);

    // 0 (points) for a type above 3.
    ZORMeasurementUnitType measurementUnitTypeForDVNAppUnitType(DVNAppUnitType type) const;
    // Stores nothing for a type above 3, but posts in every case.
    void setMeasurementUnitType(ZORMeasurementUnitType unit, DVNAppUnitType type);

    ZORApplicationMeasurementCenter(const ZORApplicationMeasurementCenter&) = delete;
    ZORApplicationMeasurementCenter& operator=(const ZORApplicationMeasurementCenter&) = delete;

private:
    ZORApplicationMeasurementCenter() = default;
};
