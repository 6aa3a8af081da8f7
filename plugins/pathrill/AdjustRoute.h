#pragma once
// Moving a route's end points: the end points of the selected polylines of a
// route layer are marked on the map; a mark dragged along the polylines that
// meet there cuts those back to the release point, or extends the others to
// it, and a chosen JavaScript file runs after each move. The controller
// follows the map view's hooks while the plug-in's map tool (256 or 257) is
// current; its small dialog "Adjust route end points" chooses the route
// layer and the script.

#include "GpiClient.h"
#include "RouteGeometry.h"
#include "TKEvent.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLineEdit;

namespace pathrill {

constexpr std::uint32_t kAdjustTool = 256;
constexpr std::uint32_t kAdjustDragTool = 257;

struct EndPointMark {
    std::uint32_t id = 0;
    double x = 0.0;
    double y = 0.0;
    // The route polylines whose first or last vertex of its first part is here; one
    // that starts and ends here is listed twice.
    std::vector<CvShape> polylines;
};
using EndPointDrag = EndPointMark;

class CAdjustRouteController;

class CAdjustRouteDialog : public QDialog {
public:
    CAdjustRouteDialog(CAdjustRouteController& controller, QWidget* parent);

    // Fills both layer lists with the workspace's polyline themes that may
    // be edited, keeping the chosen ones where they are still listed.
    void FillLayers(const CvWorkspace& workspace);
    CvTheme RouteLayer() const;

    TK::Event<CvTheme> routeLayerEvent;
    TK::Event<CvTheme> geometryLayerEvent;

protected:
    void reject() override;

private:
    CAdjustRouteController& m_Controller;
    QComboBox* m_RouteLayer = nullptr;
    QComboBox* m_GeometryLayer = nullptr;
    QLineEdit* m_Script = nullptr;
};

// Draws the marks over the map view: a child of the view's widget that
// covers it, lets the mouse through, and paints after the map.
class MarkOverlay : public QWidget {
public:
    MarkOverlay(CAdjustRouteController& controller, QWidget* view);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CAdjustRouteController& m_Controller;
};

class CAdjustRouteController {
public:
    CAdjustRouteController();
    ~CAdjustRouteController();

    void SetWorkspace(const CvWorkspace& workspace);
    void Activate(bool on);
    bool IsActive() const { return m_Active; }

    // The hooks.
    void OnMapDrawn();
    void OnMouseMove(std::int32_t x, std::int32_t y);
    void OnLButtonDown(std::int32_t x, std::int32_t y);
    void OnLButtonUp(std::int32_t x, std::int32_t y);
    void OnSelectionChanged();
    void OnEscape();
    void OnThemeRemoved(const CvTheme& theme);
    void OnThemeAdded();

    // The dialog's Cancel: hidden, and the map back to the select tool.
    void OnDialogCancel();
    void OnRouteLayerChanged(const CvTheme& layer);
    void OnGeometryLayerChanged(const CvTheme& layer);

    // Moves the dragged end point to the point of its polylines nearest to
    // (px, py). Every polyline is written, or none: a refused write puts
    // back the ones written before it and throws.
    void ApplyEndPointMove(double px, double py, const EndPointDrag& drag);
    void RebuildEndPoints();

    CvTheme RouteLayer() const;
    const std::map<std::pair<double, double>, EndPointMark>& EndPoints() const { return m_EndPoints; }
    const std::optional<EndPointDrag>& Drag() const { return m_Drag; }
    CvWorkspace Workspace() const { return m_Workspace; }
    CAdjustRouteDialog* Dialog() const { return m_Dialog; }

    std::string scriptPath;
    bool themesChanged = false;

    // Paints the marks (and the dragged one) for the overlay.
    void PaintMarks(QPainter& painter) const;
    static QImage MarkIcon();
    static QImage DragIcon();

private:
    void DrawMarks();
    bool ToolIsOurs() const;
    void EndDrag();
    void RunScript() const;
    void EnsureOverlay();

    CvWorkspace m_Workspace;
    CvWorkspace m_DialogWorkspace;
    bool m_Active = false;
    std::int32_t m_OffsetX = 0;
    std::int32_t m_OffsetY = 0;
    std::optional<EndPointDrag> m_Drag;
    bool m_DragShown = false;
    std::int32_t m_DragX = 0; // pixel of the dragged icon's centre
    std::int32_t m_DragY = 0;
    std::uint32_t m_NextId = 0;
    std::map<std::pair<double, double>, EndPointMark> m_EndPoints;
    QPointer<CAdjustRouteDialog> m_Dialog;
    QPointer<MarkOverlay> m_Overlay;
};

} // namespace pathrill
