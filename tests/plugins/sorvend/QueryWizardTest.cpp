// The query wizard driven page by page under the offscreen platform: the
// connection modes, the SELECT check and the empty result on the query
// page, the history it keeps, and the columns the last page offers.

#include "QueryWizard.h"
#include "SorvendTestSupport.h"

#include "../DialogDriver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string& ConfigHome() {
    static TempDir folder;
    static const bool set = ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1) == 0;
    (void)set;
    return folder.path();
}

template <typename T> T* Control(QWidget* parent, int id) {
    return parent->findChild<T*>(QString::number(id));
}

class QueryWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SQLITE_ODBC();
        ConfigHome();
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvale"), QStringLiteral("Sorvend"))
            .clear();
        path = folder.file("data.db");
        MakeSqlite(path, {"CREATE TABLE p (name TEXT, lon REAL, lat REAL, wkt TEXT)",
                          "INSERT INTO p VALUES ('a', 1, 2, 'POINT (1 2)')",
                          "INSERT INTO p VALUES ('b', 3, 4, 'POINT (3 4)')"});
        wizard = std::make_unique<CQueryWizard>();
        wizard->show();
    }
    void TearDown() override { wizard.reset(); }

    // Page 1 in connection-string mode with the text, then Next.
    void Connect(const std::string& text) {
        Control<QRadioButton>(wizard.get(), 6018)->click();
        Control<QLineEdit>(wizard.get(), 6007)->setText(QString::fromStdString(text));
        wizard->next();
    }
    void Query(const std::string& sql) {
        Control<QPlainTextEdit>(wizard->currentPage(), 6001)->setPlainText(QString::fromStdString(sql));
        wizard->next();
    }

    TempDir folder;
    std::string path;
    std::unique_ptr<CQueryWizard> wizard;
};

} // namespace

TEST_F(QueryWizardTest, ModesEnableTheirControls) {
    QWidget* page = wizard->currentPage();
    Control<QRadioButton>(page, 6005)->click();
    EXPECT_FALSE(Control<QLineEdit>(page, 6000)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(page, 6007)->isEnabled());
    Control<QRadioButton>(page, 6006)->click();
    EXPECT_TRUE(Control<QLineEdit>(page, 6000)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(page, 6002)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(page, 6007)->isEnabled());
    Control<QRadioButton>(page, 6018)->click();
    EXPECT_FALSE(Control<QLineEdit>(page, 6001)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(page, 6007)->isEnabled());
    EXPECT_TRUE(Control<QAbstractButton>(page, 6008)->isEnabled());
}

TEST_F(QueryWizardTest, LeavingTheFirstPageStoresTheSettingsButNoLogin) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvale"),
                       QStringLiteral("Sorvend"));
    Control<QLineEdit>(wizard.get(), 6001)->setText("guest");
    Control<QLineEdit>(wizard.get(), 6002)->setText("secret");
    Control<QLineEdit>(wizard.get(), 6000)->setText("SomeSource");
    Connect(SqliteConnect(path));
    ASSERT_EQ(wizard->currentId(), 1);
    settings.sync();
    EXPECT_EQ(settings.value("History/mode").toInt(), 2);
    EXPECT_EQ(settings.value("History/dsn").toString(), "SomeSource");
    EXPECT_EQ(settings.value("History/remembercs").toInt(), 0);
    EXPECT_EQ(settings.value("History/connectionstring").toString(), "") << "not remembered";
    for (const QString& key : settings.allKeys())
        EXPECT_FALSE(settings.value(key).toString().contains("secret")) << key.toStdString();

    // Remembered, the string is there the next time the wizard opens.
    wizard->back();
    Control<QAbstractButton>(wizard.get(), 6019)->click();
    wizard->next();
    ASSERT_EQ(wizard->currentId(), 1);
    CQueryWizard again;
    EXPECT_EQ(Control<QLineEdit>(&again, 6007)->text().toStdString(), SqliteConnect(path));
    EXPECT_TRUE(Control<QRadioButton>(&again, 6018)->isChecked());
}

TEST_F(QueryWizardTest, ConnectionFailureStaysOnTheFirstPage) {
    DialogDriver dialogs;
    dialogs.Button(QMessageBox::Ok);
    Connect("DRIVER={No Such Driver};Database=x");
    EXPECT_EQ(wizard->currentId(), 0);
    ASSERT_EQ(dialogs.m_Seen.size(), 1u);
    EXPECT_EQ(dialogs.m_Seen[0].rfind("Sorvend|", 0), 0u) << dialogs.m_Seen[0];
}

// With a default data source set up, the driver manager would hand an empty
// connection to it, and the SQLite driver creates a database file named after
// the whole string ("DSN=;UID=;PWD=") in the working folder. Each mode says
// what to fill in instead and stays on the page.
TEST_F(QueryWizardTest, AnEmptyOrIncompleteConnectionIsRefusedOnThePage) {
    const std::string odbcIni = OdbcTestFolder() + "/odbc.ini";
    std::ofstream(odbcIni) << "[Default]\nDriver=SQLite3\n";
    TempDir working;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(working.path());
    struct Case {
        int mode;
        std::string dsn, connection, message;
    } cases[] = {
        {6005, "", "",
         "There is no dialog on this system in which to browse for a data source.\nChoose \"Simple\" and fill in "
         "the DSN, or \"Using connection string\" and fill in a connection string."},
        {6006, "", "", "Please fill in the DSN."},
        {6018, "", "",
         "Please fill in a connection string that names its data source (DSN=...) or its driver (DRIVER=...)."},
        {6018, "", "ODBC;UID=guest;PWD=x",
         "Please fill in a connection string that names its data source (DSN=...) or its driver (DRIVER=...)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connection + " in mode " + std::to_string(c.mode));
        DialogDriver dialogs;
        dialogs.Button(QMessageBox::Ok);
        Control<QRadioButton>(wizard.get(), c.mode)->click();
        Control<QLineEdit>(wizard.get(), 6000)->setText(QString::fromStdString(c.dsn));
        Control<QLineEdit>(wizard.get(), 6007)->setText(QString::fromStdString(c.connection));
        wizard->next();
        EXPECT_EQ(wizard->currentId(), 0);
        EXPECT_EQ(dialogs.m_Seen, std::vector<std::string>{"Sorvend|" + c.message});
        EXPECT_FALSE(wizard->m_Database.IsOpen());
    }
    // The "..." button, with no dialog to ask in, does not open an empty string either.
    {
        DialogDriver dialogs;
        dialogs.Button(QMessageBox::Ok);
        Control<QRadioButton>(wizard.get(), 6018)->click();
        Control<QLineEdit>(wizard.get(), 6007)->clear();
        Control<QAbstractButton>(wizard.get(), 6008)->click();
        ASSERT_EQ(dialogs.m_Seen.size(), 1u);
        EXPECT_NE(dialogs.m_Seen[0].find("DRIVER="), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::is_empty(working.path())) << "no file made in the working folder";
    std::filesystem::current_path(before);
    std::ofstream(odbcIni) << "";

    // A string that names its driver opens. The SQLite driver answers the
    // button with a string that names no source ("DSN=;Database=..."), which
    // would not open again: the string that did is kept.
    Control<QLineEdit>(wizard.get(), 6007)->setText(QString::fromStdString(SqliteConnect(path)));
    Control<QAbstractButton>(wizard.get(), 6008)->click();
    EXPECT_EQ(Control<QLineEdit>(wizard.get(), 6007)->text().toStdString(), SqliteConnect(path));
    wizard->next();
    EXPECT_EQ(wizard->currentId(), 1);
}

TEST_F(QueryWizardTest, QueryPageRefusesNonSelectAndEmptyResultsAndKeepsHistory) {
    DialogDriver dialogs;
    // The "ODBC;" prefix in any case is not handed to the driver manager.
    Connect("odbc;" + SqliteConnect(path));
    ASSERT_EQ(wizard->currentId(), 1);

    dialogs.Button(QMessageBox::Ok);
    Query("DELETE FROM p");
    EXPECT_EQ(wizard->currentId(), 1);
    dialogs.Button(QMessageBox::Ok);
    Query("SELECT * FROM p WHERE 0");
    EXPECT_EQ(wizard->currentId(), 1);
    EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{"Sorvend|This does not look like an SQL SELECT statement.",
                                                         "Sorvend|The query resulted in no matches."}));

    Query("  select name, lon, lat, wkt\nfrom p");
    ASSERT_EQ(wizard->currentId(), 2);
    const auto history = wizard->LoadHistory().Entries();
    ASSERT_EQ(history.size(), 1u) << "only a query that ran is kept";
    EXPECT_EQ(history[0], "  select name, lon, lat, wkt\r\nfrom p");

    // The last page offers the columns and shows the rows.
    QWizardPage* page = wizard->currentPage();
    auto* east = Control<QComboBox>(page, 6004);
    auto* north = Control<QComboBox>(page, 6005);
    ASSERT_EQ(east->count(), 4);
    EXPECT_EQ(east->itemText(0), "01: name");
    EXPECT_EQ(north->itemText(3), "04: wkt");
    EXPECT_EQ(east->currentIndex(), 0);
    EXPECT_EQ(north->currentIndex(), 1);
    auto* sample = Control<QTreeWidget>(page, 6002);
    ASSERT_EQ(sample->topLevelItemCount(), 2);
    EXPECT_EQ(sample->topLevelItem(1)->text(0), "b");

    Control<QRadioButton>(page, 6015)->click();
    EXPECT_TRUE(north->isHidden());
    east->setCurrentIndex(3);
    ASSERT_TRUE(page->validatePage());
    EXPECT_TRUE(wizard->m_Wkt);
    EXPECT_EQ(wizard->m_East, 3u);
    ASSERT_NE(wizard->m_Recordset, nullptr);
    // The sample walked the rows; the load starts again from the first.
    EXPECT_TRUE(wizard->m_Recordset->IsOpen());
    wizard->m_Recordset->MoveFirst();
    EXPECT_FALSE(wizard->m_Recordset->IsEOF());
}

// A character outside the Basic Multilingual Plane (two UTF-16 units in the
// edit) reaches the history whole, not as two broken halves.
TEST_F(QueryWizardTest, HistoryKeepsCharactersBeyondTheBasicPlane) {
    Connect(SqliteConnect(path));
    ASSERT_EQ(wizard->currentId(), 1);
    const std::string clef = "\xF0\x9D\x84\x9E"; // U+1D11E in UTF-8
    Query("SELECT name, '" + clef + "' AS clef\nFROM p");
    ASSERT_EQ(wizard->currentId(), 2);
    const auto history = wizard->LoadHistory().Entries();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0], "SELECT name, '" + clef + "' AS clef\r\nFROM p");
}

TEST_F(QueryWizardTest, HistoryHoldsTwelveQueriesEachOnce) {
    CRecentStringList history = wizard->LoadHistory();
    for (int k = 1; k <= 13; ++k)
        history.Add("SELECT " + std::to_string(k) + "\r\nFROM p");
    history.Add("SELECT 13\r\nFROM p");
    wizard->SaveHistory(history);
    const auto loaded = wizard->LoadHistory().Entries();
    ASSERT_EQ(loaded.size(), 12u);
    EXPECT_EQ(loaded.front(), "SELECT 13\r\nFROM p");
    EXPECT_EQ(loaded.back(), "SELECT 2\r\nFROM p");

    // The history box shows them on one line each and gives back the full text.
    DialogDriver dialogs;
    Connect(SqliteConnect(path));
    ASSERT_EQ(wizard->currentId(), 1);
    auto* box = Control<QComboBox>(wizard->currentPage(), 6013);
    ASSERT_EQ(box->count(), 12);
    EXPECT_EQ(box->itemText(0), "SELECT 13 FROM p");
    EXPECT_EQ(box->itemData(11).toString(), "SELECT 2\nFROM p");
}
