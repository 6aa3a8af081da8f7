#pragma once
// Process-wide state shared by the engine's set-up operations and its
// conversion pipeline. Not for use outside the engine.

#include "crs/engine/GeoEngine.h"

namespace geoengine {

struct SystemDefaults {
    GeoEngineParameters parameters;
    GeoEngineCoordinates coordinates;
};

struct EngineGlobals {
    bool initialized = false;
    std::uint32_t datumCount = 0;
    std::uint32_t wgs84DatumIndex = 0;
    int gridPrecision = 0;
    GeoEngineState states[2][2] = {};
    SystemDefaults defaults[kCoordinateSystemTypeCount] = {};
    // Circular, linear and spherical error at 90 per cent of the last
    // conversion, -1 when unknown.
    double ce90 = -1.0;
    double le90 = -1.0;
    double se90 = -1.0;
};

extern EngineGlobals g_engine;

// True for the types whose modules this build has.
bool GeoEngineHasModule(std::uint32_t type);

} // namespace geoengine
