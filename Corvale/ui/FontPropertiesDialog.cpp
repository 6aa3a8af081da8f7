#include "ui/FontPropertiesDialog.h"

#include "core/ColorRef.h"
#include "ui/controls/ColourPickerXP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// Font sizes are points at this many dots per inch, as the stored form has
// always been read.
constexpr int kLogPixelsY = 96;

const int kScalableSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

QString FaceOf(const LogFont& font) {
    const char* end = static_cast<const char*>(std::memchr(font.lfFaceName, 0, LogFont::kFaceSize));
    const int length = end != nullptr ? static_cast<int>(end - font.lfFaceName) : static_cast<int>(LogFont::kFaceSize);
    return QString::fromUtf8(font.lfFaceName, length);
}

} // namespace

int CFontPropertiesDialog::CharSetOfWritingSystem(int writingSystem) {
    switch (static_cast<QFontDatabase::WritingSystem>(writingSystem)) {
    case QFontDatabase::Latin:
        return 0; // ANSI
    case QFontDatabase::Symbol:
        return 2;
    case QFontDatabase::Japanese:
        return 128;
    case QFontDatabase::Korean:
        return 129;
    case QFontDatabase::SimplifiedChinese:
        return 134;
    case QFontDatabase::TraditionalChinese:
        return 136;
    case QFontDatabase::Greek:
        return 161;
    case QFontDatabase::Vietnamese:
        return 163;
    case QFontDatabase::Hebrew:
        return 177;
    case QFontDatabase::Arabic:
        return 178;
    case QFontDatabase::Cyrillic:
        return 204;
    case QFontDatabase::Thai:
        return 222;
    default:
        return -1;
    }
}

namespace {

// Draws an entry of the face list: the highlight behind a selected entry,
// the glyph column, then the name.
class FaceItemDelegate : public QStyledItemDelegate {
public:
    FaceItemDelegate(CFontPropertiesDialog::CFontCombo* combo) : QStyledItemDelegate(combo), m_Combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& palette = option.palette;
        painter->save();
        if (selected)
            painter->fillRect(option.rect, palette.highlight());
        QRect text = option.rect;
        if (m_Combo->ShowsGlyphs()) {
            const QRect glyph(option.rect.left(), option.rect.top(), CFontPropertiesDialog::CFontCombo::kGlyphWidth,
                              option.rect.height());
            if ((index.data(Qt::UserRole).toInt() & static_cast<int>(CFontPropertiesDialog::FPF_TrueType)) != 0) {
                QFont mark = option.font;
                mark.setBold(true);
                painter->setFont(mark);
                painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
                painter->drawText(glyph, Qt::AlignCenter, QStringLiteral("T"));
            }
            text.setLeft(glyph.right() + 1);
        }
        painter->setFont(option.font);
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        painter->drawText(text.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
        if ((option.state & QStyle::State_HasFocus) != 0) {
            QStyleOptionFocusRect focus;
            focus.rect = option.rect;
            focus.palette = palette;
            m_Combo->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, m_Combo);
        }
        painter->restore();
    }

private:
    CFontPropertiesDialog::CFontCombo* m_Combo;
};

} // namespace

CFontPropertiesDialog::CFontCombo::CFontCombo(CFontPropertiesDialog* page) : QComboBox(page), m_Page(page) {
    setObjectName(QString::number(IDC_Face));
    setItemDelegate(new FaceItemDelegate(this));
}

bool CFontPropertiesDialog::CFontCombo::ShowsGlyphs() const { return (m_Page->m_Features & FPF_TrueType) != 0; }

CFontPropertiesDialog::CPreviewButton::CPreviewButton(CFontPropertiesDialog* page) : QWidget(page), m_Page(page) {
    setObjectName(QString::number(IDC_Preview));
    setMinimumSize(120, 50);
}

void CFontPropertiesDialog::CPreviewButton::paintEvent(QPaintEvent*) {
    // Qt paints widgets double-buffered already.
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromColorRef(m_Page->m_BackColour));
    painter.setFont(m_Page->GetFont());
    painter.setPen(ColorFromColorRef(m_Page->m_TextColour));
    painter.drawText(rect(), Qt::AlignCenter, QString::fromUtf8("AaBb\u00C1\u00E1\u00C2\u00E2"));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = 2;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
}

CFontPropertiesDialog::CFontPropertiesDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_FaceCombo = new CFontCombo(this);
    m_FaceCombo->setEditable(true);
    m_FaceCombo->setInsertPolicy(QComboBox::NoInsert);
    m_StyleCombo = Named(new QComboBox(this), IDC_Style);
    m_SizeCombo = Named(new QComboBox(this), IDC_Size);
    m_SizeCombo->setEditable(true);
    m_SizeCombo->setInsertPolicy(QComboBox::NoInsert);
    m_ScriptCombo = Named(new QComboBox(this), IDC_Script);
    m_ScriptLabel = Named(new QLabel(QStringLiteral("Script:"), this), IDC_ScriptLabel);
    m_EffectsGroup = Named(new QGroupBox(QStringLiteral("Effects"), this), IDC_Effects);
    m_StrikeoutCheck = Named(new QCheckBox(QStringLiteral("Strikeout"), m_EffectsGroup), IDC_Strikeout);
    m_UnderlineCheck = Named(new QCheckBox(QStringLiteral("Underline"), m_EffectsGroup), IDC_Underline);
    auto* effects = new QVBoxLayout(m_EffectsGroup);
    effects->addWidget(m_StrikeoutCheck);
    effects->addWidget(m_UnderlineCheck);
    m_Picker = Named(new CColourPickerXP(this), IDC_Colour);
    auto* sample = Named(new QGroupBox(QStringLiteral("Sample"), this), IDC_Sample);
    m_Preview = new CPreviewButton(this);
    m_Preview->setParent(sample);
    (new QVBoxLayout(sample))->addWidget(m_Preview);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Font:"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Font style:"), this), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Size:"), this), 0, 2);
    layout->addWidget(m_FaceCombo, 1, 0);
    layout->addWidget(m_StyleCombo, 1, 1);
    layout->addWidget(m_SizeCombo, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Color:"), this), 2, 0);
    layout->addWidget(m_Picker, 2, 1);
    layout->addWidget(m_EffectsGroup, 3, 0);
    layout->addWidget(sample, 3, 1, 1, 2);
    layout->addWidget(m_ScriptLabel, 4, 0);
    layout->addWidget(m_ScriptCombo, 4, 1, 1, 2);
    layout->setRowStretch(5, 1);

    connect(m_FaceCombo, &QComboBox::activated, this, [this] {
        FillFaceLists();
        RebuildFont();
    });
    // Typing picks the entry that matches exactly.
    connect(m_FaceCombo, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_Filling)
            return;
        const int index = m_FaceCombo->findText(text, Qt::MatchFixedString);
        if (index < 0 || m_FaceCombo->itemText(index) == QString::fromStdString(m_LastFace))
            return;
        m_FaceCombo->setCurrentIndex(index);
        FillFaceLists();
        RebuildFont();
    });
    connect(m_SizeCombo, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_Filling)
            return;
        const int index = m_SizeCombo->findText(text, Qt::MatchFixedString);
        if (index >= 0 && index != m_SizeCombo->currentIndex())
            m_SizeCombo->setCurrentIndex(index);
        RebuildFont();
    });
    for (QComboBox* combo : {m_StyleCombo, m_SizeCombo, m_ScriptCombo})
        connect(combo, &QComboBox::activated, this, [this] { RebuildFont(); });
    for (QCheckBox* check : {m_StrikeoutCheck, m_UnderlineCheck})
        connect(check, &QCheckBox::clicked, this, [this] { RebuildFont(); });
}

CFontPropertiesDialog::~CFontPropertiesDialog() = default;

QFont CFontPropertiesDialog::GetFont() const { return QFontFromLogFont(m_LogFont); }

void CFontPropertiesDialog::OnInitDialog() {
    if (!m_HasFont)
        m_LogFont = LogFontFromQFont(font());
    m_HasFont = true;
    UpdateOptionalControls();
    m_Picker->SetColour(m_TextColour);

    m_Filling = true;
    const std::uint32_t mask = m_Features & (FPF_Raster | FPF_Device | FPF_TrueType);
    for (const QString& family : QFontDatabase::families()) {
        const int type = QFontDatabase::isSmoothlyScalable(family) ? static_cast<int>(FPF_TrueType)
                                                                   : static_cast<int>(FPF_Raster);
        if ((mask & static_cast<std::uint32_t>(type)) == 0 || m_FaceCombo->findText(family) >= 0)
            continue;
        m_FaceCombo->addItem(family, type);
    }
    const QString face = FaceOf(m_LogFont);
    const int faceIndex = m_FaceCombo->findText(face, Qt::MatchFixedString);
    if (faceIndex >= 0)
        m_FaceCombo->setCurrentIndex(faceIndex);
    else
        m_FaceCombo->setEditText(face);
    m_StrikeoutCheck->setChecked(m_LogFont.lfStrikeOut != 0);
    m_UnderlineCheck->setChecked(m_LogFont.lfUnderline != 0);
    // The lists keep what they find of the stored font.
    const int points = m_LogFont.lfHeight < 0 ? MulDiv(-m_LogFont.lfHeight, 72, kLogPixelsY) : 0;
    m_SizeCombo->setEditText(QString::number(points));
    m_Filling = false;
    FillFaceLists();
    m_Filling = true;
    const int size = m_SizeCombo->findText(QString::number(points));
    if (size >= 0)
        m_SizeCombo->setCurrentIndex(size);
    m_SizeCombo->setEditText(QString::number(points));
    const int style = m_StyleCombo->findData((m_LogFont.lfWeight & kWeightMask) | (m_LogFont.lfItalic ? kItalicBit : 0));
    if (style >= 0)
        m_StyleCombo->setCurrentIndex(style);
    const int script = m_ScriptCombo->findData(static_cast<int>(m_LogFont.lfCharSet));
    if (script >= 0)
        m_ScriptCombo->setCurrentIndex(script);
    m_LastStyle = m_StyleCombo->currentText().toStdString();
    m_Filling = false;
}

void CFontPropertiesDialog::UpdateOptionalControls() {
    const bool script = (m_Features & FPF_ShowScript) != 0;
    m_ScriptLabel->setVisible(script);
    m_ScriptLabel->setEnabled(script);
    m_ScriptCombo->setVisible(script);
    m_ScriptCombo->setEnabled(script);
    const bool effects = (m_Features & FPF_ShowEffects) != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{m_EffectsGroup, m_StrikeoutCheck, m_UnderlineCheck}) {
        w->setVisible(effects);
        w->setEnabled(effects);
    }
}

void CFontPropertiesDialog::FillFaceLists() {
    const bool wasFilling = m_Filling;
    m_Filling = true;
    const QString family = m_FaceCombo->currentText();
    m_LastFace = family.toStdString();
    const QString oldSize = m_SizeCombo->currentText();
    const QString oldStyle = m_StyleCombo->currentText();
    const int oldCharSet = m_ScriptCombo->currentIndex() >= 0 ? m_ScriptCombo->currentData().toInt()
                                                               : static_cast<int>(m_LogFont.lfCharSet);

    m_StyleCombo->clear();
    for (const QString& style : QFontDatabase::styles(family)) {
        if (m_StyleCombo->findText(style) >= 0)
            continue;
        const int weight = QFontDatabase::weight(family, style);
        const bool italic = QFontDatabase::italic(family, style);
        m_StyleCombo->addItem(style, (weight & kWeightMask) | (italic ? kItalicBit : 0));
    }
    struct Standard {
        const char* name;
        int weight;
        bool italic;
    };
    const Standard standards[] = {
        {"Regular", 400, false}, {"Bold", 700, false}, {"Italic", 400, true}, {"Bold Italic", 700, true}};
    for (const Standard& s : standards) {
        const QString name = QString::fromLatin1(s.name);
        if (m_StyleCombo->findText(name) >= 0)
            continue;
        // Only a style the face really draws.
        QFont probe(family);
        probe.setWeight(static_cast<QFont::Weight>(s.weight));
        probe.setItalic(s.italic);
        const QFontInfo info(probe);
        if (info.bold() == (s.weight >= 600) && info.italic() == s.italic)
            m_StyleCombo->addItem(name, s.weight | (s.italic ? kItalicBit : 0));
    }

    if (QFontDatabase::isSmoothlyScalable(family)) {
        if (m_SizeCombo->count() != static_cast<int>(std::size(kScalableSizes))) {
            m_SizeCombo->clear();
            for (int size : kScalableSizes)
                m_SizeCombo->addItem(QString::number(size), size);
        }
    } else {
        m_SizeCombo->clear();
        QList<int> sizes = QFontDatabase::pointSizes(family);
        std::sort(sizes.begin(), sizes.end());
        sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
        for (int size : sizes)
            m_SizeCombo->addItem(QString::number(size), size);
    }

    m_ScriptCombo->clear();
    for (QFontDatabase::WritingSystem system : QFontDatabase::writingSystems(family)) {
        const int charSet = CharSetOfWritingSystem(system);
        if (charSet >= 0 && m_ScriptCombo->findData(charSet) < 0)
            m_ScriptCombo->addItem(QFontDatabase::writingSystemName(system), charSet);
    }

    const int size = m_SizeCombo->findText(oldSize);
    if (size >= 0)
        m_SizeCombo->setCurrentIndex(size);
    m_SizeCombo->setEditText(oldSize);
    const int style = m_StyleCombo->findText(oldStyle);
    m_StyleCombo->setCurrentIndex(style >= 0 ? style : (m_StyleCombo->count() > 0 ? 0 : -1));
    const int script = m_ScriptCombo->findData(oldCharSet);
    m_ScriptCombo->setCurrentIndex(script >= 0 ? script : (m_ScriptCombo->count() > 0 ? 0 : -1));
    m_Filling = wasFilling;
}

void CFontPropertiesDialog::RebuildFont() {
    if (m_Filling)
        return;
    const QByteArray face = m_FaceCombo->currentText().toUtf8();
    // At most 31 bytes and a terminator, not cutting a character in two.
    int length = std::min<int>(face.size(), static_cast<int>(LogFont::kFaceSize) - 1);
    while (length > 0 && length < face.size() && (static_cast<unsigned char>(face[length]) & 0xC0) == 0x80)
        --length;
    std::memset(m_LogFont.lfFaceName, 0, LogFont::kFaceSize);
    std::memcpy(m_LogFont.lfFaceName, face.constData(), static_cast<std::size_t>(length));
    bool ok = false;
    const int points = m_SizeCombo->currentText().trimmed().toInt(&ok);
    if (ok && points > 0)
        m_LogFont.lfHeight = -MulDiv(points, kLogPixelsY, 72);
    if (m_StyleCombo->currentIndex() >= 0) {
        const int data = m_StyleCombo->currentData().toInt();
        m_LogFont.lfWeight = data & kWeightMask;
        m_LogFont.lfItalic = (data & kItalicBit) != 0 ? 1 : 0;
        m_LastStyle = m_StyleCombo->currentText().toStdString();
    }
    m_LogFont.lfStrikeOut = m_StrikeoutCheck->isChecked() ? 1 : 0;
    m_LogFont.lfUnderline = m_UnderlineCheck->isChecked() ? 1 : 0;
    if (m_ScriptCombo->currentIndex() >= 0)
        m_LogFont.lfCharSet = static_cast<std::uint8_t>(m_ScriptCombo->currentData().toInt());
    m_Preview->update();
}

std::intptr_t CFontPropertiesDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CPropertiesBaseDialog::OnMessage(message, wParam, lParam);
    m_TextColour = m_Picker->GetColour(false);
    if (m_TextColour == kAutomaticColour)
        m_TextColour = 0;
    m_Preview->update();
    return 0;
}
