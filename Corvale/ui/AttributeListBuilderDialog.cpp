#include "ui/AttributeListBuilderDialog.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/NumberText.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeRecord.h"
#include "ui/SmallDialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

const std::string kLongitude = "<$LONGITUDE>";
const std::string kLatitude = "<$LATITUDE>";
const std::string kIndex = "<$INDEX>";
const std::string kCounter = "<$COUNTER>";
const std::string kQuery = "<$QUERY>";
const char* const kFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

// Replaces every occurrence, left to right, never looking into what was put
// in; answers how many there were.
int ReplaceAll(std::string& text, const std::string& search, const std::string& replacement) {
    int count = 0;
    for (std::size_t at = text.find(search); at != std::string::npos;
         at = text.find(search, at + replacement.size())) {
        text.replace(at, search.size(), replacement);
        ++count;
    }
    return count;
}

// The leading integer of a text, as atoi reads it; 0 when there is none.
long long LeadingInteger(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

// The counter's up-down arrows step the counter edit within 0 .. INT_MAX.
class CCounterSpin : public QSpinBox {
public:
    CCounterSpin(QLineEdit* edit, QWidget* parent) : QSpinBox(parent), m_Edit(edit) {
        setRange(0, INT_MAX);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setMaximumWidth(24);
        setFocusPolicy(Qt::NoFocus);
    }
    void stepBy(int steps) override {
        const long long value =
            std::clamp<long long>(LeadingInteger(m_Edit->text().toStdString()) + steps, 0, INT_MAX);
        m_Edit->setText(QString::number(value));
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
    // Only the arrows show: the counter is the edit beside them, and a
    // number of its own, cut to a sliver by the arrows' width, read as junk.
    QString textFromValue(int) const override { return QString(); }

private:
    QLineEdit* m_Edit;
};

int Ask(const std::string& text, corvale::MessageIcon icon) {
    return corvale::UI().ShowMessage(text, icon, corvale::MessageButtons::OkCancel);
}

} // namespace

CAttributeListBuilderDialog::CAttributeListBuilderDialog(QWidget* parent)
    : QDialog(parent), m_Attributes(Named(new QListWidget(this), IDC_LISTBUILDER_ATTRIBUTES)),
      m_Add(Named(new QPushButton(QStringLiteral("Add"), this), IDC_LISTBUILDER_ADD)),
      m_Template(Named(new QPlainTextEdit(this), IDC_LISTBUILDER_TEMPLATE)),
      m_ThemeTemplates(Named(new QCheckBox(QStringLiteral("Use theme dependant templates"), this),
                             IDC_LISTBUILDER_THEME_TEMPLATES)),
      m_RunAll(Named(new QPushButton(QStringLiteral("Run template for each shape in theme"), this),
                     IDC_LISTBUILDER_RUN_ALL)),
      m_RunSelected(
          Named(new QPushButton(QStringLiteral("Run template for each selected shape"), this),
                IDC_LISTBUILDER_RUN_SELECTED)),
      m_Counter(Named(new QLineEdit(QStringLiteral("0"), this), IDC_LISTBUILDER_COUNTER)),
      m_Progress(Named(new QProgressBar(this), IDC_LISTBUILDER_PROGRESS)),
      m_Result(Named(new QPlainTextEdit(this), IDC_LISTBUILDER_RESULT)) {
    setObjectName(QString::number(IDD_ATTRIBUTE_LIST_BUILDER));
    setWindowTitle(QStringLiteral("Attribute List Builder"));
    setModal(false);
    setMinimumSize(373, 435);

    auto* spin = Named(new CCounterSpin(m_Counter, this), IDC_LISTBUILDER_COUNTER_SPIN);
    auto* load = Named(new QPushButton(QStringLiteral("Load Template..."), this),
                       IDC_LISTBUILDER_LOAD_TEMPLATE);
    auto* save = Named(new QPushButton(QStringLiteral("Save Template..."), this),
                       IDC_LISTBUILDER_SAVE_TEMPLATE);
    auto* clear = Named(new QPushButton(QStringLiteral("Clear"), this), IDC_LISTBUILDER_CLEAR);
    auto* saveResult = Named(new QPushButton(QStringLiteral("Save To File..."), this),
                             IDC_LISTBUILDER_SAVE_RESULT);
    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), IDC_LISTBUILDER_CLOSE);
    for (QPushButton* button :
         {m_Add, m_RunAll, m_RunSelected, load, save, clear, saveResult, close})
        button->setAutoDefault(false);
    m_Add->setEnabled(false);
    m_RunAll->setEnabled(false);
    m_RunSelected->setEnabled(false);
    m_Progress->hide();
    m_Result->setReadOnly(false);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Attributes:"), this), 0, 0);
    top->addWidget(m_Attributes, 1, 0, 4, 1);
    top->addWidget(m_Add, 1, 1);
    top->addWidget(load, 2, 1);
    top->addWidget(save, 3, 1);
    auto* counter = new QHBoxLayout;
    counter->addWidget(new QLabel(QStringLiteral("Counter:"), this));
    counter->addWidget(m_Counter);
    counter->addWidget(spin);
    top->addLayout(counter, 4, 1);

    auto* runs = new QVBoxLayout;
    runs->addWidget(new QLabel(QStringLiteral("Select shapes in map or:"), this));
    runs->addWidget(m_RunAll);
    runs->addWidget(m_RunSelected);
    runs->addWidget(m_Progress);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(clear);
    bottom->addWidget(saveResult);
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("Template:"), this));
    layout->addWidget(m_Template, 1);
    layout->addWidget(m_ThemeTemplates);
    layout->addLayout(runs);
    layout->addWidget(new QLabel(QStringLiteral("Result:"), this));
    layout->addWidget(m_Result, 2);
    layout->addLayout(bottom);

    connect(m_Add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_Attributes, &QListWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_Attributes, &QListWidget::itemSelectionChanged, this, [this] { UpdateAddButton(); });
    connect(m_RunAll, &QPushButton::clicked, this, [this] { OnRunForAllShapes(); });
    connect(m_RunSelected, &QPushButton::clicked, this, [this] { OnRunForSelectedShapes(); });
    connect(load, &QPushButton::clicked, this, [this] { OnLoadTemplate(); });
    connect(save, &QPushButton::clicked, this, [this] { OnSaveTemplate(); });
    connect(clear, &QPushButton::clicked, this, [this] { OnClear(); });
    connect(saveResult, &QPushButton::clicked, this, [this] { OnSaveResult(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

QString CAttributeListBuilderDialog::GetTemplate() const {
    return m_Template->toPlainText();
}
void CAttributeListBuilderDialog::SetTemplate(const QString& text) {
    m_Template->setPlainText(text);
}
QString CAttributeListBuilderDialog::GetResult() const {
    return m_Result->toPlainText();
}
QString CAttributeListBuilderDialog::GetCounter() const {
    return m_Counter->text();
}
void CAttributeListBuilderDialog::SetCounter(const QString& text) {
    m_Counter->setText(text);
}

void CAttributeListBuilderDialog::closeEvent(QCloseEvent* event) {
    // The dialog lives as long as its document; closing hides it.
    event->ignore();
    hide();
}

void CAttributeListBuilderDialog::UpdateAddButton() {
    m_Add->setEnabled(!m_Attributes->selectedItems().isEmpty());
}

void CAttributeListBuilderDialog::SetTheme(CTheme* theme) {
    if (m_Theme != nullptr)
        m_Theme->m_ListTemplate = m_Template->toPlainText().toStdString();
    m_Theme = theme;
    m_Attributes->clear();
    if (theme != nullptr) {
        QStringList names;
        if (!theme->m_Points.empty())
            names << QStringLiteral("$LONGITUDE") << QStringLiteral("$LATITUDE")
                  << QStringLiteral("$INDEX") << QStringLiteral("$QUERY")
                  << QStringLiteral("$COUNTER");
        else if (!theme->m_Arcs.empty() || !theme->m_Polygons.empty())
            names << QStringLiteral("$INDEX") << QStringLiteral("$QUERY")
                  << QStringLiteral("$COUNTER");
        const int columns = static_cast<int>(theme->GetAttributeCount());
        for (int field = 0; field < columns; ++field)
            names << QString::fromStdString(theme->GetAttributeName(field));
        m_Attributes->addItems(names);
        if (m_ThemeTemplates->isChecked())
            m_Template->setPlainText(QString::fromStdString(theme->m_ListTemplate));
    }
    m_RunAll->setEnabled(theme != nullptr);
    m_RunSelected->setEnabled(theme != nullptr);
    m_Progress->hide();
    m_Add->setEnabled(false);
}

void CAttributeListBuilderDialog::AddShape(const CShapeRecord* record) {
    if (m_Theme == nullptr || record == nullptr)
        return;
    ExpandTemplate(GetShapeRecordIndex(record), true, true, nullptr);
}

void CAttributeListBuilderDialog::ScrollResultToEnd() {
    m_Result->moveCursor(QTextCursor::End);
    m_Result->verticalScrollBar()->setValue(m_Result->verticalScrollBar()->maximum());
}

bool CAttributeListBuilderDialog::ExpandTemplate(int shapeIndex, bool discover, bool prompt,
                                                 std::string* out) {
    if (m_Theme == nullptr)
        return false;
    CTheme& theme = *m_Theme;
    std::string text = m_Template->toPlainText().toStdString();

    if (discover) {
        const int columns = static_cast<int>(theme.GetAttributeCount());
        m_Placeholders.clear();
        for (int field = 0; field < columns; ++field)
            m_Placeholders.push_back("<" + theme.GetAttributeName(field) + ">");
        m_Found.assign(m_Placeholders.size(), false);
        if (text.find(kIndex) != std::string::npos)
            m_IndexUsed = true;
    }

    // Coordinates of a point shape; the theme finds its position from the
    // shape index.
    if (!theme.m_VisiblePoints.empty() &&
        (text.find(kLongitude) != std::string::npos || text.find(kLatitude) != std::string::npos)) {
        const int position = theme.GetShapePosition(shapeIndex);
        if (position >= 0 && static_cast<std::size_t>(position) < theme.m_VisiblePoints.size()) {
            const CShapePoint point = CShapeRecord::GetPoint(
                theme.m_VisiblePoints[static_cast<std::size_t>(position)], 0);
            ReplaceAll(text, kLongitude, corvale::FormatFixed(point.x, 6));
            ReplaceAll(text, kLatitude, corvale::FormatFixed(point.y, 6));
        }
    }

    std::string counter = m_Counter->text().toStdString();
    if (counter.empty())
        counter = "0";
    if (ReplaceAll(text, kCounter, counter) > 0)
        m_Counter->setText(QString::number(LeadingInteger(counter) + 1));

    if (m_IndexUsed)
        ReplaceAll(text, kIndex, std::to_string(shapeIndex));

    for (std::size_t i = 0; i < m_Placeholders.size(); ++i) {
        if (discover)
            m_Found[i] = ReplaceAll(text, m_Placeholders[i],
                                    theme.GetAttributeText(shapeIndex, static_cast<int>(i))) > 0;
        else if (m_Found[i])
            ReplaceAll(text, m_Placeholders[i],
                       theme.GetAttributeText(shapeIndex, static_cast<int>(i)));
    }

    if (prompt && text.find(kQuery) != std::string::npos) {
        CInputDialog input(0, "Input", this);
        input.m_Text = m_LastQuery;
        if (input.DoModal() != corvale::IDOK)
            return false;
        ReplaceAll(text, kQuery, input.m_Text);
        m_LastQuery = input.m_Text;
    }

    if (out != nullptr) {
        *out += text;
    } else {
        m_Result->setPlainText(m_Result->toPlainText() + QString::fromStdString(text));
        ScrollResultToEnd();
    }
    return true;
}

void CAttributeListBuilderDialog::OnRunForAllShapes() {
    if (m_Theme != nullptr)
        Run(m_Theme->GetShapeCount(), false);
}

void CAttributeListBuilderDialog::OnRunForSelectedShapes() {
    if (m_Theme != nullptr)
        Run(static_cast<int>(m_Theme->m_Selection.size()), true);
}

void CAttributeListBuilderDialog::Run(int count, bool selection) {
    char question[128];
    std::snprintf(question, sizeof question,
                  "This will run the template %d times.\nDo you want to continue?", count);
    if (Ask(question, corvale::MessageIcon::Information) != corvale::IDOK)
        return;
    const std::string templateText = m_Template->toPlainText().toStdString();
    if (templateText.find(kQuery) != std::string::npos &&
        Ask("The template contains <$QUERY>.\nThis cannot be translated for multiple "
            "shapes.\n\nProceed anyway?",
            corvale::MessageIcon::Warning) != corvale::IDOK)
        return;

    const int linesBefore = m_Result->blockCount();
    m_Progress->setRange(0, selection ? 100 : count);
    m_Progress->setValue(0);
    m_Progress->show();
    std::vector<int> shapeIndexes;
    if (selection) {
        // Ascending shape index, the order of the selection map.
        for (const auto& entry : m_Theme->m_Selection)
            shapeIndexes.push_back(entry.first);
    }
    try {
        corvale::CWaitCursor wait;
        const std::string before = m_Result->toPlainText().toStdString();
        std::string buffer;
        const double wanted =
            static_cast<double>(templateText.size()) * count + static_cast<double>(before.size());
        buffer.reserve(static_cast<std::size_t>(std::clamp(wanted, 128.0, 64.0 * 1024 * 1024)));
        buffer = before;
        int shown = 0;
        for (int p = 0; p < count; ++p) {
            const int shapeIndex =
                selection ? shapeIndexes[static_cast<std::size_t>(p)] : m_Theme->GetShapeIndex(p);
            ExpandTemplate(shapeIndex, p == 0, false, &buffer);
            if (selection) {
                const int position =
                    static_cast<int>(std::floor(static_cast<double>(p) / count * 100.0 + 1.0));
                if (position > shown) {
                    shown = position;
                    m_Progress->setValue(std::min(position, 100));
                }
            } else {
                m_Progress->setValue(p + 1);
            }
            // Long runs of the whole theme are shown only at the end: showing
            // the growing text would cost more than the run.
            if (p % 75 == 0 && (selection || count < 500)) {
                m_Result->setPlainText(QString::fromStdString(buffer));
                ScrollResultToEnd();
            }
        }
        m_Result->setPlainText(QString::fromStdString(buffer));
    } catch (const std::bad_alloc&) {
        m_Progress->hide();
        corvale::UI().ShowMessage("Not enough memory to complete this operation.\nAborted.",
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return;
    }
    ScrollResultToEnd();
    m_Progress->hide();
    char done[64];
    std::snprintf(done, sizeof done, "%d lines added", m_Result->blockCount() - linesBefore);
    corvale::UI().ShowMessage(done, corvale::MessageIcon::Information, corvale::MessageButtons::Ok);
}

void CAttributeListBuilderDialog::OnAdd() {
    const QList<QListWidgetItem*> chosen = m_Attributes->selectedItems();
    if (chosen.isEmpty()) {
        m_Add->setEnabled(false);
        return;
    }
    // Inserted as typing would: the edit's undo takes it back.
    m_Template->textCursor().insertText(QLatin1Char('<') + chosen.front()->text() +
                                        QLatin1Char('>'));
    m_Template->setFocus();
}

void CAttributeListBuilderDialog::OnClear() {
    m_Result->clear();
}

void CAttributeListBuilderDialog::OnLoadTemplate() {
    corvale::FileDialogRequest request;
    request.filter = kFilter;
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty())
        return;
    std::ifstream in(paths.front(), std::ios::binary);
    if (!in) {
        corvale::UI().ShowMessage("Cannot open the file " + paths.front() + ".",
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return;
    }
    std::ostringstream text;
    text << in.rdbuf();
    m_Template->setPlainText(QString::fromStdString(text.str()));
}

namespace {

// Writes the text unchanged; a message when the file cannot be written.
void WriteFile(const std::string& path, const std::string& text) {
    CFileWriter::OpenError error = CFileWriter::FOE_None;
    if (!WriteWholeFile(path, text, &error))
        corvale::UI().ShowMessage(OpenFailureMessage(error, path, "Cannot write the file " + path + "."),
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

} // namespace

void CAttributeListBuilderDialog::OnSaveTemplate() {
    corvale::FileDialogRequest request;
    request.filter = kFilter;
    request.defaultExtension = "txt";
    std::string path;
    if (corvale::UI().ChooseSaveFile(request, path) && !path.empty())
        WriteFile(path, m_Template->toPlainText().toStdString());
}

void CAttributeListBuilderDialog::OnSaveResult() {
    corvale::FileDialogRequest request;
    request.filter = kFilter;
    request.defaultExtension = "txt";
    std::string path;
    // The file holds the list as the user sees it, with this system's line
    // ends.
    if (corvale::UI().ChooseSaveFile(request, path) && !path.empty())
        WriteFile(path, m_Result->toPlainText().toStdString());
}
