#include "core/styles/PointSymbols.h"

#include "core/ColorRef.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>

#include "core/styles/PointSymbolArt.inc"

namespace {

static_assert(kIconSize == kSymbolIconSize, "the pixel art is made for the icon size");

const char* const kSymbolNames[kPointSymbolCount] = {
    "Dot 1",   "Dot 2", "Square 1", "Square 2", "Square 3", "Diamond",   "Warning", "Flash",
    "Pin 1",   "Pin 2", "Polygon",  "House",    "Flag 1",   "Flag 2",    "Triangles", "Antenna",
    "Arrow",   "Plus",  "Cross",    "Snowflake", "Line",    "Blank",
};

QRgb ArtColour(char c) {
    switch (c) {
    case 'K':
        return qRgb(0, 0, 0);
    case 'S':
        return qRgb(192, 192, 192);
    case 'R':
        return qRgb(255, 0, 0);
    case 'W':
        return qRgb(255, 255, 255);
    default:
        return qRgba(0, 0, 0, 0);
    }
}

QImage BlankIcon() {
    QImage image(kSymbolIconSize, kSymbolIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage IconFromArt(const char* const* rows) {
    QImage image = BlankIcon();
    if (rows == nullptr)
        return image;
    for (int y = 0; y < kSymbolIconSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSymbolIconSize && rows[y][x] != '\0'; ++x)
            line[x] = ArtColour(rows[y][x]);
    }
    return image;
}

// The pictures as drawn, made once.
const QImage& ArtIcon(int iconIndex) {
    static const std::array<QImage, kSymbolIconCount> icons = [] {
        std::array<QImage, kSymbolIconCount> made;
        for (int i = 0; i < kSymbolIconCount; ++i)
            made[static_cast<std::size_t>(i)] = IconFromArt(kIconArt[i]);
        return made;
    }();
    return icons[static_cast<std::size_t>(iconIndex)];
}

struct SeedPoint {
    int x;
    int y;
};

// Where the symbol colour goes in, by icon index. Index 1 is generated and
// indexes 16 and up are not coloured.
struct IconSeeds {
    SeedPoint first;
    // A second area filled with the colour found at the first seed.
    bool hasSecond;
    SeedPoint second;
};
const IconSeeds kSeeds[kFirstUncolouredSymbolIcon] = {
    {{16, 16}, false, {}},       // marker without symbol
    {{0, 0}, false, {}},         // Dot 1: generated
    {{16, 16}, false, {}},       // Dot 2
    {{16, 16}, false, {}},       // Square 1
    {{16, 16}, false, {}},       // Square 2
    {{16, 16}, false, {}},       // Square 3
    {{15, 15}, false, {}},       // Diamond
    {{14, 14}, false, {}},       // Warning
    {{14, 14}, false, {}},       // Flash
    {{24, 8}, false, {}},        // Pin 1
    {{16, 11}, false, {}},       // Pin 2
    {{15, 15}, false, {}},       // Polygon
    {{15, 15}, false, {}},       // House
    {{15, 10}, false, {}},       // Flag 1
    {{17, 10}, false, {}},       // Flag 2
    {{14, 16}, true, {18, 16}},  // Triangles: both triangles
};
constexpr int kFlashIcon = 8;
// The tip of the bolt touches the rest of it only corner to corner, so the
// fill does not reach it.
constexpr SeedPoint kFlashTip = {15, 21};

// Paints every pixel of colour `from` that reaches the seed through its four
// neighbours.
void FloodFill(QImage& image, SeedPoint seed, QRgb from, QRgb to) {
    if (from == to || seed.x < 0 || seed.y < 0 || seed.x >= image.width() || seed.y >= image.height())
        return;
    auto at = [&image](int x, int y) -> QRgb& { return reinterpret_cast<QRgb*>(image.scanLine(y))[x]; };
    if (at(seed.x, seed.y) != from)
        return;
    std::vector<SeedPoint> pending{seed};
    at(seed.x, seed.y) = to;
    while (!pending.empty()) {
        const SeedPoint p = pending.back();
        pending.pop_back();
        const SeedPoint next[4] = {{p.x - 1, p.y}, {p.x + 1, p.y}, {p.x, p.y - 1}, {p.x, p.y + 1}};
        for (const SeedPoint& n : next) {
            if (n.x < 0 || n.y < 0 || n.x >= image.width() || n.y >= image.height() || at(n.x, n.y) != from)
                continue;
            at(n.x, n.y) = to;
            pending.push_back(n);
        }
    }
}

// "Dot 1": a disc inset 3 pixels from the edges, all in the symbol colour.
QImage GeneratedDot(QRgb colour) {
    QImage image = BlankIcon();
    const double centre = kSymbolIconSize / 2.0;
    const double radius = centre - 3.0;
    for (int y = 0; y < kSymbolIconSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSymbolIconSize; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            if (dx * dx + dy * dy <= radius * radius)
                line[x] = colour;
        }
    }
    return image;
}

} // namespace

QImage CreateSymbolIcon(SymbolIconList& icons, int iconIndex, std::uint32_t colour) {
    if (iconIndex < 0 || iconIndex >= kSymbolIconCount)
        return QImage();
    if (iconIndex >= kFirstUncolouredSymbolIcon)
        return ArtIcon(iconIndex);

    const QRgb rgb = RgbFromColorRef(colour);
    QImage icon;
    if (iconIndex == 1) {
        icon = GeneratedDot(rgb);
    } else {
        icon = ArtIcon(iconIndex).copy();
        const IconSeeds& seeds = kSeeds[iconIndex];
        const QRgb seedColour = icon.pixel(seeds.first.x, seeds.first.y);
        FloodFill(icon, seeds.first, seedColour, rgb);
        if (seeds.hasSecond)
            FloodFill(icon, seeds.second, seedColour, rgb);
        if (iconIndex == kFlashIcon)
            reinterpret_cast<QRgb*>(icon.scanLine(kFlashTip.y))[kFlashTip.x] = rgb;
    }
    icons.push_back({icon, true});
    return icon;
}

bool ReleaseSymbolIcon(SymbolIconList& icons, const QImage& icon) {
    if (icon.isNull())
        return false;
    for (auto it = icons.begin(); it != icons.end(); ++it) {
        if (it->icon.cacheKey() == icon.cacheKey()) {
            icons.erase(it);
            return true;
        }
    }
    return false;
}

void DestroyIconList(SymbolIconList& icons) {
    icons.clear();
    icons.shrink_to_fit();
}

std::string GetPointSymbolName(int value) {
    if (value >= 0 && value < kPointSymbolCount)
        return kSymbolNames[value];
    return "Symbol #" + std::to_string(value);
}

namespace {

// The vector drawings work in units from the symbol's centre; y grows downwards.
class SymbolPen {
public:
    SymbolPen(QPainter& painter, const SymbolUnit& unit, int x, int y)
        : m_Painter(painter), m_Unit(unit), m_X(x), m_Y(y) {}

    QPointF P(double dx, double dy) const { return QPointF(m_X + dx * m_Unit.ux, m_Y + dy * m_Unit.uy); }
    QRectF Box(double x1, double y1, double x2, double y2) const { return QRectF(P(x1, y1), P(x2, y2)).normalized(); }

    // Pen and brush both in one colour (the shapes of values 0 to 6).
    void Solid(const QColor& colour) {
        m_Painter.setPen(QPen(colour, 0));
        m_Painter.setBrush(colour);
    }
    // The look of values 7 to 20: a black outline six device units wide
    // around the symbol colour.
    void Outlined(const QColor& fill) {
        m_Painter.setPen(QPen(QColor(0, 0, 0), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_Painter.setBrush(fill);
    }
    void Polygon(std::initializer_list<QPointF> points) {
        const QPolygonF polygon(points);
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        m_Painter.drawPath(path);
    }
    void Line(QPointF a, QPointF b) { m_Painter.drawLine(a, b); }
    void Rect(const QRectF& r) { m_Painter.drawRect(r); }
    void Ellipse(const QRectF& r) { m_Painter.drawEllipse(r); }
    // A square of half-side h units around the centre.
    void Square(double h) { Rect(Box(-h, -h, h, h)); }

private:
    QPainter& m_Painter;
    SymbolUnit m_Unit;
    int m_X;
    int m_Y;
};

} // namespace

bool DrawPointSymbol(const SymbolUnit& unit, int y, QPainter& painter, int x, int value, std::uint32_t colour) {
    if (value < 0 || value >= kPointSymbolCount)
        return false;
    if (value == kBlankPointSymbol)
        return true;

    const QColor colourOf = ColorFromColorRef(colour);
    const QColor black(0, 0, 0);
    painter.save();
    SymbolPen s(painter, unit, x, y);
    switch (value) {
    case 0: // Dot 1
        s.Solid(black);
        s.Ellipse(s.Box(-3, -3, 3, 3));
        s.Solid(colourOf);
        s.Ellipse(s.Box(-2, -2, 2, 2));
        break;
    case 1: // Dot 2
        s.Solid(colourOf);
        s.Ellipse(s.Box(-3, -3, 3, 3));
        break;
    case 2: // Square 1
        s.Solid(black);
        s.Square(3);
        s.Solid(colourOf);
        s.Square(2);
        break;
    case 3: // Square 2
        s.Solid(black);
        s.Square(4);
        s.Solid(colourOf);
        s.Square(3);
        break;
    case 4: // Square 3
        s.Solid(colourOf);
        s.Square(3);
        break;
    case 5: // Diamond
        s.Solid(black);
        s.Polygon({s.P(0, -3), s.P(3, 0), s.P(0, 3), s.P(-3, 0)});
        s.Solid(colourOf);
        s.Polygon({s.P(0, -2), s.P(2, 0), s.P(0, 2), s.P(-2, 0)});
        break;
    case 6: // Warning
        s.Solid(QColor(255, 0, 0));
        s.Polygon({s.P(0, -7), s.P(-5, 2), s.P(-4, 3), s.P(5, 3), s.P(6, 2), s.P(1, -7)});
        s.Solid(colourOf);
        s.Polygon({s.P(0, -6), s.P(-4, 1), s.P(-4, 2), s.P(5, 2), s.P(5, 1), s.P(1, -6)});
        s.Solid(black);
        s.Rect(s.Box(0, -3, 1, 1));
        break;
    case 7: // Flash
        s.Outlined(colourOf);
        s.Polygon({s.P(-1, -6), s.P(-4, 2), s.P(-1, 2), s.P(-2, 8), s.P(4, -1), s.P(0, -1), s.P(2, -6)});
        break;
    case 8: // Pin 1
        s.Outlined(colourOf);
        s.Ellipse(s.Box(4, -13, 12, -5));
        s.Outlined(black);
        s.Polygon({s.P(0, 0), s.P(6, -5), s.P(4, -6)});
        break;
    case 9: // Pin 2
        s.Outlined(colourOf);
        s.Ellipse(s.Box(-3, -6, 3, -4));
        s.Line(s.P(0, -4), s.P(0, 0));
        break;
    case 10: // Polygon
    case 11: // House
        s.Outlined(colourOf);
        s.Polygon({s.P(0, -4), s.P(-3, -1), s.P(-3, 2), s.P(3, 2), s.P(3, -1)});
        if (value == 11) {
            s.Outlined(black);
            s.Rect(s.Box(0, 0, 1, 2));
            s.Line(s.P(2, -4), s.P(2, -2));
        }
        break;
    case 12: // Flag 1
    case 13: // Flag 2
    {
        const double side = value == 12 ? -4 : 4;
        s.Outlined(colourOf);
        s.Polygon({s.P(0, -8), s.P(side, -6), s.P(0, -4)});
        s.Line(s.P(0, -4), s.P(0, 0));
        break;
    }
    case 14: // Triangles
        s.Outlined(colourOf);
        s.Polygon({s.P(-3, -3), s.P(-3, 3), s.P(0, 0)});
        s.Polygon({s.P(3, -3), s.P(3, 3), s.P(0, 0)});
        break;
    case 15: // Antenna
        s.Outlined(colourOf);
        s.Line(s.P(0, 0), s.P(0, -7));
        s.Line(s.P(-3, -7), s.P(0, -4));
        s.Line(s.P(3, -7), s.P(0, -4));
        break;
    case 16: // Arrow
        s.Outlined(colourOf);
        s.Line(s.P(6, 6), s.P(0, 0));
        s.Line(s.P(0, 0), s.P(0, 4));
        s.Line(s.P(0, 0), s.P(4, 0));
        break;
    case 17: // Plus
        s.Outlined(colourOf);
        s.Line(s.P(0, -3), s.P(0, 3));
        s.Line(s.P(-3, 0), s.P(3, 0));
        break;
    case 18: // Cross
        s.Outlined(colourOf);
        s.Line(s.P(-3, -3), s.P(3, 3));
        s.Line(s.P(-3, 3), s.P(3, -3));
        break;
    case 19: // Snowflake: two diagonals, and a short spoke on each axis
        s.Outlined(colourOf);
        s.Line(s.P(-2, -2), s.P(2, 2));
        s.Line(s.P(-2, 2), s.P(2, -2));
        s.Line(s.P(0, -3), s.P(0, -2));
        s.Line(s.P(0, 3), s.P(0, 2));
        s.Line(s.P(-3, 0), s.P(-2, 0));
        s.Line(s.P(3, 0), s.P(2, 0));
        break;
    case 20: // Line
        s.Outlined(black);
        s.Rect(s.Box(-1, -1, 1, 1));
        s.Line(s.P(1, 1), s.P(3, 3));
        break;
    default:
        break;
    }
    painter.restore();
    return true;
}
