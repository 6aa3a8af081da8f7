// The routing plug-in: a toolbar with the route wizard (button 103) and the
// adjustment of route end points (button 32773), the hooks that feed both,
// and two script members.

#include "AdjustRoute.h"
#include "GpiClient.h"
#include "PathrillHost.h"
#include "RouteWizard.h"
#include "RouteWizardDialog.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointer>

#include <cstring>
#include <memory>

namespace {

using namespace pathrill;

constexpr std::uint32_t kToolBarId = 10015;
constexpr std::uint32_t kWizardButton = 103;
constexpr std::uint32_t kAdjustButton = 32773;

const GpiGuid g_Guid = {0x7a3d51c2, 0x94e0, 0x4b6f, {0x9c, 0x2e, 0x51, 0x0b, 0x8d, 0x47, 0xa3, 0x16}};

struct Module {
    CvToolBar toolbar;
    CRouteWizard wizard;
    QPointer<RouteWizardDialog> wizardWindow;
    std::unique_ptr<CAdjustRouteController> adjust;
    bool adjustTool = false;
    std::uint32_t color = 0;
};

Module* g_Module = nullptr;

Module& TheModule() {
    if (g_Module == nullptr)
        g_Module = new Module;
    return *g_Module;
}

// The toolbar's two pictures, 16 by 15 pixels: a route between two nodes,
// and a node being moved along a line.
QImage MakeButtonImage(bool adjust) {
    QImage image(16, 15, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(QColor(0, 0, 160), 2));
    if (adjust) {
        painter.drawLine(1, 12, 14, 2);
        painter.setBrush(QColor(220, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(9, 6), 3, 3);
    } else {
        painter.drawPolyline(QPolygon({QPoint(2, 12), QPoint(6, 5), QPoint(10, 9), QPoint(13, 2)}));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 150, 0));
        painter.drawEllipse(QPoint(2, 12), 2, 2);
        painter.setBrush(QColor(220, 0, 0));
        painter.drawEllipse(QPoint(13, 2), 2, 2);
    }
    return image;
}

const GpiToolBarDesc& ToolBarDesc() {
    static const QImage wizardImage = MakeButtonImage(false);
    static const QImage adjustImage = MakeButtonImage(true);
    static const GpiBitmap wizardBitmap = {16, 15, static_cast<std::uint32_t>(wizardImage.bytesPerLine()),
                                           wizardImage.constBits()};
    static const GpiBitmap adjustBitmap = {16, 15, static_cast<std::uint32_t>(adjustImage.bytesPerLine()),
                                           adjustImage.constBits()};
    static const GpiToolBarButtonDesc buttons[] = {
        {kWizardButton, "Finds a route in a polyline layer", &wizardBitmap},
        {0, nullptr, nullptr},
        {kAdjustButton, "Adjust route end point\nAdjust Route", &adjustBitmap},
    };
    static const GpiToolBarDesc desc = {kToolBarId, 3, buttons};
    return desc;
}

CAdjustRouteController& Adjust() {
    Module& module = TheModule();
    if (!module.adjust)
        module.adjust = std::make_unique<CAdjustRouteController>();
    return *module.adjust;
}

// The adjustment when it exists and follows the workspace; null otherwise.
CAdjustRouteController* AdjustIn(std::uint32_t workspace) {
    const Module& module = TheModule();
    return module.adjust && workspace == module.adjust->Workspace().handle ? module.adjust.get() : nullptr;
}

void OnToolBarButton(std::uint32_t workspace, std::uint32_t button) {
    if (workspace == 0)
        return;
    Module& module = TheModule();
    const CvWorkspace ws(workspace);
    if (button == kWizardButton) {
        const bool otherWorkspace = module.wizard.workspace.handle != ws.handle;
        module.wizard.workspace = ws;
        if (module.wizardWindow && otherWorkspace)
            module.wizardWindow->FillLayerLists();
        if (!module.wizardWindow) {
            auto* parent = static_cast<QWidget*>(ws.GetMap().GetWindow());
            module.wizardWindow = new RouteWizardDialog(module.wizard, parent);
        }
        module.wizardWindow->show();
        module.wizardWindow->raise();
        module.wizard.SubscribePage();
        if (module.wizard.page == CRouteWizard::kResultPage)
            module.wizardWindow->SetStatus("Calculating...");
    } else if (button == kAdjustButton) {
        ws.GetMap().SetTool(kAdjustTool);
        Adjust().SetWorkspace(ws);
        Adjust().Activate(true);
    }
}

void OnIdle(std::uint32_t workspace) {
    Module& module = TheModule();
    if (workspace == 0) {
        module.toolbar.EnableButton(kWizardButton, false);
        module.toolbar.EnableButton(kAdjustButton, false);
        module.toolbar.CheckButton(kAdjustButton, false);
        return;
    }
    const CvWorkspace ws(workspace);
    Adjust().SetWorkspace(ws);
    const std::uint32_t tool = ws.GetMap().GetTool();
    const bool ours = tool == kAdjustTool || tool == kAdjustDragTool;
    if (module.adjustTool && !ours && Adjust().IsActive())
        Adjust().Activate(false);
    module.adjustTool = ours;
    module.toolbar.CheckButton(kAdjustButton, ours);
    module.toolbar.EnableButton(kWizardButton, true);
    module.toolbar.EnableButton(kAdjustButton, true);
}

// The call's one result, in host memory and of the type, handed to the call;
// null when the host refuses the memory.
GpiScriptValue* SetOneResult(GpiHookScriptCallArgs* call, std::uint32_t type) {
    auto* result = static_cast<GpiScriptValue*>(HostAlloc(sizeof(GpiScriptValue)));
    if (result == nullptr)
        return nullptr;
    std::memset(result, 0, sizeof *result);
    result->type = type;
    call->resultCount = 1;
    call->results = result;
    call->inOut |= 1;
    return result;
}

int OnScriptCall(GpiHookScriptCallArgs* call) {
    Module& module = TheModule();
    if (call == nullptr || call->name == nullptr)
        return 0;
    if (std::strcmp(call->name, "color") == 0) {
        if (call->argumentCount == 0) {
            GpiScriptValue* result = SetOneResult(call, GPISV_Color);
            if (result == nullptr)
                return GPIERR_OutOfResources;
            result->value.color = module.color;
            return 0;
        }
        if (call->arguments == nullptr || call->arguments[0].type != GPISV_Color)
            return GPIERR_IllegalParameter;
        module.color = call->arguments[0].value.color;
        return 0;
    }
    if (std::strcmp(call->name, "getStringValue") == 0) {
        GpiScriptValue* result = SetOneResult(call, GPISV_String);
        if (result == nullptr)
            return GPIERR_OutOfResources;
        result->value.text = CopyToHostString("A string");
        return 0;
    }
    return 0;
}

// The handlers; exceptions of the host calls are dealt with by the caller.
int Dispatch(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    Module& module = TheModule();
    switch (hookType) {
    case GPIHOOK_MapDrawn:
        Adjust().OnMapDrawn();
        return 0;
    case GPIHOOK_Idle:
        OnIdle(workspace);
        return 0;
    case GPIHOOK_MouseMove: {
        const auto* mouse = static_cast<const GpiHookMouseArgs*>(args);
        Adjust().OnMouseMove(mouse->x, mouse->y);
        return 0;
    }
    case GPIHOOK_SelectionChanged: {
        const auto* selection = static_cast<const GpiHookSelectionArgs*>(args);
        if (selection->flag == 0)
            return 0;
        if (workspace == module.wizard.workspace.handle && module.wizardWindow &&
            module.wizard.page == CRouteWizard::kNodePage)
            module.wizardWindow->OnSelectionChanged(CvTheme(selection->theme));
        if (CAdjustRouteController* adjust = AdjustIn(workspace))
            adjust->OnSelectionChanged();
        return 0;
    }
    case GPIHOOK_ThemesRemoved:
        if (CAdjustRouteController* adjust = AdjustIn(workspace))
            adjust->OnThemeRemoved(CvTheme(static_cast<const GpiHookThemeArgs*>(args)->theme));
        return 0;
    case GPIHOOK_LButtonDown: {
        const auto* mouse = static_cast<const GpiHookMouseArgs*>(args);
        Adjust().OnLButtonDown(mouse->x, mouse->y);
        return 0;
    }
    case GPIHOOK_LButtonUp: {
        const auto* mouse = static_cast<const GpiHookMouseArgs*>(args);
        Adjust().OnLButtonUp(mouse->x, mouse->y);
        return 0;
    }
    case GPIHOOK_ToolBarButton:
        OnToolBarButton(workspace, static_cast<const GpiHookToolBarButtonArgs*>(args)->commandId);
        return 0;
    case GPIHOOK_ScriptCall:
        return OnScriptCall(static_cast<GpiHookScriptCallArgs*>(args));
    case GPIHOOK_ActiveThemeChanged:
        if (workspace == module.wizard.workspace.handle && module.wizardWindow &&
            (module.wizard.page == CRouteWizard::kLinkLayerPage || module.wizard.page == CRouteWizard::kNodeLayerPage ||
             module.wizard.page == CRouteWizard::kResultHandlingPage))
            module.wizardWindow->OnActiveThemeChanged();
        return 0;
    case GPIHOOK_ActiveWorkspaceChanged:
        if (module.adjust) {
            const CvWorkspace old = Adjust().Workspace();
            if (old.handle != 0 && old.handle != workspace && old.IsValid())
                old.GetMap().SetTool(1);
        }
        return 0;
    case GPIHOOK_EscapeKey:
        if (CAdjustRouteController* adjust = AdjustIn(workspace))
            adjust->OnEscape();
        return 0;
    case GPIHOOK_ThemeAdded:
        if (CAdjustRouteController* adjust = AdjustIn(workspace))
            adjust->OnThemeAdded();
        return 0;
    default:
        return 0;
    }
}

// No exception leaves the plug-in: a host refusal inside a handler leaves the
// plug-in's state as the handler left it, and the event is answered as done.
int PathrillGpiCallback(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    if (hookType < GPIHOOK_First || hookType > GPIHOOK_Last || hookType == GPIHOOK_WorkspaceClosing ||
        (hookType >= GPIHOOK_CommandItem && hookType <= GPIHOOK_ViewInitialized))
        return 0;
    try {
        return Dispatch(workspace, hookType, args);
    } catch (const CvException&) {
        return 0;
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

extern "C" {

GPI_EXPORT int fnInit(GpiInitInfo* info) {
    CvClientInit(*info);
    info->name = "Pathrill";
    info->description = "A description of this Generic Plug-in.\nShort description";
    info->about = "Pathrill finds the shortest route through a network of one-way links and moves the end points "
                  "of routes along them.";
    info->version = "1.00";
    info->callback = &PathrillGpiCallback;

    RegisterHook(GPIHOOK_LButtonDown);
    RegisterHook(GPIHOOK_LButtonUp);
    RegisterHook(GPIHOOK_ToolBarButton);
    RegisterHook(GPIHOOK_Idle);

    std::uint32_t toolbar = 0;
    GpiToolBarCreateArgs create = {info->identity, &ToolBarDesc(), kToolBarId, "Route Toolbar", &toolbar};
    const int code = info->dispatch(GPIOP_ToolBarCreate, &create);
    if (code != GPIERR_NoError)
        throw CvException(code);
    TheModule().toolbar = CvToolBar(toolbar);

    static const char* const noNames[] = {nullptr};
    static const GpiScriptNamesInfo names = {0, noNames, noNames};
    RegisterHook(GPIHOOK_ScriptCall, &names);
    RegisterHook(GPIHOOK_ActiveWorkspaceChanged);
    RegisterHook(GPIHOOK_EscapeKey);
    RegisterHook(GPIHOOK_ThemeAdded);
    RegisterHook(GPIHOOK_ThemesRemoved);
    return 0;
}

GPI_EXPORT void fnTerminate(void) {
    if (g_Module == nullptr)
        return;
    delete g_Module->wizardWindow.data();
    delete g_Module;
    g_Module = nullptr;
}

GPI_EXPORT int fnVersion(void) {
    return PIV_Gpi200;
}

GPI_EXPORT const GpiGuid* fnGUID(void) {
    return &g_Guid;
}

} // extern "C"
