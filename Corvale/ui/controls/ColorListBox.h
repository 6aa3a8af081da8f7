#pragma once
// The list of a colour theme's colours in the colour-theme editor: one item
// per colour, each painted as a swatch; the selected one framed in the
// highlight colour. The colour is the item's data (a COLORREF).

#include <QListWidget>

#include <cstdint>

class CColorListBox : public QListWidget {
public:
    explicit CColorListBox(QWidget* parent = nullptr);

    void AddColor(std::uint32_t colour);
    void SetColor(int row, std::uint32_t colour);
    std::uint32_t GetColor(int row) const;

    // White, shrunk by 1; the selected item gets a 3-pixel highlight frame
    // and shrinks by 3 more; the rest is the colour.
    void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) const;
};
