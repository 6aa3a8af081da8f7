#include "RouteWizardDialog.h"

#include "common/MessageBoxTitle.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace pathrill {

namespace {

const char* const kLinksHelpUrl = "help:links";
const char* const kNodesHelpUrl = "help:nodes";

const char* const kLinksHelp =
    "<p>You can select a link layer, either from the drop down list, or selecting a polyline layer in the "
    "legend view.</p>"
    "<p>The link layer needs to contain integer attributes describing the start and end node of each link.</p>"
    "<p>If you have no such information you can create this using the Insert | New Theme | Polyline End Points "
    "command, and make sure you check the box for writing this information to the link theme. If you do this, "
    "you will get a new set of nodes.</p>"
    "<p>Each link in the layer is considered one-way.</p>";
const char* const kNodesHelp =
    "<p>You will need a node layer to be able to point and click to select start and end nodes for your "
    "search.</p>";

QString Text(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

void Fill(QComboBox* combo, const std::vector<WizardItem>& items) {
    combo->clear();
    for (const WizardItem& item : items)
        combo->addItem(Text(item.text), QVariant::fromValue<uint>(item.data));
    combo->setCurrentIndex(-1);
}

std::uint32_t DataOf(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? 0u : combo->currentData().toUInt();
}

QWidget* Page(const char* intro, QVBoxLayout*& layout) {
    auto* page = new QWidget;
    layout = new QVBoxLayout(page);
    auto* text = new QLabel(QString::fromLatin1(intro));
    text->setWordWrap(true);
    layout->addWidget(text);
    return page;
}

QLabel* HelpLink(const char* url) {
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff\">Help</a>").arg(QLatin1String(url)));
    link->setObjectName(QStringLiteral("help"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    return link;
}

} // namespace

RouteWizardDialog::RouteWizardDialog(CRouteWizard& wizard, QWidget* parent) : QDialog(parent), m_Wizard(wizard) {
    setWindowTitle(QStringLiteral("Find Route"));
    setObjectName(QStringLiteral("pathrillRouteWizard"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_Pages = new QStackedWidget(this);
    layout->addWidget(m_Pages);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_Prev = new QPushButton(QStringLiteral("<< Prev"), this);
    m_Next = new QPushButton(QStringLiteral("Next >>"), this);
    m_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {m_Prev, m_Next, m_Cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        buttons->addWidget(button);
    }
    m_Prev->setObjectName(QStringLiteral("prev"));
    m_Next->setObjectName(QStringLiteral("next"));
    m_Cancel->setObjectName(QStringLiteral("cancel"));
    layout->addLayout(buttons);
    BuildPages();

    connect(m_Next, &QPushButton::clicked, this, [this] {
        const std::uint32_t from = m_Wizard.page;
        Guarded([&] { m_Wizard.Next(*this); });
        if (m_Wizard.page != from)
            ApplyLayout();
    });
    connect(m_Prev, &QPushButton::clicked, this, [this] {
        Guarded([&] { m_Wizard.Prev(); });
        ApplyLayout();
    });
    connect(m_Cancel, &QPushButton::clicked, this, &RouteWizardDialog::reject);
    m_Wizard.Start();
    ApplyLayout();
}

RouteWizardDialog::~RouteWizardDialog() = default;

void RouteWizardDialog::BuildPages() {
    QVBoxLayout* layout = nullptr;

    // 0: introduction
    m_Pages->addWidget(
        Page("This wizard helps setting up parameters to be used in a route search in a polyline layer.", layout));
    layout->addStretch();

    // 1: link layer and its node id fields
    m_Pages->addWidget(Page("Select the polyline layer that contains the links to be searched.", layout));
    m_LinkLayer = new QComboBox;
    m_LinkLayer->setObjectName(QStringLiteral("linkLayer"));
    layout->addWidget(m_LinkLayer);
    QLabel* help = HelpLink(kLinksHelpUrl);
    layout->addWidget(help);
    connect(help, &QLabel::linkActivated, this, &RouteWizardDialog::ShowHelp);
    layout->addWidget(new QLabel(QStringLiteral("From node id field:")));
    m_FromField = new QComboBox;
    m_FromField->setObjectName(QStringLiteral("fromField"));
    layout->addWidget(m_FromField);
    layout->addWidget(new QLabel(QStringLiteral("To node id field:")));
    m_ToField = new QComboBox;
    m_ToField->setObjectName(QStringLiteral("toField"));
    layout->addWidget(m_ToField);
    layout->addStretch();
    connect(m_LinkLayer, qOverload<int>(&QComboBox::activated), this,
            [this](int) { Guarded([&] { SelectLinkLayer(DataOf(m_LinkLayer)); }); });
    connect(m_FromField, qOverload<int>(&QComboBox::activated), this,
            [this](int) { m_Wizard.fromField = DataOf(m_FromField); });
    connect(m_ToField, qOverload<int>(&QComboBox::activated), this,
            [this](int) { m_Wizard.toField = DataOf(m_ToField); });

    // 2: node layer
    m_Pages->addWidget(Page("Select the point layer that contains the nodes connecting the links.", layout));
    m_NodeLayer = new QComboBox;
    m_NodeLayer->setObjectName(QStringLiteral("nodeLayer"));
    layout->addWidget(m_NodeLayer);
    help = HelpLink(kNodesHelpUrl);
    layout->addWidget(help);
    connect(help, &QLabel::linkActivated, this, &RouteWizardDialog::ShowHelp);
    layout->addStretch();
    connect(m_NodeLayer, qOverload<int>(&QComboBox::activated), this,
            [this](int) { m_Wizard.nodeLayer = CvTheme(DataOf(m_NodeLayer)); });

    // 3: algorithm and length attribute
    m_Pages->addWidget(Page("Select algorithm for the search.", layout));
    m_ShortestPath = new QRadioButton(QStringLiteral("Shortest path from length attribute in link layer."));
    m_ShortestPath->setObjectName(QStringLiteral("shortestPath"));
    layout->addWidget(m_ShortestPath);
    m_LengthLabel = new QLabel(QStringLiteral("Length attribute:"));
    layout->addWidget(m_LengthLabel);
    m_LengthField = new QComboBox;
    m_LengthField->setObjectName(QStringLiteral("lengthField"));
    layout->addWidget(m_LengthField);
    layout->addStretch();
    m_LengthLabel->setEnabled(false);
    m_LengthField->setEnabled(false);
    RefillLengthFields();
    connect(m_ShortestPath, &QRadioButton::toggled, this, [this](bool on) {
        m_LengthLabel->setEnabled(on);
        m_LengthField->setEnabled(on);
        if (on) {
            m_Wizard.algorithm.algorithm = 0;
            ReportAlgorithm();
        }
    });
    connect(m_LengthField, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_Wizard.algorithm.lengthField = static_cast<std::uint32_t>(std::max(index, 0));
        ReportAlgorithm();
    });

    // 4: result handling
    m_Pages->addWidget(Page("Handle search results.", layout));
    m_AddToSelection = new QRadioButton(QStringLiteral("Add links to selection."));
    m_AddToSelection->setObjectName(QStringLiteral("addToSelection"));
    m_CopyToLayer = new QRadioButton(QStringLiteral("Copy result to new layer."));
    m_CopyToLayer->setObjectName(QStringLiteral("copyToLayer"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_AddToSelection);
    group->addButton(m_CopyToLayer);
    layout->addWidget(m_AddToSelection);
    layout->addWidget(m_CopyToLayer);
    m_ResultLabel = new QLabel(QStringLiteral("Result layer:"));
    layout->addWidget(m_ResultLabel);
    m_ResultLayer = new QComboBox;
    m_ResultLayer->setObjectName(QStringLiteral("resultLayer"));
    layout->addWidget(m_ResultLayer);
    layout->addStretch();
    (m_Wizard.resultHandling == CRouteWizard::CopyToNewLayer ? m_CopyToLayer : m_AddToSelection)->setChecked(true);
    m_ResultLabel->setEnabled(m_CopyToLayer->isChecked());
    m_ResultLayer->setEnabled(m_CopyToLayer->isChecked());
    connect(m_CopyToLayer, &QRadioButton::toggled, this, [this](bool on) {
        m_ResultLabel->setEnabled(on);
        m_ResultLayer->setEnabled(on);
        ReportResultHandling();
    });
    connect(m_ResultLayer, qOverload<int>(&QComboBox::activated), this, [this](int) { ReportResultHandling(); });

    // 5: node picking
    m_Pages->addWidget(Page("Select start node, optionally intermediate nodes, and end node.", layout));
    m_Nodes = new QListWidget;
    m_Nodes->setObjectName(QStringLiteral("nodes"));
    layout->addWidget(m_Nodes);
    m_Delete = new QPushButton(QStringLiteral("Delete"));
    m_Delete->setObjectName(QStringLiteral("delete"));
    m_Delete->setAutoDefault(false);
    layout->addWidget(m_Delete);
    UpdateNodeButtons();
    connect(m_Nodes, &QListWidget::currentRowChanged, this, [this](int row) {
        m_Wizard.currentLine = row;
        UpdateNodeButtons();
    });
    connect(m_Delete, &QPushButton::clicked, this, [this] {
        m_Wizard.DeleteCurrentLine();
        const int current = m_Wizard.currentLine;
        const QSignalBlocker block(m_Nodes);
        delete m_Nodes->takeItem(m_Nodes->currentRow());
        m_Nodes->setCurrentRow(current);
        UpdateNodeButtons();
    });

    FillLayerLists();

    // 6: result
    m_Pages->addWidget(Page("", layout));
    m_Status = new QLabel(QStringLiteral("Calcluating..."));
    m_Status->setObjectName(QStringLiteral("status"));
    m_Status->setWordWrap(true);
    layout->addWidget(m_Status);
    layout->addStretch();
}

void RouteWizardDialog::FillLayerLists() {
    const CvWorkspace& workspace = m_Wizard.workspace;
    Guarded([&] {
        const std::vector<WizardItem> polylines = CRouteWizard::PolylineThemes(workspace);
        Fill(m_LinkLayer, polylines);
        Fill(m_NodeLayer, CRouteWizard::PointThemes(workspace));
        m_FromField->clear();
        m_ToField->clear();
        m_ResultLayer->clear();
        m_ResultLayer->addItem(QStringLiteral("<Create new theme>"), QVariant::fromValue<uint>(0));
        for (const WizardItem& item : polylines)
            m_ResultLayer->addItem(Text(item.text), QVariant::fromValue<uint>(item.data));
        m_ResultLayer->setCurrentIndex(0);
    });
}

void RouteWizardDialog::ApplyLayout() {
    const std::uint32_t page = m_Wizard.page;
    m_Prev->setVisible(m_Wizard.PrevShown());
    m_Prev->setEnabled(m_Wizard.PrevShown());
    m_Next->setVisible(m_Wizard.NextShown());
    m_Next->setEnabled(m_Wizard.NextShown());
    m_Next->setText(QString::fromLatin1(m_Wizard.NextText()));
    m_Pages->setCurrentIndex(static_cast<int>(page));
}

void RouteWizardDialog::FillLinkFields(const CvTheme& theme) {
    const std::vector<WizardItem> fields = CRouteWizard::FieldNames(theme);
    Fill(m_FromField, fields);
    Fill(m_ToField, fields);
}

void RouteWizardDialog::SelectLinkLayer(std::uint32_t handle) {
    m_Wizard.linkLayer = CvTheme(handle);
    FillLinkFields(m_Wizard.linkLayer);
    RefillLengthFields();
}

void RouteWizardDialog::RefillLengthFields() {
    Guarded([&] { Fill(m_LengthField, CRouteWizard::FieldNames(m_Wizard.linkLayer)); });
}

void RouteWizardDialog::ReportAlgorithm() {
    m_Wizard.algorithm.text = m_LengthField->currentText().toStdString();
}

void RouteWizardDialog::ReportResultHandling() {
    m_Wizard.resultHandling =
        m_CopyToLayer->isChecked() ? CRouteWizard::CopyToNewLayer : CRouteWizard::AddToSelection;
    m_Wizard.resultTheme = CvTheme(DataOf(m_ResultLayer));
}

void RouteWizardDialog::UpdateNodeButtons() {
    m_Delete->setEnabled(m_Nodes->currentRow() >= 0);
}

void RouteWizardDialog::OnActiveThemeChanged() {
    Guarded([&] {
        const CvWorkspace& workspace = m_Wizard.workspace;
        const CvTheme active = workspace.GetActiveTheme();
        const bool single = workspace.GetSelectedThemeCount() == 1 && active.handle != 0;
        const std::uint32_t type = single ? active.GetShapeType() : 0;
        const QString name = single ? Text(active.GetName()) : QString();
        switch (m_Wizard.page) {
        case CRouteWizard::kLinkLayerPage: {
            const int index = (type == 3 || type == 13) ? m_LinkLayer->findText(name, Qt::MatchExactly) : -1;
            if (index >= 0) {
                m_LinkLayer->setCurrentIndex(index);
                SelectLinkLayer(DataOf(m_LinkLayer));
            } else {
                m_FromField->clear();
                m_ToField->clear();
            }
            break;
        }
        case CRouteWizard::kNodeLayerPage: {
            const int index = (type == 1 || type == 11) ? m_NodeLayer->findText(name, Qt::MatchExactly) : -1;
            if (index >= 0) {
                m_NodeLayer->setCurrentIndex(index);
                m_Wizard.nodeLayer = CvTheme(DataOf(m_NodeLayer));
            }
            break;
        }
        case CRouteWizard::kResultHandlingPage: {
            if (!m_CopyToLayer->isChecked())
                break;
            const int index = (type == 3 || type == 13) ? m_ResultLayer->findText(name, Qt::MatchExactly) : -1;
            if (index > 0) {
                m_ResultLayer->setCurrentIndex(index);
                ReportResultHandling();
            }
            break;
        }
        default:
            break;
        }
    });
}

void RouteWizardDialog::OnSelectionChanged(const CvTheme& theme) {
    if (m_Wizard.page != CRouteWizard::kNodePage || theme.handle != m_Wizard.nodeLayer.handle)
        return;
    Guarded([&] {
        if (!m_Wizard.PickNode(theme))
            return;
        const QSignalBlocker block(m_Nodes);
        m_Nodes->clear();
        for (const std::string& line : m_Wizard.nodeLines)
            m_Nodes->addItem(Text(line));
        m_Nodes->setCurrentRow(m_Wizard.currentLine);
        UpdateNodeButtons();
    });
}

void RouteWizardDialog::SetStatus(const std::string& text) {
    m_Status->setText(Text(text));
    m_Status->repaint();
}

void RouteWizardDialog::Message(const std::string& caption, const std::string& text, Icon icon) {
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning
                    : icon == Icon::Error     ? QMessageBox::Critical
                                              : QMessageBox::NoIcon,
                    Text(caption), Text(text), QMessageBox::Ok, this);
    FitMessageBoxToTitle(box);
    box.exec();
}

void RouteWizardDialog::ShowHelp(const QString& url) {
    if (!m_Help) {
        m_Help = new QDialog(this);
        m_Help->setWindowTitle(QStringLiteral("Find Route Help"));
        m_Help->setObjectName(QStringLiteral("pathrillRouteHelp"));
        auto* layout = new QVBoxLayout(m_Help);
        layout->setContentsMargins(0, 0, 0, 0);
        m_HelpText = new QTextBrowser(m_Help);
        layout->addWidget(m_HelpText);
        m_Help->resize(420, 300);
    }
    m_HelpText->setHtml(QString::fromLatin1(url == QLatin1String(kNodesHelpUrl) ? kNodesHelp : kLinksHelp));
    m_Help->show();
}

void RouteWizardDialog::keyPressEvent(QKeyEvent* event) {
    // Enter is not a wizard button: it would run the search from any page.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RouteWizardDialog::reject() {
    Guarded([&] { m_Wizard.Cancel(); });
    hide();
    deleteLater();
}

} // namespace pathrill
