#pragma once
// A named place of the map: its centre and the zoom, as map units per pixel.

#include <string>

struct CBookmarkRecord {
    double m_X = 0.0;
    double m_Y = 0.0;
    std::string m_Name;
    double m_UnitsPerPixel = 0.0;
};
