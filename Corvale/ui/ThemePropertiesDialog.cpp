#include "ui/ThemePropertiesDialog.h"

#include "core/Theme.h"
#include "platform/NumberText.h"
#include "ui/AdvancedPropertiesDialog.h"
#include "ui/ArcPropertiesDialog.h"
#include "ui/DialogButtons.h"
#include "ui/FontPropertiesDialog.h"
#include "ui/LabelStyleDialog.h"
#include "ui/SymbolDialog.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

int g_LastThemePropertiesTab = 0;

namespace {

constexpr int kHelpContextBase = 0x20000;
// What the theme dialog asks of the font page: script and effects shown,
// scalable faces only.
constexpr std::uint32_t kThemeFontFeatures = 0xFFF00004u;

} // namespace

CThemePropertiesDialog::CThemePropertiesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("Theme Properties"));
    m_Tabs = new QTabWidget(this);
    m_Tabs->setObjectName(QString::number(IDC_Tabs));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Tabs);
    layout->addWidget(CreateOkCancelButtons(this));
}

CThemePropertiesDialog::~CThemePropertiesDialog() = default;

void CThemePropertiesDialog::AddPage(QWidget* page, const QString& title) {
    m_Tabs->addTab(page, title);
    if (auto* base = dynamic_cast<CPropertiesBaseDialog*>(page))
        base->SetTabControl(m_Tabs);
}

void CThemePropertiesDialog::InitDialog() {
    if (m_Initialised)
        return;
    m_Initialised = true;
    if (m_Theme == nullptr)
        return;
    CTheme& theme = *m_Theme;
    if (!theme.m_Name.empty())
        setWindowTitle(QStringLiteral("Theme Properties - ") + QString::fromStdString(theme.m_Name));
    const std::uint32_t type = theme.m_ShapeType;
    const bool image = type == SHT_Image;

    m_General = new CGeneralThemePropertiesDialog(m_Tabs);
    m_General->m_Name = theme.m_Name;
    m_General->m_Visible = theme.m_Visible;
    m_General->m_Document = m_Document;
    m_General->m_Theme = m_Theme;
    m_General->m_Scales = m_Scales;
    AddPage(m_General, QStringLiteral("General"));

    QWidget* style = nullptr;
    if (CShapeRecord::IsPointType(type)) {
        m_Symbol = new CSymbolDialog(m_Tabs);
        m_Symbol->m_Colour = theme.m_Color;
        m_Symbol->m_Symbol = theme.m_PointSymbol;
        m_Symbol->m_PointsAsPolyline = theme.m_ConnectPoints ? 1 : 0;
        m_Symbol->m_Width = theme.m_LineWidth;
        style = m_Symbol;
    } else if (CShapeRecord::IsPolylineType(type)) {
        m_Arc = new CArcPropertiesDialog(m_Tabs);
        m_Arc->m_PenColour = theme.m_Color;
        m_Arc->m_PenWidth = theme.m_LineWidth;
        m_Arc->m_PenStyle = theme.m_PenStyle;
        m_Arc->m_ShowDirection = theme.m_ShowArrows ? 1 : 0;
        m_Arc->m_ArrowType = theme.m_ArrowImage.GetArrowType();
        m_Arc->m_ArrowSize = theme.m_ArrowImage.GetArrowSize();
        m_Arc->m_ArrowColour = theme.m_ArrowImage.GetArrowColor();
        m_Arc->m_ArrowPlacement = theme.m_ArrowPosition;
        m_Arc->m_Alignment = theme.m_LineOffsetMode;
        m_Arc->m_Displacement = theme.m_LineOffset;
        style = m_Arc;
    } else if (CShapeRecord::IsPolygonType(type)) {
        m_Polygon = new CPolygonPropertiesDialog(m_Tabs);
        m_Polygon->m_FillColour = theme.m_Color;
        m_Polygon->m_OutlineColour = theme.m_OutlineColor;
        m_Polygon->m_FillPattern = theme.m_FillPattern;
        style = m_Polygon;
    } else if (image) {
        m_Raster = new CRasterLayerPropertiesDialog(m_Tabs);
        m_Raster->m_VectorizeOnSelect = theme.m_VectorizeOnSelect;
        m_Raster->m_AntiAlias = theme.m_RasterSmoothing;
        style = m_Raster;
    } else {
        // Multipoints and the like have nothing to style: an empty tab.
        style = new QWidget(m_Tabs);
    }
    AddPage(style, QStringLiteral("Style"));

    m_InfoTip = new CInfoTipDefinitionDialog(m_Tabs);
    m_InfoTip->m_Theme = m_Theme;
    AddPage(m_InfoTip, QStringLiteral("InfoTip"));

    if (!image) {
        m_Font = new CFontPropertiesDialog(m_Tabs);
        m_Font->m_LogFont = theme.m_LabelFont;
        m_Font->m_HasFont = true;
        m_Font->m_TextColour = theme.m_LabelColor;
        m_Font->m_BackColour = 0x00FFFFFF;
        m_Font->m_Features = kThemeFontFeatures;
        AddPage(m_Font, QStringLiteral("Font"));

        m_Label = new CLabelStyleDialog(m_Tabs);
        m_Label->m_Theme = m_Theme;
        m_Label->m_FillColour = theme.m_LabelFillColor;
        m_Label->m_FrameColour = theme.m_LabelFrameColor;
        m_Label->m_Spacing = theme.m_LabelSpacing;
        AddPage(m_Label, QStringLiteral("Label"));

        m_Advanced = new CAdvancedPropertiesDialog(m_Tabs);
        m_Advanced->m_Theme = m_Theme;
        m_Advanced->m_Properties = theme.m_AdvancedProperties;
        AddPage(m_Advanced, QStringLiteral("Advanced Style"));
    }

    m_Comment = new CThemeCommentDialog(m_Tabs);
    m_Comment->m_Theme = m_Theme;
    AddPage(m_Comment, QStringLiteral("Comment"));
    m_CommentTab = m_Tabs->count() - 1;

    // Every page takes its values now, shown or not: OK reads them all.
    for (int i = 0; i < m_Tabs->count(); ++i) {
        if (auto* page = dynamic_cast<CPropertiesBaseDialog*>(m_Tabs->widget(i)))
            page->InitDialog();
    }
    // A remembered tab this theme does not have (an image theme after a
    // vector theme's rule tab) opens the first.
    const int tab = g_LastThemePropertiesTab >= 0 && g_LastThemePropertiesTab < m_Tabs->count()
                        ? g_LastThemePropertiesTab
                        : 0;
    m_Tabs->setCurrentIndex(tab);
    OnTabChanged(tab);
    connect(m_Tabs, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
}

void CThemePropertiesDialog::OnTabChanged(int index) {
    QWidget* page = m_Tabs->widget(index);
    const int id = page != nullptr ? page->objectName().toInt() : 0;
    m_HelpContext = id != 0 ? kHelpContextBase + id : 0;
}

int CThemePropertiesDialog::DoModal() {
    InitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

bool CThemePropertiesDialog::ApplyToTheme() {
    if (m_Theme == nullptr)
        return true;
    CTheme& theme = *m_Theme;
    // A page that refuses its values keeps the dialog open, and nothing is
    // stored.
    for (CPropertiesBaseDialog* page : std::initializer_list<CPropertiesBaseDialog*>{
             m_General, m_Arc, m_InfoTip, m_Font, m_Label}) {
        if (page != nullptr && !page->UpdateData(true))
            return false;
    }
    if (m_Comment->UpdateData(true))
        theme.m_Comment = m_Comment->m_Comment;

    if (m_Symbol != nullptr) {
        theme.m_Color = m_Symbol->m_Colour;
        theme.UpdateDefaultStyle();
        theme.m_PointSymbol = m_Symbol->m_Symbol;
        theme.m_ConnectPoints = m_Symbol->m_PointsAsPolyline != 0;
        theme.m_LineWidth = m_Symbol->m_Width;
        theme.UpdateDefaultStyle();
    } else if (m_Arc != nullptr) {
        theme.m_Color = m_Arc->m_PenColour;
        theme.m_LineWidth = m_Arc->m_PenWidth;
        theme.m_PenStyle = m_Arc->m_PenStyle;
        theme.UpdateDefaultStyle();
        theme.m_ShowArrows = m_Arc->m_ShowDirection != 0;
        theme.m_ArrowImage.SetArrowType(m_Arc->m_ArrowType);
        theme.m_ArrowImage.SetArrowSize(m_Arc->m_ArrowSize);
        theme.m_ArrowImage.SetArrowColor(m_Arc->m_ArrowColour);
        theme.m_ArrowPosition = m_Arc->m_ArrowPlacement;
        theme.m_LineOffsetMode = m_Arc->m_Alignment;
        theme.m_LineOffset = m_Arc->m_Displacement;
    } else if (m_Polygon != nullptr) {
        theme.m_Color = m_Polygon->m_FillColour;
        theme.m_OutlineColor = m_Polygon->m_OutlineColour;
        theme.m_FillPattern = m_Polygon->m_FillPattern;
        theme.UpdateDefaultStyle();
    } else if (m_Raster != nullptr) {
        theme.m_VectorizeOnSelect = m_Raster->m_VectorizeOnSelect;
        theme.m_RasterSmoothing = m_Raster->m_AntiAlias;
    }

    if (m_Font != nullptr) {
        theme.m_LabelFont = m_Font->GetLogFont();
        theme.m_LabelColor = m_Font->m_TextColour;
    }
    if (m_Label != nullptr) {
        theme.m_ShowLabels = m_Label->m_ShowLabels;
        theme.m_LabelFrame = m_Label->IsFrameChecked();
        theme.m_LabelAlignment = m_Label->GetAlignment();
        theme.m_LabelFillColor = m_Label->m_FillColour;
        theme.m_LabelFrameColor = m_Label->m_FrameColour;
        theme.m_LabelSpacing = m_Label->m_Spacing;
        theme.m_LabelDuplicates = m_Label->IsDuplicatesChecked();
        theme.m_LabelForce = m_Label->m_Force;
    }

    theme.m_Name = m_General->m_Name;
    theme.m_Visible = m_General->m_Visible;
    theme.m_ScaleDependent = m_General->m_UseAdvancedVisibility;
    theme.m_MaxScale = m_General->m_MaxUPP;
    theme.m_MinScale = m_General->m_MinUPP;
    theme.m_InfoTipTemplate = m_InfoTip->m_Template;

    if (m_Advanced != nullptr) {
        const CAdvancedProperties& rules = m_Advanced->OnOK();
        // The rules are kept even while the theme has no styles to draw them
        // with (no shapes yet): they apply once it has.
        if (rules != theme.m_AdvancedProperties) {
            theme.m_AdvancedProperties = rules;
            if (!theme.m_Styles.empty())
                theme.UpdateStyles();
        }
    }
    return true;
}

void CThemePropertiesDialog::accept() {
    if (!ApplyToTheme())
        return;
    g_LastThemePropertiesTab = m_Tabs->currentIndex();
    QDialog::accept();
}

void CThemePropertiesDialog::reject() {
    g_LastThemePropertiesTab = m_Tabs->currentIndex();
    QDialog::reject();
}

std::intptr_t CThemePropertiesDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_THEME_COLUMNS_CHANGED) {
        if (m_InfoTip != nullptr)
            m_InfoTip->FillAttributeList();
        return 0;
    }
    return CMessageWindow::OnMessage(message, wParam, lParam);
}

bool ShowThemePropertiesDialog(QWidget* parent, CTheme& theme, CCorvaleDoc& document,
                               const std::vector<std::string>& hints) {
    CThemePropertiesDialog dialog(parent);
    dialog.m_Theme = &theme;
    dialog.m_Document = &document;
    for (const std::string& hint : hints) {
        CNamedScale scale;
        scale.text = hint;
        const std::size_t tab = hint.rfind('\t');
        if (tab == std::string::npos || !corvale::ParseDouble(hint.substr(tab + 1), scale.value))
            continue;
        dialog.m_Scales.push_back(scale);
    }
    return dialog.DoModal() == 1;
}
