#include "view/GeoViewGpi.h"

#include "view/GeoView.h"
#include "view/MapViewport.h"
#include "workspace/gpi/GpiHost.h"

#include <QImage>
#include <QPainter>

namespace {

void ClientSize(CGeoView* view, std::int32_t& width, std::int32_t& height) {
    width = view->width();
    height = view->height();
}

void ClientToWorld(CGeoView* view, std::int32_t px, std::int32_t py, double& x, double& y) {
    const CShapePoint point = ScreenToMap(view->m_viewport, px, py);
    x = point.x;
    y = point.y;
}

void WorldToClient(CGeoView* view, double x, double y, std::int32_t& px, std::int32_t& py) {
    const CDevicePoint point = MapToScreen(view->m_viewport, x, y);
    px = point.x;
    py = point.y;
}

void Redraw(CGeoView* view, bool erase) {
    // A render already pending stays pending whatever erase says.
    view->InvalidateMap(erase);
    view->repaint();
}

void Render(CGeoView* view, const GpiRenderTarget& target, std::int32_t width, std::int32_t height,
            double centerX, double centerY, double mapWidth, double mapHeight) {
    // The plug-in's pixels, painted in place and left to it afterwards.
    QImage image(static_cast<uchar*>(target.pixels), static_cast<int>(target.width),
                 static_cast<int>(target.height), static_cast<qsizetype>(target.stride), QImage::Format_ARGB32);
    QPainter painter(&image);
    view->RenderMapToDC(width, height, centerX, centerY, mapWidth, mapHeight, painter);
}

} // namespace

void InstallGpiMapViewServices() {
    GpiMapViewServices services;
    services.document = [](CGeoView* view) { return view->GetDocument(); };
    services.clientSize = ClientSize;
    services.clientToWorld = ClientToWorld;
    services.worldToClient = WorldToClient;
    services.window = [](CGeoView* view) -> void* { return static_cast<QWidget*>(view); };
    services.redraw = Redraw;
    services.render = Render;
    GpiSetMapViewServices(services);
}
