#pragma once
// The fixed table of the reference systems the program supports.
//
// A document keeps its reference system as an index into this table (-1 for
// "Unknown"); workspace files store the row's program id instead, so rows may
// be added or reordered without changing what a stored file means.

#include <array>
#include <cstdint>
#include <string>

class CArchive;

// How a row's projection is computed. Pseudo-Mercator (EPSG 3857) is the
// Mercator projection of the sphere with WGS 84's semi-major axis applied to
// WGS 84 latitudes and longitudes, as EPSG defines it; the engine's Mercator
// module is ellipsoidal and would place 60 degrees north 37 km away from it.
enum RefSysVariant : std::uint32_t {
    RSV_Standard = 0,
    RSV_PseudoMercator = 1,
};

struct RefSysParameters {
    // Geodetic rows: the engine's height type (0: no height).
    std::uint32_t heightType;
    // Projected rows: angles in radians, lengths in metres.
    double originLatitude;
    double centralMeridian;
    double scaleFactor;
    double falseEasting;
    double falseNorthing;
};

struct RefSysEntry {
    std::uint32_t id;         // program id: the value stored in workspace files
    std::uint32_t epsg;
    std::string group;        // tree group of the transform dialog, or empty
    std::string subgroup;     // tree subgroup, or empty
    std::string name;
    // Low byte not 0: offered as a source system; second byte not 0: as a
    // target system.
    std::uint32_t flags;
    std::string datum;        // datum code of the engine's datum table
    std::uint32_t kind;       // CSYS_Geodetic, CSYS_Mercator or CSYS_TransverseMercator
    RefSysParameters parameters;
    std::uint32_t reserved[2];
    RefSysVariant variant;
};

constexpr int kRefSysCount = 138;

const std::array<RefSysEntry, kRefSysCount>& RefSysTable();

// The row at index, or nullptr for an index outside the table (-1 included).
const RefSysEntry* GetRefSysEntry(int index);

// Index of the first row with that EPSG code. Throws the text
// "Unsupported reference system." (a const char*) when there is none.
int FindRefSysByEpsg(std::uint32_t epsg);

// Archive form of a reference-system choice: three u32, 8, 1 and the row's id
// (0xFFFFFFFF for none). Loading ignores the first two and gives -1 for an id
// that is not in the table; CArchiveException for data that ends early.
void SerializeRefSysIndex(CArchive& ar, int& index);
