// Drives the plug-in host's map view operations with arbitrary numbers: the
// view's mapping (extent and pixel rectangle), then a run of operations, each
// a byte choosing it and its words and doubles taken from the input. Any
// double may come, NaN and the infinities included, and any pixel; the
// operations must answer a result code without a sanitizer report (no
// float-to-int cast out of range, no division by zero), and a refused zoom
// or tool must change nothing.
//
// The view is a stand-in: a mapping the input sets, behind the same map view
// services the real view installs, converting through the viewport's own
// functions.

#include "Gpi.h"
#include "view/MapViewport.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <QtGlobal>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

class CInput {
public:
    CInput(const std::uint8_t* data, std::size_t size) : m_Data(data), m_Size(size) {}
    bool Empty() const { return m_Used >= m_Size; }
    template <class T> T Take() {
        T value{};
        const std::size_t n = std::min(sizeof value, m_Size - std::min(m_Used, m_Size));
        if (n != 0)
            std::memcpy(&value, m_Data + m_Used, n);
        m_Used += sizeof value;
        return value;
    }

private:
    const std::uint8_t* m_Data;
    std::size_t m_Size;
    std::size_t m_Used = 0;
};

struct CHost {
    CHost() {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        GpiInitializeLock();
        document = std::make_unique<CCorvaleDoc>();
        view = reinterpret_cast<CGeoView*>(&viewport);
        map = GpiRegisterMapView(view);
        auto plugin = std::make_unique<CGpiPlugin>();
        plugin->m_Valid = 1;
        plugin->m_Initialised = 1;
        identity = GpiAddPlugin(std::move(plugin));
        GpiMapViewServices services;
        services.document = [this](CGeoView*) { return document.get(); };
        services.clientSize = [this](CGeoView*, std::int32_t& w, std::int32_t& h) {
            w = viewport.right - viewport.left;
            h = viewport.bottom - viewport.top;
        };
        services.clientToWorld = [this](CGeoView*, std::int32_t px, std::int32_t py, double& x, double& y) {
            const CShapePoint p = ScreenToMap(viewport, px, py);
            x = p.x;
            y = p.y;
        };
        services.worldToClient = [this](CGeoView*, double x, double y, std::int32_t& px, std::int32_t& py) {
            const CDevicePoint p = MapToScreen(viewport, x, y);
            px = p.x;
            py = p.y;
        };
        GpiSetMapViewServices(services);
    }

    std::unique_ptr<CCorvaleDoc> document;
    CMapViewport viewport;
    CGeoView* view = nullptr;
    std::uint32_t map = 0;
    std::uint32_t identity = 0;
};

bool SameExtent(const double a[4], const double b[4]) { return std::memcmp(a, b, 4 * sizeof(double)) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CHost host;
    CInput in(data, size);
    // The client rectangle stays within what a screen could have, so that
    // its size fits a pixel count; the extent may be anything.
    const auto side = [&in] { return static_cast<std::int32_t>(in.Take<std::uint16_t>() % 20000); };
    const std::int32_t left = side() - 10000, top = side() - 10000;
    const double minX = in.Take<double>(), maxX = in.Take<double>(), minY = in.Take<double>(),
                 maxY = in.Take<double>();
    SetMapViewport(host.viewport, {left, top, left + side(), top + side()}, minX, maxX, minY, maxY);
    for (int i = 0; i < 4; ++i)
        host.document->m_viewExtent[i] = in.Take<double>();
    host.document->m_toolMode = MT_Select;

    for (int step = 0; step < 64 && !in.Empty(); ++step) {
        const std::uint8_t choice = in.Take<std::uint8_t>();
        double saved[4];
        std::memcpy(saved, host.document->m_viewExtent, sizeof saved);
        switch (choice % 8) {
        case 0: {
            double x = 0, y = 0, z = 0, w = 0;
            GpiMapGetClientExtentArgs args = {host.map, &x, &y, &z, &w};
            GpiHostDispatch(GPIOP_MapGetClientExtent, &args);
            break;
        }
        case 1: {
            std::int32_t px = 0, py = 0;
            GpiMapWorldToClientArgs args = {host.map, 0, in.Take<double>(), in.Take<double>(), &px, &py};
            GpiHostDispatch(GPIOP_MapWorldToClient, &args);
            break;
        }
        case 2: {
            double x = 0, y = 0;
            GpiMapClientToWorldArgs args = {host.map, in.Take<std::int32_t>(), in.Take<std::int32_t>(), &x, &y};
            GpiHostDispatch(GPIOP_MapClientToWorld, &args);
            break;
        }
        case 3: {
            GpiMapCenterAtArgs args = {host.map, 0, in.Take<double>(), in.Take<double>()};
            GpiHostDispatch(GPIOP_MapCenterAt, &args);
            break;
        }
        case 4: {
            GpiMapZoomArgs args = {host.map, 0, in.Take<double>()};
            const int result = GpiHostDispatch(GPIOP_MapZoom, &args);
            if (result != GPIERR_NoError && !SameExtent(saved, host.document->m_viewExtent))
                std::abort();
            break;
        }
        case 5: {
            const std::uint32_t mode = host.document->m_toolMode;
            GpiMapSetToolArgs args = {host.map, host.identity, in.Take<std::uint16_t>()};
            const int result = GpiHostDispatch(GPIOP_MapSetTool, &args);
            if (result != GPIERR_NoError && host.document->m_toolMode != mode)
                std::abort();
            if (result == GPIERR_NoError && host.document->m_toolMode + 1 != args.value)
                std::abort();
            break;
        }
        case 6: {
            std::uint32_t tool = 0;
            GpiMapGetToolArgs args = {host.map, host.identity, &tool};
            if (GpiHostDispatch(GPIOP_MapGetTool, &args) != GPIERR_NoError ||
                tool != host.document->m_toolMode + 1)
                std::abort();
            break;
        }
        default: {
            GpiMapZoomToThemeArgs args = {host.map, 0};
            GpiHostDispatch(GPIOP_MapZoomToTheme, &args);
            break;
        }
        }
    }
    return 0;
}
