#include "crs/engine/Ellipsoid.h"

#include <atomic>
#include <cctype>
#include <mutex>

namespace {

struct EllipsoidRow {
    const char* name;
    const char* code;
    double a;               // semi-major axis, m
    double b;               // semi-minor axis, m
    double inverseFlattening;
    std::uint32_t userDefined;
};

const EllipsoidRow kEllipsoids[kEllipsoidCount] = {
    {"Airy 1830", "AA", 6377563.396, 6356256.909, 299.3249646, 0},
    {"Modified Airy", "AM", 6377340.189, 6356034.448, 299.3249646, 0},
    {"Australian National", "AN", 6378160.0, 6356774.719, 298.25, 0},
    {"Bessel 1841(Namibia)", "BN", 6377483.865, 6356165.383, 299.1528128, 0},
    {"Bessel 1841", "BR", 6377397.155, 6356078.963, 299.1528128, 0},
    {"Clarke 1866", "CC", 6378206.4, 6356583.8, 294.9786982, 0},
    {"Clarke 1880", "CD", 6378249.145, 6356514.87, 293.465, 0},
    {"Everest (India 1830)", "EA", 6377276.345, 6356075.413, 300.8017, 0},
    {"Everest (E. Malasia, Brunei)", "EB", 6377298.556, 6356097.55, 300.8017, 0},
    {"Everest 1956 (India)", "EC", 6377301.243, 6356100.228, 300.8017, 0},
    {"Everest 1969 (West Malasia)", "ED", 6377295.664, 6356094.668, 300.8017, 0},
    {"Everest 1948(W.Mals. & Sing.)", "EE", 6377304.063, 6356103.039, 300.8017, 0},
    {"Everest (Pakistan)", "EF", 6377309.613, 6356109.571, 300.8017, 0},
    {"Mod. Fischer 1960(South Asia)", "FA", 6378155.0, 6356773.32, 298.3, 0},
    {"Helmert 1906", "HE", 6378200.0, 6356818.17, 298.3, 0},
    {"Hough 1960", "HO", 6378270.0, 6356794.343, 297.0, 0},
    {"Indonesian 1974", "ID", 6378160.0, 6356774.504, 298.247, 0},
    {"International 1924", "IN", 6378388.0, 6356911.946, 297.0, 0},
    {"Krassovsky 1940", "KA", 6378245.0, 6356863.019, 298.3, 0},
    {"GRS 80", "RF", 6378137.0, 6356752.3141, 298.257222101, 0},
    {"South American 1969", "SA", 6378160.0, 6356774.719, 298.25, 0},
    {"WGS 72", "WD", 6378135.0, 6356750.52, 298.26, 0},
    {"WGS 84", "WE", 6378137.0, 6356752.3142, 298.257223563, 0},
};

// Built once, by whichever thread gets there first; read without a lock after.
std::once_flag g_once;
std::atomic<bool> g_initialized{false};
std::uint32_t g_initResult = 0;
std::uint32_t g_wgs84Index = 0;
std::uint32_t g_wgs72Index = 0;

std::uint32_t FindCode(std::string_view code) {
    if (code.size() > 2)
        return 0;
    char upper[2] = {0, 0};
    for (std::size_t i = 0; i < code.size(); ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(code[i])));
    const std::string_view wanted(upper, code.size());
    for (std::uint32_t i = 0; i < kEllipsoidCount; ++i)
        if (wanted == kEllipsoids[i].code)
            return i + 1;
    return 0;
}

void Build() {
    g_wgs84Index = FindCode("WE");
    g_wgs72Index = FindCode("WD");
    g_initResult = (g_wgs84Index == 0 || g_wgs72Index == 0) ? ELL_InitError : 0;
    // Published last, so a thread that sees the flag also sees the indices.
    g_initialized.store(true, std::memory_order_release);
}

std::uint32_t GetByIndex(std::uint32_t index, double& a, double& f) {
    a = 0.0;
    f = 0.0;
    if (index < 1 || index > kEllipsoidCount)
        return ELL_InvalidIndex;
    a = kEllipsoids[index - 1].a;
    f = 1.0 / kEllipsoids[index - 1].inverseFlattening;
    return 0;
}

} // namespace

std::uint32_t EllipsoidInitialize() {
    std::call_once(g_once, Build);
    return g_initResult;
}

std::uint32_t EllipsoidGetIndex(std::string_view code, std::uint32_t& index) {
    index = 0;
    if (!g_initialized.load(std::memory_order_acquire))
        return ELL_NotInitialized;
    index = FindCode(code);
    return index == 0 ? ELL_InvalidCode : 0;
}

std::uint32_t EllipsoidGetParameters(std::uint32_t index, double& a, double& f) {
    if (!g_initialized.load(std::memory_order_acquire)) {
        a = 0.0;
        f = 0.0;
        return ELL_NotInitialized;
    }
    return GetByIndex(index, a, f);
}

std::uint32_t EllipsoidGetWgs84Parameters(double& a, double& f) {
    if (!g_initialized.load(std::memory_order_acquire)) {
        a = 0.0;
        f = 0.0;
        return ELL_NotInitialized;
    }
    return GetByIndex(g_wgs84Index, a, f);
}

std::uint32_t EllipsoidGetWgs72Parameters(double& a, double& f) {
    if (!g_initialized.load(std::memory_order_acquire)) {
        a = 0.0;
        f = 0.0;
        return ELL_NotInitialized;
    }
    return GetByIndex(g_wgs72Index, a, f);
}
