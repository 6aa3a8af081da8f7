#pragma once
// The route wizard's logic, apart from its window: the run settings the
// pages report, the page walk with the hooks each page listens to, the list
// of picked nodes, and the run itself. The dialog (RouteWizardDialog) shows
// it; the tests drive it directly.

#include "GpiClient.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pathrill {

// What the run tells its user: status texts on the last page and message
// boxes. The dialog shows them; tests record them.
class RouteWizardOutput {
public:
    enum class Icon { None, Exclamation, Error };
    virtual ~RouteWizardOutput() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void Message(const std::string& caption, const std::string& text, Icon icon) = 0;
    // Next moved to another page, before any search on it runs: the dialog
    // shows the page, so the result page is up while the search runs.
    virtual void PageChanged() {}
};

// One entry of a layer or field list: its text and the handle or index it
// stands for.
struct WizardItem {
    std::string text;
    std::uint32_t data = 0;
};

class CRouteWizard {
public:
    static constexpr std::uint32_t kPageCount = 7;
    static constexpr std::uint32_t kInfoPage = 0;
    static constexpr std::uint32_t kLinkLayerPage = 1;
    static constexpr std::uint32_t kNodeLayerPage = 2;
    static constexpr std::uint32_t kAlgorithmPage = 3;
    static constexpr std::uint32_t kResultHandlingPage = 4;
    static constexpr std::uint32_t kNodePage = 5;
    static constexpr std::uint32_t kResultPage = 6;

    enum ResultHandling : std::uint32_t { AddToSelection = 0, CopyToNewLayer = 1 };

    struct AlgorithmChoice {
        std::uint32_t algorithm = 0;
        std::uint32_t lengthField = 0;
        std::string text;
    };

    // --- settings, as the pages report them
    CvWorkspace workspace;
    CvTheme linkLayer;
    std::uint32_t fromField = 0;
    std::uint32_t toField = 0;
    CvTheme nodeLayer;
    std::vector<std::int32_t> nodeIds;
    AlgorithmChoice algorithm;
    std::uint32_t resultHandling = AddToSelection;
    CvTheme resultTheme; // handle 0: a new theme is made
    std::uint32_t page = kInfoPage;

    // --- the page walk
    // The wizard's window was made: back to the first page, with an empty
    // list of picked nodes (the settings stay).
    void Start();
    // The hook types the page listens to while shown.
    static std::vector<std::uint32_t> HooksOf(std::uint32_t page);
    void SubscribePage() const;
    void UnsubscribePage() const;
    bool PrevShown() const { return page != kInfoPage; }
    bool NextShown() const { return page != kResultPage; }
    const char* NextText() const { return page == kNodePage ? "Calculate" : "Next >>"; }
    // Next and Prev move one page and move the hooks with it. Next onto the
    // result page runs the search at once; its answer is in lastRunFound.
    void Next(RouteWizardOutput& output);
    void Prev();
    // The window is going away: the current page stops listening.
    void Cancel();
    bool lastRunFound = false;

    // --- layer and field lists, in workspace and field order
    static std::vector<WizardItem> PolylineThemes(const CvWorkspace& workspace);
    static std::vector<WizardItem> PointThemes(const CvWorkspace& workspace);
    static std::vector<WizardItem> FieldNames(const CvTheme& theme);

    // --- node picking (the node page)
    // The node layer's selection changed: with exactly one shape selected in
    // the theme its first field's text is the picked node: a line of the same
    // text leaves the list and the text goes to the end, the current line,
    // and the wizard's node ids are read from the list again. False when
    // nothing was picked.
    bool PickNode(const CvTheme& theme);
    // Removes the current line; the line at its place (or the last) becomes
    // current. The node ids stay until the next pick.
    void DeleteCurrentLine();
    bool DeleteEnabled() const { return currentLine >= 0; }
    std::vector<std::string> nodeLines;
    int currentLine = -1;

    // --- the run
    // Checks the settings, builds the network, searches every leg between
    // the picked nodes and selects the route's links in the link layer (and
    // copies them to a result layer when asked). True when a route was found.
    bool CalculateRoute(RouteWizardOutput& output);
    // The layer the last run copied its route into (handle 0 when none).
    CvTheme copiedTo;

private:
    void CopyRouteToLayer(const std::vector<std::uint32_t>& shapes);
};

} // namespace pathrill
