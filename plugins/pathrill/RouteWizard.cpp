#include "RouteWizard.h"

#include "PathrillHost.h"
#include "RouteEngine.h"
#include "RouteLinkLayer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace pathrill {

namespace {

constexpr std::uint32_t kShpPoint = 1;
constexpr std::uint32_t kShpPolyline = 3;
constexpr std::uint32_t kShpPointZ = 11;
constexpr std::uint32_t kShpPolylineZ = 13;

std::vector<WizardItem> ThemesOfTypes(const CvWorkspace& workspace, std::uint32_t a, std::uint32_t b) {
    std::vector<WizardItem> items;
    if (workspace.handle == 0)
        return items;
    const std::uint32_t count = workspace.GetThemeCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        const CvTheme theme = workspace.GetTheme(i);
        const std::uint32_t type = theme.GetShapeType();
        if (type == a || type == b)
            items.push_back({theme.GetName(), theme.handle});
    }
    return items;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return static_cast<double>(elapsed.count()) / 1000.0;
}

std::string Format(const char* format, double value) {
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void CRouteWizard::Start() {
    page = kInfoPage;
    nodeLines.clear();
    currentLine = -1;
}

std::vector<std::uint32_t> CRouteWizard::HooksOf(std::uint32_t page) {
    switch (page) {
    case kLinkLayerPage:
    case kNodeLayerPage:
    case kResultHandlingPage:
        return {GPIHOOK_ActiveThemeChanged};
    case kNodePage:
        return {GPIHOOK_SelectionChanged};
    default:
        return {};
    }
}

void CRouteWizard::SubscribePage() const {
    for (std::uint32_t hook : HooksOf(page))
        RegisterHook(hook);
}

void CRouteWizard::UnsubscribePage() const {
    for (std::uint32_t hook : HooksOf(page))
        UnregisterHook(hook);
}

void CRouteWizard::Next(RouteWizardOutput& output) {
    if (page + 1 >= kPageCount)
        return;
    UnsubscribePage();
    ++page;
    SubscribePage();
    output.PageChanged();
    if (page == kResultPage) {
        output.SetStatus("Calculating...");
        lastRunFound = CalculateRoute(output);
    }
}

void CRouteWizard::Prev() {
    if (page == kInfoPage)
        return;
    UnsubscribePage();
    --page;
    SubscribePage();
}

void CRouteWizard::Cancel() {
    UnsubscribePage();
}

std::vector<WizardItem> CRouteWizard::PolylineThemes(const CvWorkspace& workspace) {
    return ThemesOfTypes(workspace, kShpPolyline, kShpPolylineZ);
}

std::vector<WizardItem> CRouteWizard::PointThemes(const CvWorkspace& workspace) {
    return ThemesOfTypes(workspace, kShpPoint, kShpPointZ);
}

std::vector<WizardItem> CRouteWizard::FieldNames(const CvTheme& theme) {
    std::vector<WizardItem> items;
    if (theme.handle == 0)
        return items;
    const std::uint32_t count = theme.GetFieldCount();
    for (std::uint32_t f = 0; f < count; ++f)
        items.push_back({theme.GetFieldName(f), f});
    return items;
}

bool CRouteWizard::PickNode(const CvTheme& theme) {
    if (theme.handle == 0 || theme.GetSelectionCount() != 1)
        return false;
    CvRecordset selection = theme.GetSelection();
    if (selection.IsEOF())
        return false;
    const CvShape shape(selection.GetValue());
    selection.Close();
    const std::string id = shape.GetAttribute(theme, 0);
    nodeLines.erase(std::remove(nodeLines.begin(), nodeLines.end(), id), nodeLines.end());
    nodeLines.push_back(id);
    currentLine = static_cast<int>(nodeLines.size()) - 1;
    nodeIds.clear();
    for (const std::string& line : nodeLines)
        nodeIds.push_back(static_cast<std::int32_t>(std::atoi(line.c_str())));
    return true;
}

void CRouteWizard::DeleteCurrentLine() {
    if (currentLine < 0 || currentLine >= static_cast<int>(nodeLines.size()))
        return;
    nodeLines.erase(nodeLines.begin() + currentLine);
    if (nodeLines.empty())
        currentLine = -1;
    else if (currentLine >= static_cast<int>(nodeLines.size()))
        currentLine = static_cast<int>(nodeLines.size()) - 1;
}

bool CRouteWizard::CalculateRoute(RouteWizardOutput& output) {
    copiedTo = CvTheme();
    if (!linkLayer.IsValid()) {
        output.SetStatus("Invalid link layer.");
        return false;
    }
    if (!nodeLayer.IsValid()) {
        output.SetStatus("Invalid node layer.");
        return false;
    }
    const std::uint32_t fields = linkLayer.GetFieldCount();
    if (fromField >= fields) {
        output.SetStatus("Invalid from node id field.");
        return false;
    }
    if (toField >= fields) {
        output.SetStatus("Invalid to node id field.");
        return false;
    }
    output.SetStatus("Initializing network...");
    auto clock = std::chrono::steady_clock::now();
    RouteLinkLayer layer;
    layer.Read(linkLayer, fromField, toField, algorithm.lengthField);
    RouteNetwork network;
    const RouteBuildReport report = network.Build(layer.Links());
    output.Message("", Format("Init completed in %.02lf seconds.", SecondsSince(clock)),
                   RouteWizardOutput::Icon::None);
    if (!report.ok) {
        // A network the engine refuses (a negative cost) has no cheapest
        // route to report; say why rather than "No route found!".
        output.SetStatus(report.message);
        output.Message("Route Engine", report.message, RouteWizardOutput::Icon::Exclamation);
        return false;
    }

    output.SetStatus("Calculating route...");
    clock = std::chrono::steady_clock::now();
    const RouteResult route = FindRoute(network, nodeIds);
    std::string text;
    if (route.found) {
        char line[160];
        std::snprintf(line, sizeof line, "Route contains %d links with a total cost of %lf.\r\n\r\n",
                      static_cast<int>(route.shapes.size()), route.totalCost);
        text = line;
    }
    text += "Click Prev button to set new start and end nodes for a new route search.";
    if (!report.message.empty())
        text += "\r\n\r\n" + report.message;
    output.SetStatus(text);
    if (!route.found) {
        output.Message("Route Engine", "No route found!", RouteWizardOutput::Icon::Exclamation);
        return false;
    }
    for (std::uint32_t shape : route.shapes)
        CvShape(shape).Select(linkLayer, true);
    if (resultHandling == CopyToNewLayer)
        CopyRouteToLayer(route.shapes);
    workspace.NotifyChanged();
    output.Message("", Format("Query completed in %.02lf seconds.", SecondsSince(clock)),
                   RouteWizardOutput::Icon::None);
    return true;
}

void CRouteWizard::CopyRouteToLayer(const std::vector<std::uint32_t>& shapes) {
    // Into the chosen polyline theme, or a new one of the link layer's shape
    // type that has the link layer's fields. Attributes go across by field
    // name, so a chosen theme with other fields still receives the links.
    const std::uint32_t linkFields = linkLayer.GetFieldCount();
    CvTheme target = resultTheme;
    if (target.handle == 0 || !target.IsValid()) {
        target = workspace.AddTheme(linkLayer.GetShapeType(), "Route");
        for (std::uint32_t f = 0; f < linkFields; ++f)
            target.AddField(GetFieldType(linkLayer, f) & ~GPI_FIELD_KEY, linkLayer.GetFieldName(f).c_str(), nullptr);
    }
    const std::uint32_t targetFields = target.GetFieldCount();
    std::vector<long> source(targetFields, -1);
    for (std::uint32_t t = 0; t < targetFields; ++t) {
        const std::string name = target.GetFieldName(t);
        for (std::uint32_t f = 0; f < linkFields; ++f)
            if (linkLayer.GetFieldName(f) == name) {
                source[t] = static_cast<long>(f);
                break;
            }
    }
    for (std::uint32_t handle : shapes) {
        const CvShape link(handle);
        const std::vector<unsigned char> record = GetShapeRecord(link);
        const CvShape copy = target.AddShape(record.data());
        std::vector<std::string> values(targetFields);
        std::vector<const char*> pointers(targetFields);
        for (std::uint32_t t = 0; t < targetFields; ++t) {
            if (source[t] >= 0)
                values[t] = link.GetAttribute(linkLayer, static_cast<std::uint32_t>(source[t]));
            pointers[t] = values[t].c_str();
        }
        if (targetFields > 0)
            copy.SetAttributes(target, targetFields, pointers.data());
    }
    copiedTo = target;
}

} // namespace pathrill
