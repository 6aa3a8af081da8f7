#pragma once
// The private messages of the map view and the record one of them carries.
//
// The numbers are the ones loaders, exporters, plug-ins and the document have
// always sent, so they stay. Sending is a direct call of CGeoView::OnMessage;
// posting queues the message (framework/Messages.h). The header sits with the
// document, below the view, and depends on nothing but Qt's image class, so
// the document and the plug-in host can include it to reach the view.

#include <QImage>

#include <cstdint>

// wParam the event code, lParam the loader theme: the document passes the
// event on to the theme's loader and the view answers its result.
constexpr unsigned WM_LOADER_CUSTOM_EVENT = 0x8000;
// lParam the theme (unused). Posted by the loader host code; queued copies
// are dropped, so a burst of selection changes makes one notification.
constexpr unsigned WM_THEME_SELECTION_CHANGED = 0x8001;
// To a grid pane, not the view: lParam points at the std::uint32_t that
// receives the pane's context-menu state (1 while its menu is open, else 0).
constexpr unsigned WM_GET_CONTEXT_MENU_STATE = 0x8002;
// lParam 1: open the workspace properties on the comment page.
constexpr unsigned WM_SHOW_WORKSPACE_PROPERTIES = 0x8003;
// lParam points at a double that receives the map units per pixel.
constexpr unsigned WM_GET_UNITS_PER_PIXEL = 0x8005;
// lParam points at a MapImageRequest.
constexpr unsigned WM_RENDER_MAP_IMAGE = 0x8006;
// lParam points at four doubles that receive minX, maxY, maxX, minY.
constexpr unsigned WM_GET_VIEW_EXTENT = 0x8007;
// lParam the theme whose scale range the view is to reach.
constexpr unsigned WM_ZOOM_TO_MAKE_VISIBLE = 0x8009;

// What an exporter asks the view to draw: an image of width x height pixels
// showing the map around (centerX, centerY), mapWidth x mapHeight map units
// wide and high. Both map sizes 0 keep the view's current units per pixel.
struct MapImageRequest {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    double centerX = 0.0;
    double centerY = 0.0;
    double mapWidth = 0.0;
    double mapHeight = 0.0;
    // Written by the view: the rendered image, which belongs to the requester
    // from then on; null when no image could be made.
    QImage result;
};
