#include "panes/GridPaneServices.h"

#include "framework/CommandTarget.h"
#include "framework/UserInterface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QInputDialog>
#include <QStringList>
#include <QUrl>

#include <algorithm>

IGridPaneServices::~IGridPaneServices() = default;

void IGridPaneServices::Beep() { QApplication::beep(); }

void IGridPaneServices::ShowTextInformation(QWidget*, const std::string&, const std::string& text) {
    corvale::UI().ShowMessage(text, corvale::MessageIcon::Information, corvale::MessageButtons::Ok);
}

void IGridPaneServices::OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void IGridPaneServices::ForwardCommand(unsigned) {}
void IGridPaneServices::UpdateForwardedCommand(unsigned, CCmdUI& ui) { ui.Enable(false); }

bool IGridPaneServices::HasGoToDialog() const { return false; }
void IGridPaneServices::ShowGoToDialog(CGridPane&) {}
bool IGridPaneServices::HasFindDialog() const { return false; }
void IGridPaneServices::ShowFindDialog(CAttributesGridPane&, CTheme*, const CFindRequest*) {}
void IGridPaneServices::RefreshFindDialog(CAttributesGridPane&, CTheme*) {}
bool IGridPaneServices::HasQueryDialog() const { return false; }
void IGridPaneServices::ShowQueryDialog(CAttributesGridPane&, CTheme*) {}
void IGridPaneServices::SetQueryDialogTheme(CAttributesGridPane&, CTheme*) {}
bool IGridPaneServices::HasStatisticsSelectionDialog() const { return false; }
bool IGridPaneServices::ChooseStatisticsRows(QWidget*, int&) { return false; }
bool IGridPaneServices::HasTableCheckDialogs() const { return false; }
bool IGridPaneServices::ChooseTableCheckOptions(QWidget*, bool&) { return false; }
bool IGridPaneServices::ChooseFromList(QWidget* parent, const std::string& prompt,
                                       const std::vector<std::string>& choices, int& choice) {
    QStringList items;
    for (const std::string& text : choices)
        items << QString::fromStdString(text);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, QStringLiteral("Corvale"), QString::fromStdString(prompt),
                                                 items, std::max(0, choice), false, &ok);
    if (!ok)
        return false;
    choice = static_cast<int>(items.indexOf(chosen));
    return choice >= 0;
}

bool IGridPaneServices::ShowDuplicateData(QWidget*, const std::map<std::string, int>&, const std::string&, bool, int,
                                          std::string&) {
    return false;
}

namespace {
IGridPaneServices g_Defaults;
IGridPaneServices* g_Installed = nullptr;
} // namespace

IGridPaneServices& GridPaneServices() { return g_Installed != nullptr ? *g_Installed : g_Defaults; }

void SetGridPaneServices(IGridPaneServices* services) { g_Installed = services; }
