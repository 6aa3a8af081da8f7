#include "crs/RefSysTable.h"

#include "crs/engine/GeoEngine.h"
#include "platform/Archive.h"


namespace {

constexpr double kPi = 3.141592653589793;
constexpr std::uint32_t kOffered = 0x101;
constexpr std::uint32_t kNoId = 0xFFFFFFFFu;
constexpr std::uint32_t kSchemaWord = 8;
constexpr std::uint32_t kVersionWord = 1;

double Radians(double degrees) { return degrees * kPi / 180.0; }

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

RefSysEntry Geodetic(std::uint32_t id, std::uint32_t epsg, const char* name, std::uint32_t flags) {
    RefSysEntry e{};
    e.id = id;
    e.epsg = epsg;
    e.name = name;
    e.flags = flags;
    e.datum = "WGE";
    e.kind = CSYS_Geodetic;
    e.parameters.heightType = 0;
    e.variant = RSV_Standard;
    return e;
}

RefSysEntry Projected(std::uint32_t id, std::uint32_t epsg, const char* group, const char* subgroup,
                      std::string name, const char* datum, std::uint32_t kind, double originLatitude,
                      double centralMeridian, double scaleFactor, double falseEasting,
                      double falseNorthing) {
    RefSysEntry e{};
    e.id = id;
    e.epsg = epsg;
    e.group = group;
    e.subgroup = subgroup;
    e.name = std::move(name);
    e.flags = kOffered;
    e.datum = datum;
    e.kind = kind;
    e.parameters = {0, originLatitude, centralMeridian, scaleFactor, falseEasting, falseNorthing};
    e.variant = RSV_Standard;
    return e;
}

struct LocalSweref {
    std::uint32_t epsg;
    int degrees;
    int minutes;
};

std::array<RefSysEntry, kRefSysCount> BuildTable() {
    std::array<RefSysEntry, kRefSysCount> t{};
    int i = 0;
    t[i++] = Geodetic(2, 4978, "WGS 84", 0);
    t[i++] = Geodetic(9, 4326, "WGS 84", kOffered);
    {
        RefSysEntry e = Projected(300, 3857, "Projections", "", "WGS 84/Pseudo-Mercator", "WGE",
                                  CSYS_Mercator, 0.0, 0.0, 1.0, 0.0, 0.0);
        e.variant = RSV_PseudoMercator;
        t[i++] = e;
    }
    t[i++] = Projected(3, 3021, "Sweden", "", "RT 90 2.5 gon V 0:-15", "RT90-7", CSYS_TransverseMercator,
                       0.0, 0.2759064962920747, 1.0, 1500000.0, 0.0);
    t[i++] = Projected(4, 3006, "Sweden", "", "SWEREF99 TM", "WGE", CSYS_TransverseMercator, 0.0,
                       0.2617993877991494, 0.9996, 500000.0, 0.0);
    // Ordered by central meridian; the id is the EPSG code less 2706.
    const LocalSweref local[] = {
        {3007, 12, 0},  {3008, 13, 30}, {3012, 14, 15}, {3009, 15, 0},  {3013, 15, 45}, {3010, 16, 30},
        {3014, 17, 15}, {3011, 18, 0},  {3015, 18, 45}, {3016, 20, 15}, {3017, 21, 45}, {3018, 23, 15},
    };
    for (const LocalSweref& z : local) {
        const std::string name = "SWEREF99 " + TwoDigits(z.degrees) + " " + TwoDigits(z.minutes);
        t[i++] = Projected(z.epsg - 2706, z.epsg, "Sweden", "", name, "WGE", CSYS_TransverseMercator, 0.0,
                           Radians(z.degrees + z.minutes / 60.0), 1.0, 150000.0, 0.0);
    }
    t[i++] = Projected(5, 3152, "Sweden", "Stockholm", "ST 74 0 gon 65:-1", "GRS80", CSYS_TransverseMercator,
                       0.0, 0.31516789113370686, 0.99999425, 100178.1808, -6500614.7836);
    for (int south = 0; south < 2; ++south) {
        for (int zone = 1; zone <= 60; ++zone) {
            const std::string name = "UTM Zone " + TwoDigits(zone) + (south ? "S" : "N");
            const auto n = static_cast<std::uint32_t>(zone);
            t[i++] = Projected((south ? 200 : 100) + n, (south ? 32700 : 32600) + n, "UTM", "WGS84", name,
                               "WGE", CSYS_TransverseMercator, 0.0, Radians(6.0 * zone - 183.0), 0.9996,
                               500000.0, south ? 10000000.0 : 0.0);
        }
    }
    return t;
}

} // namespace

const std::array<RefSysEntry, kRefSysCount>& RefSysTable() {
    static const std::array<RefSysEntry, kRefSysCount> table = BuildTable();
    return table;
}

const RefSysEntry* GetRefSysEntry(int index) {
    if (index < 0 || index >= kRefSysCount)
        return nullptr;
    return &RefSysTable()[static_cast<std::size_t>(index)];
}

int FindRefSysByEpsg(std::uint32_t epsg) {
    const auto& table = RefSysTable();
    for (int i = 0; i < kRefSysCount; ++i)
        if (table[static_cast<std::size_t>(i)].epsg == epsg)
            return i;
    throw "Unsupported reference system.";
}

void SerializeRefSysIndex(CArchive& ar, int& index) {
    const auto& table = RefSysTable();
    if (ar.IsStoring()) {
        // An index outside the table is stored as no reference system.
        const RefSysEntry* entry = GetRefSysEntry(index);
        ar.WriteU32(kSchemaWord);
        ar.WriteU32(kVersionWord);
        ar.WriteU32(entry ? entry->id : kNoId);
        return;
    }
    ar.ReadU32();
    ar.ReadU32();
    const std::uint32_t id = ar.ReadU32();
    index = -1;
    for (int i = 0; i < kRefSysCount; ++i) {
        if (table[static_cast<std::size_t>(i)].id == id) {
            index = i;
            return;
        }
    }
}
