// Scattern: the loader plug-in that reads points from a delimited text file,
// one point per line, as the user describes the file in its data definition
// dialog. The description is kept with the workspace, so the file is read
// again, without a dialog, when the workspace is opened. Every entry catches
// its exceptions; none may reach the host.

#include "TextPointReader.h"

#include "common/FileDialog.h"
#include "common/LoaderText.h"

#include "Loader.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using scattern::CTextPointLoader;

namespace {

using loadertext::Wide;

const char16_t kName[] = u"Text Point Loader...";
const char16_t kInfo[] =
    u"<html><head><CorvaleStyleSheet></head><body><h1>Text Point Loader plugin version 1.04.</h1>"
    u"<p>This plugin reads point data from text files, where each row represents a point record.</p>"
    u"<p>Lines may not exceed 8192 characters, and the source may not contain more than 255 columns.</p>"
    u"<p>Version 1.04:<ul><li><i>Information unavailable.</i></ul></p>"
    u"<p>Part of the Corvale workbench, made by the Corvale developers. "
    u"See <a href=\"https://corvale.org/\">corvale.org</a>.</p></body></html>";
const char16_t kEmpty[] = u"";

const QString kAppTitle = QStringLiteral("Text Point Loader Plugin");
// The size of the host's record tail: the row index word.
constexpr std::uint32_t kTailSize = 4;

// The loaders by handle word: the host's 32-bit word cannot hold a pointer.
std::map<std::uint32_t, std::unique_ptr<CTextPointLoader>> g_Loaders;
std::uint32_t g_NextHandle = 1;
std::uint32_t g_Current = 0;

CTextPointLoader* Loader(std::uint32_t handle) {
    auto it = g_Loaders.find(handle);
    return it != g_Loaders.end() ? it->second.get() : nullptr;
}

std::uint32_t NewLoader() {
    const std::uint32_t handle = g_NextHandle++;
    g_Loaders[handle] = std::make_unique<CTextPointLoader>();
    g_Current = handle;
    return handle;
}

void DropLoader(std::uint32_t handle) {
    g_Loaders.erase(handle);
    if (g_Current == handle)
        g_Current = 0;
}

// The data definition dialog: how the file's lines split and which columns
// hold X and Y, with the first lines shown as they would be read.
class CSCNDefinitionDialog : public QDialog {
public:
    explicit CSCNDefinitionDialog(std::vector<std::string> lines) : m_Lines(std::move(lines)) {
        setObjectName(QStringLiteral("CSCNDefinitionDialog"));
        setWindowTitle(QStringLiteral("Data Definition"));
        auto* layout = new QVBoxLayout(this);
        m_Names = new QCheckBox(QStringLiteral("First row contains field names"), this);
        m_Names->setObjectName(QStringLiteral("4000"));
        layout->addWidget(m_Names);

        auto* form = new QFormLayout;
        m_X = ColumnEdit("4001", "1");
        m_Y = ColumnEdit("4002", "2");
        form->addRow(QStringLiteral("X-pos column:"), m_X);
        form->addRow(QStringLiteral("Y-pos column:"), m_Y);
        layout->addLayout(form);

        auto* group = new QGroupBox(QStringLiteral("Field Separator"), this);
        auto* row = new QHBoxLayout(group);
        m_Tab = new QRadioButton(QStringLiteral("Tab"), group);
        m_Tab->setObjectName(QStringLiteral("4003"));
        m_Other = new QRadioButton(QStringLiteral("Other:"), group);
        m_Other->setObjectName(QStringLiteral("4004"));
        m_OtherText = new QLineEdit(QStringLiteral(";"), group);
        m_OtherText->setObjectName(QStringLiteral("4005"));
        m_OtherText->setMaxLength(1);
        row->addWidget(m_Tab);
        row->addWidget(m_Other);
        row->addWidget(m_OtherText);
        m_Tab->setChecked(true);
        m_OtherText->setEnabled(false);
        layout->addWidget(group);

        layout->addWidget(new QLabel(QStringLiteral("Preview:"), this));
        m_Preview = new QTreeWidget(this);
        m_Preview->setObjectName(QStringLiteral("4006"));
        m_Preview->setRootIsDecorated(false);
        layout->addWidget(m_Preview);

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(m_Names, &QCheckBox::clicked, this, [this] { Refresh(); });
        connect(m_Tab, &QRadioButton::clicked, this, [this] { SeparatorChoiceChanged(); });
        connect(m_Other, &QRadioButton::clicked, this, [this] { SeparatorChoiceChanged(); });
        connect(m_OtherText, &QLineEdit::textEdited, this, [this] { OtherTextChanged(); });
        Refresh();
    }

    void accept() override {
        if (m_Other->isChecked() && m_OtherText->text().toLatin1().size() != 1) {
            m_OtherText->setFocus();
            return;
        }
        // A column outside 1 to 255 is not a choice: the edit takes the focus.
        for (QLineEdit* edit : {m_X, m_Y}) {
            if (!edit->hasAcceptableInput()) {
                edit->setFocus();
                return;
            }
        }
        m_Separator = m_Other->isChecked() ? m_OtherText->text().toLatin1().at(0) : '\t';
        QDialog::accept();
    }

    bool FirstRowNames() const { return m_Names->isChecked(); }
    char Separator() const { return m_Separator; }
    std::uint32_t XColumn() const { return m_X->text().toUInt(); }
    std::uint32_t YColumn() const { return m_Y->text().toUInt(); }

private:
    QLineEdit* ColumnEdit(const char* id, const char* value) {
        auto* edit = new QLineEdit(QString::fromLatin1(value), this);
        edit->setObjectName(QString::fromLatin1(id));
        edit->setValidator(new QIntValidator(1, 255, edit));
        return edit;
    }

    void SeparatorChoiceChanged() {
        m_OtherText->setEnabled(m_Other->isChecked());
        const QByteArray text = m_OtherText->text().toLatin1();
        m_Separator = m_Tab->isChecked() ? '\t' : text.size() == 1 ? text.at(0) : '\0';
        Refresh();
    }

    void OtherTextChanged() {
        if (m_OtherText->text().toLatin1().size() != 1)
            m_OtherText->setText(QStringLiteral(";"));
        m_Separator = m_OtherText->text().toLatin1().at(0);
        Refresh();
    }

    static QString FieldTitle(std::size_t i) { return QStringLiteral("Field %1").arg(i + 1); }

    void Refresh() {
        m_Preview->clear();
        QStringList titles;
        std::size_t first = 0;
        if (m_Lines.empty()) {
            titles = {FieldTitle(0), FieldTitle(1), FieldTitle(2)};
        } else {
            const std::vector<std::string> fields = scattern::SplitFields(m_Lines[0], m_Separator);
            for (std::size_t i = 0; i < fields.size(); ++i)
                titles << (m_Names->isChecked() ? QString::fromLocal8Bit(fields[i].c_str()) : FieldTitle(i));
            first = m_Names->isChecked() ? 1 : 0;
        }
        for (std::size_t l = first; l < m_Lines.size(); ++l) {
            const std::vector<std::string> fields = scattern::SplitFields(m_Lines[l], m_Separator);
            for (std::size_t i = static_cast<std::size_t>(titles.size()); i < fields.size(); ++i)
                titles << FieldTitle(i);
            QStringList values;
            for (const std::string& field : fields)
                values << QString::fromLocal8Bit(field.c_str());
            m_Preview->addTopLevelItem(new QTreeWidgetItem(values));
        }
        m_Preview->setColumnCount(static_cast<int>(titles.size()));
        m_Preview->setHeaderLabels(titles);
        for (int c = 0; c < titles.size(); ++c)
            m_Preview->setColumnWidth(c, 100);
    }

    std::vector<std::string> m_Lines;
    char m_Separator = '\t';
    QCheckBox* m_Names;
    QLineEdit* m_X;
    QLineEdit* m_Y;
    QRadioButton* m_Tab;
    QRadioButton* m_Other;
    QLineEdit* m_OtherText;
    QTreeWidget* m_Preview;
};

void ShowError() {
    QMessageBox box(QMessageBox::Critical, kAppTitle, QStringLiteral("Error reading file."), QMessageBox::Ok);
    box.exec();
}

QString ChooseFile() {
    return ChoosePluginFile(QStringLiteral("Open Text File"), QStringLiteral("Text files (*.txt);;All Files (*)"),
                            QStringLiteral("ScatternOpenDialog"));
}

} // namespace

extern "C" {

LDR_EXPORT std::uint32_t fnVersion(void) { return PIV_LoaderRequestRecord; }

LDR_EXPORT const LoaderChar* fnGetName(void) { return Wide(kName); }

LDR_EXPORT const LoaderChar* fnGetInfo(void) { return Wide(kInfo); }

LDR_EXPORT const LoaderChar* fnGetLastErrMsg(void) { return Wide(kEmpty); }

LDR_EXPORT std::uint8_t fnSupportsType(std::uint32_t shapeType) { return shapeType == LDR_SHT_Point ? 1 : 0; }

LDR_EXPORT std::uint32_t fnThemeCount(void) { return 1; }

LDR_EXPORT std::uint8_t fnPreLoadShapes(void) {
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return 0;
        const QString path = ChooseFile();
        if (path.isEmpty())
            return 0;
        const std::uint32_t handle = NewLoader();
        CTextPointLoader* loader = Loader(handle);
        loader->m_Path = path.toLocal8Bit().toStdString();
        std::string head;
        if (!scattern::ReadHead(loader->m_Path, head)) {
            DropLoader(handle);
            ShowError();
            return 0;
        }
        CSCNDefinitionDialog dialog(scattern::FirstLines(head, 5));
        if (dialog.exec() != QDialog::Accepted) {
            DropLoader(handle);
            ShowError();
            return 0;
        }
        loader->m_FirstRowNames = dialog.FirstRowNames();
        loader->m_Separator = dialog.Separator();
        loader->m_XColumn = dialog.XColumn();
        loader->m_YColumn = dialog.YColumn();
        if (!loader->ReadFile()) {
            DropLoader(handle);
            ShowError();
            return 0;
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

LDR_EXPORT std::uint8_t fnLoadShapes(LoaderLoadRequest* request) {
    try {
        CTextPointLoader* loader = Loader(g_Current);
        if (request == nullptr || loader == nullptr)
            return 0;
        if (request->shapeType == LDR_SHT_Point) {
            const QString name = QString::fromLocal8Bit(loader->m_Path.c_str());
            loadertext::SetThemeName(request, name);
            if (request->callback.addShapeByKind != nullptr)
                for (const unsigned char* record : loader->m_Records)
                    request->callback.addShapeByKind(request->context, record, nullptr, nullptr, kTailSize);
        }
        request->handle = g_Current;
        return 1;
    } catch (...) {
        return 0;
    }
}

LDR_EXPORT void fnRemoveShapes(std::uint32_t handle) { DropLoader(handle); }

LDR_EXPORT std::uint32_t fnGetAttributeCount(std::uint32_t handle) {
    const CTextPointLoader* loader = Loader(handle);
    return loader != nullptr ? static_cast<std::uint32_t>(loader->m_FieldNames.size()) : 0;
}

LDR_EXPORT const char* fnGetAttributeName(std::uint32_t handle, std::uint32_t field) {
    const CTextPointLoader* loader = Loader(handle);
    if (loader == nullptr || field >= loader->m_FieldNames.size())
        return "";
    return loader->m_FieldNames[field].c_str();
}

LDR_EXPORT const char* fnGetPointAttributes(std::uint32_t handle, const void* record, std::uint32_t field) {
    const CTextPointLoader* loader = Loader(handle);
    if (loader == nullptr)
        return "ERROR";
    return loader->Attribute(record, field);
}

LDR_EXPORT int fnSerialize(LoaderSerializeArgs* args) {
    try {
        if (args == nullptr || args->handle == nullptr)
            return 0;
        switch (args->mode) {
        case LSM_GetSize: {
            const CTextPointLoader* loader = Loader(*args->handle);
            return loader != nullptr ? static_cast<int>(loader->SavedSize()) : 0;
        }
        case LSM_Save: {
            const CTextPointLoader* loader = Loader(*args->handle);
            return loader != nullptr && loader->Save(args->buffer, args->size) ? 1 : 0;
        }
        case LSM_Restore: {
            const std::uint32_t handle = NewLoader();
            CTextPointLoader* loader = Loader(handle);
            if (!loader->Restore(args->buffer, args->size) || !loader->ReadFile()) {
                DropLoader(handle);
                return 0;
            }
            *args->handle = handle;
            if (args->callback.addShapeByKind != nullptr)
                for (const unsigned char* record : loader->m_Records)
                    args->callback.addShapeByKind(args->context, record, nullptr, nullptr, kTailSize);
            return 1;
        }
        default:
            return 0;
        }
    } catch (...) {
        return 0;
    }
}

} // extern "C"
