// A GPI plug-in built on the client classes, for the tests of those classes
// against the real host: the host loads it from a plug-in folder, and a test
// runs its scenarios through CvClientTestRunScenario (ClientTestPluginControl.h).
// Every operation the classes send goes through a recording entry in front
// of the host's, so a test sees which operations a call made.

#include "ClientTestPluginControl.h"
#include "GpiClient.h"
#include "RouteEngine.h"
#include "RouteLinkLayer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const GpiGuid g_Guid = {0x5c1e7a11, 0x0c1e, 0x4e57, {0x8a, 0x11, 0x3b, 0x2c, 0x1d, 0x0e, 0xf0, 0x29}};

GpiHostDispatchFn g_Host = nullptr;
CvClientTestRun* g_Run = nullptr;

int Recording(int op, void* block) {
    if (g_Run != nullptr)
        g_Run->ops.push_back(op);
    return g_Host(op, block);
}

// The host's entry without the recording, for what a scenario does behind
// the classes' back.
int HostDirect(int op, void* block) {
    return g_Host(op, block);
}

void* AsBlock(std::uint32_t handle) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(handle));
}

using Scenario = std::function<void(CvClientTestRun&)>;

const std::map<std::string, Scenario>& Scenarios() {
    static const std::map<std::string, Scenario> scenarios = {
        {"is-valid",
         [](CvClientTestRun& run) {
             for (std::uint32_t handle : run.handles) {
                 const CvTheme object(handle);
                 const CvObject& base = object;
                 run.values.push_back(base.IsValid() ? 1 : 0);
             }
         }},
        {"theme",
         [](CvClientTestRun& run) {
             const CvTheme theme(run.handles.at(0));
             run.results.push_back(theme.GetName());
             const std::uint32_t fields = theme.GetFieldCount();
             for (std::uint32_t f = 0; f < fields; ++f)
                 run.results.push_back(theme.GetFieldName(f));
             run.values = {theme.IsReadOnly() ? 1u : 0u, theme.GetShapeType(), fields, theme.GetShapeCount(),
                           theme.GetSelectionCount()};
         }},
        {"attributes",
         [](CvClientTestRun& run) {
             const CvTheme theme(run.handles.at(0));
             const CvShape shape(run.handles.at(1));
             const std::uint32_t fields = theme.GetFieldCount();
             for (std::uint32_t f = 0; f < fields; ++f)
                 run.results.push_back(shape.GetAttribute(theme, f));
         }},
        {"error-text",
         [](CvClientTestRun& run) {
             for (std::uint32_t code : run.handles)
                 run.results.push_back(CvException(static_cast<int>(code)).GetText());
         }},
        {"get-shape",
         [](CvClientTestRun& run) {
             const CvTheme theme(run.handles.at(0));
             run.values.push_back(theme.GetShape(run.handles.at(1)).handle);
         }},
        // Per shape of the theme: its handle and part 0's point count, then
        // its bounds, part 0's points and the point of the shape nearest to
        // one unit below and left of its bounds.
        {"geometry",
         [](CvClientTestRun& run) {
             const CvTheme theme(run.handles.at(0));
             const std::uint32_t count = theme.GetShapeCount();
             for (std::uint32_t i = 0; i < count; ++i) {
                 const CvShape shape = theme.GetShape(i);
                 const std::uint32_t points = shape.GetPartPointCount(0);
                 run.values.push_back(shape.handle);
                 run.values.push_back(points);
                 double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
                 shape.GetBounds(xmin, ymin, xmax, ymax);
                 run.numbers.insert(run.numbers.end(), {xmin, ymin, xmax, ymax});
                 for (std::uint32_t p = 0; p < points; ++p) {
                     double x = 0, y = 0;
                     shape.GetPoint(0, p, x, y);
                     run.numbers.insert(run.numbers.end(), {x, y});
                 }
                 double nx = 0, ny = 0;
                 shape.GetNearestPoint(xmin - 1, ymin - 1, nx, ny);
                 run.numbers.insert(run.numbers.end(), {nx, ny});
             }
         }},
        {"walk-selection",
         [](CvClientTestRun& run) {
             CvRecordset selection = CvTheme(run.handles.at(0)).GetSelection();
             while (!selection.IsEOF()) {
                 run.values.push_back(selection.GetValue());
                 selection.MoveNext();
             }
         }},
        // Two recordsets passed from wrapper to wrapper: each is closed once,
        // by whichever wrapper holds it last. Values: the handles of the
        // moved-from wrappers, then whether the holder's handle is the first
        // recordset's.
        {"recordset-moves",
         [](CvClientTestRun& run) {
             const CvTheme theme(run.handles.at(0));
             CvRecordset first = theme.GetSelection();
             const std::uint32_t firstHandle = first.handle;
             CvRecordset second(std::move(first));
             CvRecordset holder;
             holder = std::move(second);
             run.values = {first.handle, second.handle, holder.handle == firstHandle ? 1u : 0u};
             // Replacing the held recordset closes it.
             holder = theme.GetSelection();
         }},
        // The recordset is closed behind the wrapper's back: the wrapper's
        // own close fails, which its destructor drops.
        {"stale-destructor",
         [](CvClientTestRun& run) {
             CvRecordset selection = CvTheme(run.handles.at(0)).GetSelection();
             run.values.push_back(selection.handle);
             HostDirect(GPIOP_RecordsetClose, AsBlock(selection.handle));
         }},
        // As above, closed explicitly: the failure throws and the wrapper
        // holds 0 afterwards. Values: the handle after the failed close.
        {"stale-close",
         [](CvClientTestRun& run) {
             CvRecordset selection = CvTheme(run.handles.at(0)).GetSelection();
             HostDirect(GPIOP_RecordsetClose, AsBlock(selection.handle));
             try {
                 selection.Close();
             } catch (const CvException& e) {
                 run.error = e.code;
             }
             run.values.push_back(selection.handle);
             selection.Close();
         }},
        {"workspace",
         [](CvClientTestRun& run) {
             const CvWorkspace workspace(run.handles.at(0));
             const std::uint32_t count = workspace.GetThemeCount();
             for (std::uint32_t i = 0; i < count; ++i)
                 run.results.push_back(workspace.GetTheme(i).GetName());
             run.values = {count, workspace.GetActiveTheme().handle, workspace.GetSelectedThemeCount()};
         }},
        // A new theme of shape type handles[1] named texts[0] with a text
        // field, the record added in a batch, its attribute set and the
        // shape selected. Values:
        // theme, field index, shape, selection count; results: the attribute.
        {"edit",
         [](CvClientTestRun& run) {
             const CvWorkspace workspace(run.handles.at(0));
             const CvTheme theme = workspace.AddTheme(run.handles.at(1), run.texts.at(0).c_str());
             const std::uint32_t field = theme.AddField(GPIFT_String, "NAME", "none");
             theme.UpdateBatch(false);
             const CvShape shape = theme.AddShape(run.record.data());
             theme.UpdateBatch(true);
             const char* const values[] = {"first"};
             shape.SetAttributes(theme, 1, values);
             shape.Select(theme, true);
             workspace.NotifyChanged();
             run.values = {theme.handle, field, shape.handle, theme.GetSelectionCount()};
             run.results.push_back(shape.GetAttribute(theme, field));
         }},
        // The theme's shapes replaced by the record, one by one; then the
        // theme selected.
        {"update",
         [](CvClientTestRun& run) {
             const CvTheme theme(run.handles.at(0));
             const std::uint32_t count = theme.GetShapeCount();
             for (std::uint32_t i = 0; i < count; ++i)
                 theme.UpdateShape(theme.GetShape(i), run.record.data());
             theme.SetSelected(true);
         }},
        // The routing plug-in's way from a link layer to a route: handles
        // are the layer, its from, to and length fields, then the node ids
        // to pass. Values: the route's shapes; numbers: found, total cost,
        // links in the network, links left out; results: the build's
        // message.
        {"route",
         [](CvClientTestRun& run) {
             pathrill::RouteLinkLayer layer;
             layer.Read(CvTheme(run.handles.at(0)), run.handles.at(1), run.handles.at(2), run.handles.at(3));
             pathrill::RouteNetwork network;
             const pathrill::RouteBuildReport report = network.Build(layer.Links());
             std::vector<std::int32_t> ids;
             for (std::size_t i = 4; i < run.handles.size(); ++i)
                 ids.push_back(static_cast<std::int32_t>(run.handles[i]));
             const pathrill::RouteResult route = pathrill::FindRoute(network, ids);
             run.values = route.shapes;
             run.numbers = {route.found ? 1.0 : 0.0, route.totalCost, static_cast<double>(report.links),
                            static_cast<double>(report.skippedIds + report.skippedCosts)};
             run.results.push_back(report.message);
         }},
        {"host-string",
         [](CvClientTestRun& run) {
             char* copy = CopyToHostString(run.texts.at(0).c_str());
             run.results.push_back(copy != nullptr ? copy : "(null)");
             HostDirect(GPIOP_HostFree, copy);
         }},
    };
    return scenarios;
}

bool RunScenario(const char* name, CvClientTestRun* run) {
    const auto it = Scenarios().find(name);
    if (it == Scenarios().end())
        return false;
    g_Run = run;
    try {
        it->second(*run);
    } catch (const CvException& e) {
        run->error = e.code;
    }
    g_Run = nullptr;
    return true;
}

} // namespace

extern "C" {

GPI_EXPORT int fnInit(GpiInitInfo* info) {
    try {
        g_Host = info->dispatch;
        GpiInitInfo kept = *info;
        kept.dispatch = &Recording;
        CvClientInit(kept);
        info->name = "Client classes test";
        info->description = "Runs the GPI client classes for the tests.\nClient classes test";
        info->about = "Built by the tests.";
        info->version = "1.00";
        return 0;
    } catch (...) {
        return 1;
    }
}

GPI_EXPORT void fnTerminate(void) {}

GPI_EXPORT int fnVersion(void) {
    return PIV_Gpi200;
}

GPI_EXPORT const GpiGuid* fnGUID(void) {
    return &g_Guid;
}

GPI_EXPORT bool CvClientTestRunScenario(const char* scenario, CvClientTestRun* run) {
    return RunScenario(scenario, run);
}

} // extern "C"
