#pragma once
// The column layout of a column list: per column its width (remembered also
// while the column is hidden), whether it is shown and whether its heading
// is selected, and the display order. The panes keep one per theme and hand
// it back to the list when the theme is shown again.

#include <cstdint>
#include <vector>

struct CColumnExStateEntry {
    std::int32_t m_Width = 0;
    bool m_Visible = true;
    bool m_Selected = false;

    bool operator==(const CColumnExStateEntry& other) const {
        return m_Width == other.m_Width && m_Visible == other.m_Visible && m_Selected == other.m_Selected;
    }
};

class CColumnExState {
public:
    // Copies the entries and the order.
    void Assign(const CColumnExState& other) {
        if (&other == this)
            return;
        m_Columns = other.m_Columns;
        m_Order = other.m_Order;
    }
    std::size_t GetSize() const { return m_Columns.size(); }

    bool operator==(const CColumnExState& other) const {
        return m_Columns == other.m_Columns && m_Order == other.m_Order;
    }

    std::vector<CColumnExStateEntry> m_Columns;
    // Column index at each display position.
    std::vector<int> m_Order;
};
