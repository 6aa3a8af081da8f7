#pragma once
// The grid panes' services with the real dialogs: the modeless query, find
// and go-to dialogs (one of each, made on first use and handed to whichever
// pane opens it), the statistics' row choice and the table check's
// option and result dialogs. The main frame's services build on this class.

#include "panes/GridPaneServices.h"

#include <QPointer>

class CFindDialog;
class CGoToDialog;
class CQueryDialog;

class CDialogGridPaneServices : public IGridPaneServices {
public:
    CDialogGridPaneServices();
    ~CDialogGridPaneServices() override;

    bool HasGoToDialog() const override { return true; }
    void ShowGoToDialog(CGridPane& pane) override;
    bool HasFindDialog() const override { return true; }
    void ShowFindDialog(CAttributesGridPane& pane, CTheme* theme,
                        const CFindRequest* preset) override;
    void RefreshFindDialog(CAttributesGridPane& pane, CTheme* theme) override;
    bool HasQueryDialog() const override { return true; }
    void ShowQueryDialog(CAttributesGridPane& pane, CTheme* theme) override;
    void SetQueryDialogTheme(CAttributesGridPane& pane, CTheme* theme) override;
    bool HasStatisticsSelectionDialog() const override { return true; }
    bool ChooseStatisticsRows(QWidget* parent, int& choice) override;
    bool HasTableCheckDialogs() const override { return true; }
    bool ChooseTableCheckOptions(QWidget* parent, bool& ignoreBlank) override;
    bool ShowDuplicateData(QWidget* parent, const std::map<std::string, int>& counts,
                           const std::string& label, bool singleColumn, int kind,
                           std::string& chosen) override;

    // The dialogs once made; null before.
    CQueryDialog* GetQueryDialog() const;
    CFindDialog* GetFindDialog() const;
    CGoToDialog* GetGoToDialog() const;

private:
    QPointer<CQueryDialog> m_Query;
    QPointer<CFindDialog> m_Find;
    QPointer<CGoToDialog> m_GoTo;
    QPointer<CAttributesGridPane> m_QueryPane;
    QPointer<CAttributesGridPane> m_FindPane;
    QPointer<CGridPane> m_GoToPane;
};
