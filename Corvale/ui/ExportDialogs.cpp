#include "ui/ExportDialogs.h"

#include "framework/UserInterface.h"
#include "ui/CustomExporterDialog.h"
#include "ui/SmallDialogs.h"
#include "workspace/DocExport.h"

#include <QPointer>

void InstallExportDialogs(CDocumentExportServices& services, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    services.chooseFormat = [owner](const std::vector<std::string>& names,
                                    const std::vector<std::string>& descriptions) {
        CCustomExporterDialog dialog(owner);
        dialog.m_ExporterNames = names;
        dialog.m_ExporterDescriptions = descriptions;
        if (dialog.DoModal() != corvale::IDOK)
            return -1;
        return dialog.m_ChosenIndex;
    };
    services.confirmShapeExport = [owner](bool& createIndex, bool& createAttributes) {
        CExportShapeConfirmationDialog dialog(owner);
        dialog.m_CreateShx = createIndex;
        dialog.m_CreateDbf = createAttributes;
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        createIndex = dialog.m_CreateShx;
        createAttributes = dialog.m_CreateDbf;
        return true;
    };
}
