#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>

// A point on the earth in degrees: latitude north positive, longitude east positive.
struct ZFMLocationCoordinate2D {
    double latitude { 0 };
    double longitude { 0 };
    bool operator==(const ZFMLocationCoordinate2D&) const = default;
};

// A location as the formatters take it: a coordinate, with distances and bearings to other locations on a sphere.
class ZFMLocation : public fnd::Object {
    FND_OBJECT(ZFMLocation)

public:
    // The mean radius of the earth (IUGG), in metres.
    static constexpr double EarthRadius = 6371008.8;

    ZFMLocation() = default;
    explicit ZFMLocation(ZFMLocationCoordinate2D coordinate)
        : m_coordinate(coordinate)
    {
    }
    static std::shared_ptr<ZFMLocation> locationWithLatitude(double latitude, double longitude);

    ZFMLocationCoordinate2D coordinate() const { return m_coordinate; }

    // The great-circle distance in metres by the haversine formula,
    //     d = 2 R asin(sqrt(sin²(Δφ / 2) + cos φ1 cos φ2 sin²(Δλ / 2))),
    // on a sphere of EarthRadius: within about 0.5 % of the distance on the ellipsoid.
    double distanceFromLocation(const ZFMLocation& location) const;
    // The initial great-circle bearing towards the location, in degrees clockwise from north, 0 up to below 360.
    double bearingToLocation(const ZFMLocation& location) const;

private:
    ZFMLocationCoordinate2D m_coordinate;
};
