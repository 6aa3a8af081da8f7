// The GPI operations on a workspace's map view: conversions between client
// pixels and map coordinates, the view's window, repainting and rendering,
// centring and zooming the document's extent, and the current map tool,
// which a plug-in may take over with tools of its own.
//
// The view itself sits above the host; what the operations need of it comes
// through the map view services (GpiMapViewServices) that the view library
// installs. The extent and the tool mode are the document's and are changed
// here directly.

#include "workspace/gpi/GpiOperations.h"

#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiState.h"

#include <cmath>

namespace {

// Tool numbers as plug-ins see them: 1-20 the built-in tools (mode + 1),
// 256-511 plug-in tools (stored as modes 255-510); 255 is what a plug-in is
// told while another plug-in's tool is current.
constexpr std::uint32_t kLastBuiltInTool = 20;
constexpr std::uint32_t kFirstPluginTool = 256;
constexpr std::uint32_t kLastPluginTool = 511;
constexpr std::uint32_t kOtherPluginsTool = 255;

bool IsPluginTool(std::uint32_t tool) { return tool >= kFirstPluginTool && tool <= kLastPluginTool; }

const GpiMapViewServices& Views() { return GpiState().m_MapView; }

CCorvaleDoc* DocumentOf(CGeoView* view) {
    return Views().document ? Views().document(view) : nullptr;
}

// The document of a map handle's view; null (the operation answers Invalid
// handle) when the handle is unknown or its view has lost its document.
CCorvaleDoc* MapDocument(std::uint32_t map) {
    CGeoView* view = GpiMapViewFromHandle(map);
    return view != nullptr ? DocumentOf(view) : nullptr;
}

// The view of a map handle for an operation that needs a view service:
// GPIERR_InvalidHandle when the handle is unknown, GPIERR_NotImplemented
// while the service is not installed, else GPIERR_NoError.
int MapViewWithService(std::uint32_t map, bool installed, CGeoView*& view) {
    view = GpiMapViewFromHandle(map);
    if (view == nullptr)
        return GPIERR_InvalidHandle;
    return installed ? GPIERR_NoError : GPIERR_NotImplemented;
}

} // namespace

int GpiOnMapGetClientExtent(void* args) {
    auto* block = static_cast<GpiMapGetClientExtentArgs*>(args);
    if (block == nullptr || block->xmin == nullptr || block->ymin == nullptr || block->xmax == nullptr ||
        block->ymax == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const GpiMapViewServices& views = Views();
    CGeoView* view = nullptr;
    if (const int error = MapViewWithService(block->handle, views.clientSize && views.clientToWorld, view);
        error != GPIERR_NoError)
        return error;
    std::int32_t width = 0;
    std::int32_t height = 0;
    views.clientSize(view, width, height);
    // The top left corner gives the west and north edges, the bottom right
    // corner the east and south ones.
    double xmin = 0.0, ymax = 0.0, xmax = 0.0, ymin = 0.0;
    views.clientToWorld(view, 0, 0, xmin, ymax);
    views.clientToWorld(view, width, height, xmax, ymin);
    *block->xmin = xmin;
    *block->ymin = ymin;
    *block->xmax = xmax;
    *block->ymax = ymax;
    return GPIERR_NoError;
}

int GpiOnMapGetClientSize(void* args) {
    auto* block = static_cast<GpiMapGetClientSizeArgs*>(args);
    if (block == nullptr || block->width == nullptr || block->height == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGeoView* view = nullptr;
    if (const int error = MapViewWithService(block->map, bool(Views().clientSize), view); error != GPIERR_NoError)
        return error;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Views().clientSize(view, width, height);
    *block->width = static_cast<std::uint32_t>(width);
    *block->height = static_cast<std::uint32_t>(height);
    return GPIERR_NoError;
}

int GpiOnMapWorldToClient(void* args) {
    auto* block = static_cast<GpiMapWorldToClientArgs*>(args);
    if (block == nullptr || block->px == nullptr || block->py == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGeoView* view = nullptr;
    if (const int error = MapViewWithService(block->map, bool(Views().worldToClient), view); error != GPIERR_NoError)
        return error;
    std::int32_t px = 0;
    std::int32_t py = 0;
    Views().worldToClient(view, block->x, block->y, px, py);
    *block->px = px;
    *block->py = py;
    return GPIERR_NoError;
}

int GpiOnMapClientToWorld(void* args) {
    auto* block = static_cast<GpiMapClientToWorldArgs*>(args);
    if (block == nullptr || block->x == nullptr || block->y == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGeoView* view = nullptr;
    if (const int error = MapViewWithService(block->map, bool(Views().clientToWorld), view); error != GPIERR_NoError)
        return error;
    double x = 0.0;
    double y = 0.0;
    Views().clientToWorld(view, block->px, block->py, x, y);
    *block->x = x;
    *block->y = y;
    return GPIERR_NoError;
}

int GpiOnMapGetWindow(void* args) {
    auto* block = static_cast<GpiMapGetWindowArgs*>(args);
    if (block == nullptr || block->window == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGeoView* view = GpiMapViewFromHandle(block->map);
    if (view == nullptr)
        return GPIERR_InvalidHandle;
    *block->window = Views().window ? Views().window(view) : nullptr;
    return GPIERR_NoError;
}

int GpiOnMapRedraw(void* args) {
    auto* block = static_cast<GpiMapRedrawArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGeoView* view = nullptr;
    if (const int error = MapViewWithService(block->handle, bool(Views().redraw), view); error != GPIERR_NoError)
        return error;
    Views().redraw(view, block->value != 0);
    return GPIERR_NoError;
}

int GpiOnMapRender(void* args) {
    auto* block = static_cast<GpiMapRenderArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGeoView* view = GpiMapViewFromHandle(block->map);
    if (view == nullptr)
        return GPIERR_InvalidHandle;
    // The host paints into the plug-in's pixels: a target that does not
    // describe a buffer of its own size would be written past its end.
    constexpr std::uint32_t kLargestSide = 1u << 15;
    const GpiRenderTarget* target = block->dc;
    if (target == nullptr || target->pixels == nullptr || target->width == 0 || target->height == 0 ||
        target->width > kLargestSide || target->height > kLargestSide || target->stride / 4 < target->width ||
        block->width > kLargestSide || block->height > kLargestSide)
        return GPIERR_IllegalParameter;
    if (!Views().render)
        return GPIERR_NotImplemented;
    Views().render(view, *target, static_cast<std::int32_t>(block->width), static_cast<std::int32_t>(block->height),
                   block->centerX, block->centerY, block->mapWidth, block->mapHeight);
    return GPIERR_NoError;
}

int GpiOnMapCenterAt(void* args) {
    auto* block = static_cast<GpiMapCenterAtArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = MapDocument(block->map);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    document->CenterMap(block->x, block->y);
    return GPIERR_NoError;
}

int GpiOnMapZoom(void* args) {
    auto* block = static_cast<GpiMapZoomArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = MapDocument(block->map);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    // A factor of 0 would shrink the extent to a point and a negative one
    // turn it inside out; neither is a zoom, and no view could draw them.
    if (!(block->factor > 0.0) || !std::isfinite(block->factor))
        return GPIERR_IllegalParameter;
    double* extent = document->m_viewExtent;
    const double halfWidth = std::fabs(extent[2] - extent[0]) * 0.5;
    const double halfHeight = std::fabs(extent[3] - extent[1]) * 0.5;
    const double centreX = (extent[0] + extent[2]) / 2.0;
    const double centreY = (extent[1] + extent[3]) / 2.0;
    extent[0] = centreX - halfWidth * block->factor;
    extent[1] = centreY - halfHeight * block->factor;
    extent[2] = centreX + halfWidth * block->factor;
    extent[3] = centreY + halfHeight * block->factor;
    document->UpdateMapScale();
    document->FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
    return GPIERR_NoError;
}

int GpiOnMapZoomToSelection(void* args) {
    auto* block = static_cast<GpiMapZoomToSelectionArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = MapDocument(block->first);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    CTheme* theme = GpiThemeFromHandle(block->second);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    document->GetSelectionExtent(theme);
    document->FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
    return GPIERR_NoError;
}

int GpiOnMapZoomToTheme(void* args) {
    auto* block = static_cast<GpiMapZoomToThemeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = MapDocument(block->first);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    CTheme* theme = nullptr;
    if (block->second != 0) {
        theme = GpiThemeFromHandle(block->second);
        if (theme == nullptr)
            return GPIERR_InvalidHandle;
    }
    document->ZoomToFullExtent(theme);
    document->FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
    return GPIERR_NoError;
}

int GpiOnMapGetTool(void* args) {
    auto* block = static_cast<GpiMapGetToolArgs*>(args);
    if (block == nullptr || block->out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = MapDocument(block->first);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    const std::uint32_t identity = block->second;
    if (!GpiIsPluginIdentity(identity))
        return GPIERR_InvalidHandle;
    const std::uint32_t tool = document->m_toolMode + 1;
    // Only the plug-in that set its tool sees its number; the others learn
    // only that the map belongs to some plug-in.
    if (IsPluginTool(tool) && GpiGetToolOwner(GpiWorkspaceHandle(document)) != identity)
        *block->out = kOtherPluginsTool;
    else
        *block->out = tool;
    return GPIERR_NoError;
}

int GpiOnMapSetTool(void* args) {
    auto* block = static_cast<GpiMapSetToolArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    const std::uint32_t tool = block->value;
    if (tool == 0 || (tool > kLastBuiltInTool && tool < kFirstPluginTool) || tool > kLastPluginTool)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = MapDocument(block->first);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    const std::uint32_t identity = block->second;
    if (!GpiIsPluginIdentity(identity))
        return GPIERR_InvalidHandle;
    // No event: the view reads the mode at its next mouse message. Setting a
    // built-in tool leaves the owner word, which counts only while a plug-in
    // tool is current.
    document->m_toolMode = tool - 1;
    if (IsPluginTool(tool))
        GpiSetToolOwner(GpiWorkspaceHandle(document), identity);
    return GPIERR_NoError;
}
