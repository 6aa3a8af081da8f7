#pragma once
// Off-screen drawing: a painter on an image of a rectangle of the target,
// copied onto the target in one step when the object goes, so that a
// drawing built from many parts never shows half done. A printer is drawn on
// directly (it does not flicker, and an image would lose its resolution).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

class CMemDC {
public:
    // rect: the target's part to draw, in its logical coordinates; empty means
    // the whole target (its clip region's bounds when the painter clips).
    // copyBackground: the image starts as the target's current pixels (when
    // the target is an image); otherwise it starts filled with the target's
    // background colour. transparent: pixels left in the image's background
    // colour are not copied, so the target shows through them.
    explicit CMemDC(QPainter& target, QRect rect = QRect(), bool copyBackground = false, bool transparent = false);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The painter to draw with, in the target's coordinates.
    QPainter& Painter() { return m_Memory ? m_ImagePainter : m_Target; }
    QPainter* operator->() { return &Painter(); }

    bool IsMemoryMode() const { return m_Memory; }
    const QRect& Rect() const { return m_Rect; }
    // The colour the image started with and, with the transparent flag, the
    // colour that lets the target show through.
    QColor BackgroundColor() const { return m_Background; }

private:
    QPainter& m_Target;
    QRect m_Rect;
    bool m_Memory;
    bool m_Transparent;
    QColor m_Background;
    QImage m_Image;
    QPainter m_ImagePainter;
};
