#pragma once
// The header of a column list whose headings are selected by clicking: a
// click toggles the heading and deselects the others (unless several may be
// selected and Ctrl is held). Selected headings are drawn with a gradient
// from the selection colour; others from the light 3-D colour to the face
// colour. It also keeps the column-width rules of the list: the divider of
// a hidden (zero-width) column cannot be dragged, and a column left
// narrower than 15 pixels by a drag or a double-click on its divider gets 15.

#include <QHeaderView>

#include <cstdint>
#include <functional>
#include <vector>

class CSelectHeaderCtrl : public QHeaderView {
public:
    // Option bits.
    static constexpr std::uint32_t kMultiSelect = 1;
    static constexpr std::uint32_t kToolTips = 2;
    static constexpr int kMinimumWidth = 15;

    explicit CSelectHeaderCtrl(QWidget* parent = nullptr);

    // COLORREF of selected headings.
    void SetSelectedColor(std::uint32_t colour) { m_SelectedColor = colour; }
    std::uint32_t GetSelectedColor() const { return m_SelectedColor; }
    void SetOptions(std::uint32_t options) { m_Options = options; }
    std::uint32_t GetOptions() const { return m_Options; }

    // By column (logical) index; false outside the columns.
    bool IsHeadingSelected(int column) const;
    void SetHeadingSelected(int column, bool selected);

    // Called after a click changed the selection (the list captures its
    // state and tells its owner).
    std::function<void(int column)> onHeadingClicked;
    // Called when a divider drag or a heading drag starts.
    std::function<void()> onTrackStarted;
    // Asked for the tip text of a heading; empty: no tip.
    std::function<std::string(int column)> toolTipText;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // The column whose right divider lies under x; -1 when none.
    int DividerAt(int x) const;
    void EnforceMinimumWidth(int column);

    std::uint32_t m_SelectedColor = 0x0080FF;
    std::uint32_t m_Options = 0;
    Qt::KeyboardModifiers m_PressModifiers;
    int m_Pressed = -1;
    int m_Resizing = -1;
    std::vector<bool> m_Selected;
    QString m_ShownTip;
};
