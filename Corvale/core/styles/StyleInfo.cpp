#include "core/styles/StyleInfo.h"

#include "core/ColorRef.h"
#include "core/styles/BrushPatterns.h"
#include "core/styles/PointSymbols.h"

#include <QPainter>

#include <algorithm>

namespace {

// Wider pens than this are no line any more; the bound also keeps a width
// read from an attribute from overflowing when printing multiplies it.
constexpr std::int64_t kMaxPenWidth = 32767;

Qt::PenStyle QtPenStyle(int penStyle) {
    switch (penStyle) {
    case PS_Dash:
        return Qt::DashLine;
    case PS_Dot:
        return Qt::DotLine;
    case PS_DashDot:
        return Qt::DashDotLine;
    case PS_DashDotDot:
        return Qt::DashDotDotLine;
    case PS_Null:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

int BoundedWidth(std::int64_t width) { return static_cast<int>(std::clamp<std::int64_t>(width, 0, kMaxPenWidth)); }

// Every other pixel on, every other off.
QPen AlternatePen(std::uint32_t colour, int width) {
    QPen pen(ColorFromColorRef(colour), width);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern({1.0, 1.0});
    return pen;
}

} // namespace

QPen MakeStylePen(int penStyle, std::int64_t width, std::uint32_t colour) {
    const int w = BoundedWidth(width);
    if (penStyle == PS_Alternate)
        return AlternatePen(colour, std::max(w, 1));
    // Wide lines end and join round, as the program's lines always have.
    return QPen(QBrush(ColorFromColorRef(colour)), w, QtPenStyle(penStyle), Qt::RoundCap, Qt::RoundJoin);
}

// ---- CStyleInfo

void CStyleInfo::BeginDraw(QPainter&, bool) {}
void CStyleInfo::EndDraw(QPainter&) {}
QImage CStyleInfo::GetIcon() const { return QImage(); }

CStyleInfo& CStyleInfo::operator=(const CStyleInfo& other) {
    if (this != &other && m_Color != other.m_Color) {
        m_Color = other.m_Color;
        DropGraphics();
    }
    return *this;
}

bool CStyleInfo::operator==(const CStyleInfo& other) const {
    return GetStyleType() == other.GetStyleType() && m_Color == other.m_Color;
}

// ---- CStyleInfoPolygon

CStyleInfoPolygon::CStyleInfoPolygon(int fillPattern, std::uint32_t fillColour, int penStyle, int penWidth,
                                     std::uint32_t penColour)
    : CStyleInfo(fillColour), m_FillPattern(fillPattern), m_PenStyle(penStyle), m_PenWidth(penWidth),
      m_PenColor(penColour) {}

CStyleInfoPolygon::CStyleInfoPolygon(const CStyleInfoPolygon& other)
    : CStyleInfo(other), m_FillPattern(other.m_FillPattern), m_PenStyle(other.m_PenStyle),
      m_PenWidth(other.m_PenWidth), m_PenColor(other.m_PenColor) {}

CStyleInfoPolygon& CStyleInfoPolygon::operator=(const CStyleInfoPolygon& other) {
    if (this == &other)
        return *this;
    m_Color = other.m_Color;
    m_FillPattern = other.m_FillPattern;
    m_PenStyle = other.m_PenStyle;
    m_PenWidth = other.m_PenWidth;
    m_PenColor = other.m_PenColor;
    DropGraphics();
    return *this;
}

void CStyleInfoPolygon::DropGraphics() {
    m_HasBrush = false;
    m_Brush = QBrush();
    m_HasPen = false;
    m_Pen = QPen();
}

void CStyleInfoPolygon::BeginDraw(QPainter& painter, bool) {
    if (!m_HasBrush) {
        m_Brush = m_FillPattern == 0
                      ? QBrush(ColorFromColorRef(m_Color))
                      : GetPatternBrush(m_FillPattern, ColorFromColorRef(m_Color), QColor(Qt::transparent));
        m_HasBrush = true;
    }
    if (!m_HasPen) {
        m_Pen = MakeStylePen(m_PenStyle, m_PenWidth, m_PenColor);
        m_HasPen = true;
    }
    m_PreviousPen = painter.pen();
    m_PreviousBrush = painter.brush();
    m_PreviousBackgroundMode = painter.backgroundMode();
    m_Drawing = true;
    painter.setPen(m_Pen);
    painter.setBrush(m_Brush);
    // The pattern's background lets the map below show through.
    if (m_FillPattern != 0)
        painter.setBackgroundMode(Qt::TransparentMode);
}

void CStyleInfoPolygon::EndDraw(QPainter& painter) {
    if (!m_Drawing)
        return;
    m_Drawing = false;
    painter.setBrush(m_PreviousBrush);
    painter.setPen(m_PreviousPen);
    if (m_FillPattern != 0)
        painter.setBackgroundMode(m_PreviousBackgroundMode);
}

bool CStyleInfoPolygon::operator==(const CStyleInfo& other) const {
    if (other.GetStyleType() != SIT_Polygon)
        return false;
    const auto& o = static_cast<const CStyleInfoPolygon&>(other);
    return m_Color == o.m_Color && m_FillPattern == o.m_FillPattern && m_PenStyle == o.m_PenStyle &&
           m_PenWidth == o.m_PenWidth && m_PenColor == o.m_PenColor;
}

// ---- CStyleInfoPolyline

CStyleInfoPolyline::CStyleInfoPolyline(std::uint32_t colour, int penStyle, int width)
    : CStyleInfo(colour), m_PenStyle(penStyle), m_Width(width) {}

CStyleInfoPolyline::CStyleInfoPolyline(const CStyleInfoPolyline& other)
    : CStyleInfo(other), m_PenStyle(other.m_PenStyle), m_Width(other.m_Width) {}

CStyleInfoPolyline& CStyleInfoPolyline::operator=(const CStyleInfoPolyline& other) {
    if (this == &other)
        return *this;
    m_Color = other.m_Color;
    m_PenStyle = other.m_PenStyle;
    m_Width = other.m_Width;
    DropGraphics();
    return *this;
}

void CStyleInfoPolyline::DropGraphics() {
    m_HasPen = false;
    m_Pen = QPen();
}

void CStyleInfoPolyline::BeginDraw(QPainter& painter, bool thick) {
    // A pen made for the screen does not serve the printer, and back.
    if (m_HasPen && m_Thick != thick)
        DropGraphics();
    const bool plain = m_Width == 0 || m_PenStyle == PS_Solid;
    if (!m_HasPen) {
        const std::int64_t m = thick ? 6 : 1;
        if (m_Width <= 1 && m_PenStyle == PS_Alternate)
            m_Pen = AlternatePen(m_Color, static_cast<int>(m));
        else
            // Plain pens (solid, or the thinnest line) and the wide patterned
            // pens come out alike in Qt: any width can carry a pattern.
            m_Pen = MakeStylePen(m_PenStyle, m * m_Width, m_Color);
        m_HasPen = true;
        m_Thick = thick;
    }
    m_PreviousPen = painter.pen();
    m_Drawing = true;
    painter.setPen(m_Pen);
    // The gaps of a thin patterned line show what lies below.
    if (plain && m_PenStyle != PS_Solid)
        painter.setBackgroundMode(Qt::TransparentMode);
}

void CStyleInfoPolyline::EndDraw(QPainter& painter) {
    if (!m_Drawing)
        return;
    m_Drawing = false;
    painter.setPen(m_PreviousPen);
}

bool CStyleInfoPolyline::operator==(const CStyleInfo& other) const {
    if (other.GetStyleType() != SIT_Polyline)
        return false;
    const auto& o = static_cast<const CStyleInfoPolyline&>(other);
    return m_Color == o.m_Color && m_PenStyle == o.m_PenStyle && m_Width == o.m_Width;
}

// ---- CStyleInfoPoint

CStyleInfoPoint::CStyleInfoPoint(std::uint32_t colour, int symbol) : CStyleInfo(colour), m_Symbol(symbol) {}

CStyleInfoPoint::CStyleInfoPoint(const CStyleInfoPoint& other) : CStyleInfo(other), m_Symbol(other.m_Symbol) {}

CStyleInfoPoint& CStyleInfoPoint::operator=(const CStyleInfoPoint& other) {
    if (this == &other)
        return *this;
    m_Color = other.m_Color;
    m_Symbol = other.m_Symbol;
    DropGraphics();
    return *this;
}

void CStyleInfoPoint::DropGraphics() { m_Icon = QImage(); }

void CStyleInfoPoint::BeginDraw(QPainter&, bool) {
    if (!m_Icon.isNull())
        return;
    // Symbol -1 is the marker of a theme without a catalogue symbol (icon
    // index 0); anything outside the catalogue has no icon.
    if (m_Symbol < -1 || m_Symbol >= kSymbolIconCount - 1)
        return;
    SymbolIconList icons;
    m_Icon = CreateSymbolIcon(icons, m_Symbol + 1, m_Color);
    DestroyIconList(icons);
}

void CStyleInfoPoint::EndDraw(QPainter&) { DropGraphics(); }

bool CStyleInfoPoint::operator==(const CStyleInfo& other) const {
    if (other.GetStyleType() != SIT_Point)
        return false;
    const auto& o = static_cast<const CStyleInfoPoint&>(other);
    return m_Color == o.m_Color && m_Symbol == o.m_Symbol;
}

// ---- StyleCacheKey

bool StyleCacheKey::operator<(const StyleCacheKey& other) const {
    if (m_StyleType != other.m_StyleType)
        return m_StyleType < other.m_StyleType;
    for (int i = 0; i < 4; ++i) {
        // Absent components carry no value, whatever was stored for them.
        const std::int64_t a = m_Present[i] ? m_Values[i] : 0;
        const std::int64_t b = other.m_Present[i] ? other.m_Values[i] : 0;
        if (m_Present[i] != other.m_Present[i])
            return !m_Present[i];
        if (a != b)
            return a < b;
    }
    return false;
}
