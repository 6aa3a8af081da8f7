#pragma once
// The engine's table of the projection modules it drives through their
// parameter records: one entry per CSYS_ type, saying how to set the module
// up from a side's record, how to run it and how its flags map into the
// engine's status bits. Not for use outside the engine. (Mercator and
// Transverse Mercator, whose records are ordered differently from their
// modules, are driven by the pipeline itself.)

#include <cstdint>
#include <vector>

namespace geoengine {

struct FlagToStatus {
    std::uint32_t flag;
    std::uint32_t status;
};

struct ProjectionModule {
    std::uint32_t type;
    // Number of values in the parameter record, in the module's order.
    int parameterCount;
    std::uint32_t (*setUp)(double a, double f, const double* record);
    void (*startValues)(double* record);
    std::uint32_t (*forward)(double latitude, double longitude, double& easting, double& northing);
    std::uint32_t (*inverse)(double easting, double northing, double& latitude, double& longitude);
    std::vector<FlagToStatus> setUpFlags;
    std::vector<FlagToStatus> forwardFlags;
    std::vector<FlagToStatus> inverseFlags;
    // Module flags that are warnings: the result is written all the same.
    std::uint32_t forwardWarnings;
    std::uint32_t inverseWarnings;
};

// The entry of a type, or nullptr.
const ProjectionModule* FindProjectionModule(std::uint32_t type);

std::uint32_t MapModuleFlags(std::uint32_t flags, const std::vector<FlagToStatus>& map);

} // namespace geoengine
