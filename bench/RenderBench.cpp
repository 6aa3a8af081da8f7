// Rendering a whole map into a 1920 x 1080 image through CGeoView::RenderMap:
// 100,000 generated polygons of 20 vertices and 1,000,000 points, each theme
// alone and both together, one frame per iteration (milliseconds per frame).
//
// Every shape lies inside the extent, so nothing is saved by leaving out
// what is not visible: the figures are those of a map full of data. The
// "zoomed" runs show the same workspace with a quarter of its width in view.
//
// Peer: a plain QPainter loop over the same 100,000 polygons into the same
// image (the same fill, outline and background, no antialiasing, each ring
// turned to pixels and drawn with drawPolygon), the least any renderer on Qt
// has to do; the line after the table gives the renderer's time against it.

#include "core/Theme.h"
#include "shapes/ShapeRecordBuilder.h"
#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kPolygons = 100000;
constexpr int kPolygonVertices = 20;
constexpr int kPoints = 1000000;

struct World {
    std::vector<std::unique_ptr<unsigned char[]>> records;
    std::unique_ptr<CCorvaleDoc> doc;
    CTheme* polygons = nullptr;
    CTheme* points = nullptr;
    std::unique_ptr<CGeoView> view;
};

void FinishTheme(CCorvaleDoc& doc, CTheme* theme, std::uint32_t colour) {
    theme->m_Color = colour;
    theme->m_OutlineColor = 0x404040;
    theme->ResetFilter();
    theme->UpdateStyles();
    doc.m_themes.push_back(theme);
}

// One unit per pixel: map 0..1920 x 0..1080. Polygons are rings of 20
// vertices, 2 to 12 units across, scattered over the whole map, as the
// parcels of a town; points are scattered the same way.
World& GetWorld() {
    static World* world = [] {
        auto* w = new World;
        w->doc = std::make_unique<CCorvaleDoc>();
        w->doc->m_backgroundColor = 0xFFFFFF;
        std::mt19937 random(20240611);
        std::uniform_real_distribution<double> x(0.0, kWidth);
        std::uniform_real_distribution<double> y(0.0, kHeight);
        std::uniform_real_distribution<double> radius(1.0, 6.0);
        std::uniform_real_distribution<double> wobble(0.7, 1.0);

        w->polygons = new CTheme;
        w->polygons->m_ShapeType = SHT_Polygon;
        w->records.reserve(kPolygons + kPoints);
        for (int i = 0; i < kPolygons; ++i) {
            const double cx = x(random);
            const double cy = y(random);
            const double r = radius(random);
            // Clockwise, closed on the first vertex.
            auto bytes = WobblyRing(random, wobble, cx, cy, r, kPolygonVertices, static_cast<std::uint32_t>(i + 1));
            CTheme::ShapeCallback(w->polygons, CShapeRecord::FromBytes(bytes.get()), 0);
            w->records.push_back(std::move(bytes));
        }
        FinishTheme(*w->doc, w->polygons, 0x80C080);

        w->points = new CTheme;
        w->points->m_ShapeType = SHT_Point;
        for (int i = 0; i < kPoints; ++i) {
            auto bytes = std::make_unique<unsigned char[]>(28);
            CShapePointCreator(static_cast<std::uint32_t>(i + 1))
                .CreatePoint(bytes.get(), x(random), y(random));
            CTheme::ShapeCallback(w->points, CShapeRecord::FromBytes(bytes.get()), 0);
            w->records.push_back(std::move(bytes));
        }
        FinishTheme(*w->doc, w->points, 0x0000C0);

        w->view = std::make_unique<CGeoView>(w->doc.get());
        w->view->resize(kWidth, kHeight);
        return w;
    }();
    return *world;
}

void RenderFrames(benchmark::State& state, bool polygons, bool points, double zoom) {
    World& w = GetWorld();
    w.polygons->m_Visible = polygons;
    w.points->m_Visible = points;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const double width = kWidth / zoom;
    const double height = kHeight / zoom;
    for (auto _ : state) {
        QPainter dc(&image);
        double extent[4] = {0.0, 0.0, width, height};
        w.view->RenderMap(dc, extent, false, false, CDeviceRect{0, 0, kWidth, kHeight});
        dc.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["shapes"] = (polygons ? kPolygons : 0) + (points ? kPoints : 0);
}

void BM_RenderPolygons(benchmark::State& state) {
    RenderFrames(state, true, false, 1.0);
}
void BM_RenderPoints(benchmark::State& state) {
    RenderFrames(state, false, true, 1.0);
}
void BM_RenderPolygonsAndPoints(benchmark::State& state) {
    RenderFrames(state, true, true, 1.0);
}
void BM_RenderPolygonsAndPointsZoomed(benchmark::State& state) {
    RenderFrames(state, true, true, 4.0);
}

// The peer: the polygons drawn straight with QPainter, one unit a pixel with
// y upwards as the view maps them.
void BM_PainterPolygons(benchmark::State& state) {
    World& w = GetWorld();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPolygonF ring;
    const QColor fill(0x80, 0xC0, 0x80);
    const QColor outline(0x40, 0x40, 0x40);
    const QColor background(0xFF, 0xFF, 0xFF);
    for (auto _ : state) {
        QPainter dc(&image);
        dc.setRenderHint(QPainter::Antialiasing, false);
        dc.fillRect(0, 0, kWidth, kHeight, background);
        dc.setPen(QPen(outline, 0));
        dc.setBrush(fill);
        const int count = w.polygons->GetShapeCount();
        for (int position = 0; position < count; ++position) {
            const CShapeRecord* record = w.polygons->GetShape(position);
            const std::uint32_t points = CShapeRecord::GetPointCount(record);
            ring.resize(static_cast<int>(points));
            for (std::uint32_t i = 0; i < points; ++i) {
                const CShapePoint p = CShapeRecord::GetPoint(record, i);
                ring[static_cast<int>(i)] = QPointF(p.x, kHeight - p.y);
            }
            dc.drawPolygon(ring);
        }
        dc.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["shapes"] = kPolygons;
}

BENCHMARK(BM_RenderPolygons)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PainterPolygons)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderPoints)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderPolygonsAndPoints)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderPolygonsAndPointsZoomed)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// After the usual table: the renderer's time for the polygons against
// the plain loop's (medians, when there are repetitions).
void Summarise(const BenchMedians& medians) {
    const double ours = medians.Time("BM_RenderPolygons");
    const double peer = medians.Time("BM_PainterPolygons");
    if (ours > 0.0 && peer > 0.0)
        std::printf("%d polygons: renderer %.1f ms, plain QPainter loop %.1f ms, renderer/QPainter time %.2f\n",
                    kPolygons, ours, peer, ours / peer);
}

} // namespace

int main(int argc, char** argv) {
    // The view is a widget; the offscreen platform keeps the run off any display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MedianReporter reporter("shapes", MedianReporter::OO_Defaults, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
