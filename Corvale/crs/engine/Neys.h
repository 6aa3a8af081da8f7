#pragma once
// The Neys module (CSYS_Neys): Ney's modified Lambert conformal conic for
// the polar regions: a standard parallel of 71 or 74 degrees and a second
// one at 89 degrees 59 minutes 59 seconds in the hemisphere of the origin,
// run by LambertConformalConic2 (whose parameters every operation here
// replaces).
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t NEYS_LatitudeError = 0x0001;
constexpr std::uint32_t NEYS_LongitudeError = 0x0002;
constexpr std::uint32_t NEYS_EastingError = 0x0004;
constexpr std::uint32_t NEYS_NorthingError = 0x0008;
constexpr std::uint32_t NEYS_StandardParallelError = 0x0010; // not 71 or 74 degrees
constexpr std::uint32_t NEYS_OriginLatitudeError = 0x0020;
constexpr std::uint32_t NEYS_CentralMeridianError = 0x0040;
constexpr std::uint32_t NEYS_SemiMajorAxisError = 0x0080;
constexpr std::uint32_t NEYS_InverseFlatteningError = 0x0100;
constexpr std::uint32_t NEYS_ScaleFactorError = 0x0200; // the derived scale factor

std::uint32_t NeysSetParameters(double a, double f, double originLatitude, double centralMeridian,
                                double standardParallel, double falseEasting, double falseNorthing);
void NeysGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                       double& standardParallel, double& falseEasting, double& falseNorthing);
std::uint32_t NeysForward(double latitude, double longitude, double& easting, double& northing);
std::uint32_t NeysInverse(double easting, double northing, double& latitude, double& longitude);
