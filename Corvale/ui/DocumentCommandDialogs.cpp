#include "ui/DocumentCommandDialogs.h"

#include "formats/ClipboardFormats.h"
#include "framework/UserInterface.h"
#include "ui/AttributeListBuilderDialog.h"
#include "ui/MapImageDialogs.h"
#include "ui/MultiEditAttributesDialog.h"
#include "ui/ShapeBinaryDialog.h"
#include "ui/SmallDialogs.h"

#include <QDialog>
#include <QPointer>

#include <map>

namespace {

// Each document has one attribute list builder, made when first shown. The
// frame may delete it first when the program closes: the pointer notices.
std::map<CCorvaleDoc*, QPointer<CAttributeListBuilderDialog>>& ListBuilders() {
    static std::map<CCorvaleDoc*, QPointer<CAttributeListBuilderDialog>> builders;
    return builders;
}

CAttributeListBuilderDialog* FindListBuilder(CCorvaleDoc* document) {
    const auto it = ListBuilders().find(document);
    return it != ListBuilders().end() ? it->second.data() : nullptr;
}

} // namespace

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
    services.multiEditAttributes = [owner](CCorvaleDoc* document, CTheme* theme) {
        return RunMultiEditAttributesDialog(theme, document, owner);
    };
    services.showAttributeListBuilder = [owner](CCorvaleDoc* document, CTheme* theme) {
        CAttributeListBuilderDialog* builder = FindListBuilder(document);
        if (builder == nullptr) {
            builder = new CAttributeListBuilderDialog(owner);
            ListBuilders()[document] = builder;
        }
        builder->SetTheme(theme);
        builder->show();
        builder->raise();
    };
    services.attachAttributeListBuilder = [](CCorvaleDoc* document, CTheme* theme) {
        if (CAttributeListBuilderDialog* builder = FindListBuilder(document))
            builder->SetTheme(theme);
    };
    services.attributeListBuilderAddShape = [](CCorvaleDoc* document, CShapeRecord* record, int) {
        CAttributeListBuilderDialog* builder = FindListBuilder(document);
        if (builder != nullptr && builder->isVisible())
            builder->AddShape(record);
    };
    services.forgetAttributeListBuilder = [](CCorvaleDoc* document) {
        const auto it = ListBuilders().find(document);
        if (it == ListBuilders().end())
            return;
        delete it->second.data();
        ListBuilders().erase(it);
    };
    services.showShapeData = [owner](const CShapeRecord* record, std::size_t extraBytes) {
        CShapeBinaryDialog dialog(record, extraBytes, owner);
        dialog.exec();
    };
    services.clipboardHasPolygons = [] { return ClipboardHasPolygonShapes(); };
    services.readClipboardPolygons = [] {
        CShapeRecordVector records;
        ReadClipboardShapes(records);
        return records;
    };
}
