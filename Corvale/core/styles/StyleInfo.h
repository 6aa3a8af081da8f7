#pragma once
// Drawing styles: small value classes that know the colours and widths of
// one way of drawing a shape, make their pen, brush or icon on demand and set
// them on a painter around the drawing of one shape or one theme.
//
// BeginDraw keeps what it replaces on the painter and EndDraw puts it back.
// The map renderer calls BeginDraw whenever the style changes from one shape
// to the next and restores the painter state itself, so the graphics objects
// a style makes stay with it between draws; assigning new values to a style
// drops them, and the next BeginDraw makes them again.
//
// Pen styles are the platform pen styles the program has always stored:
// 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none, 6 solid drawn
// inside the frame (drawn as solid), 8 alternate pixels; any other number is
// drawn solid. Pen widths are device pixels, 0 the thinnest line. Polygons
// are filled with the winding rule, which Qt takes per drawing call rather
// than as painter state: the renderer passes Qt::WindingFill.

#include <QBrush>
#include <QImage>
#include <QPen>

#include <cstdint>

class QPainter;

// What GetStyleType answers.
enum StyleInfoType : int { SIT_Base = 0, SIT_Polygon = 1, SIT_Polyline = 2, SIT_Point = 3 };

// The platform pen styles named above.
enum : int { PS_Solid = 0, PS_Dash = 1, PS_Dot = 2, PS_DashDot = 3, PS_DashDotDot = 4, PS_Null = 5,
             PS_InsideFrame = 6, PS_Alternate = 8 };

// The Qt pen of a stored pen style, width (device pixels; 0 = thinnest) and
// colour (a COLORREF). Widths are held to 0..32767.
QPen MakeStylePen(int penStyle, std::int64_t width, std::uint32_t colour);

class CStyleInfo {
public:
    explicit CStyleInfo(std::uint32_t colour = 0) : m_Color(colour) {}
    CStyleInfo(const CStyleInfo& other) : m_Color(other.m_Color) {}
    virtual ~CStyleInfo() = default;

    // thick: for printing, where lines are drawn six times as wide.
    virtual void BeginDraw(QPainter& painter, bool thick);
    virtual void EndDraw(QPainter& painter);
    // The point style's icon; null for every other style.
    virtual QImage GetIcon() const;
    // Copies the colour only. A style whose graphics objects depend on the
    // colour drops them, so they are made again in the new colour.
    virtual CStyleInfo& operator=(const CStyleInfo& other);
    // Equal colours (and, in the subclasses, equal kind and values).
    virtual bool operator==(const CStyleInfo& other) const;
    virtual bool operator!=(const CStyleInfo& other) const { return !(*this == other); }
    virtual int GetStyleType() const { return SIT_Base; }

    // A COLORREF: the point colour, the line colour, the fill colour.
    std::uint32_t m_Color;

protected:
    // Forgets the pen, brush or icon made by BeginDraw.
    virtual void DropGraphics() {}
};

class CStyleInfoPolygon : public CStyleInfo {
public:
    CStyleInfoPolygon(int fillPattern, std::uint32_t fillColour, int penStyle, int penWidth, std::uint32_t penColour);
    CStyleInfoPolygon(const CStyleInfoPolygon& other);
    using CStyleInfo::operator=;
    // Copies the five values; the pen and brush are made again.
    CStyleInfoPolygon& operator=(const CStyleInfoPolygon& other);

    // Sets the outline pen and the fill: the solid brush of the fill colour,
    // or for a fill pattern other than 0 the pattern in the fill colour over
    // a transparent background (background mode transparent).
    void BeginDraw(QPainter& painter, bool thick) override;
    void EndDraw(QPainter& painter) override;
    bool operator==(const CStyleInfo& other) const override;
    int GetStyleType() const override { return SIT_Polygon; }

    // m_Color is the fill colour.
    int m_FillPattern;
    int m_PenStyle;
    int m_PenWidth;
    std::uint32_t m_PenColor;

protected:
    void DropGraphics() override;

private:
    bool m_HasBrush = false;
    QBrush m_Brush;
    bool m_HasPen = false;
    QPen m_Pen;
    // What BeginDraw replaced, while a drawing is open.
    bool m_Drawing = false;
    QBrush m_PreviousBrush;
    QPen m_PreviousPen;
    Qt::BGMode m_PreviousBackgroundMode = Qt::TransparentMode;
};

class CStyleInfoPolyline : public CStyleInfo {
public:
    CStyleInfoPolyline(std::uint32_t colour, int penStyle, int width);
    CStyleInfoPolyline(const CStyleInfoPolyline& other);
    using CStyleInfo::operator=;
    // Copies colour, pen style and width; the pen is made again.
    CStyleInfoPolyline& operator=(const CStyleInfoPolyline& other);

    // Sets the line pen, six times as wide when thick.
    void BeginDraw(QPainter& painter, bool thick) override;
    void EndDraw(QPainter& painter) override;
    bool operator==(const CStyleInfo& other) const override;
    int GetStyleType() const override { return SIT_Polyline; }

    int m_PenStyle;
    int m_Width;
    // The thick flag the current pen was made with.
    bool m_Thick = false;

protected:
    void DropGraphics() override;

private:
    bool m_HasPen = false;
    QPen m_Pen;
    bool m_Drawing = false;
    QPen m_PreviousPen;
};

class CStyleInfoPoint : public CStyleInfo {
public:
    // symbol: the point-symbol value (PointSymbols.h); its icon index is
    // symbol + 1, and values outside -1..21 have no icon.
    CStyleInfoPoint(std::uint32_t colour, int symbol);
    CStyleInfoPoint(const CStyleInfoPoint& other);
    using CStyleInfo::operator=;
    // Copies colour and symbol; the icon is made again.
    CStyleInfoPoint& operator=(const CStyleInfoPoint& other);

    // Makes the symbol's icon in the style's colour when there is none.
    void BeginDraw(QPainter& painter, bool thick) override;
    // Drops the icon, so that the next BeginDraw makes a fresh one.
    void EndDraw(QPainter& painter) override;
    QImage GetIcon() const override { return m_Icon; }
    bool operator==(const CStyleInfo& other) const override;
    int GetStyleType() const override { return SIT_Point; }

    int m_Symbol;

protected:
    void DropGraphics() override;

private:
    QImage m_Icon;
};

// The key of a theme's cache of attribute-driven styles: the kind of style
// and, for each of fill colour, pen colour, pen width and pen style, whether
// the style has it and its value there. Keys order lexicographically over all
// of that (a component the style does not have counts as absent with value
// 0), so that two shapes whose styles would draw alike share one style object
// and the cache is a well-formed ordered map.
struct StyleCacheKey {
    enum Component { Fill = 0, PenColor = 1, PenWidth = 2, PenStyle = 3 };

    int m_StyleType = SIT_Base;
    bool m_Present[4] = {false, false, false, false};
    std::int64_t m_Values[4] = {0, 0, 0, 0};

    void Set(Component component, std::int64_t value) {
        m_Present[component] = true;
        m_Values[component] = value;
    }
    bool operator<(const StyleCacheKey& other) const;
    bool operator==(const StyleCacheKey& other) const { return !(*this < other) && !(other < *this); }
};
