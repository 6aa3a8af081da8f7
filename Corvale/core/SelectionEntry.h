#pragma once
// One selected shape of a theme, kept in CTheme::m_Selection under its shape
// index.
//
// The entry holds no position: a shape's position in the visible list changes
// with every filter, sort and deletion, and a position stored at selection
// time would then name another shape (delete or copy the wrong one). Where a
// selected shape's position is needed it is asked of the theme,
// CTheme::GetShapePosition(shape index), which answers -1 for a shape that
// is filtered out.

#include <cstdint>

struct CSelectionEntry {
    // 0x00BBGGRR, red in the low byte.
    std::uint32_t m_Color = 0;
    // Pen width of the selection mark: 3 for point shapes, the theme's line
    // width for polylines and polygons.
    std::int32_t m_Width = 0;
    // Order of selection; the entries of a theme always hold exactly
    // 0 .. m_SelectionCounter - 1.
    std::int32_t m_SelectionIndex = 0;
};
