#include "view/GeoViewServices.h"

#include "workspace/CorvaleDoc.h"


IMapOverviewDialog::~IMapOverviewDialog() = default;
IGeoViewServices::~IGeoViewServices() = default;

void IGeoViewServices::SetActiveDocument(CCorvaleDoc*) {}

void IGeoViewServices::RegisterContextMenus() {}

bool IGeoViewServices::IsAttributeListBuilderVisible(CCorvaleDoc&) {
    return false;
}

std::intptr_t IGeoViewServices::SendLoaderCustomEvent(CCorvaleDoc&, CTheme*, std::uint32_t) {
    return 0;
}

void IGeoViewServices::NotifyLoaderSelectionChanged(CCorvaleDoc&, CTheme*) {}

void IGeoViewServices::ShowWorkspaceProperties(CCorvaleDoc&, int) {}

void IGeoViewServices::OnViewInitialUpdate(CCorvaleDoc&) {}

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

void IGeoViewServices::SaveMapImage(CGeoView&) {}

bool IGeoViewServices::SaveMapImageToFile(CGeoView&, const CSaveMapImageRequest&) {
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
