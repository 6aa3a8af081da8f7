#include "AdjustRoute.h"

#include "PathrillHost.h"
#include "common/FileDialog.h"
#include "common/MessageBoxTitle.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include <limits>

namespace pathrill {

namespace {

constexpr int kIconSize = 32;

QImage DrawIcon(const QColor& fill) {
    QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0), 2));
    painter.setBrush(fill);
    painter.drawEllipse(QPointF(kIconSize / 2.0, kIconSize / 2.0), 6.0, 6.0);
    painter.setPen(QPen(QColor(255, 255, 255), 1));
    painter.drawLine(QPointF(kIconSize / 2.0 - 3, kIconSize / 2.0), QPointF(kIconSize / 2.0 + 3, kIconSize / 2.0));
    painter.drawLine(QPointF(kIconSize / 2.0, kIconSize / 2.0 - 3), QPointF(kIconSize / 2.0, kIconSize / 2.0 + 3));
    return icon;
}

void ErrorBox(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Pathrill"), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Ok);
    FitMessageBoxToTitle(box);
    box.exec();
}

// The point of the shape nearest to (x, y), and its squared distance.
double Nearest(const CvShape& shape, double x, double y, double& nx, double& ny) {
    shape.GetNearestPoint(x, y, nx, ny);
    return (nx - x) * (nx - x) + (ny - y) * (ny - y);
}

} // namespace

// ---------------------------------------------------------------------------
// The dialog
// ---------------------------------------------------------------------------

CAdjustRouteDialog::CAdjustRouteDialog(CAdjustRouteController& controller, QWidget* parent)
    : QDialog(parent), m_Controller(controller) {
    setWindowTitle(QStringLiteral("Adjust route end points"));
    setObjectName(QStringLiteral("pathrillAdjustRoute"));
    setModal(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Route Layer:")), 0, 0);
    m_RouteLayer = new QComboBox;
    m_RouteLayer->setObjectName(QStringLiteral("routeLayer"));
    layout->addWidget(m_RouteLayer, 0, 1, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Geometry Layer:")), 1, 0);
    m_GeometryLayer = new QComboBox;
    m_GeometryLayer->setObjectName(QStringLiteral("geometryLayer"));
    // Kept beside the route layer, unused by the move itself.
    m_GeometryLayer->setEnabled(false);
    layout->addWidget(m_GeometryLayer, 1, 1, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("JavaScript:")), 2, 0);
    m_Script = new QLineEdit;
    m_Script->setObjectName(QStringLiteral("script"));
    layout->addWidget(m_Script, 2, 1);
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    layout->addWidget(browse, 2, 2);

    connect(m_RouteLayer, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_GeometryLayer->setCurrentIndex(index);
        routeLayerEvent.Fire(this, RouteLayer());
    });
    connect(m_GeometryLayer, qOverload<int>(&QComboBox::activated), this, [this](int) {
        geometryLayerEvent.Fire(
            this, CvTheme(m_GeometryLayer->currentIndex() < 0 ? 0u : m_GeometryLayer->currentData().toUInt()));
    });
    connect(m_Script, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_Controller.scriptPath = text.toLocal8Bit().toStdString(); });
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file =
            ChoosePluginFile(QStringLiteral("Open"), QStringLiteral("JavaScript files (*.js);;All files (*.*)"),
                             QStringLiteral("pathrillScriptFile"));
        if (!file.isEmpty())
            m_Script->setText(file);
    });
}

void CAdjustRouteDialog::FillLayers(const CvWorkspace& workspace) {
    const std::uint32_t route = RouteLayer().handle;
    const std::uint32_t geometry = m_GeometryLayer->currentIndex() < 0 ? 0u : m_GeometryLayer->currentData().toUInt();
    m_RouteLayer->clear();
    m_GeometryLayer->clear();
    if (workspace.handle != 0) {
        const std::uint32_t count = workspace.GetThemeCount();
        for (std::uint32_t i = 0; i < count; ++i) {
            const CvTheme theme = workspace.GetTheme(i);
            const std::uint32_t type = theme.GetShapeType();
            if ((type != 3 && type != 13) || theme.IsReadOnly())
                continue;
            const QString name = QString::fromLocal8Bit(theme.GetName().c_str());
            m_RouteLayer->addItem(name, QVariant::fromValue<uint>(theme.handle));
            m_GeometryLayer->addItem(name, QVariant::fromValue<uint>(theme.handle));
        }
    }
    m_RouteLayer->setCurrentIndex(m_RouteLayer->findData(QVariant::fromValue<uint>(route)));
    m_GeometryLayer->setCurrentIndex(m_GeometryLayer->findData(QVariant::fromValue<uint>(geometry)));
}

CvTheme CAdjustRouteDialog::RouteLayer() const {
    return CvTheme(m_RouteLayer->currentIndex() < 0 ? 0u : m_RouteLayer->currentData().toUInt());
}

void CAdjustRouteDialog::reject() {
    m_Controller.OnDialogCancel();
}

// ---------------------------------------------------------------------------
// The overlay
// ---------------------------------------------------------------------------

MarkOverlay::MarkOverlay(CAdjustRouteController& controller, QWidget* view)
    : QWidget(view), m_Controller(controller) {
    setObjectName(QStringLiteral("pathrillMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(view->rect());
    view->installEventFilter(this);
    show();
}

void MarkOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_Controller.PaintMarks(painter);
}

bool MarkOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

// ---------------------------------------------------------------------------
// The controller
// ---------------------------------------------------------------------------

CAdjustRouteController::CAdjustRouteController() = default;

CAdjustRouteController::~CAdjustRouteController() {
    delete m_Overlay.data();
    delete m_Dialog.data();
}

QImage CAdjustRouteController::MarkIcon() {
    static const QImage icon = DrawIcon(QColor(220, 0, 0));
    return icon;
}

QImage CAdjustRouteController::DragIcon() {
    static const QImage icon = DrawIcon(QColor(0, 90, 220));
    return icon;
}

void CAdjustRouteController::SetWorkspace(const CvWorkspace& workspace) {
    m_Workspace = workspace;
    if (m_Dialog && (workspace.handle != m_DialogWorkspace.handle || themesChanged)) {
        m_Dialog->FillLayers(workspace);
        m_DialogWorkspace = workspace;
    }
    themesChanged = false;
}

void CAdjustRouteController::Activate(bool on) {
    if (on) {
        m_Active = true;
        RegisterHook(GPIHOOK_MouseMove);
        RegisterHook(GPIHOOK_MapDrawn);
        RegisterHook(GPIHOOK_SelectionChanged);
        if (!m_Dialog) {
            auto* parent = static_cast<QWidget*>(m_Workspace.GetMap().GetWindow());
            m_Dialog = new CAdjustRouteDialog(*this, parent);
            m_Dialog->routeLayerEvent.Subscribe(this, &CAdjustRouteController::OnRouteLayerChanged);
            m_Dialog->geometryLayerEvent.Subscribe(this, &CAdjustRouteController::OnGeometryLayerChanged);
        }
        // Filled on every activation: a theme may have been made editable
        // since the lists were filled, which no hook announces.
        m_Dialog->FillLayers(m_Workspace);
        m_DialogWorkspace = m_Workspace;
        RebuildEndPoints();
        DrawMarks();
        m_Dialog->show();
        return;
    }
    m_Active = false;
    m_Drag.reset();
    m_DragShown = false;
    UnregisterHook(GPIHOOK_MouseMove);
    UnregisterHook(GPIHOOK_MapDrawn);
    UnregisterHook(GPIHOOK_SelectionChanged);
    if (m_Overlay)
        m_Overlay->update();
    if (m_Dialog)
        m_Dialog->hide();
    if (m_Workspace.handle != 0)
        m_Workspace.GetMap().Redraw(false);
}

CvTheme CAdjustRouteController::RouteLayer() const {
    return m_Dialog ? m_Dialog->RouteLayer() : CvTheme();
}

void CAdjustRouteController::RebuildEndPoints() {
    m_EndPoints.clear();
    const CvTheme layer = RouteLayer();
    if (layer.handle == 0)
        return;
    CvRecordset selection = layer.GetSelection();
    while (!selection.IsEOF()) {
        const CvShape shape(selection.GetValue());
        const std::uint32_t count = shape.GetPartPointCount(0);
        if (count > 0) {
            for (std::uint32_t index : {0u, count - 1}) {
                double x = 0, y = 0;
                shape.GetPoint(0, index, x, y);
                auto [it, added] = m_EndPoints.try_emplace({x, y});
                if (added) {
                    it->second.id = m_NextId++;
                    it->second.x = x;
                    it->second.y = y;
                }
                it->second.polylines.push_back(shape);
            }
        }
        selection.MoveNext();
    }
    selection.Close();
}

bool CAdjustRouteController::ToolIsOurs() const {
    if (m_Workspace.handle == 0)
        return false;
    const std::uint32_t tool = m_Workspace.GetMap().GetTool();
    return tool == kAdjustTool || tool == kAdjustDragTool;
}

void CAdjustRouteController::EnsureOverlay() {
    if (m_Workspace.handle == 0)
        return;
    auto* view = static_cast<QWidget*>(m_Workspace.GetMap().GetWindow());
    if (view == nullptr)
        return;
    if (m_Overlay && m_Overlay->parentWidget() == view)
        return;
    delete m_Overlay.data();
    m_Overlay = new MarkOverlay(*this, view);
}

void CAdjustRouteController::DrawMarks() {
    EnsureOverlay();
    if (m_Overlay) {
        m_Overlay->raise();
        m_Overlay->update();
    }
}

void CAdjustRouteController::PaintMarks(QPainter& painter) const {
    try {
        if (!m_Active || !ToolIsOurs())
            return;
        const CvMap map = m_Workspace.GetMap();
        const QImage mark = MarkIcon();
        for (const auto& [point, endPoint] : m_EndPoints) {
            if (m_Drag && m_Drag->id == endPoint.id)
                continue;
            std::int32_t px = 0, py = 0;
            map.WorldToClient(endPoint.x, endPoint.y, px, py);
            painter.drawImage(QPoint(px - kIconSize / 2, py - kIconSize / 2), mark);
        }
        if (m_Drag && m_DragShown)
            painter.drawImage(QPoint(m_DragX - kIconSize / 2, m_DragY - kIconSize / 2), DragIcon());
    } catch (const CvException&) {
        // A workspace that went away while the view repaints: nothing to draw.
    }
}

void CAdjustRouteController::OnMapDrawn() {
    if (m_Active)
        DrawMarks();
}

void CAdjustRouteController::OnLButtonDown(std::int32_t x, std::int32_t y) {
    if (!m_Active || !ToolIsOurs())
        return;
    const CvMap map = m_Workspace.GetMap();
    for (const auto& [point, endPoint] : m_EndPoints) {
        std::int32_t cx = 0, cy = 0;
        map.WorldToClient(endPoint.x, endPoint.y, cx, cy);
        if (!MarkHit(cx, cy, x, y))
            continue;
        m_OffsetX = cx - x;
        m_OffsetY = cy - y;
        m_Drag = endPoint;
        m_DragShown = true;
        m_DragX = cx;
        m_DragY = cy;
        DrawMarks();
        return;
    }
}

void CAdjustRouteController::OnMouseMove(std::int32_t x, std::int32_t y) {
    if (!m_Drag)
        return;
    const CvMap map = m_Workspace.GetMap();
    double px = 0, py = 0;
    map.ClientToWorld(x, y, px, py);
    double best = std::numeric_limits<double>::max();
    double sx = px, sy = py;
    for (const CvShape& shape : m_Drag->polylines) {
        double nx = 0, ny = 0;
        const double d = Nearest(shape, px, py, nx, ny);
        if (d < best) {
            best = d;
            sx = nx;
            sy = ny;
        }
    }
    map.WorldToClient(sx, sy, m_DragX, m_DragY);
    m_DragShown = true;
    DrawMarks();
}

void CAdjustRouteController::OnLButtonUp(std::int32_t x, std::int32_t y) {
    if (!m_Drag)
        return;
    const EndPointDrag drag = *m_Drag;
    struct EndAlways {
        CAdjustRouteController* self;
        ~EndAlways() {
            try {
                self->EndDrag();
            } catch (const CvException&) {
            }
        }
    } end{this};
    double px = 0, py = 0;
    m_Workspace.GetMap().ClientToWorld(x + m_OffsetX, y + m_OffsetY, px, py);
    ApplyEndPointMove(px, py, drag);
}

void CAdjustRouteController::EndDrag() {
    m_Drag.reset();
    m_DragShown = false;
    if (m_Overlay)
        m_Overlay->update();
    if (m_Workspace.handle != 0)
        m_Workspace.GetMap().Redraw(false);
}

void CAdjustRouteController::OnEscape() {
    if (m_Drag)
        EndDrag();
}

void CAdjustRouteController::OnSelectionChanged() {
    if (!m_Active)
        return;
    RebuildEndPoints();
    DrawMarks();
}

void CAdjustRouteController::OnThemeRemoved(const CvTheme& theme) {
    if (theme.handle != 0 && theme.handle == RouteLayer().handle) {
        m_Drag.reset();
        m_DragShown = false;
        m_EndPoints.clear();
        if (m_Overlay)
            m_Overlay->update();
    }
    themesChanged = true;
}

void CAdjustRouteController::OnThemeAdded() {
    themesChanged = true;
}

void CAdjustRouteController::OnDialogCancel() {
    if (m_Dialog)
        m_Dialog->hide();
    if (m_Workspace.handle != 0)
        m_Workspace.GetMap().SetTool(1);
}

void CAdjustRouteController::OnRouteLayerChanged(const CvTheme&) {
    try {
        RebuildEndPoints();
        DrawMarks();
    } catch (const CvException&) {
        m_EndPoints.clear();
    }
}

void CAdjustRouteController::OnGeometryLayerChanged(const CvTheme&) {}

void CAdjustRouteController::ApplyEndPointMove(double px, double py, const EndPointDrag& drag) {
    const CvTheme layer = RouteLayer();
    if (layer.handle == 0)
        return;
    const std::size_t count = drag.polylines.size();
    // Each record is read once: its first part is the line that moves, the
    // other parts are written back as they were.
    std::vector<std::vector<unsigned char>> originals(count);
    std::vector<std::vector<RouteVertices>> parts(count);
    std::vector<RouteVertices> lines(count);
    for (std::size_t i = 0; i < count; ++i) {
        originals[i] = GetShapeRecord(drag.polylines[i]);
        parts[i] = ReadParts(originals[i].data(), originals[i].size());
        if (parts[i].empty())
            parts[i].emplace_back();
        lines[i] = parts[i].front();
    }

    // The polyline nearest to the release point, and those that share its
    // segment there: the ones to cut.
    long nearest = -1;
    double best = std::numeric_limits<double>::max();
    std::vector<std::size_t> cut;
    for (std::size_t i = 0; i < count; ++i) {
        double nx = 0, ny = 0;
        const double d = Nearest(drag.polylines[i], px, py, nx, ny);
        if (nearest >= 0 && SameSegmentAt(lines[static_cast<std::size_t>(nearest)], lines[i], nx, ny)) {
            cut.push_back(i);
        } else if (d < best) {
            cut.assign(1, i);
            nearest = static_cast<long>(i);
            best = d;
        }
    }
    if (nearest < 0)
        return;
    double qx = 0, qy = 0;
    drag.polylines[static_cast<std::size_t>(nearest)].GetNearestPoint(px, py, qx, qy);

    // Every new line is made before anything is written.
    std::vector<std::optional<RouteVertices>> updated(count);
    RouteVertices piece;
    bool havePiece = false;
    for (std::size_t i : cut) {
        RouteVertices trimmed, removed;
        if (!TrimAtPoint(lines[i], qx, qy, drag.x, drag.y, trimmed, removed))
            continue;
        // A line cut back to a single point would be lost from the route.
        if (trimmed.size() < 2)
            return;
        updated[i] = std::move(trimmed);
        if (!havePiece) {
            piece = std::move(removed);
            havePiece = true;
        }
    }
    if (!havePiece)
        return;
    for (std::size_t i = 0; i < count; ++i)
        if (std::find(cut.begin(), cut.end(), i) == cut.end())
            updated[i] = ExtendByPiece(lines[i], drag.x, drag.y, piece);

    // All or none: a refused write puts back what was written before it.
    const std::uint32_t type = layer.GetShapeType();
    std::vector<std::size_t> written;
    try {
        for (std::size_t i = 0; i < count; ++i) {
            if (!updated[i])
                continue;
            // Only the first part is moved; the polyline's other parts stay as they were.
            parts[i].front() = std::move(*updated[i]);
            const std::vector<unsigned char> record = BuildPolylineRecord(parts[i], type);
            layer.UpdateShape(drag.polylines[i], record.data());
            written.push_back(i);
        }
    } catch (const CvException&) {
        for (std::size_t i : written) {
            try {
                layer.UpdateShape(drag.polylines[i], originals[i].data());
            } catch (const CvException&) {
            }
        }
        throw;
    }
    RebuildEndPoints();
    m_Workspace.NotifyChanged();
    RunScript();
}

void CAdjustRouteController::RunScript() const {
    if (scriptPath.empty())
        return;
    CvJavaScript script;
    try {
        script = m_Workspace.CreateJavaScript(scriptPath.c_str());
    } catch (const CvException& e) {
        ErrorBox("An error occurred trying to load the JavaScript:\n\n" + e.GetText());
        return;
    }
    try {
        script.Run();
    } catch (const CvException& e) {
        ErrorBox("An error occurred trying to run the JavaScript:\n\n" + e.GetText());
    }
    try {
        script.Destroy();
    } catch (const CvException&) {
    }
}

} // namespace pathrill
