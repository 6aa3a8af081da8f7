#include "ui/DocumentCommandDialogs.h"

#include "formats/ClipboardFormats.h"
#include "framework/UserInterface.h"
#include "ui/MapImageDialogs.h"
#include "ui/SmallDialogs.h"

#include <QDialog>
#include <QPointer>

void InstallDocumentCommandDialogs(CDocumentDialogServices& services, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    // The dialog keeps the rule between uses itself.
    services.pointCountRule = [owner](int& partRule, int& comparison, int& count) {
        CPointCountSelectionDialog dialog(owner);
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        partRule = CPointCountSelectionDialog::s_Parts;
        comparison = CPointCountSelectionDialog::s_Comparison;
        count = CPointCountSelectionDialog::s_Count;
        return true;
    };
    services.chooseTheme = [owner](CCorvaleDoc* document, const std::string& caption, unsigned kindMask) -> CTheme* {
        CSelectLayerDialog chooser(document, kindMask, caption, owner);
        return chooser.exec() == QDialog::Accepted ? chooser.m_Theme : nullptr;
    };
    services.showInformation = [owner](const std::string& caption, const std::string& text) {
        CTextInformationDialog dialog(caption, owner);
        dialog.m_Text = text;
        dialog.DoModal();
    };
    services.clipboardHasPolygons = [] { return ClipboardHasPolygonShapes(); };
    services.readClipboardPolygons = [] {
        CShapeRecordVector records;
        ReadClipboardShapes(records);
        return records;
    };
}
