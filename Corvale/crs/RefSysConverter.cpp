#include "crs/RefSysConverter.h"

#include "crs/PseudoMercator.h"
#include "crs/RefSysTable.h"
#include "crs/engine/Datum.h"
#include "crs/engine/GeoEngine.h"

namespace {

constexpr int kState = 1;
constexpr int kInput = 0;
constexpr int kOutput = 1;
constexpr double kPi = 3.141592653589793;
constexpr double kMercatorLatitudeClamp = 89.0;

double ToRadians(double degrees) { return degrees * kPi / 180.0; }
double ToDegrees(double radians) { return radians * 180.0 / kPi; }

bool IsPseudoMercator(const RefSysEntry& e) { return e.variant == RSV_PseudoMercator; }

// The engine side of a Pseudo-Mercator row is geodetic on its datum; the
// converter projects on the sphere itself.
std::uint32_t EngineKind(const RefSysEntry& e) { return IsPseudoMercator(e) ? CSYS_Geodetic : e.kind; }

void ConfigureSide(int direction, const RefSysEntry& e) {
    std::uint32_t datum = 0;
    GeoEngineGetDatumIndex(e.datum, datum);
    GeoEngineSetDatum(kState, direction, datum);
    const RefSysParameters& p = e.parameters;
    switch (EngineKind(e)) {
    case CSYS_Geodetic:
        GeoEngineSetSystem(kState, direction, CSYS_Geodetic);
        GeoEngineSetGeodeticParameters(kState, direction, IsPseudoMercator(e) ? 0 : p.heightType);
        break;
    case CSYS_Mercator:
        GeoEngineSetSystem(kState, direction, CSYS_Mercator);
        GeoEngineSetMercatorParameters(kState, direction, p.originLatitude, p.centralMeridian, p.scaleFactor,
                                       p.falseEasting, p.falseNorthing);
        break;
    case CSYS_TransverseMercator:
        GeoEngineSetSystem(kState, direction, CSYS_TransverseMercator);
        GeoEngineSetTransverseMercatorParameters(kState, direction, p.originLatitude, p.centralMeridian,
                                                 p.scaleFactor, p.falseEasting, p.falseNorthing);
        break;
    default:
        break;
    }
}

PseudoMercatorParameters SphereOf(const RefSysEntry& e) {
    double a = 0.0, f = 0.0;
    std::uint32_t datum = 0;
    GeoEngineGetDatumIndex(e.datum, datum);
    DatumGetEllipsoidParameters(datum, a, f);
    const RefSysParameters& p = e.parameters;
    return {a, p.originLatitude, p.centralMeridian, p.falseEasting, p.falseNorthing};
}

// Counts the configurations of the engine's slot; the converter that made
// the latest one may convert without configuring it again.
std::uint64_t g_SlotConfiguration = 0;

} // namespace

CRefSysConverter::CRefSysConverter(std::int32_t fromIndex, std::int32_t toIndex)
    : m_From(fromIndex), m_To(toIndex) {
    Configure();
}

void CRefSysConverter::Configure() const {
    GeoEngineInitialize();
    // The results are not checked here: Convert reports what fails.
    if (const RefSysEntry* from = GetRefSysEntry(m_From))
        ConfigureSide(kInput, *from);
    if (const RefSysEntry* to = GetRefSysEntry(m_To))
        ConfigureSide(kOutput, *to);
    m_Configuration = ++g_SlotConfiguration;
}

bool CRefSysConverter::Convert(double x, double y, double& outX, double& outY) const {
    const RefSysEntry* from = GetRefSysEntry(m_From);
    const RefSysEntry* to = GetRefSysEntry(m_To);
    if (m_From == m_To && (from || m_From == -1)) {
        outX = x;
        outY = y;
        return true;
    }
    if (!from || !to)
        return false;
    if (m_Configuration != g_SlotConfiguration)
        Configure();

    std::uint32_t r = 0;
    if (IsPseudoMercator(*from)) {
        double lat = 0.0, lon = 0.0;
        if (PseudoMercatorInverse(SphereOf(*from), x, y, lat, lon))
            return false;
        r = GeoEngineSetGeodeticCoordinates(kState, kInput, lon, lat, 0.0);
    } else {
        switch (from->kind) {
        case CSYS_Geodetic: {
            double lat = y;
            if (to->kind == CSYS_Mercator) {
                if (lat < -kMercatorLatitudeClamp)
                    lat = -kMercatorLatitudeClamp;
                else if (lat > kMercatorLatitudeClamp)
                    lat = kMercatorLatitudeClamp;
            }
            r = GeoEngineSetGeodeticCoordinates(kState, kInput, ToRadians(x), ToRadians(lat), 0.0);
            break;
        }
        case CSYS_Mercator:
            r = GeoEngineSetMercatorCoordinates(kState, kInput, x, y);
            break;
        case CSYS_TransverseMercator:
            r = GeoEngineSetTransverseMercatorCoordinates(kState, kInput, x, y);
            break;
        default:
            break;
        }
    }

    r |= GeoEngineConvert(kState);
    if (r == GEC_InputWarning || r == GEC_OutputWarning)
        r = 0;

    std::uint32_t got = 0;
    if (IsPseudoMercator(*to)) {
        GeodeticCoordinates g{};
        got = GeoEngineGetGeodeticCoordinates(kState, kOutput, g);
        if (got == 0 && r == 0) {
            double e = 0.0, n = 0.0;
            got = PseudoMercatorForward(SphereOf(*to), g.latitude, g.longitude, e, n);
            if (got == 0) {
                outX = e;
                outY = n;
            }
        }
        return r == 0 && got == 0;
    }
    switch (to->kind) {
    case CSYS_Geodetic: {
        GeodeticCoordinates g{};
        got = GeoEngineGetGeodeticCoordinates(kState, kOutput, g);
        outX = ToDegrees(g.longitude);
        outY = ToDegrees(g.latitude);
        break;
    }
    case CSYS_Mercator: {
        ProjectedCoordinates p{};
        got = GeoEngineGetMercatorCoordinates(kState, kOutput, p);
        outX = p.easting;
        outY = p.northing;
        break;
    }
    case CSYS_TransverseMercator: {
        ProjectedCoordinates p{};
        got = GeoEngineGetTransverseMercatorCoordinates(kState, kOutput, p);
        outX = p.easting;
        outY = p.northing;
        break;
    }
    default:
        return r == 0;
    }
    return r == 0 && got == 0;
}
