#include "ui/AttributeDialogServices.h"

#include "framework/UserInterface.h"
#include "ui/AttributeManagerDialog.h"
#include "ui/AttributeMergerDialog.h"
#include "workspace/CorvaleDoc.h"

#include <QPointer>

void InstallAttributeDialogs(CDocumentDialogServices& services, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    services.manageAttributes = [owner](CTheme* theme) {
        CAttributeManagerDialog dialog(owner);
        dialog.m_Theme = theme;
        return dialog.DoModal() == corvale::IDOK;
    };
    services.mergeAttributes = [owner](CTheme* theme, std::vector<std::string>& values) {
        CAttributeMergerDialog dialog(owner);
        dialog.m_Theme = theme;
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        values = dialog.m_Result;
        return true;
    };
}
