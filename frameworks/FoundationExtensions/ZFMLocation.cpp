#include "frameworks/FoundationExtensions/ZFMLocation.h"

#include <cmath>

FND_REGISTER_CLASS(ZFMLocation, fnd::Object)

namespace {

constexpr double Pi = 3.141592653589793;

double radians(double degrees)
{
    return degrees * Pi / 180;
}

}

std::shared_ptr<ZFMLocation> ZFMLocation::locationWithLatitude(double latitude, double longitude)
{
    return std::make_shared<ZFMLocation>(ZFMLocationCoordinate2D { latitude, longitude });
}

double ZFMLocation::distanceFromLocation(const ZFMLocation& location) const
{
    const double lat1 = radians(m_coordinate.latitude);
    const double lat2 = radians(location.m_coordinate.latitude);
    const double dLat = lat2 - lat1;
    const double dLon = radians(location.m_coordinate.longitude - m_coordinate.longitude);
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * EarthRadius * std::asin(std::sqrt(std::min(1.0, h)));
}

double ZFMLocation::bearingToLocation(const ZFMLocation& location) const
{
    const double lat1 = radians(m_coordinate.latitude);
    const double lat2 = radians(location.m_coordinate.latitude);
    const double dLon = radians(location.m_coordinate.longitude - m_coordinate.longitude);
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    // Into [0, 360): due north is 0, not 360.
    double degrees = std::fmod(std::atan2(y, x) * 180 / Pi + 360, 360);
    return degrees >= 360 ? 0 : degrees;
}
