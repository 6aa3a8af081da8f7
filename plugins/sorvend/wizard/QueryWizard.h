#pragma once
// The three-page wizard that picks a data source, runs a query on it and
// says which columns hold the coordinates: connection, query, field
// definition. The controls carry their dialog ids as object names.

#include "Odbc.h"
#include "QueryText.h"

#include <QWizard>
#include <QWizardPage>

#include <cstdint>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class CQueryWizard;

class CConnectionPage : public QWizardPage {
    Q_OBJECT
public:
    explicit CConnectionPage(CQueryWizard* wizard);
    void initializePage() override;
    bool validatePage() override;

private:
    void UpdateMode();
    void OnBrowse();

    CQueryWizard* m_Wizard;
    QButtonGroup* m_Modes;
    QGroupBox* m_Group;
    QLineEdit* m_Dsn;
    QLineEdit* m_User;
    QLineEdit* m_Password;
    QLineEdit* m_ConnectionString;
    QPushButton* m_Build;
    QCheckBox* m_Remember;
};

class CQueryPage : public QWizardPage {
    Q_OBJECT
public:
    explicit CQueryPage(CQueryWizard* wizard);
    void initializePage() override;
    bool validatePage() override;

private:
    CQueryWizard* m_Wizard;
    QPlainTextEdit* m_Query;
    QComboBox* m_History;
};

class CFieldDefinitionPage : public QWizardPage {
    Q_OBJECT
public:
    explicit CFieldDefinitionPage(CQueryWizard* wizard);
    void initializePage() override;
    bool validatePage() override;

private:
    void UpdateMode();

    CQueryWizard* m_Wizard;
    QRadioButton* m_Point;
    QRadioButton* m_Wkt;
    QLabel* m_EastLabel;
    QLabel* m_NorthLabel;
    QComboBox* m_East;
    QComboBox* m_North;
    QTreeWidget* m_Sample;
};

class CQueryWizard : public QWizard {
    Q_OBJECT
public:
    explicit CQueryWizard(QWidget* parent = nullptr);
    ~CQueryWizard() override;

    // Opens m_Database as the connection page's mode says (closing it
    // first); a failure is shown and answers false.
    bool OpenDatabase();
    // Runs m_Query into a new recordset; an empty result or a failure is
    // shown and answers false (with no recordset).
    bool RunQuery();

    CRecentStringList LoadHistory() const;
    void SaveHistory(const CRecentStringList& history) const;

    CDatabase m_Database;
    std::unique_ptr<CRecordset> m_Recordset;
    std::string m_Dsn, m_User, m_Password, m_ConnectionString, m_Query;
    int m_Mode = 0; // 0 browse, 1 simple, 2 connection string
    std::uint32_t m_East = 0;
    std::uint32_t m_North = 1;
    bool m_Wkt = false;
};

// Shows a database failure as the error box the plug-in uses.
void ShowDatabaseError(QWidget* parent, const std::string& text);
// An error box of the plug-in with the text.
void ShowErrorBox(QWidget* parent, const QString& text);
