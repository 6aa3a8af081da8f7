#include "view/GeoViewServices.h"

#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"

#include <QMenu>

#include <algorithm>
#include <memory>

IMapOverviewDialog::~IMapOverviewDialog() = default;
IGeoViewServices::~IGeoViewServices() = default;

void IGeoViewServices::SetActiveDocument(CCorvaleDoc*) {}

void IGeoViewServices::RegisterContextMenus() {}

bool IGeoViewServices::IsAttributeListBuilderVisible(CCorvaleDoc&) {
    return false;
}

void IGeoViewServices::SetStatusCoordinates(double, double) {}

void IGeoViewServices::ShowContextMenu(CGeoView& view, unsigned menuId, const QPoint& screenPoint) {
    std::unique_ptr<QMenu> menu(view.CreateContextMenu(menuId));
    if (menu)
        menu->exec(screenPoint);
}

std::intptr_t IGeoViewServices::SendLoaderCustomEvent(CCorvaleDoc& document, CTheme* theme, std::uint32_t code) {
    return document.SendLoaderCustomEvent(theme, code);
}

void IGeoViewServices::NotifyLoaderSelectionChanged(CCorvaleDoc& document, CTheme* theme) {
    document.NotifyLoaderSelectionChanged(theme);
}

void IGeoViewServices::ShowWorkspaceProperties(CCorvaleDoc&, int) {}

void IGeoViewServices::OnViewInitialUpdate(CCorvaleDoc& document) { document.OnViewInitialUpdate(); }

void IGeoViewServices::ClearThemeSelection(CCorvaleDoc& document) {
    document.ClearThemeSelection();
}

void IGeoViewServices::SetThemeSelected(CCorvaleDoc& document, CTheme* theme, bool selected) {
    document.SetThemeSelected(theme, selected);
}

void IGeoViewServices::ShowTextInformation(QWidget*, const std::string&, const std::string&) {}

std::unique_ptr<IMapOverviewDialog> IGeoViewServices::CreateMapOverviewDialog() {
    return nullptr;
}

bool IGeoViewServices::ChooseMapImageKind(CGeoView&, int&) {
    return false;
}

bool IGeoViewServices::EditMapSheetSettings(CGeoView&, CMapSheetSettings&) {
    return false;
}

bool IGeoViewServices::CreateImageMap(CGeoView&, const std::string&) {
    return false;
}

namespace {

IGeoViewServices& DefaultServices() {
    static IGeoViewServices services;
    return services;
}

IGeoViewServices* g_Services = nullptr;

} // namespace

IGeoViewServices& GeoViewServices() {
    return g_Services != nullptr ? *g_Services : DefaultServices();
}

void SetGeoViewServices(IGeoViewServices* services) {
    g_Services = services;
}
