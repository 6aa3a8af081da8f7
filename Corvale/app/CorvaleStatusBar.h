#pragma once
// The main frame's status bar: the message pane first, then panes known by
// their command ids. Plug-ins add panes of their own while the program runs;
// a new pane always comes second, right after the message pane, so that the
// program's own indicators keep their places at the right.

#include <QStatusBar>

#include <vector>

class QLabel;
class QIcon;

class CCorvaleStatusBar : public QStatusBar {
public:
    // The most panes the bar takes, the message pane included.
    static constexpr int kMaxPanes = 9;
    // The id of the message pane in an indicator list.
    static constexpr int kMessagePane = 0;

    explicit CCorvaleStatusBar(QWidget* parent = nullptr);

    // The panes in order; the first must be the message pane (0). Replaces
    // any panes there were; false when the list is empty, does not start
    // with the message pane, holds an id twice or is longer than the bar
    // takes.
    bool SetIndicators(const std::vector<int>& ids);
    // A new empty pane with that id in second place. False when the bar
    // already holds kMaxPanes panes or a pane with that id; the bar is then
    // unchanged.
    bool AddPane(int id);
    // Takes the pane with that id out; false when there is none (the message
    // pane is never taken out).
    bool RemovePane(int id);

    // Panes, the message pane included.
    int GetCount() const { return static_cast<int>(m_Ids.size()); }
    // The index of the pane with that id; -1 when there is none.
    int CommandToIndex(int id) const;
    int GetItemId(int index) const;
    // The text label of a pane; null for the message pane or an unknown id.
    QLabel* GetPaneLabel(int id) const;
    void SetPaneWidth(int id, int width);
    void SetPaneIcon(int id, const QIcon& icon);

    // A widget placed before every pane (the progress bar); it takes no
    // place in the pane table.
    void SetLeadingWidget(QWidget* widget);

private:
    struct Pane {
        QWidget* box = nullptr;
        QLabel* icon = nullptr;
        QLabel* text = nullptr;
    };
    Pane MakePane(int id);
    // Where the box of pane `index` (1 and up) goes among the permanent
    // widgets.
    int PermanentIndex(int index) const;

    std::vector<int> m_Ids;
    // Boxes of the panes 1 .. count-1.
    std::vector<Pane> m_Panes;
    int m_Leading = 0;
};
