#pragma once
// A named place of the map: its centre and the zoom, as map units per pixel.

#include <string>

class CArchive;

struct CBookmarkRecord {
    double m_X = 0.0;
    double m_Y = 0.0;
    std::string m_Name;
    double m_UnitsPerPixel = 1.0;

    // The form inside the workspace file: u32 record version (1 when
    // written, ignored when read), the name as an archive string, then units
    // per pixel, x and y as doubles.
    void Serialize(CArchive& archive);
};
