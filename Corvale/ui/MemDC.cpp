#include "ui/MemDC.h"

#include <QPaintDevice>
#include <QPaintEngine>

namespace {

bool IsPrinter(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device != nullptr && device->devType() == QInternal::Printer;
}

QRect TargetRect(const QPainter& target, const QRect& rect) {
    if (!rect.isEmpty())
        return rect;
    if (target.hasClipping())
        return target.clipBoundingRect().toAlignedRect();
    const QPaintDevice* device = target.device();
    return device != nullptr ? QRect(0, 0, device->width(), device->height()) : QRect();
}

}  // namespace

CMemDC::CMemDC(QPainter& target, QRect rect, bool copyBackground, bool transparent)
    : m_Target(target),
      m_Rect(TargetRect(target, rect)),
      m_Memory(!IsPrinter(target) && target.isActive() && !m_Rect.isEmpty()),
      m_Transparent(transparent),
      m_Background(target.background().color()) {
    if (!m_Memory)
        return;
    m_Image = QImage(m_Rect.size(), QImage::Format_ARGB32_Premultiplied);
    // Pixels the target can give are copied in; any other target starts from
    // its background colour.
    const auto* source = dynamic_cast<const QImage*>(target.device());
    if (copyBackground && source != nullptr) {
        const QRect deviceRect = target.transform().mapRect(m_Rect);
        m_Image = source->copy(deviceRect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        m_Image.fill(m_Background);
    }
    m_ImagePainter.begin(&m_Image);
    m_ImagePainter.setFont(target.font());
    m_ImagePainter.setPen(target.pen());
    m_ImagePainter.setBrush(target.brush());
    m_ImagePainter.setBackground(target.background());
    m_ImagePainter.setBackgroundMode(target.backgroundMode());
    m_ImagePainter.setRenderHints(target.renderHints());
    // The image's top left is the rectangle's top left in the target.
    m_ImagePainter.translate(-m_Rect.topLeft());
}

CMemDC::~CMemDC() {
    if (!m_Memory)
        return;
    m_ImagePainter.end();
    if (m_Transparent) {
        // What is still the background colour lets the target show through.
        const QRgb background = m_Background.rgba();
        for (int y = 0; y < m_Image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_Image.scanLine(y));
            for (int x = 0; x < m_Image.width(); ++x)
                if (line[x] == background)
                    line[x] = 0;
        }
    }
    m_Target.save();
    m_Target.setCompositionMode(m_Transparent ? QPainter::CompositionMode_SourceOver
                                              : QPainter::CompositionMode_Source);
    m_Target.drawImage(m_Rect.topLeft(), m_Image);
    m_Target.restore();
}
