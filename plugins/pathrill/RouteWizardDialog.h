#pragma once
// The route wizard's window "Find Route": seven pages, one shown at a time,
// with "<< Prev", "Next >>" (or "Calculate") and "Cancel". Each page reports
// its choices to the wizard's logic (CRouteWizard), which the plug-in keeps
// for the life of the module; the window itself lives from the toolbar
// button to Cancel.

#include "RouteWizard.h"

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTextBrowser;

namespace pathrill {

class RouteWizardDialog : public QDialog, public RouteWizardOutput {
public:
    RouteWizardDialog(CRouteWizard& wizard, QWidget* parent);
    ~RouteWizardDialog() override;

    // The hooks the plug-in passes on while a page listens.
    void OnActiveThemeChanged();
    void OnSelectionChanged(const CvTheme& theme);

    // Shows the wizard's current page (after it was made or reopened).
    void ApplyLayout();
    // The layer lists again, from the wizard's workspace: the window was
    // reopened from another workspace than the one it was made for.
    void FillLayerLists();

    // RouteWizardOutput: the result page's text and message boxes owned by
    // the wizard, and the page shown as soon as the wizard moves.
    void SetStatus(const std::string& text) override;
    void Message(const std::string& caption, const std::string& text, Icon icon) override;
    void PageChanged() override { ApplyLayout(); }

    // Runs a step that calls the host and shows a host failure in a message
    // box rather than letting it leave the window's event handling.
    template <typename Step>
    void Guarded(Step step);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void BuildPages();
    void FillLinkFields(const CvTheme& theme);
    void SelectLinkLayer(std::uint32_t handle);
    void RefillLengthFields();
    void ShowHelp(const QString& url);
    void UpdateNodeButtons();
    void ReportAlgorithm();
    void ReportResultHandling();

    CRouteWizard& m_Wizard;
    QStackedWidget* m_Pages = nullptr;
    QPushButton* m_Prev = nullptr;
    QPushButton* m_Next = nullptr;
    QPushButton* m_Cancel = nullptr;
    QComboBox* m_LinkLayer = nullptr;
    QComboBox* m_FromField = nullptr;
    QComboBox* m_ToField = nullptr;
    QComboBox* m_NodeLayer = nullptr;
    QRadioButton* m_ShortestPath = nullptr;
    QLabel* m_LengthLabel = nullptr;
    QComboBox* m_LengthField = nullptr;
    QRadioButton* m_AddToSelection = nullptr;
    QRadioButton* m_CopyToLayer = nullptr;
    QLabel* m_ResultLabel = nullptr;
    QComboBox* m_ResultLayer = nullptr;
    QListWidget* m_Nodes = nullptr;
    QPushButton* m_Delete = nullptr;
    QLabel* m_Status = nullptr;
    QPointer<QDialog> m_Help;
    QTextBrowser* m_HelpText = nullptr;
};

} // namespace pathrill

namespace pathrill {

template <typename Step>
void RouteWizardDialog::Guarded(Step step) {
    try {
        step();
    } catch (const CvException& e) {
        const std::string text = e.GetText();
        Message("Pathrill", "The program refused a request of the route wizard:\n\n" +
                                (text.empty() ? "error " + std::to_string(e.code) : text),
                Icon::Error);
    }
}

} // namespace pathrill
