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
// turned to integer pixels in the loop and drawn with drawPolygon), the least
// any renderer on Qt has to do. It is timed by the wall clock, frame by frame
// in turn with the renderer; the line after the table gives the renderer's
// time against it.

#include "core/Theme.h"
#include "shapes/ShapeRecordBuilder.h"
#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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

// One frame of the view's renderer with the given themes shown, zoom times
// the whole map's scale.
void RenderFrame(World& w, QImage& image, bool polygons, bool points, double zoom) {
    w.polygons->m_Visible = polygons;
    w.points->m_Visible = points;
    QPainter dc(&image);
    double extent[4] = {0.0, 0.0, kWidth / zoom, kHeight / zoom};
    w.view->RenderMap(dc, extent, false, false, CDeviceRect{0, 0, kWidth, kHeight});
}

void RenderFrames(benchmark::State& state, bool polygons, bool points, double zoom) {
    World& w = GetWorld();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        RenderFrame(w, image, polygons, points, zoom);
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

// The peer: the polygons drawn straight with QPainter, as a plain program on
// Qt would draw them: the ring's coordinates read at once as an array of
// points, each vertex turned to a whole pixel in the loop (the whole map in
// the image, y upwards as the view maps it, cut to the pixel the way the view
// cuts it) and the ring drawn as an integer polygon.
void DrawPainterPolygons(const World& w, QImage& image) {
    const double left = 0.0;
    const double top = kHeight;
    const double scale = image.width() / static_cast<double>(kWidth);
    QPolygon ring;
    std::vector<CShapePoint> coordinates;
    const QColor fill(0x80, 0xC0, 0x80);
    const QColor outline(0x40, 0x40, 0x40);
    const QColor background(0xFF, 0xFF, 0xFF);
    QPainter dc(&image);
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.fillRect(0, 0, kWidth, kHeight, background);
    dc.setPen(QPen(outline, 0));
    dc.setBrush(fill);
    const int count = w.polygons->GetShapeCount();
    for (int position = 0; position < count; ++position) {
        const CShapeRecord* record = w.polygons->GetShape(position);
        const std::uint32_t points = CShapeRecord::GetPointCount(record);
        coordinates.resize(points);
        CShapeRecord::GetPoints(record, 0, points, coordinates.data());
        ring.resize(static_cast<int>(points));
        QPoint* pixel = ring.data();
        for (std::uint32_t i = 0; i < points; ++i) {
            const CShapePoint& p = coordinates[i];
            pixel[i] = QPoint(static_cast<int>((p.x - left) * scale), static_cast<int>((top - p.y) * scale));
        }
        dc.drawPolygon(ring);
    }
}

// Pixels in which two pictures differ.
long long PixelsApart(const QImage& a, const QImage& b) {
    long long apart = 0;
    for (int y = 0; y < kHeight; ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < kWidth; ++x)
            apart += (p[x] & 0xFFFFFF) != (q[x] & 0xFFFFFF);
    }
    return apart;
}

// The renderer against its peer: a frame of each in turn, the order swapped
// from one pair to the next, so that both meet the same load on the machine
// (other programs sharing its memory and caches move either's time by a
// fifth from one second to the next). The ratio is the median of the pairs'
// ratios, each side's time the median of its frames, all by the wall clock.
// The pictures of the last pair are compared: the peer is a yardstick only
// while it draws the same map.
void BM_PolygonsInTurn(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    World& w = GetWorld();
    QImage ours(kWidth, kHeight, QImage::Format_RGB32);
    QImage peer(kWidth, kHeight, QImage::Format_RGB32);
    std::vector<double> renderer;
    std::vector<double> painter;
    std::vector<double> ratios;
    bool rendererFirst = true;
    for (auto _ : state) {
        for (int side = 0; side < 2; ++side) {
            const auto start = Clock::now();
            if ((side == 0) == rendererFirst)
                RenderFrame(w, ours, true, false, 1.0);
            else
                DrawPainterPolygons(w, peer);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            ((side == 0) == rendererFirst ? renderer : painter).push_back(ms);
        }
        benchmark::DoNotOptimize(ours.constBits());
        benchmark::DoNotOptimize(peer.constBits());
        ratios.push_back(renderer.back() / painter.back());
        rendererFirst = !rendererFirst;
    }
    state.counters["renderer ms"] = MedianOf(renderer);
    state.counters["QPainter ms"] = MedianOf(painter);
    state.counters["renderer/QPainter"] = MedianOf(ratios);
    state.counters["pixels apart"] = static_cast<double>(PixelsApart(ours, peer));
}

BENCHMARK(BM_RenderPolygons)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PolygonsInTurn)->Unit(benchmark::kMillisecond)->Iterations(31)->UseRealTime();
BENCHMARK(BM_RenderPoints)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderPolygonsAndPoints)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderPolygonsAndPointsZoomed)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// After the usual table: the renderer's time for the polygons against the
// plain loop's, from the frames drawn in turn (medians of the repetitions,
// when there are several). Pictures that differ in more than a thousandth of
// their pixels would mean the two no longer draw the same map: no ratio then.
void Summarise(const BenchMedians& medians) {
    const double ours = medians.Counter("BM_PolygonsInTurn", "renderer ms");
    const double peer = medians.Counter("BM_PolygonsInTurn", "QPainter ms");
    const double ratio = medians.Counter("BM_PolygonsInTurn", "renderer/QPainter");
    const double apart = medians.Counter("BM_PolygonsInTurn", "pixels apart");
    if (!(ours > 0.0 && peer > 0.0 && ratio > 0.0))
        return;
    if (apart > kWidth * kHeight / 1000.0)
        std::printf("%d polygons: renderer %.1f ms, plain QPainter loop %.1f ms, NO RATIO: the pictures differ "
                    "in %.0f pixels\n",
                    kPolygons, ours, peer, apart);
    else
        std::printf("%d polygons: renderer %.1f ms, plain QPainter loop %.1f ms, renderer/QPainter time %.2f "
                    "(pictures apart in %.0f of %d pixels)\n",
                    kPolygons, ours, peer, ratio, apart, kWidth * kHeight);
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
