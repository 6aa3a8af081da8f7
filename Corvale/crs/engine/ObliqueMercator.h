#pragma once
// The ObliqueMercator module (CSYS_ObliqueMercator): Hotine's oblique
// Mercator on the ellipsoid with the central line given by two points
// (Snyder's two-point form), the result rotated to north up.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t OMERC_LatitudeError = 0x0001;
constexpr std::uint32_t OMERC_LongitudeError = 0x0002; // also a point at infinity
constexpr std::uint32_t OMERC_OriginLatitudeError = 0x0004;
constexpr std::uint32_t OMERC_Latitude1Error = 0x0008; // also exactly 0
constexpr std::uint32_t OMERC_Latitude2Error = 0x0010;
constexpr std::uint32_t OMERC_Longitude1Error = 0x0020;
constexpr std::uint32_t OMERC_Longitude2Error = 0x0040;
constexpr std::uint32_t OMERC_EqualLatitudesError = 0x0080;
constexpr std::uint32_t OMERC_HemisphereError = 0x0100; // the two points either side of the equator
constexpr std::uint32_t OMERC_EastingError = 0x0200;
constexpr std::uint32_t OMERC_NorthingError = 0x0400; // also: the latitude iteration did not settle
constexpr std::uint32_t OMERC_SemiMajorAxisError = 0x0800;
constexpr std::uint32_t OMERC_InverseFlatteningError = 0x1000;
constexpr std::uint32_t OMERC_ScaleFactorError = 0x2000;
constexpr std::uint32_t OMERC_LongitudeWarning =
    0x4000; // 90 degrees or more from the origin longitude

std::uint32_t ObliqueMercatorSetParameters(double a, double f, double originLatitude,
                                           double latitude1, double longitude1, double latitude2,
                                           double longitude2, double falseEasting,
                                           double falseNorthing, double scaleFactor);
void ObliqueMercatorGetParameters(double& a, double& f, double& originLatitude, double& latitude1,
                                  double& longitude1, double& latitude2, double& longitude2,
                                  double& falseEasting, double& falseNorthing, double& scaleFactor);
std::uint32_t ObliqueMercatorForward(double latitude, double longitude, double& easting,
                                     double& northing);
std::uint32_t ObliqueMercatorInverse(double easting, double northing, double& latitude,
                                     double& longitude);
