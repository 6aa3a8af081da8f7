#pragma once
// Converts single points between two rows of the reference-system table.
//
// The engine's conversion slot 1 is process-wide: a converter configures it
// when constructed, and configures it again before a conversion when another
// converter has configured it since. A converter can so be kept between uses
// (the measure tool keeps one) without resetting the engine on every call.
// Use converters on the user-interface thread.

#include <cstdint>

class CRefSysConverter {
public:
    CRefSysConverter(std::int32_t fromIndex, std::int32_t toIndex);

    // Geodetic coordinates are x = longitude, y = latitude in degrees;
    // projected ones x = easting, y = northing in metres. True on success; a
    // warning alone (a point far from a central meridian) counts as success.
    // The outputs are written whenever the engine produced coordinates, also
    // when the result is false. Indices outside the table give false; a row
    // converted to itself gives the input unchanged.
    bool Convert(double x, double y, double& outX, double& outY) const;

    std::int32_t GetFromIndex() const { return m_From; }
    std::int32_t GetToIndex() const { return m_To; }

private:
    void Configure() const;

    std::int32_t m_From;
    std::int32_t m_To;
    // Which configuration of the engine's slot this converter made.
    mutable std::uint64_t m_Configuration = 0;
};
