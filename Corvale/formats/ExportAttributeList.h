#pragma once
// What the Export Attributes dialog does, without widgets: two lists of
// columns, the available ones and the exported ones in export order, and the
// moves between them. The dialog shows the lists and forwards its buttons,
// double-clicks and check box here.

#include <string>
#include <vector>

class CTheme;

struct CExportAttributeItem {
    std::string m_Name;
    int m_Column = -1;
};

class CExportAttributeList {
public:
    // The available list receives the theme's columns in column order; while
    // onlyVisible is set, columns the theme marks hidden are left out.
    CExportAttributeList(const CTheme& theme, bool onlyVisible);

    const std::vector<CExportAttributeItem>& Available() const { return m_Available; }
    const std::vector<CExportAttributeItem>& Exported() const { return m_Exported; }
    bool OnlyVisible() const { return m_OnlyVisible; }

    // ">" (and a double-click in the available list): the available items at
    // the given rows go, in list order, to the end of the exported list.
    // Rows outside the list are ignored.
    void Add(const std::vector<int>& rows);
    // ">>": every available item.
    void AddAll();
    // "<" (and a double-click in the exported list): the exported items at the
    // rows go back to the end of the available list, except hidden columns
    // while only visible columns are offered.
    void Remove(const std::vector<int>& rows);
    // "<<": every exported item.
    void RemoveAll();
    // The check box: the available list is built again from the theme's
    // columns under the new setting, leaving out every exported column.
    void SetOnlyVisible(bool onlyVisible);

    // The names to export, in the exported list's order (OK).
    std::vector<std::string> ChosenNames() const;

    // Which buttons act: ">" with an available item selected, ">>" with any
    // available item, "<" with an exported item selected, "<<" with any
    // exported item.
    bool CanAdd(bool availableSelected) const { return availableSelected && !m_Available.empty(); }
    bool CanAddAll() const { return !m_Available.empty(); }
    bool CanRemove(bool exportedSelected) const { return exportedSelected && !m_Exported.empty(); }
    bool CanRemoveAll() const { return !m_Exported.empty(); }

private:
    void Rebuild();
    bool IsOffered(int column) const;

    const CTheme& m_Theme;
    bool m_OnlyVisible;
    std::vector<CExportAttributeItem> m_Available;
    std::vector<CExportAttributeItem> m_Exported;
};
