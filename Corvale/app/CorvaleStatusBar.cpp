#include "app/CorvaleStatusBar.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

#include <algorithm>
#include <set>

CCorvaleStatusBar::CCorvaleStatusBar(QWidget* parent) : QStatusBar(parent) {
    m_Ids.push_back(kMessagePane);
}

CCorvaleStatusBar::Pane CCorvaleStatusBar::MakePane(int id) {
    Pane pane;
    pane.box = new QWidget(this);
    pane.box->setObjectName(QStringLiteral("pane_%1").arg(id));
    auto* layout = new QHBoxLayout(pane.box);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(3);
    pane.icon = new QLabel(pane.box);
    pane.icon->hide();
    layout->addWidget(pane.icon);
    pane.text = new QLabel(pane.box);
    pane.text->setObjectName(QStringLiteral("paneText_%1").arg(id));
    layout->addWidget(pane.text);
    return pane;
}

int CCorvaleStatusBar::PermanentIndex(int index) const { return m_Leading + index - 1; }

void CCorvaleStatusBar::SetLeadingWidget(QWidget* widget) {
    insertPermanentWidget(0, widget);
    ++m_Leading;
}

bool CCorvaleStatusBar::SetIndicators(const std::vector<int>& ids) {
    if (ids.empty() || ids.front() != kMessagePane || static_cast<int>(ids.size()) > kMaxPanes)
        return false;
    if (std::set<int>(ids.begin(), ids.end()).size() != ids.size())
        return false;
    for (Pane& pane : m_Panes) {
        removeWidget(pane.box);
        delete pane.box;
    }
    m_Panes.clear();
    m_Ids = ids;
    for (std::size_t i = 1; i < ids.size(); ++i) {
        Pane pane = MakePane(ids[i]);
        insertPermanentWidget(PermanentIndex(static_cast<int>(i)), pane.box);
        pane.box->show();
        m_Panes.push_back(pane);
    }
    return true;
}

bool CCorvaleStatusBar::AddPane(int id) {
    if (GetCount() >= kMaxPanes || CommandToIndex(id) >= 0)
        return false;
    Pane pane = MakePane(id);
    insertPermanentWidget(PermanentIndex(1), pane.box);
    pane.box->show();
    m_Ids.insert(m_Ids.begin() + 1, id);
    m_Panes.insert(m_Panes.begin(), pane);
    return true;
}

bool CCorvaleStatusBar::RemovePane(int id) {
    const int index = CommandToIndex(id);
    if (index <= 0)
        return false;
    Pane pane = m_Panes[static_cast<std::size_t>(index - 1)];
    m_Panes.erase(m_Panes.begin() + (index - 1));
    m_Ids.erase(m_Ids.begin() + index);
    removeWidget(pane.box);
    pane.box->deleteLater();
    return true;
}

int CCorvaleStatusBar::CommandToIndex(int id) const {
    const auto it = std::find(m_Ids.begin(), m_Ids.end(), id);
    return it == m_Ids.end() ? -1 : static_cast<int>(it - m_Ids.begin());
}

int CCorvaleStatusBar::GetItemId(int index) const {
    return index >= 0 && index < GetCount() ? m_Ids[static_cast<std::size_t>(index)] : -1;
}

QLabel* CCorvaleStatusBar::GetPaneLabel(int id) const {
    const int index = CommandToIndex(id);
    return index > 0 ? m_Panes[static_cast<std::size_t>(index - 1)].text : nullptr;
}

void CCorvaleStatusBar::SetPaneWidth(int id, int width) {
    if (QLabel* label = GetPaneLabel(id))
        label->setFixedWidth(std::max(width, 0));
}

void CCorvaleStatusBar::SetPaneIcon(int id, const QIcon& icon) {
    const int index = CommandToIndex(id);
    if (index <= 0)
        return;
    QLabel* label = m_Panes[static_cast<std::size_t>(index - 1)].icon;
    if (icon.isNull()) {
        label->clear();
        label->hide();
    } else {
        label->setPixmap(icon.pixmap(16, 16));
        label->show();
    }
}
