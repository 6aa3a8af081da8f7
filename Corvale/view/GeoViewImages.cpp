// The map view's image output: Save Map Image as one image or as a grid of
// sheets, the HTML image map offered afterwards, and the print preview.

#include "view/GeoView.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/FileNames.h"
#include "shapes/FileWriter.h"
#include "view/GeoViewServices.h"
#include "view/MapImageOutput.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>
#include <QByteArray>
#include <QDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>
#include <cstdint>

namespace {

const char* const kMapNotVisible = "The map is not visible.\n\nResize the map and try again.";

bool HasPointOrPolygonTheme(const CCorvaleDoc& doc) {
    for (const CTheme* theme : doc.m_themes)
        if (CShapeRecord::IsPointType(theme->m_ShapeType) ||
            CShapeRecord::IsPolygonType(theme->m_ShapeType))
            return true;
    return false;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

} // namespace

void CGeoView::OnSaveMapImage() {
    if (width() <= 0 || height() <= 0) {
        corvale::UI().ShowMessage(kMapNotVisible, corvale::MessageIcon::Error,
                                  corvale::MessageButtons::Ok);
        return;
    }
    int choice = RememberedMapImageChoice();
    if (!GeoViewServices().ChooseMapImageKind(*this, choice))
        return;
    RememberedMapImageChoice() = choice;
    if (choice == 1) {
        SaveMultipleSheets();
        return;
    }
    corvale::FileDialogRequest request;
    request.title = "Save Map Image";
    request.filter = MapImageFileFilter();
    request.defaultExtension = "png";
    std::string path;
    if (!corvale::UI().ChooseSaveFile(request, path))
        return;
    SaveMapImage(QByteArray(), path, nullptr, false);
}

bool CGeoView::SaveMapImage(const QByteArray& format, const std::string& path,
                            const std::uint32_t* transparentColour, bool quiet) {
    if (width() <= 0 || height() <= 0) {
        if (!quiet)
            corvale::UI().ShowMessage(kMapNotVisible, corvale::MessageIcon::Error,
                                      corvale::MessageButtons::Ok);
        return false;
    }
    // A script that edits and saves in one turn gets the edited map: the
    // picture is rendered first when it is out of date.
    const bool saved = SaveImageFile(GetMapPicture(), path, format, transparentColour);
    if (!saved && !quiet)
        corvale::UI().ShowMessage(CFileWriter::IsReadOnlyFile(path.c_str())
                                      ? ReadOnlyFileMessage(path)
                                      : "The map image could not be saved to\n" + path,
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
    CCorvaleDoc* doc = GetDocument();
    if (!quiet && doc != nullptr && HasPointOrPolygonTheme(*doc)) {
        int answer = corvale::UI().ShowMessage(
            "Would you like to create an HTML image map based on any\nof the point or polygon "
            "layers for the saved image?",
            corvale::MessageIcon::Question, corvale::MessageButtons::YesNo);
        while (answer == corvale::IDYES) {
            if (!GeoViewServices().CreateImageMap(*this, path))
                break;
            answer = corvale::UI().ShowMessage("Would you like to create another HTML image map?",
                                               corvale::MessageIcon::Question,
                                               corvale::MessageButtons::YesNo);
        }
    }
    return saved;
}

void CGeoView::SaveMultipleSheets() {
    CMapSheetSettings settings = RememberedMapSheetSettings();
    settings.clientWidth = width();
    settings.clientHeight = height();
    if (!GeoViewServices().EditMapSheetSettings(*this, settings))
        return;
    RememberedMapSheetSettings() = settings;
    const int failed = WriteMapSheets(settings);
    if (failed > 0) {
        const int total = settings.columns * settings.rows;
        corvale::UI().ShowMessage(std::to_string(failed) + " of " + std::to_string(total) +
                                      " map sheets could not be saved.",
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
    }
}

int CGeoView::WriteMapSheets(const CMapSheetSettings& s) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || s.columns < 1 || s.rows < 1)
        return 0;
    corvale::CWaitCursor wait;
    const std::string transformExtension = s.transformKind == STK_SheetText ? ".txt" : ".tfw";
    const double* e = doc->m_viewExtent;
    const double minX = e[0], minY = e[1], maxX = e[2], maxY = e[3];
    const double dx = std::fabs(maxX - minX) / s.columns;
    const double dy = std::fabs(maxY - minY) / s.rows;
    const bool dirty = m_mapDirty;
    corvale::UI().BeginProgress();
    int failed = 0;
    const std::int64_t total = static_cast<std::int64_t>(s.rows) * s.columns;
    for (int x = 0; x < s.columns; ++x) {
        for (int y = 0; y < s.rows; ++y) {
            const std::string base = ExpandSheetTemplate(s.fileTemplate, x, y);
            const std::string imagePath = JoinPath(s.directory, base + s.extension);
            const double left = minX + x * dx;
            const double right = minX + (x + 1) * dx;
            const double top = maxY - y * dy;
            const double bottom = maxY - (y + 1) * dy;
            QImage image = RenderMapImage(s.width, s.height, (left + right) / 2.0,
                                          (top + bottom) / 2.0, dx, dy);
            if (!image.isNull() && s.bits == 16)
                image = image.convertToFormat(QImage::Format_RGB16);
            bool ok = SaveImageFile(image, imagePath, QByteArray(), nullptr);
            if (ok && s.transformKind != STK_Skip)
                ok = WriteWholeFile(JoinPath(s.directory, base + transformExtension),
                                    SheetTransformText(s.transformKind, left, top, right, bottom,
                                                       s.width, s.height));
            if (!ok)
                ++failed;
            corvale::UI().SetProgress(
                static_cast<int>((static_cast<std::int64_t>(s.rows) * x + y) * 100 / total));
        }
    }
    corvale::UI().EndProgress();
    m_mapDirty = dirty;
    return failed;
}

// ---------------------------------------------------------------------------
// Print preview
// ---------------------------------------------------------------------------

// The preview window: the page as the map view prints it, with a tool bar
// of print, zoom in and zoom out, and Close.
class CMyPreviewView : public QDialog {
public:
    CMyPreviewView(CGeoView* view, QPrinter* printer) : QDialog(view) {
        setWindowTitle(QStringLiteral("Print Preview"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_ToolBar = new QToolBar(this);
        m_Preview = new QPrintPreviewWidget(printer, this);
        QAction* close = m_ToolBar->addAction(QStringLiteral("Close"), this, &QDialog::reject);
        close->setObjectName(QStringLiteral("close"));
        QAction* print = m_ToolBar->addAction(QStringLiteral("Print"), this, [this, view] {
            accept();
            view->OnFilePrint();
        });
        print->setObjectName(QStringLiteral("print"));
        m_ToolBar->addSeparator();
        m_ToolBar->addAction(QStringLiteral("Zoom In"), m_Preview, [this] { m_Preview->zoomIn(); })
            ->setObjectName(QStringLiteral("zoomIn"));
        m_ToolBar->addAction(QStringLiteral("Zoom Out"), m_Preview, [this] { m_Preview->zoomOut(); })
            ->setObjectName(QStringLiteral("zoomOut"));
        layout->addWidget(m_ToolBar);
        layout->addWidget(m_Preview, 1);
        connect(m_Preview, &QPrintPreviewWidget::paintRequested, view,
                [view](QPrinter* target) { view->OnPrint(*target); });
        resize(800, 600);
    }

    QPrintPreviewWidget* Preview() const { return m_Preview; }

private:
    QToolBar* m_ToolBar = nullptr;
    QPrintPreviewWidget* m_Preview = nullptr;
};

void CGeoView::OnFilePrintPreview() {
    QPrinter printer;
    CMyPreviewView preview(this, &printer);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.exec();
    // Printing moved the view's mapping; the screen gets its own back.
    InvalidateMap(true);
}
