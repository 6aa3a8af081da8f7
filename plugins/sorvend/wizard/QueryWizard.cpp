#include "QueryWizard.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const char kTitle[] = "Sorvend";
// The query the page starts with; the part after "FROM " is selected.
const char kInitialQuery[] = "SELECT *\nFROM aTable\nWHERE 1=1";
constexpr int kInitialSelectionStart = 14;
constexpr int kSampleRows = 6;
const char kNoBrowsing[] =
    "There is no dialog on this system in which to browse for a data source.\n"
    "Choose \"Simple\" and fill in the DSN, or \"Using connection string\" and fill in a connection string.";
const char kNoDataSourceNamed[] =
    "Please fill in a connection string that names its data source (DSN=...) or its driver (DRIVER=...).";
constexpr int kSampleColumnWidth = 100;

std::unique_ptr<QSettings> OpenSettings() {
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvale"),
                                                QString::fromLatin1(kTitle));
    settings->setFallbacksEnabled(false);
    return settings;
}

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Queries keep the line ends the history stores ("\r\n"); the edit shows "\n".
std::string ToStored(QString text) {
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

QString ToShown(const std::string& text) {
    QString out = FromUtf8(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

template <typename T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

} // namespace

void ShowErrorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowDatabaseError(QWidget* parent, const std::string& text) {
    ShowErrorBox(parent, FromUtf8(text));
}

// ---------------------------------------------------------------------------

CConnectionPage::CConnectionPage(CQueryWizard* wizard) : m_Wizard(wizard) {
    setTitle(QStringLiteral("ODBC Connection (1/3)"));
    setObjectName(QStringLiteral("6003"));
    auto* layout = new QVBoxLayout(this);
    m_Modes = new QButtonGroup(this);
    auto* browse = Named(new QRadioButton(QStringLiteral("Browse"), this), 6005);
    auto* simple = Named(new QRadioButton(QStringLiteral("Simple"), this), 6006);
    auto* byString = Named(new QRadioButton(QStringLiteral("Using connection string"), this), 6018);
    m_Modes->addButton(browse, 0);
    m_Modes->addButton(simple, 1);
    m_Modes->addButton(byString, 2);
    layout->addWidget(browse);
    layout->addWidget(simple);

    m_Group = Named(new QGroupBox(QStringLiteral("DSN Settings"), this), 6009);
    auto* grid = new QGridLayout(m_Group);
    m_Dsn = Named(new QLineEdit(m_Group), 6000);
    m_User = Named(new QLineEdit(m_Group), 6001);
    m_Password = Named(new QLineEdit(m_Group), 6002);
    m_Password->setEchoMode(QLineEdit::Password);
    grid->addWidget(Named(new QLabel(QStringLiteral("DSN:"), m_Group), 6010), 0, 0);
    grid->addWidget(m_Dsn, 0, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("User:"), m_Group), 6011), 1, 0);
    grid->addWidget(m_User, 1, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("Pwd:"), m_Group), 6012), 2, 0);
    grid->addWidget(m_Password, 2, 1);
    layout->addWidget(m_Group);

    layout->addWidget(byString);
    auto* row = new QHBoxLayout;
    m_ConnectionString = Named(new QLineEdit(this), 6007);
    m_Build = Named(new QPushButton(QStringLiteral("..."), this), 6008);
    row->addWidget(m_ConnectionString);
    row->addWidget(m_Build);
    layout->addLayout(row);
    m_Remember = Named(new QCheckBox(QStringLiteral("Remember this"), this), 6019);
    layout->addWidget(m_Remember);

    connect(m_Modes, &QButtonGroup::idClicked, this, [this] { UpdateMode(); });
    connect(m_Build, &QPushButton::clicked, this, [this] { OnBrowse(); });

    const auto settings = OpenSettings();
    settings->beginGroup(QStringLiteral("History"));
    m_Dsn->setText(settings->value(QStringLiteral("dsn"), QString()).toString());
    int mode = settings->value(QStringLiteral("mode"), 0).toInt();
    if (mode < 0 || mode > 2)
        mode = 0;
    m_Modes->button(mode)->setChecked(true);
    m_Remember->setChecked(settings->value(QStringLiteral("remembercs"), 0).toInt() != 0);
    m_ConnectionString->setText(settings->value(QStringLiteral("connectionstring"), QString()).toString());
    UpdateMode();
}

void CConnectionPage::initializePage() {
    // Only Next: there is nothing to go back to.
    wizard()->button(QWizard::BackButton)->setEnabled(false);
}

void CConnectionPage::UpdateMode() {
    const int mode = m_Modes->checkedId();
    m_Group->setEnabled(mode == 1);
    m_ConnectionString->setEnabled(mode == 2);
    m_Build->setEnabled(mode == 2);
}

void CConnectionPage::OnBrowse() {
    // With no dialog of the driver manager to ask the user, the button
    // completes the string that is there: the driver answers with the whole
    // connection it made.
    const std::string connect = StripOdbcPrefix(m_ConnectionString->text().toStdString());
    if (!NamesDataSource(connect)) {
        ShowErrorBox(this, QString::fromLatin1(kNoDataSourceNamed));
        return;
    }
    m_Wizard->m_Database.Close();
    try {
        m_Wizard->m_Database.OpenEx(connect, CDatabase::openReadOnly | CDatabase::noOdbcDialog);
        // Some drivers answer without their own name (the SQLite driver
        // gives "DSN=;Database=..."): such an answer would not open again,
        // and the string that did stays.
        const std::string completed = m_Wizard->m_Database.GetConnect();
        if (NamesDataSource(completed))
            m_ConnectionString->setText(FromUtf8(completed));
    } catch (const CDBException& e) {
        ShowDatabaseError(this, e.what());
    }
}

bool CConnectionPage::validatePage() {
    m_Wizard->m_Dsn = m_Dsn->text().toStdString();
    m_Wizard->m_User = m_User->text().toStdString();
    m_Wizard->m_Password = m_Password->text().toStdString();
    m_Wizard->m_ConnectionString = m_ConnectionString->text().toStdString();
    m_Wizard->m_Mode = m_Modes->checkedId();

    // User name and password are never stored.
    const auto settings = OpenSettings();
    settings->beginGroup(QStringLiteral("History"));
    settings->setValue(QStringLiteral("dsn"), m_Dsn->text());
    settings->setValue(QStringLiteral("mode"), m_Wizard->m_Mode);
    settings->setValue(QStringLiteral("remembercs"), m_Remember->isChecked() ? 1 : 0);
    settings->setValue(QStringLiteral("connectionstring"),
                       m_Remember->isChecked() ? m_ConnectionString->text() : QString());
    settings->sync();
    return m_Wizard->OpenDatabase();
}

// ---------------------------------------------------------------------------

CQueryPage::CQueryPage(CQueryWizard* wizard) : m_Wizard(wizard) {
    setTitle(QStringLiteral("Query (2/3)"));
    setObjectName(QStringLiteral("6004"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Query:"), this));
    m_Query = Named(new QPlainTextEdit(this), 6001);
    m_Query->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_Query->setPlainText(QString::fromLatin1(kInitialQuery));
    QTextCursor cursor = m_Query->textCursor();
    cursor.setPosition(kInitialSelectionStart);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    m_Query->setTextCursor(cursor);
    layout->addWidget(m_Query);
    layout->addWidget(new QLabel(QStringLiteral("History:"), this));
    m_History = Named(new QComboBox(this), 6013);
    layout->addWidget(m_History);
    connect(m_History, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const QString full = m_History->itemData(index).toString();
        if (!full.isEmpty())
            m_Query->setPlainText(full);
    });
}

void CQueryPage::initializePage() {
    m_History->clear();
    const CRecentStringList history = m_Wizard->LoadHistory();
    for (const std::string& entry : history.Entries())
        m_History->addItem(FromUtf8(HistoryDisplayText(entry)), ToShown(entry));
    m_History->setCurrentIndex(-1);
}

bool CQueryPage::validatePage() {
    const std::string query = ToStored(m_Query->toPlainText());
    if (!LooksLikeSelect(query)) {
        ShowErrorBox(this, QStringLiteral("This does not look like an SQL SELECT statement."));
        return false;
    }
    m_Wizard->m_Query = query;
    if (!m_Wizard->RunQuery())
        return false;
    CRecentStringList history = m_Wizard->LoadHistory();
    history.Add(query);
    m_Wizard->SaveHistory(history);
    return true;
}

// ---------------------------------------------------------------------------

CFieldDefinitionPage::CFieldDefinitionPage(CQueryWizard* wizard) : m_Wizard(wizard) {
    setTitle(QStringLiteral("Field Definition (3/3)"));
    setObjectName(QStringLiteral("6005"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Define coordinate columns"), this);
    auto* grid = new QGridLayout(group);
    m_Point = Named(new QRadioButton(QStringLiteral("Point"), group), 6014);
    m_Wkt = Named(new QRadioButton(QStringLiteral("WKT"), group), 6015);
    m_Point->setChecked(true);
    grid->addWidget(m_Point, 0, 0);
    grid->addWidget(m_Wkt, 0, 1);
    m_EastLabel = Named(new QLabel(QStringLiteral("East:"), group), 6016);
    m_NorthLabel = Named(new QLabel(QStringLiteral("North:"), group), 6017);
    m_East = Named(new QComboBox(group), 6004);
    m_North = Named(new QComboBox(group), 6005);
    grid->addWidget(m_EastLabel, 1, 0);
    grid->addWidget(m_East, 1, 1);
    grid->addWidget(m_NorthLabel, 2, 0);
    grid->addWidget(m_North, 2, 1);
    layout->addWidget(group);
    layout->addWidget(new QLabel(QStringLiteral("Sample:"), this));
    m_Sample = Named(new QTreeWidget(this), 6002);
    m_Sample->setRootIsDecorated(false);
    layout->addWidget(m_Sample);
    connect(m_Point, &QRadioButton::toggled, this, [this] { UpdateMode(); });
    connect(m_Wkt, &QRadioButton::toggled, this, [this] { UpdateMode(); });
    setFinalPage(true);
}

void CFieldDefinitionPage::UpdateMode() {
    const bool wkt = m_Wkt->isChecked();
    m_EastLabel->setText(wkt ? QStringLiteral("WKT:") : QStringLiteral("East:"));
    m_North->setVisible(!wkt);
    m_North->setEnabled(!wkt);
    m_NorthLabel->setVisible(!wkt);
    m_NorthLabel->setEnabled(!wkt);
}

void CFieldDefinitionPage::initializePage() {
    m_Sample->clear();
    m_East->clear();
    m_North->clear();
    CRecordset* recordset = m_Wizard->m_Recordset.get();
    if (recordset == nullptr)
        return;
    try {
        recordset->MoveFirst();
        const std::uint32_t columns = recordset->GetODBCFieldCount();
        QStringList headers;
        for (std::uint32_t c = 0; c < columns; ++c) {
            const QString name = FromUtf8(recordset->GetODBCFieldInfo(c).m_strName);
            headers << name;
            char number[16];
            std::snprintf(number, sizeof number, "%02u: ", c + 1);
            m_East->addItem(QString::fromLatin1(number) + name);
            m_North->addItem(QString::fromLatin1(number) + name);
        }
        m_Sample->setColumnCount(static_cast<int>(columns));
        m_Sample->setHeaderLabels(headers);
        for (int c = 0; c < static_cast<int>(columns); ++c)
            m_Sample->setColumnWidth(c, kSampleColumnWidth);
        m_East->setCurrentIndex(static_cast<int>(m_Wizard->m_East) < m_East->count()
                                    ? static_cast<int>(m_Wizard->m_East) : -1);
        m_North->setCurrentIndex(static_cast<int>(m_Wizard->m_North) < m_North->count()
                                     ? static_cast<int>(m_Wizard->m_North) : -1);
        std::string value;
        for (int row = 0; row < kSampleRows && !recordset->IsEOF(); ++row) {
            auto* item = new QTreeWidgetItem(m_Sample);
            for (std::uint32_t c = 0; c < columns; ++c) {
                recordset->GetFieldValue(c, value);
                item->setText(static_cast<int>(c), FromUtf8(value));
            }
            recordset->MoveNext();
        }
    } catch (const CDBException& e) {
        ShowDatabaseError(this, e.what());
    }
}

bool CFieldDefinitionPage::validatePage() {
    const bool wkt = m_Wkt->isChecked();
    if (!wkt && (m_East->currentIndex() < 0 || m_North->currentIndex() < 0)) {
        ShowErrorBox(this, QStringLiteral("Please select east and north columns."));
        return false;
    }
    if (wkt && m_East->currentIndex() < 0) {
        ShowErrorBox(this, QStringLiteral("Please select WKT column."));
        return false;
    }
    m_Wizard->m_East = static_cast<std::uint32_t>(m_East->currentIndex());
    m_Wizard->m_North = static_cast<std::uint32_t>(std::max(m_North->currentIndex(), 0));
    m_Wizard->m_Wkt = wkt;
    return true;
}

// ---------------------------------------------------------------------------

CQueryWizard::CQueryWizard(QWidget* parent) : QWizard(parent) {
    setWindowTitle(QStringLiteral("ODBC data selector"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, false);
    addPage(new CConnectionPage(this));
    addPage(new CQueryPage(this));
    addPage(new CFieldDefinitionPage(this));
}

CQueryWizard::~CQueryWizard() {
    m_Recordset.reset();
    m_Database.Close();
}

bool CQueryWizard::OpenDatabase() {
    m_Recordset.reset();
    m_Database.Close();
    std::string connect;
    unsigned options = CDatabase::openReadOnly;
    // The driver manager here has no dialog in which the user could choose
    // a data source; handed an empty or incomplete connection it takes the
    // default one, and some drivers then create a database file named after
    // the connection string. The page says what is missing instead.
    switch (m_Mode) {
    case 0:
        if (m_Dsn.empty()) {
            ShowErrorBox(this, QString::fromLatin1(kNoBrowsing));
            return false;
        }
        connect = DsnConnectString(m_Dsn, m_User, m_Password);
        options |= CDatabase::forceOdbcDialog;
        break;
    case 1:
        if (m_Dsn.empty()) {
            ShowErrorBox(this, QStringLiteral("Please fill in the DSN."));
            return false;
        }
        connect = DsnConnectString(m_Dsn, m_User, m_Password);
        options |= CDatabase::noOdbcDialog;
        break;
    default:
        connect = StripOdbcPrefix(m_ConnectionString);
        if (!NamesDataSource(connect)) {
            ShowErrorBox(this, QString::fromLatin1(kNoDataSourceNamed));
            return false;
        }
        options |= CDatabase::noOdbcDialog;
        break;
    }
    try {
        m_Database.OpenEx(connect, options);
        return true;
    } catch (const CDBException& e) {
        ShowDatabaseError(this, e.what());
        return false;
    }
}

bool CQueryWizard::RunQuery() {
    m_Recordset.reset();
    auto recordset = std::make_unique<CRecordset>(&m_Database);
    try {
        recordset->Open(m_Query);
    } catch (const CDBException& e) {
        ShowDatabaseError(this, e.what());
        return false;
    }
    if (recordset->IsBOF() && recordset->IsEOF()) {
        ShowErrorBox(this, QStringLiteral("The query resulted in no matches."));
        return false;
    }
    m_Recordset = std::move(recordset);
    return true;
}

CRecentStringList CQueryWizard::LoadHistory() const {
    CRecentStringList history;
    const auto settings = OpenSettings();
    settings->beginGroup(QStringLiteral("QueryHistory"));
    std::vector<std::string> entries;
    for (std::size_t k = 1; k <= history.Capacity(); ++k)
        entries.push_back(settings->value(QStringLiteral("Query%1").arg(k), QString()).toString().toStdString());
    history.SetEntries(std::move(entries));
    return history;
}

void CQueryWizard::SaveHistory(const CRecentStringList& history) const {
    const auto settings = OpenSettings();
    settings->beginGroup(QStringLiteral("QueryHistory"));
    settings->remove(QString());
    const auto& entries = history.Entries();
    for (std::size_t k = 0; k < entries.size(); ++k)
        settings->setValue(QStringLiteral("Query%1").arg(k + 1), FromUtf8(entries[k]));
    settings->sync();
}
