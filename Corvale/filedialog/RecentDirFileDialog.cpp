#include "filedialog/RecentDirFileDialog.h"

#include "settings/Registry.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>

#include <utility>

const char* const CRecentDirList::kSection = "RDFDDirectories";
const char* const CRecentDirList::kValueFormat = "RDFDDir%1";

namespace {

// Folders longer than this are not remembered (the stored list's limit).
constexpr int kMaxFolderLength = 260;

QString ValueName(int number) { return QString::fromLatin1(CRecentDirList::kValueFormat).arg(number); }

QString WithSeparator(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// The name patterns of file dialog filters such as "Shape files (*.shp)",
// without those that match every file.
QStringList KindPatterns(const QStringList& filters) {
    QStringList patterns;
    for (const QString& filter : filters) {
        QString list = filter;
        const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
        const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
        if (open >= 0 && close > open)
            list = filter.mid(open + 1, close - open - 1);
        for (const QString& pattern : list.split(QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts))
            if (pattern != QLatin1String("*") && pattern != QLatin1String("*.*"))
                patterns.append(pattern);
    }
    return patterns;
}

}  // namespace

void CRecentDirList::Read(QSettings& settings) {
    m_Entries.clear();
    settings.beginGroup(QString::fromLatin1(kSection));
    for (int number = 1; number <= kMaxEntries; ++number) {
        const std::string entry = corvale::ReadRegistryString(settings, ValueName(number), std::string());
        if (!entry.empty())
            m_Entries.append(QString::fromStdString(entry));
    }
    settings.endGroup();
}

void CRecentDirList::Write(QSettings& settings) const {
    settings.beginGroup(QString::fromLatin1(kSection));
    for (int number = 1; number <= kMaxEntries; ++number) {
        if (number <= m_Entries.size())
            corvale::WriteRegistryString(settings, ValueName(number), m_Entries[number - 1].toStdString());
        else
            settings.remove(ValueName(number));
    }
    settings.endGroup();
}

void CRecentDirList::Add(const QString& folder) {
    if (folder.isEmpty())
        return;
    const QString entry = WithSeparator(QDir::cleanPath(folder));
    // Folder names differ by case on this system, so only equal names are
    // one entry.
    m_Entries.removeAll(entry);
    m_Entries.prepend(entry);
    while (m_Entries.size() > kMaxEntries)
        m_Entries.removeLast();
}

CRecentDirFileDialog::CRecentDirFileDialog(bool openDialog, const QString& defaultExtension,
                                           const QString& fileName, const QStringList& filters, QWidget* parent,
                                           SettingsOpener openSettings)
    : CFileDialogEx(openDialog, defaultExtension, fileName, filters, parent),
      m_OpenSettings(openSettings ? std::move(openSettings) : SettingsOpener(&corvale::OpenRegistry)),
      m_Combo(new QComboBox(this)),
      m_Label(new QLabel(QStringLiteral("Recent dir:"), this)) {
    m_Combo->setObjectName(QString::number(kComboId));
    m_Label->setObjectName(QString::number(kLabelId));
    m_Label->setBuddy(m_Combo);
    // A row of its own below the file name and type rows, the label in the
    // labels' column and the combo as wide as the file name field.
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(m_Label, row, 0);
        grid->addWidget(m_Combo, row, 1, 1, grid->columnCount() - 1);
    }
    connect(m_Combo, qOverload<int>(&QComboBox::activated), this, [this](int index) { OnRecentChosen(index); });
    // The dialog starts where files of its kind were chosen last, not in the
    // program's working folder; a folder the caller names afterwards, or a
    // file name with a folder, still wins.
    CRecentDirList list;
    auto settings = m_OpenSettings();
    list.Read(*settings);
    const QString start = StartFolder(list.Entries(), filters);
    if (!start.isEmpty()) {
        setDirectory(start);
        if (!fileName.isEmpty())
            selectFile(fileName);
    }
}

QString CRecentDirFileDialog::StartFolder(const QStringList& recent, const QStringList& filters) {
    const QStringList patterns = KindPatterns(filters);
    QString existing;
    for (const QString& folder : recent) {
        const QDir dir(folder);
        if (folder.isEmpty() || !dir.exists())
            continue;
        if (existing.isEmpty())
            existing = folder;
        if (patterns.isEmpty())
            break;
        if (!dir.entryList(patterns, QDir::Files | QDir::Hidden).isEmpty())
            return folder;
    }
    return existing;
}

int CRecentDirFileDialog::DoModal() {
    // Read at every opening: another dialog may have added to it meanwhile.
    CRecentDirList list;
    auto settings = m_OpenSettings();
    list.Read(*settings);
    m_Combo->clear();
    m_Combo->addItems(list.Entries());
    m_Combo->setCurrentIndex(-1);
    return CFileDialogEx::DoModal();
}

void CRecentDirFileDialog::OnRecentChosen(int index) {
    const QString folder = m_Combo->itemText(index);
    if (folder.isEmpty())
        return;
    // Moving to the folder leaves the name the user typed where it was.
    auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = nameField != nullptr ? nameField->text() : QString();
    setDirectory(folder);
    if (nameField != nullptr) {
        nameField->setText(typed);
        nameField->setFocus();
    }
}

void CRecentDirFileDialog::done(int result) {
    if (result == QDialog::Accepted && !selectedFiles().isEmpty()) {
        const QString folder = QFileInfo(selectedFiles().front()).absolutePath();
        if (!folder.isEmpty() && folder.size() <= kMaxFolderLength) {
            auto settings = m_OpenSettings();
            CRecentDirList list;
            list.Read(*settings);
            list.Add(folder);
            list.Write(*settings);
            settings->sync();
        }
    }
    CFileDialogEx::done(result);
}
