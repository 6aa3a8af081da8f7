// Reads arbitrary text as the grid strings of the coordinate engine: MGRS and
// USNG (to geodetic, UTM and UPS), the British grid, GARS and GEOREF. A
// string that is accepted must give a point on the globe; a GARS string
// read as the centre of its area must be written back as itself.

#include "crs/engine/BritishNationalGrid.h"
#include "crs/engine/Gars.h"
#include "crs/engine/Georef.h"
#include "crs/engine/Mgrs.h"
#include "crs/engine/Usng.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void RequireOnTheGlobe(double latitude, double longitude) {
    Require(std::isfinite(latitude) && std::isfinite(longitude));
    Require(latitude >= -kHalfPi - 1e-12 && latitude <= kHalfPi + 1e-12);
    Require(longitude >= -kPi - 1e-12 && longitude <= 2.0 * kPi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    double lat = 0.0;
    double lon = 0.0;

    for (const bool usng : {false, true}) {
        const std::uint32_t flags =
            usng ? UsngInverse(text, lat, lon) : MgrsInverse(text, lat, lon);
        if ((flags & ~USNG_BandWarning) == 0) {
            RequireOnTheGlobe(lat, lon);
            char again[MGRS_StringSize];
            usng ? UsngForward(lat, lon, 5, again) : MgrsForward(lat, lon, 5, again);
        }
        std::int32_t zone = 0;
        char hemisphere = '?';
        double e = 0.0;
        double n = 0.0;
        if (((usng ? UsngToUtm(text, zone, hemisphere, e, n)
                   : MgrsToUtm(text, zone, hemisphere, e, n)) &
             ~USNG_BandWarning) == 0) {
            Require(zone >= 1 && zone <= 60 && (hemisphere == 'N' || hemisphere == 'S'));
            Require(e >= 100000.0 && e <= 900000.0 && n >= 0.0 && n <= 10000000.0);
        }
        if ((usng ? UsngToUps(text, hemisphere, e, n) : MgrsToUps(text, hemisphere, e, n)) == 0)
            Require(e >= 0.0 && e <= 4000000.0 && n >= 0.0 && n <= 4000000.0);
    }

    if (BngInverse(text, lat, lon) == 0)
        RequireOnTheGlobe(lat, lon);

    if (GarsInverse(text, lat, lon) == 0) {
        RequireOnTheGlobe(lat, lon);
        char again[GARS_StringSize];
        Require(GarsForward(lat, lon, static_cast<long>(text.size()) - 5, again) == 0);
        std::string upper(text);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        Require(upper == again);
    }

    if (GeorefInverse(text, lat, lon) == 0) {
        RequireOnTheGlobe(lat, lon);
        char again[GEOREF_StringSize];
        Require(GeorefForward(lat, lon, 5, again) == 0);
    }
    return 0;
}
