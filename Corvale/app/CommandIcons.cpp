#include "app/CommandIcons.h"

#include "app/AppIds.h"
#include "view/GeoView.h"
#include "workspace/CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>
#include <functional>

namespace {

// Every picture is drawn on a 32 x 32 canvas and scaled to the size asked.
using Draw = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 250);
const QColor kBlue(40, 110, 200);
const QColor kLightBlue(170, 210, 255);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kYellow(250, 210, 60);
const QColor kOrange(235, 140, 40);
const QColor kPurple(130, 80, 190);
const QColor kGrey(150, 150, 150);

QIcon Paint(const Draw& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen Pen(const QColor& color, double width = 2.0) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Page(QPainter& p, const QRectF& r = QRectF(7, 3, 18, 26)) {
    QPolygonF page;
    page << r.topLeft() << QPointF(r.right() - 6, r.top()) << QPointF(r.right(), r.top() + 6) << r.bottomRight()
         << r.bottomLeft();
    p.setPen(Pen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPolygon(page);
}

void Lines(QPainter& p, double x0, double x1, double y0, int count, double step = 4) {
    p.setPen(Pen(kGrey, 1.5));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(x0, y0 + i * step), QPointF(x1, y0 + i * step));
}

void Plus(QPainter& p, QPointF c, double r, const QColor& color) {
    p.setPen(Pen(color, 3));
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
}

void Minus(QPainter& p, QPointF c, double r, const QColor& color) {
    p.setPen(Pen(color, 3));
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
}

void Cross(QPainter& p, QPointF c, double r, const QColor& color, double width = 3) {
    p.setPen(Pen(color, width));
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
}

void Magnifier(QPainter& p, QPointF c = QPointF(13, 13), double r = 8) {
    p.setPen(Pen(kInk, 2.5));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(c, r, r);
    p.setPen(Pen(kInk, 4));
    const double d = r * 0.72;
    p.drawLine(c + QPointF(d, d), c + QPointF(d + 8, d + 8));
}

void Triangle(QPainter& p, QPointF tip, bool right, const QColor& color) {
    QPolygonF t;
    const double dx = right ? -7 : 7;
    t << tip << tip + QPointF(dx, -5) << tip + QPointF(dx, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(t);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, double width = 2.5) {
    p.setPen(Pen(color, width));
    p.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double head = 5;
    p.drawLine(to, to - QPointF(head * std::cos(angle - 0.5), head * std::sin(angle - 0.5)));
    p.drawLine(to, to - QPointF(head * std::cos(angle + 0.5), head * std::sin(angle + 0.5)));
}

void Cursor(QPainter& p, QPointF at, double scale = 1.0) {
    QPolygonF c;
    c << QPointF(0, 0) << QPointF(0, 17) << QPointF(4, 13) << QPointF(7, 20) << QPointF(10, 19) << QPointF(7, 12)
      << QPointF(12, 12);
    for (QPointF& pt : c)
        pt = at + pt * scale;
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(c);
}

void Layers(QPainter& p, QPointF at, const QColor& top) {
    for (int i = 2; i >= 0; --i) {
        QPolygonF layer;
        const QPointF o = at + QPointF(0, i * 5.0);
        layer << o + QPointF(0, 5) << o + QPointF(10, 0) << o + QPointF(20, 5) << o + QPointF(10, 10);
        p.setPen(Pen(kInk, 1.2));
        p.setBrush(i == 0 ? top : kLightBlue);
        p.drawPolygon(layer);
    }
}

void Corners(QPainter& p, const QRectF& r, const QColor& color) {
    p.setPen(Pen(color, 2.5));
    p.setBrush(Qt::NoBrush);
    const double l = 6;
    p.drawPolyline(QPolygonF({r.topLeft() + QPointF(0, l), r.topLeft(), r.topLeft() + QPointF(l, 0)}));
    p.drawPolyline(QPolygonF({r.topRight() - QPointF(l, 0), r.topRight(), r.topRight() + QPointF(0, l)}));
    p.drawPolyline(QPolygonF({r.bottomLeft() - QPointF(0, l), r.bottomLeft(), r.bottomLeft() + QPointF(l, 0)}));
    p.drawPolyline(QPolygonF({r.bottomRight() - QPointF(l, 0), r.bottomRight(), r.bottomRight() - QPointF(0, l)}));
}

void Funnel(QPainter& p, const QColor& fill) {
    QPolygonF f;
    f << QPointF(4, 5) << QPointF(28, 5) << QPointF(19, 16) << QPointF(19, 27) << QPointF(13, 23) << QPointF(13, 16);
    p.setPen(Pen(kInk, 1.5));
    p.setBrush(fill);
    p.drawPolygon(f);
}

void Polyline(QPainter& p, const QPolygonF& line, const QColor& color, bool markers) {
    p.setPen(Pen(color, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    if (markers) {
        p.setPen(Pen(kInk, 1));
        p.setBrush(Qt::white);
        for (const QPointF& pt : line)
            p.drawRect(QRectF(pt - QPointF(2.5, 2.5), QSizeF(5, 5)));
    }
}

void Pencil(QPainter& p, QPointF tip) {
    QPolygonF body;
    body << tip << tip + QPointF(3, -8) << tip + QPointF(15, -20) << tip + QPointF(20, -15) << tip + QPointF(8, -3);
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kYellow);
    p.drawPolygon(body);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({tip, tip + QPointF(1.5, -4), tip + QPointF(4, -1.5)}));
}

void Bars(QPainter& p, int highlight, const QColor& color) {
    const double heights[] = {10, 18, 14, 22, 8};
    for (int i = 0; i < 5; ++i) {
        p.setPen(Pen(kInk, 1));
        p.setBrush(i == highlight ? color : kLightBlue);
        p.drawRect(QRectF(3 + i * 5.5, 29 - heights[i], 4.5, heights[i]));
    }
}

void Pips(QPainter& p, int count) {
    // Dice pips on a script page: the six user-script buttons differ by them.
    static const QPointF positions[6][6] = {
        {{16, 18}},
        {{12, 14}, {20, 22}},
        {{11, 13}, {16, 18}, {21, 23}},
        {{12, 13}, {20, 13}, {12, 23}, {20, 23}},
        {{12, 13}, {20, 13}, {16, 18}, {12, 23}, {20, 23}},
        {{12, 12}, {20, 12}, {12, 18}, {20, 18}, {12, 24}, {20, 24}},
    };
    p.setPen(Qt::NoPen);
    p.setBrush(kPurple);
    for (int i = 0; i < count; ++i)
        p.drawEllipse(positions[count - 1][i], 2.2, 2.2);
}

void Globe(QPainter& p) {
    p.setPen(Pen(kInk, 1.5));
    p.setBrush(kLightBlue);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 6, 13);
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(5, 10), QPointF(27, 10));
    p.drawLine(QPointF(5, 22), QPointF(27, 22));
    p.setBrush(kGreen);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(11, 13), 3, 2);
}

Draw DrawingOf(unsigned id) {
    switch (id) {
    case ID_FILE_NEW:
        return [](QPainter& p) {
            Page(p);
            Plus(p, QPointF(23, 23), 5, kGreen);
        };
    case ID_FILE_OPEN:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 1.5));
            p.setBrush(kYellow.darker(110));
            p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(14, 11), QPointF(27, 11),
                                     QPointF(27, 26), QPointF(3, 26)}));
            p.setBrush(kYellow);
            p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(8, 15), QPointF(31, 15), QPointF(27, 26)}));
        };
    case ID_FILE_SAVE:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 1.5));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 5, 14, 9));
            p.setBrush(kGrey);
            p.drawRect(QRectF(9, 19, 14, 9));
        };
    case ID_WORKSPACE_SHOW_PROPERTIES:
        return [](QPainter& p) {
            // Sliders: settings of the whole workspace.
            p.setPen(Pen(kInk, 2));
            for (int i = 0; i < 3; ++i)
                p.drawLine(QPointF(5, 8 + i * 8), QPointF(27, 8 + i * 8));
            p.setBrush(kOrange);
            p.setPen(Pen(kInk, 1.2));
            const double knobs[] = {11, 21, 15};
            for (int i = 0; i < 3; ++i)
                p.drawRect(QRectF(knobs[i] - 2.5, 8 + i * 8 - 3.5, 5, 7));
        };
    case ID_EDIT_CUT:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 2));
            p.drawLine(QPointF(9, 4), QPointF(20, 21));
            p.drawLine(QPointF(23, 4), QPointF(12, 21));
            p.setBrush(Qt::NoBrush);
            p.setPen(Pen(kRed, 2.5));
            p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
            p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
        };
    case ID_EDIT_COPY:
        return [](QPainter& p) {
            Page(p, QRectF(4, 3, 15, 20));
            Page(p, QRectF(13, 9, 15, 20));
            Lines(p, 16, 25, 17, 3);
        };
    case ID_EDIT_PASTE:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 1.5));
            p.setBrush(kOrange);
            p.drawRoundedRect(QRectF(5, 5, 20, 24), 2, 2);
            p.setBrush(kGrey);
            p.drawRect(QRectF(11, 3, 8, 5));
            Page(p, QRectF(14, 12, 14, 17));
        };
    case ID_EDIT_DELETE:
        return [](QPainter& p) { Cross(p, QPointF(16, 16), 10, kRed, 4.5); };
    case ID_TABLE_FIND:
        return [](QPainter& p) { Magnifier(p); };
    case ID_EDIT_FIND_NEXT:
        return [](QPainter& p) {
            Magnifier(p, QPointF(11, 11), 7);
            Triangle(p, QPointF(31, 25), true, kGreen);
        };
    case ID_EDIT_FIND_PREVIOUS:
        return [](QPainter& p) {
            Magnifier(p, QPointF(11, 11), 7);
            Triangle(p, QPointF(17, 25), false, kGreen);
        };
    case ID_MAP_VIEW_PRINT:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 1.5));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 3, 14, 10));
            p.setBrush(kGrey);
            p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 19, 14, 10));
            Lines(p, 11, 21, 23, 2, 3);
        };
    case ID_CONTEXT_HELP:
        return [](QPainter& p) {
            // A lifebuoy beside the pointer.
            p.setPen(Pen(kInk, 1));
            p.setBrush(kRed);
            p.drawEllipse(QPointF(21, 12), 9, 9);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(21, 12), 4, 4);
            p.setPen(Pen(Qt::white, 3));
            p.drawLine(QPointF(21, 3.5), QPointF(21, 8));
            p.drawLine(QPointF(21, 16), QPointF(21, 20.5));
            Cursor(p, QPointF(3, 12), 0.9);
        };
    case ID_INSERT_ADD_THEME:
        return [](QPainter& p) {
            Layers(p, QPointF(2, 8), kGreen.lighter(150));
            Plus(p, QPointF(25, 7), 5, kGreen);
        };
    case ID_TOOL_SELECT:
        return [](QPainter& p) { Cursor(p, QPointF(9, 5), 1.2); };
    case ID_TOOL_SELECT_RECTANGLE:
        return [](QPainter& p) {
            p.setPen(QPen(kBlue, 2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(3, 3, 20, 16));
            Cursor(p, QPointF(17, 13), 0.8);
        };
    case ID_TOOL_SELECT_CIRCLE:
        return [](QPainter& p) {
            p.setPen(QPen(kBlue, 2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(13, 12), 10, 10);
            Cursor(p, QPointF(17, 13), 0.8);
        };
    case ID_TOOL_SELECT_POLYGON:
        return [](QPainter& p) {
            p.setPen(QPen(kBlue, 2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(14, 2), QPointF(24, 9), QPointF(18, 21), QPointF(6, 19)}));
            Cursor(p, QPointF(17, 13), 0.8);
        };
    case ID_TOOL_PAN:
        return [](QPainter& p) {
            const QPointF c(16, 16);
            Arrow(p, c, QPointF(16, 3), kInk);
            Arrow(p, c, QPointF(16, 29), kInk);
            Arrow(p, c, QPointF(3, 16), kInk);
            Arrow(p, c, QPointF(29, 16), kInk);
        };
    case ID_TOOL_ZOOM_IN:
        return [](QPainter& p) {
            Magnifier(p);
            Plus(p, QPointF(13, 13), 4.5, kGreen);
        };
    case ID_TOOL_ZOOM_OUT:
        return [](QPainter& p) {
            Magnifier(p);
            Minus(p, QPointF(13, 13), 4.5, kRed);
        };
    case ID_TOOL_MEASURE:
        return [](QPainter& p) {
            p.save();
            p.translate(16, 16);
            p.rotate(-35);
            p.setPen(Pen(kInk, 1.2));
            p.setBrush(kYellow);
            p.drawRect(QRectF(-15, -5, 30, 10));
            for (int i = 0; i < 7; ++i)
                p.drawLine(QPointF(-12 + i * 4, -5), QPointF(-12 + i * 4, i % 2 == 0 ? 0 : -2));
            p.restore();
        };
    case ID_TOOL_VERTEX_MODE:
        return [](QPainter& p) {
            Polyline(p, QPolygonF({QPointF(4, 26), QPointF(11, 8), QPointF(21, 20), QPointF(28, 5)}), kBlue, true);
        };
    case ID_TOOL_BOUNDING_BOXES:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 1));
            p.setBrush(kGreen.lighter(160));
            p.drawEllipse(QPointF(16, 16), 10, 7);
            p.setPen(QPen(kRed, 1.5, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(6, 9, 20, 14));
        };
    case ID_SELECTION_FILTER:
        return [](QPainter& p) { Funnel(p, kYellow); };
    case ID_SELECTION_INVERT_FILTER:
        return [](QPainter& p) {
            Funnel(p, kLightBlue);
            p.setPen(Pen(kPurple, 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(20, 18, 10, 10), 0, 270 * 16);
        };
    case ID_SELECTION_REMOVE_FILTER:
        return [](QPainter& p) {
            Funnel(p, kGrey);
            Cross(p, QPointF(25, 24), 4.5, kRed);
        };
    case ID_THEME_ZOOM_TO_THEME:
        return [](QPainter& p) {
            Layers(p, QPointF(6, 6), kBlue);
            Corners(p, QRectF(2, 2, 28, 28), kInk);
        };
    case ID_THEME_ZOOM_TO_SELECTION:
        return [](QPainter& p) {
            p.setPen(Pen(kInk, 1.2));
            p.setBrush(kYellow);
            p.drawPolygon(QPolygonF({QPointF(8, 20), QPointF(13, 8), QPointF(24, 11), QPointF(22, 24)}));
            Corners(p, QRectF(2, 2, 28, 28), kInk);
        };
    case ID_VIEW_ZOOM_FULL_EXTENT:
        return [](QPainter& p) { Globe(p); };
    case ID_SCRIPT_FROM_TEMPLATE:
        return [](QPainter& p) {
            Page(p);
            p.setPen(Pen(kPurple, 2));
            p.drawPolyline(QPolygonF({QPointF(14, 11), QPointF(10, 15), QPointF(14, 19)}));
            p.drawPolyline(QPolygonF({QPointF(18, 11), QPointF(22, 15), QPointF(18, 19)}));
            Plus(p, QPointF(24, 25), 4.5, kGreen);
        };
    case ID_THEME_ENABLE_EDITING:
        return [](QPainter& p) { Pencil(p, QPointF(5, 27)); };
    case ID_GEOMETRY_AUTO_SNAP:
        return [](QPainter& p) {
            p.setPen(Pen(kGrey, 1));
            for (int i = 0; i < 4; ++i) {
                p.drawLine(QPointF(4 + i * 8, 2), QPointF(4 + i * 8, 30));
                p.drawLine(QPointF(2, 4 + i * 8), QPointF(30, 4 + i * 8));
            }
            p.setPen(Pen(kInk, 1));
            p.setBrush(kRed);
            p.drawEllipse(QPointF(20, 12), 3.5, 3.5);
        };
    case ID_TOOL_DRAW_NEW:
        return [](QPainter& p) {
            Polyline(p, QPolygonF({QPointF(3, 28), QPointF(10, 18), QPointF(16, 22)}), kBlue, false);
            Pencil(p, QPointF(16, 22));
        };
    case ID_TOOL_ADJUST_VERTEX:
        return [](QPainter& p) {
            Polyline(p, QPolygonF({QPointF(3, 28), QPointF(14, 14), QPointF(29, 24)}), kBlue, false);
            const QPointF c(14, 14);
            Arrow(p, c, QPointF(14, 3), kOrange, 2);
            Arrow(p, c, QPointF(3, 14), kOrange, 2);
            Arrow(p, c, QPointF(25, 14), kOrange, 2);
            p.setPen(Pen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(11, 11, 6, 6));
        };
    case ID_TOOL_NEW_VERTEX:
        return [](QPainter& p) {
            Polyline(p, QPolygonF({QPointF(3, 27), QPointF(16, 20), QPointF(29, 27)}), kBlue, true);
            Plus(p, QPointF(16, 9), 5.5, kGreen);
        };
    case ID_TOOL_SPLIT_POLYLINE:
        return [](QPainter& p) {
            Polyline(p, QPolygonF({QPointF(3, 24), QPointF(9, 12), QPointF(14, 16)}), kBlue, false);
            Polyline(p, QPolygonF({QPointF(19, 16), QPointF(24, 10), QPointF(29, 20)}), kGreen, false);
            p.setPen(QPen(kRed, 2, Qt::DashLine));
            p.drawLine(QPointF(16.5, 4), QPointF(16.5, 28));
        };
    case ID_EDIT_TOP_Z_ORDER:
    case ID_EDIT_BOTTOM_Z_ORDER:
        return [id](QPainter& p) {
            const bool top = id == ID_EDIT_TOP_Z_ORDER;
            p.setPen(Pen(kInk, 1.2));
            p.setBrush(top ? kLightBlue : kOrange);
            p.drawRect(QRectF(4, 4, 14, 14));
            p.setBrush(top ? kOrange : kLightBlue);
            p.drawRect(QRectF(10, 10, 14, 14));
            if (top)
                Arrow(p, QPointF(27, 30), QPointF(27, 16), kGreen);
            else
                Arrow(p, QPointF(27, 16), QPointF(27, 30), kRed);
        };
    default:
        break;
    }
    if (id >= ID_USER_SCRIPT_FIRST && id <= ID_USER_SCRIPT_LAST) {
        const int pips = static_cast<int>(id - ID_USER_SCRIPT_FIRST) + 1;
        return [pips](QPainter& p) {
            // A scroll: the script the button runs.
            p.setPen(Pen(kInk, 1.5));
            p.setBrush(QColor(255, 245, 215));
            p.drawRect(QRectF(7, 5, 18, 23));
            p.setBrush(QColor(235, 215, 170));
            p.drawEllipse(QRectF(4, 2, 24, 6));
            Pips(p, pips);
        };
    }
    if (id >= ID_COLUMN_STATISTICS_FIRST && id <= ID_COLUMN_STATISTICS_LAST) {
        const unsigned which = id - ID_COLUMN_STATISTICS_FIRST;
        return [which](QPainter& p) {
            switch (which) {
            case 0: // Min: the lowest bar.
                Bars(p, 4, kRed);
                break;
            case 1: // Max: the highest bar.
                Bars(p, 3, kGreen);
                break;
            case 2: // Sum: the bars stacked into one.
                p.setPen(Pen(kInk, 1));
                for (int i = 0; i < 4; ++i) {
                    p.setBrush(i % 2 == 0 ? kLightBlue : kBlue);
                    p.drawRect(QRectF(10, 28 - (i + 1) * 6, 12, 6));
                }
                break;
            case 3: // Arithmetic mean: a level line through the bars.
                Bars(p, -1, kBlue);
                p.setPen(Pen(kRed, 2));
                p.drawLine(QPointF(2, 15), QPointF(30, 15));
                break;
            case 4: // Geometric mean: a curve through the bars.
                Bars(p, -1, kBlue);
                p.setPen(Pen(kPurple, 2));
                p.setBrush(Qt::NoBrush);
                {
                    QPainterPath curve(QPointF(2, 25));
                    curve.cubicTo(QPointF(12, 24), QPointF(20, 16), QPointF(30, 6));
                    p.drawPath(curve);
                }
                break;
            case 5: // Median: the middle bar.
                Bars(p, 2, kOrange);
                break;
            default: // Standard deviation: a bell curve and its spread.
                p.setPen(Pen(kBlue, 2));
                p.setBrush(Qt::NoBrush);
                {
                    QPainterPath bell(QPointF(2, 27));
                    bell.cubicTo(QPointF(10, 27), QPointF(11, 4), QPointF(16, 4));
                    bell.cubicTo(QPointF(21, 4), QPointF(22, 27), QPointF(30, 27));
                    p.drawPath(bell);
                }
                p.setPen(QPen(kRed, 1.5, Qt::DashLine));
                p.drawLine(QPointF(10, 8), QPointF(10, 28));
                p.drawLine(QPointF(22, 8), QPointF(22, 28));
                break;
            }
        };
    }
    return {};
}

// Icons of the freedesktop naming that fit a command as they are.
const char* ThemeName(unsigned id) {
    switch (id) {
    case ID_FILE_NEW:
        return "document-new";
    case ID_FILE_OPEN:
        return "document-open";
    case ID_FILE_SAVE:
        return "document-save";
    case ID_EDIT_CUT:
        return "edit-cut";
    case ID_EDIT_COPY:
        return "edit-copy";
    case ID_EDIT_PASTE:
        return "edit-paste";
    case ID_EDIT_DELETE:
        return "edit-delete";
    case ID_TABLE_FIND:
        return "edit-find";
    case ID_MAP_VIEW_PRINT:
        return "document-print";
    case ID_TOOL_ZOOM_IN:
        return "zoom-in";
    case ID_TOOL_ZOOM_OUT:
        return "zoom-out";
    default:
        return nullptr;
    }
}

} // namespace

QIcon MakeDrawnCommandIcon(unsigned id) {
    const Draw draw = DrawingOf(id);
    return draw ? Paint(draw) : QIcon();
}

QIcon MakeCommandIcon(unsigned id) {
    const QIcon drawn = MakeDrawnCommandIcon(id);
    const char* name = ThemeName(id);
    if (name != nullptr && QIcon::hasThemeIcon(QString::fromLatin1(name)))
        return QIcon::fromTheme(QString::fromLatin1(name));
    return drawn;
}

QIcon MakePaneIcon(int id) {
    switch (id) {
    case ID_INDICATOR_SCALE:
        return Paint([](QPainter& p) {
            // A scale bar.
            p.setPen(Pen(kInk, 1.5));
            p.setBrush(kInk);
            p.drawRect(QRectF(3, 14, 9, 5));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(12, 14, 9, 5));
            p.setBrush(kInk);
            p.drawRect(QRectF(21, 14, 8, 5));
        });
    case ID_INDICATOR_X:
    case ID_INDICATOR_Y:
        return Paint([id](QPainter& p) {
            // The axis the pane shows, drawn thick.
            const bool x = id == ID_INDICATOR_X;
            p.setPen(Pen(kGrey, 1.5));
            p.drawLine(QPointF(5, 27), QPointF(29, 27));
            p.drawLine(QPointF(5, 27), QPointF(5, 3));
            if (x)
                Arrow(p, QPointF(5, 27), QPointF(29, 27), kRed, 3);
            else
                Arrow(p, QPointF(5, 27), QPointF(5, 3), kBlue, 3);
        });
    case ID_PANE_THEMES:
        return Paint([](QPainter& p) { Layers(p, QPointF(6, 6), kGreen.lighter(150)); });
    case ID_PANE_ATTRIBUTES:
        return Paint([](QPainter& p) {
            p.setPen(Pen(kInk, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3, 5, 26, 22));
            p.setBrush(kLightBlue);
            p.drawRect(QRectF(3, 5, 26, 6));
            p.drawLine(QPointF(12, 5), QPointF(12, 27));
            p.drawLine(QPointF(3, 17), QPointF(29, 17));
            p.drawLine(QPointF(3, 22), QPointF(29, 22));
        });
    case ID_PANE_COORDINATES:
        return Paint([](QPainter& p) {
            Polyline(p, QPolygonF({QPointF(4, 26), QPointF(12, 10), QPointF(22, 18), QPointF(28, 6)}), kOrange, true);
        });
    case ID_PANE_STATISTICS:
        return Paint([](QPainter& p) { Bars(p, 1, kPurple); });
    case ID_PANE_BOOKMARKS:
        return Paint([](QPainter& p) {
            p.setPen(Pen(kInk, 1.2));
            p.setBrush(kRed);
            p.drawPolygon(QPolygonF({QPointF(9, 3), QPointF(23, 3), QPointF(23, 29), QPointF(16, 22), QPointF(9, 29)}));
        });
    default:
        return QIcon();
    }
}
