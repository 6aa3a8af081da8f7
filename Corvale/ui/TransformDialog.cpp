#include "ui/TransformDialog.h"

#include "core/Theme.h"
#include "crs/RefSysConverter.h"
#include "crs/RefSysTable.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "shapes/ShapeRecord.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_set>

namespace {

enum TreeIconKind { TI_System = 0, TI_Group = 1, TI_Subgroup = 2 };

// The tree icons (a reference system, a group, a subgroup), drawn once per
// process.
const QIcon& TreeIcon(int kind) {
    static const std::array<QIcon, 3> icons = [] {
        std::array<QIcon, 3> made;
        const QColor colours[3] = {QColor(0, 128, 0), QColor(200, 160, 0), QColor(0, 96, 192)};
        const char* letters[3] = {"R", "G", "S"};
        for (int i = 0; i < 3; ++i) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setPen(colours[i]);
            painter.drawRect(1, 1, 13, 13);
            painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::fromLatin1(letters[i]));
            painter.end();
            made[static_cast<std::size_t>(i)] = QIcon(pixmap);
        }
        return made;
    }();
    return icons[static_cast<std::size_t>(kind)];
}

constexpr int kIndexRole = Qt::UserRole;

int ItemIndex(const QTreeWidgetItem* item) { return item != nullptr ? item->data(0, kIndexRole).toInt() : -1; }

// The child of parent (or the root item of tree) with exactly that text, made
// when missing.
QTreeWidgetItem* FindOrAddGroup(QTreeWidget* tree, QTreeWidgetItem* parent, const std::string& text, int icon) {
    const QString wanted = QString::fromStdString(text);
    const int count = parent != nullptr ? parent->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* item = parent != nullptr ? parent->child(i) : tree->topLevelItem(i);
        if (item->text(0) == wanted && ItemIndex(item) == -1)
            return item;
    }
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, wanted);
    item->setIcon(0, TreeIcon(icon));
    item->setData(0, kIndexRole, -1);
    return item;
}

QTreeWidgetItem* FindIndex(QTreeWidgetItem* item, int index) {
    if (ItemIndex(item) == index)
        return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem* found = FindIndex(item->child(i), index))
            return found;
    return nullptr;
}

// One record to convert and its converted copy.
struct PendingShape {
    CShapeRecord* record;
    CShapeRecordPtr copy;
};

} // namespace

CTransformDialog::CTransformDialog(QWidget* parent)
    : QDialog(parent), m_From(new QTreeWidget(this)), m_To(new QTreeWidget(this)),
      m_Begin(new QPushButton(QStringLiteral("Begin"), this)), m_Close(new QPushButton(QStringLiteral("Close"), this)),
      m_Progress(new QProgressBar(this)) {
    setObjectName(QString::number(IDD_TRANSFORM_THEME));
    setWindowTitle(QStringLiteral("Transform Theme"));
    m_From->setObjectName(QString::number(IDC_TRANSFORM_FROM));
    m_To->setObjectName(QString::number(IDC_TRANSFORM_TO));
    m_Begin->setObjectName(QString::number(IDC_TRANSFORM_BEGIN));
    m_Close->setObjectName(QString::number(IDC_TRANSFORM_CLOSE));
    m_Progress->setObjectName(QString::number(IDC_TRANSFORM_PROGRESS));
    m_Progress->setRange(0, 100);
    m_Progress->setValue(0);
    for (QTreeWidget* tree : {m_From, m_To}) {
        tree->setHeaderHidden(true);
        tree->setIconSize(QSize(16, 16));
        tree->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("From:"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("To:"), this), 0, 1);
    layout->addWidget(m_From, 1, 0);
    layout->addWidget(m_To, 1, 1);
    layout->addWidget(m_Progress, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_Begin);
    buttons->addWidget(m_Close);
    layout->addLayout(buttons, 3, 0, 1, 2);
    m_Begin->setDefault(true);

    FillTree(m_From, true);
    FillTree(m_To, false);
    SelectIndex(m_From, LastSource());
    SelectIndex(m_To, LastTarget());
    UpdateBeginButton();
    connect(m_From, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateBeginButton(); });
    connect(m_To, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateBeginButton(); });
    connect(m_Begin, &QPushButton::clicked, this, [this] { OnBegin(); });
    connect(m_Close, &QPushButton::clicked, this, [this] { reject(); });
    resize(520, 400);
}

CTransformDialog::~CTransformDialog() = default;

int& CTransformDialog::LastSource() {
    static int index = -1;
    return index;
}

int& CTransformDialog::LastTarget() {
    static int index = -1;
    return index;
}

int CTransformDialog::DoModal() { return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL; }

void CTransformDialog::FillTree(QTreeWidget* tree, bool sources) {
    const auto& table = RefSysTable();
    for (int index = 0; index < kRefSysCount; ++index) {
        const RefSysEntry& row = table[static_cast<std::size_t>(index)];
        const std::uint32_t offered = sources ? (row.flags & 0xFFu) : ((row.flags >> 8) & 0xFFu);
        if (offered == 0)
            continue;
        QTreeWidgetItem* parent = nullptr;
        if (!row.group.empty())
            parent = FindOrAddGroup(tree, nullptr, row.group, TI_Group);
        if (!row.subgroup.empty())
            parent = FindOrAddGroup(tree, parent, row.subgroup, TI_Subgroup);
        auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, QString::fromStdString(row.name));
        item->setIcon(0, TreeIcon(TI_System));
        item->setData(0, kIndexRole, index);
    }
    tree->sortItems(0, Qt::AscendingOrder);
}

bool CTransformDialog::SelectIndex(QTreeWidget* tree, int index) {
    if (index == -1)
        return false;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = FindIndex(tree->topLevelItem(i), index);
        if (item == nullptr)
            continue;
        for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent())
            up->setExpanded(true);
        tree->setCurrentItem(item);
        item->setSelected(true);
        tree->scrollToItem(item);
        return true;
    }
    return false;
}

int CTransformDialog::SelectedIndex(const QTreeWidget* tree) const {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? -1 : ItemIndex(selected.front());
}

void CTransformDialog::UpdateBeginButton() {
    const int source = SelectedIndex(m_From);
    const int target = SelectedIndex(m_To);
    m_Begin->setEnabled(!m_Running && source != -1 && target != -1 && source != target);
}

void CTransformDialog::reject() {
    // During a run Close cancels the run; the dialog stays until it stopped.
    if (m_Running) {
        m_CancelAsked = true;
        return;
    }
    QDialog::reject();
}

int TransformProgressPercent(std::int64_t done, std::int64_t total) {
    if (total <= 0 || done <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(done * 100 / total, 100));
}

void CTransformDialog::SetProgress(std::int64_t done, std::int64_t total) {
    m_Progress->setValue(TransformProgressPercent(done, total));
}

CTransformResult CTransformDialog::Transform(int source, int target) {
    CTransformResult result;
    const CRefSysConverter converter(source, target);
    // A record is converted once even when several listed themes hold it (a
    // theme made from another's selection shares its records).
    std::unordered_set<const CShapeRecord*> seen;
    std::vector<std::vector<PendingShape>> pending(m_Themes.size());
    for (std::size_t t = 0; t < m_Themes.size(); ++t) {
        const CTheme* theme = m_Themes[t];
        if (theme == nullptr)
            continue;
        for (const auto* list : {&theme->m_Polygons, &theme->m_Arcs, &theme->m_Points})
            for (CShapeRecord* record : *list)
                if (record != nullptr && seen.insert(record).second)
                    pending[t].push_back({record, nullptr});
        result.m_Total += static_cast<std::int64_t>(pending[t].size());
    }

    m_Running = true;
    m_CancelAsked = false;
    m_From->setEnabled(false);
    m_To->setEnabled(false);
    UpdateBeginButton();
    m_Close->setText(QStringLiteral("Cancel"));
    std::int64_t done = 0;
    for (std::size_t t = 0; t < pending.size() && !m_CancelAsked; ++t) {
        std::uint32_t previousType = 0;
        for (PendingShape& shape : pending[t]) {
            const std::uint32_t type = CShapeRecord::GetShapeType(shape.record);
            CShapeRecordPtr copy(CloneShapeRecord(shape.record));
            const bool ok = copy != nullptr && (CShapeRecord::IsPointType(type)
                                                    ? ReprojectPointShape(copy.get(), converter)
                                                    : ReprojectShape(copy.get(), converter));
            if (ok) {
                shape.copy = std::move(copy);
                ++result.m_Converted;
            } else {
                ++result.m_Failed;
            }
            SetProgress(done++, result.m_Total);
            // The bar is painted, and Cancel heard, at the first shape of
            // each kind and every 1000 shapes after.
            if (type != previousType || done % 1000 == 0) {
                previousType = type;
                QApplication::processEvents();
                if (m_CancelAsked)
                    break;
            }
        }
    }
    result.m_Cancelled = m_CancelAsked;
    if (!result.m_Cancelled) {
        for (std::size_t t = 0; t < pending.size(); ++t) {
            for (PendingShape& shape : pending[t])
                if (shape.copy)
                    std::memcpy(CShapeRecord::Bytes(shape.record), CShapeRecord::Bytes(shape.copy.get()),
                                CShapeRecord::GetSize(shape.copy.get()));
            CTheme* theme = m_Themes[t];
            if (theme == nullptr)
                continue;
            theme->RecalculateBounds();
            theme->DeleteSpatialIndex();
            theme->BuildSpatialIndex();
            theme->m_Modified = true;
        }
    }
    m_Running = false;
    m_From->setEnabled(true);
    m_To->setEnabled(true);
    m_Close->setText(QStringLiteral("Close"));
    UpdateBeginButton();
    return result;
}

void CTransformDialog::OnBegin() {
    const int source = SelectedIndex(m_From);
    const int target = SelectedIndex(m_To);
    if (m_Running || m_Themes.empty() || source == -1 || target == -1 || source == target)
        return;
    LastSource() = source;
    LastTarget() = target;
    m_LastResult = Transform(source, target);
    if (m_LastResult.m_Cancelled) {
        m_Progress->setValue(0);
        corvale::UI().ShowMessage("Transform cancelled. No theme was changed.", corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
        return;
    }
    m_Progress->setValue(100);
    if (m_LastResult.m_Failed == 0) {
        corvale::UI().ShowMessage("Transform complete.", corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
    } else {
        corvale::UI().ShowMessage("Transform finished with errors.\n\n" + std::to_string(m_LastResult.m_Failed) +
                                      " of " + std::to_string(m_LastResult.m_Total) +
                                      " shapes could not be converted and were left unchanged.",
                                  corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
    }
    m_Progress->setValue(0);
    accept();
}
