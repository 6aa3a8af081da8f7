#pragma once
// The colour theme combo box: item k shows colour theme k of the box's own
// list, its name followed (in the drop-down list) by blocks of the theme's
// colours, cycling through them to the item's right edge.

#include "settings/ColorTheme.h"
#include "ui/controls/OwnerDrawnComboBox.h"

#include <vector>

class CColorThemeComboBox : public COwnerDrawnComboBox {
public:
    explicit CColorThemeComboBox(QWidget* parent = nullptr);

    // Replaces the themes and the items.
    void SetColorThemes(const std::vector<CColorTheme>& themes);
    const std::vector<CColorTheme>& GetColorThemes() const { return m_Themes; }

    void DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) override;

private:
    std::vector<CColorTheme> m_Themes;
};
