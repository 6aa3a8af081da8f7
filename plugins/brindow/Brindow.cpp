// Brindow: the exporter plug-in that writes each exported point, polyline or
// polygon theme as a MIF file and, on request, a MID table beside it. Every
// entry catches its exceptions; none may reach the host.

#include "MifWriter.h"
#include "common/FileDialog.h"

#include "Exporter.h"

#include <QApplication>
#include <QMessageBox>

#include <string>
#include <vector>

namespace {

const char16_t kName[] = u"Ostrela Interchange Format (MIF/MID)";
const char16_t kDescription[] = u"Exports to MIF/MID format.";
const char16_t kInfo[] =
    u"<html><head><CorvaleStyleSheet></head><body><h1>MIF/MID Exporter plugin version 1.01.</h1>"
    u"<p>Exports each selected theme (excluding image based layers) to MIF/MID pair of files.</p>"
    u"<p>Version 1.01:<ul><li>Discards empty polylines and polygons.</ul></p>"
    u"<p>Part of the Corvale workbench, made by the Corvale developers. "
    u"See <a href=\"https://corvale.org/\">corvale.org</a>.</p></body></html>";

const char kAborted[] = "Export aborted for this layer.";

brindow::CMifExport g_Export;
std::u16string g_LastError;

const ExporterChar* Wide(const char16_t* text) { return reinterpret_cast<const ExporterChar*>(text); }

void SetError(const std::string& text) { g_LastError = QString::fromUtf8(text.c_str()).toStdU16String(); }

QString ChooseFile(const QString& themeName) {
    return ChoosePluginFile(QStringLiteral("Save MIF for layer ") + themeName,
                            QStringLiteral("MIF Files (*.mif);;All Files (*)"), QStringLiteral("BrindowSaveDialog"),
                            true);
}

} // namespace

extern "C" {

// Version 6: the host says which code page the theme's text is in.
XPR_EXPORT std::uint32_t fnVersion(void) { return PIV_ExporterTextCodePage; }

XPR_EXPORT const ExporterChar* fnGetName(void) { return Wide(kName); }

XPR_EXPORT const ExporterChar* fnGetDescription(void) { return Wide(kDescription); }

XPR_EXPORT const ExporterChar* fnGetInfo(void) { return Wide(kInfo); }

XPR_EXPORT const ExporterChar* fnGetLastErrMsg(void) {
    return reinterpret_cast<const ExporterChar*>(g_LastError.c_str());
}

XPR_EXPORT std::uint8_t fnSupportsType(std::uint32_t shapeType, std::uint32_t, ExportHostGetFieldNameFn) {
    return shapeType == 1 || shapeType == 3 || shapeType == 5 ? 1 : 0;
}

XPR_EXPORT std::uint8_t fnPreExport(PreExportArgs* args) {
    try {
        g_LastError.clear();
        if (args == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
            SetError(kAborted);
            return 0;
        }
        const QString path = ChooseFile(QString::fromUtf8(args->themeName != nullptr ? args->themeName : ""));
        if (path.isEmpty()) {
            SetError(kAborted);
            return 0;
        }
        bool withMid = false;
        if (args->fieldCount > 0) {
            const auto answer = QMessageBox::question(
                nullptr, QStringLiteral("MIF/MID Exporter"),
                QStringLiteral("Would you like to create a data table file (.mid)?"),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            if (answer == QMessageBox::Cancel || answer == QMessageBox::Escape) {
                SetError(kAborted);
                return 0;
            }
            withMid = answer == QMessageBox::Yes;
        }
        std::vector<brindow::MifField> fields;
        for (std::uint32_t f = 0; f < args->fieldCount; ++f) {
            brindow::MifField field;
            const char* name = args->getFieldName != nullptr ? args->getFieldName(f) : nullptr;
            field.m_Name = name != nullptr ? name : "";
            field.m_Type = args->getFieldType != nullptr ? (args->getFieldType(f) & ~XPR_FT_PrimaryKey) : 0;
            fields.push_back(std::move(field));
        }
        const std::string mifPath = path.toLocal8Bit().toStdString();
        std::string error;
        if (!g_Export.Begin(mifPath, withMid ? brindow::MidPathFor(mifPath) : std::string(), fields,
                            args->textCodePage, error)) {
            SetError(error + "\n\n" + kAborted);
            return 0;
        }
        return 1;
    } catch (...) {
        SetError(kAborted);
        return 0;
    }
}

XPR_EXPORT std::uint8_t fnExportShape(ExportShapeArgs* args) {
    try {
        if (args == nullptr || !g_Export.IsOpen()) {
            SetError(kAborted);
            return 0;
        }
        if (g_Export.WriteShape(*args) == brindow::CMifExport::Unsupported) {
            SetError("An unsupported shape type encountered when exporting layer.\n\nExport aborted for this layer.");
            return 0;
        }
        return 1;
    } catch (...) {
        SetError(kAborted);
        return 0;
    }
}

// A theme that did not go out whole leaves no files behind; a complete one
// is put in place now.
XPR_EXPORT std::uint8_t fnPostExport(std::uint32_t, std::uint8_t succeeded) {
    try {
        std::string error;
        if (!g_Export.End(succeeded != 0, error)) {
            SetError(error);
            return 0;
        }
        if (succeeded != 0 && g_Export.Replaced() > 0)
            QMessageBox::warning(nullptr, QStringLiteral("MIF/MID Exporter"),
                                 QStringLiteral("%1 characters have no place in the Windows Latin 1 code page of "
                                                "MIF files and were written as \"?\".")
                                     .arg(static_cast<qulonglong>(g_Export.Replaced())));
        return 1;
    } catch (...) {
        return 0;
    }
}

} // extern "C"
