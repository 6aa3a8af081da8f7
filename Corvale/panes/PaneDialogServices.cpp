#include "panes/PaneDialogServices.h"

#include "core/query/QueryEngine.h"
#include "panes/AttributesGridPane.h"
#include "ui/FindDialogs.h"
#include "ui/QueryDialog.h"
#include "ui/SmallDialogs.h"

#include "framework/UserInterface.h"

namespace {

void Present(QWidget* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

CDialogGridPaneServices::CDialogGridPaneServices() = default;

// The dialogs are children of the panes' window and go with it; the
// pointers then read null and a later request makes new ones.
CDialogGridPaneServices::~CDialogGridPaneServices() = default;

CQueryDialog* CDialogGridPaneServices::GetQueryDialog() const {
    return m_Query;
}
CFindDialog* CDialogGridPaneServices::GetFindDialog() const {
    return m_Find;
}
CGoToDialog* CDialogGridPaneServices::GetGoToDialog() const {
    return m_GoTo;
}

void CDialogGridPaneServices::ShowGoToDialog(CGridPane& pane) {
    if (m_GoTo == nullptr) {
        m_GoTo = new CGoToDialog(pane.window());
        m_GoTo->m_Callback = [this](int kind, int& number) {
            if (m_GoToPane != nullptr)
                m_GoToPane->GoToRow(kind, number);
        };
    }
    m_GoToPane = &pane;
    Present(m_GoTo);
}

void CDialogGridPaneServices::ShowFindDialog(CAttributesGridPane& pane, CTheme* theme,
                                             const CFindRequest* preset) {
    if (m_Find == nullptr) {
        m_Find = new CFindDialog(pane.window());
        m_Find->m_Callback = [this] {
            if (m_FindPane == nullptr || m_Find == nullptr)
                return;
            CFindRequest request;
            request.m_Text = m_Find->m_Text;
            request.m_MatchCase = m_Find->m_MatchCase;
            request.m_EntireField = m_Find->m_EntireField;
            request.m_Down = m_Find->m_Down;
            request.m_ChosenColumnsOnly = m_Find->m_Advanced;
            request.m_CheckedFields = m_Find->GetCheckedFields();
            m_FindPane->FindNext(request);
        };
    }
    m_FindPane = &pane;
    m_Find->SetTheme(theme);
    if (preset != nullptr) {
        m_Find->SetSearchText(preset->m_Text);
        if (preset->m_ChosenColumnsOnly) {
            for (std::size_t field = 0; field < preset->m_CheckedFields.size(); ++field)
                m_Find->CheckField(static_cast<int>(field), preset->m_CheckedFields[field]);
            if (!m_Find->m_Advanced)
                m_Find->OnAdvanced();
        }
    }
    Present(m_Find);
}

void CDialogGridPaneServices::RefreshFindDialog(CAttributesGridPane& pane, CTheme* theme) {
    if (m_Find != nullptr && m_FindPane == &pane)
        m_Find->SetTheme(theme);
}

void CDialogGridPaneServices::ShowQueryDialog(CAttributesGridPane& pane, CTheme* theme) {
    if (m_Query == nullptr) {
        m_Query = new CQueryDialog(pane.window());
        for (const CorvaleSQL::QueryFunctionInfo& function : CorvaleSQL::QueryFunctionTable) {
            m_Query->m_FunctionNames.emplace_back(function.name);
            m_Query->m_FunctionDescriptions.emplace_back(function.help != nullptr ? function.help
                                                                                  : "");
        }
        m_Query->m_Callback = [this](int mode, const std::string& query, int& count,
                                     std::string& error) {
            return CAttributesGridPane::QueryCallback(m_QueryPane.data(), mode, query, count,
                                                      error);
        };
    }
    m_QueryPane = &pane;
    m_Query->SetTheme(theme);
    Present(m_Query);
}

void CDialogGridPaneServices::SetQueryDialogTheme(CAttributesGridPane& pane, CTheme* theme) {
    if (m_Query != nullptr && m_QueryPane == &pane)
        m_Query->SetTheme(theme);
}

bool CDialogGridPaneServices::ChooseStatisticsRows(QWidget* parent, int& choice) {
    CStatisticsSelectionDialog dialog(choice, parent);
    return dialog.DoModal() == corvale::IDOK;
}

bool CDialogGridPaneServices::ChooseTableCheckOptions(QWidget* parent, bool& ignoreBlank) {
    CTableCheckDialog dialog(parent);
    dialog.m_IgnoreBlank = ignoreBlank;
    if (dialog.DoModal() != corvale::IDOK)
        return false;
    ignoreBlank = dialog.m_IgnoreBlank;
    return true;
}

bool CDialogGridPaneServices::ShowDuplicateData(QWidget* parent,
                                                const std::map<std::string, int>& counts,
                                                const std::string& label, bool singleColumn,
                                                int kind, std::string& chosen) {
    const bool valueList = kind == 1;
    CTableDuplicateDataDialog dialog(counts, label, valueList ? 1 : 2, singleColumn,
                                     valueList ? "Value List" : "Duplicate Data Items", parent);
    // A key of several columns is counted with tabs between its values and
    // shown with " + ".
    if (!valueList)
        dialog.SetReplacement("\t", " + ");
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = dialog.m_Chosen;
    return true;
}
