// Ostrela: the loader plug-in that reads MIF files with their MID tables and
// hands the program up to three themes, one each of points, polylines and
// polygons. Every entry catches its exceptions; none may reach the host.

#include "MifReader.h"
#include "common/FileDialog.h"
#include "common/MifColor.h"

#include "common/LoaderText.h"

#include "Loader.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using ostrela::CMIF;

namespace {

using loadertext::Wide;

const char16_t kName[] = u"Ostrela Interchange Format...";
const char16_t kInfo[] =
    u"<html><head><CorvaleStyleSheet></head><body><h1>MIF/MID Loader plugin version 1.04.</h1>"
    u"<p>This plugin reads files in Ostrela Interchange Format.</p>"
    u"<p>There is currently no support for the Ostrela primitives:<ul><li>Arc<li>Text<li>RoundRect<li>Ellipse"
    u"<li>MultiPoint<li>Collection</ul>This is due to limitations in the Corvale main software.</p>"
    u"<p>Version 1.04:<ul><li>Corrected handling of 127+ ASCII column names.</ul></p>"
    u"<p>Version 1.03:<ul><li>Added handling of attribute types.</ul></p>"
    u"<p>Version 1.02:<ul><li>Added handling of comments and fixed locale problem.</ul></p>"
    u"<p>Part of the Corvale workbench, made by the Corvale developers. "
    u"See <a href=\"https://corvale.org/\">corvale.org</a>.</p></body></html>";
const char16_t kEmpty[] = u"";

const QString kAppTitle = QStringLiteral("MIF Loader Plugin");

// The readers by handle word: the host's 32-bit word cannot hold a pointer.
std::map<std::uint32_t, std::unique_ptr<CMIF>> g_Readers;
std::uint32_t g_NextHandle = 1;
std::uint32_t g_Current = 0;
// Each reader stands here once per theme made from it.
std::vector<std::uint32_t> g_Handles;

CMIF* Reader(std::uint32_t handle) {
    auto it = g_Readers.find(handle);
    return it != g_Readers.end() ? it->second.get() : nullptr;
}

void DropReader(std::uint32_t handle) {
    g_Readers.erase(handle);
    if (g_Current == handle)
        g_Current = 0;
}

// The settings live under the application name of the plug-in, beside the
// program's own ("Corvale" folder of the user's configuration).
std::unique_ptr<QSettings> OpenSettings() {
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QStringLiteral("Corvale"), kAppTitle);
    settings->setFallbacksEnabled(false);
    settings->beginGroup(QStringLiteral("Settings"));
    return settings;
}

struct ImportFlags {
    bool points = true;
    bool polylines = true;
    bool polygons = true;
};

bool ReadFlag(const QSettings& settings, const char* key) {
    bool ok = false;
    const int value = settings.value(QLatin1String(key), 1).toInt(&ok);
    return !ok || value != 0;
}

ImportFlags LoadFlags() {
    auto settings = OpenSettings();
    return {ReadFlag(*settings, "ImportPoints"), ReadFlag(*settings, "ImportPolylines"),
            ReadFlag(*settings, "ImportPolygons")};
}

void SaveFlags(const ImportFlags& flags) {
    auto settings = OpenSettings();
    settings->setValue(QStringLiteral("ImportPoints"), flags.points ? 1 : 0);
    settings->setValue(QStringLiteral("ImportPolylines"), flags.polylines ? 1 : 0);
    settings->setValue(QStringLiteral("ImportPolygons"), flags.polygons ? 1 : 0);
}

// The settings dialog: which kinds of objects a load takes.
class CMIFSettingsDialog : public QDialog {
public:
    CMIFSettingsDialog() {
        setObjectName(QStringLiteral("CMIFSettingsDialog"));
        setWindowTitle(QStringLiteral("Ostrela Interchange Format Import Settings"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Allow import of"), this));
        m_Points = AddBox(layout, "Point data", "2000");
        m_Polylines = AddBox(layout, "Polyline data", "2001");
        m_Polygons = AddBox(layout, "Polygon data", "2002");
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        const ImportFlags flags = LoadFlags();
        m_Points->setChecked(flags.points);
        m_Polylines->setChecked(flags.polylines);
        m_Polygons->setChecked(flags.polygons);
    }
    void accept() override {
        SaveFlags({m_Points->isChecked(), m_Polylines->isChecked(), m_Polygons->isChecked()});
        QDialog::accept();
    }

private:
    QCheckBox* AddBox(QVBoxLayout* layout, const char* text, const char* id) {
        auto* box = new QCheckBox(QString::fromLatin1(text), this);
        box->setObjectName(QString::fromLatin1(id));
        layout->addWidget(box);
        return box;
    }
    QCheckBox* m_Points;
    QCheckBox* m_Polylines;
    QCheckBox* m_Polygons;
};

void ShowMessage(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, kAppTitle, text, QMessageBox::Ok);
    box.exec();
}

QString ChooseFile() {
    return ChoosePluginFile(QString(), QStringLiteral("Ostrela files (*.mif);;All Files (*)"),
                            QStringLiteral("OstrelaOpenDialog"));
}

std::uint32_t KindIndex(std::uint32_t shapeType) {
    return shapeType == LDR_SHT_Point || shapeType == LDR_SHT_Polyline || shapeType == LDR_SHT_Polygon ? shapeType
                                                                                                      : 0;
}

} // namespace

extern "C" {

LDR_EXPORT std::uint32_t fnVersion(void) { return PIV_LoaderPerRecord; }

LDR_EXPORT const LoaderChar* fnGetName(void) { return Wide(kName); }

LDR_EXPORT const LoaderChar* fnGetInfo(void) { return Wide(kInfo); }

LDR_EXPORT const LoaderChar* fnGetLastErrMsg(void) { return Wide(kEmpty); }

LDR_EXPORT void fnSettings(void) {
    try {
        if (QApplication::instance() == nullptr)
            return;
        CMIFSettingsDialog dialog;
        dialog.exec();
    } catch (...) {
    }
}

LDR_EXPORT std::uint8_t fnPreLoadShapes(void) {
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return 0;
        const QString path = ChooseFile();
        if (path.isEmpty())
            return 0;
        const ImportFlags flags = LoadFlags();
        const std::uint32_t handle = g_NextHandle++;
        auto reader = std::make_unique<CMIF>(flags.points, flags.polylines, flags.polygons);
        CMIF* mif = reader.get();
        g_Readers[handle] = std::move(reader);
        g_Current = handle;
        if (!mif->ReadFile(path.toLocal8Bit().toStdString())) {
            DropReader(handle);
            ShowMessage(QMessageBox::Critical, QStringLiteral("Error reading file."));
            return 0;
        }
        if (mif->m_NonEmptyKinds == 0) {
            DropReader(handle);
            ShowMessage(QMessageBox::Information, QStringLiteral("No shapes could be imported under current settings."));
            return 0;
        }
        for (int i = 0; i < mif->m_NonEmptyKinds; ++i)
            g_Handles.push_back(handle);
        return 1;
    } catch (...) {
        return 0;
    }
}

LDR_EXPORT std::uint32_t fnThemeCount(void) {
    return Reader(g_Current) != nullptr ? 1 : 0;
}

LDR_EXPORT std::uint8_t fnSupportsType(std::uint32_t shapeType) {
    const CMIF* mif = Reader(g_Current);
    return mif != nullptr && KindIndex(shapeType) != 0 && mif->HasRecords(shapeType) ? 1 : 0;
}

LDR_EXPORT std::uint8_t fnLoadShapes(LoaderLoadRequest* request) {
    try {
        CMIF* mif = Reader(g_Current);
        if (request == nullptr || mif == nullptr)
            return 0;
        const std::uint32_t type = KindIndex(request->shapeType);
        QString name = QFileInfo(QString::fromLocal8Bit(mif->m_Path.c_str())).completeBaseName();
        if (type == LDR_SHT_Point)
            name += QStringLiteral(" Point");
        else if (type == LDR_SHT_Polyline)
            name += QStringLiteral(" Polyline");
        else if (type == LDR_SHT_Polygon)
            name += QStringLiteral(" Polygon");
        loadertext::SetThemeName(request, name);
        request->color = mifcolor::MifToProgram(mif->m_PenColor);
        request->penWidth = static_cast<std::uint32_t>(mif->m_PenWidth);
        if (type != 0 && request->callback.addShape != nullptr) {
            const auto tail = static_cast<std::uint32_t>(mif->m_TailSize);
            for (const unsigned char* record : mif->Records(type))
                request->callback.addShape(request->context, record, tail);
        }
        request->handle = g_Current;
        return 1;
    } catch (...) {
        return 0;
    }
}

LDR_EXPORT void fnRemoveShapes(std::uint32_t handle) {
    auto it = std::find(g_Handles.begin(), g_Handles.end(), handle);
    if (it == g_Handles.end())
        return;
    g_Handles.erase(it);
    // The reader lives until the last theme made from it is gone.
    if (std::find(g_Handles.begin(), g_Handles.end(), handle) == g_Handles.end())
        DropReader(handle);
}

LDR_EXPORT std::uint32_t fnGetAttributeCount(std::uint32_t handle) {
    const CMIF* mif = Reader(handle);
    return mif != nullptr ? static_cast<std::uint32_t>(mif->m_Columns.size()) : 0;
}

LDR_EXPORT const char* fnGetAttributeName(std::uint32_t handle, std::uint32_t field) {
    const CMIF* mif = Reader(handle);
    if (mif == nullptr || field >= mif->m_Columns.size())
        return "";
    return mif->m_Columns[field].m_Name.c_str();
}

LDR_EXPORT std::uint32_t fnGetAttributeType(std::uint32_t handle, std::uint32_t field) {
    const CMIF* mif = Reader(handle);
    if (mif == nullptr || field >= mif->m_Columns.size())
        return 0;
    return ostrela::AttributeTypeOf(mif->m_Columns[field].m_Type);
}

LDR_EXPORT const char* fnGetAttribute(std::uint32_t handle, const void* record, std::uint32_t field) {
    const CMIF* mif = Reader(handle);
    if (mif == nullptr)
        return "###ERROR###";
    // The program takes a copy of the text at once; UTF-8 is what it reads.
    static std::string text;
    text = mif->AttributeText(record, field);
    return text.c_str();
}

} // extern "C"
