#pragma once
// What the grid pane tests share: services that record beeps, texts and
// dialogs and answer as told, and a workspace with a small native theme
// whose cells the tests know.

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "panes/GridPaneServices.h"
#include "workspace/CorvaleDoc.h"

#include <QModelIndex>
#include <QPoint>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

class CGridPane;
class QTableView;

class CRecordingGridPaneServices : public IGridPaneServices {
public:
    CRecordingGridPaneServices() { SetGridPaneServices(this); }
    ~CRecordingGridPaneServices() override { SetGridPaneServices(nullptr); }

    void Beep() override { ++beeps; }
    void ShowTextInformation(QWidget*, const std::string&, const std::string& text) override {
        texts.push_back(text);
    }
    void OpenUrl(const std::string& url) override { opened.push_back(url); }
    void ForwardCommand(unsigned id) override { forwarded.push_back(id); }

    bool HasFindDialog() const override { return dialogs; }
    void ShowFindDialog(CAttributesGridPane&, CTheme*, const CFindRequest* preset) override {
        ++findShown;
        if (preset != nullptr)
            findPreset = *preset;
    }
    bool HasStatisticsSelectionDialog() const override { return dialogs; }
    bool ChooseStatisticsRows(QWidget*, int& choice) override {
        ++rowChoicesAsked;
        if (rowChoiceAnswers.empty())
            return false;
        choice = rowChoiceAnswers.front();
        rowChoiceAnswers.pop_front();
        return true;
    }
    bool HasTableCheckDialogs() const override { return dialogs; }
    bool ChooseTableCheckOptions(QWidget*, bool& ignoreBlank) override {
        ignoreBlank = ignoreBlankAnswer;
        return tableCheckOk;
    }
    bool ShowDuplicateData(QWidget*, const std::map<std::string, int>& counts, const std::string& label,
                           bool singleColumn, int kind, std::string& chosen) override {
        duplicateCounts = counts;
        duplicateLabel = label;
        duplicateSingle = singleColumn;
        duplicateKind = kind;
        chosen = duplicateChoice;
        return !duplicateChoice.empty();
    }

    bool dialogs = true;
    int beeps = 0;
    std::vector<std::string> texts;
    std::vector<std::string> opened;
    std::vector<unsigned> forwarded;
    int findShown = 0;
    CFindRequest findPreset;
    int rowChoicesAsked = 0;
    std::deque<int> rowChoiceAnswers;
    bool tableCheckOk = true;
    bool ignoreBlankAnswer = false;
    std::map<std::string, int> duplicateCounts;
    std::string duplicateLabel;
    bool duplicateSingle = false;
    int duplicateKind = 0;
    std::string duplicateChoice;
};

// A new native point theme with the given columns (name, FT_* type) and
// rows of cell texts, one point per row at (row, 2 * row).
CTheme* AddTableTheme(CCorvaleDoc& doc, const std::vector<std::pair<std::string, int>>& columns,
                      const std::vector<std::vector<std::string>>& rows, const std::string& name = "table");

// The centre of a cell in the grid's viewport (the row is scrolled into view).
QPoint CellCentre(QTableView* grid, int row, int column);

// The clipboard's text as UTF-8.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

// The document's update events as they arrive.
struct CPaneEventLog {
    struct Event {
        const void* sender;
        int code;
        std::intptr_t data;
    };
    void OnUpdate(const void* sender, int code, std::intptr_t data) { events.push_back({sender, code, data}); }
    int Count(int code) const {
        int n = 0;
        for (const Event& e : events)
            n += e.code == code;
        return n;
    }
    std::vector<Event> events;
};

// Clicks the cell, opens its editor with F2, types the text and presses
// Enter; false when no editor opened.
bool EditCellByKeys(QTableView* grid, int row, int column, const std::string& text);
