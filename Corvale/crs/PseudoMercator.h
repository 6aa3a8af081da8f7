#pragma once
// Pseudo-Mercator (EPSG 3857, "Web Mercator"): the spherical Mercator
// formulas on a sphere of radius a (WGS 84's semi-major axis), applied to
// latitudes and longitudes on the WGS 84 ellipsoid without any change of
// datum. EPSG Guidance Note 7-2, method 1024.
//
// Flags follow the engine's projection modules (ProjectionFlags.h): latitude
// beyond 89.5 degrees or longitude outside -pi..2*pi on the way forward,
// easting or northing beyond the projection of those limits (one per cent to
// spare) on the way back.

#include <cstdint>

struct PseudoMercatorParameters {
    double a;                 // sphere radius, m
    double originLatitude;    // latitude of true scale, radians
    double centralMeridian;   // radians
    double falseEasting;
    double falseNorthing;
};

std::uint32_t PseudoMercatorForward(const PseudoMercatorParameters& p, double latitude, double longitude,
                                    double& easting, double& northing);
std::uint32_t PseudoMercatorInverse(const PseudoMercatorParameters& p, double easting, double northing,
                                    double& latitude, double& longitude);
