#include "plugins/GpiShapeEditHooks.h"

#include "core/ShapeEditHooks.h"
#include "plugins/GpiHost.h"

void GpiInstallShapeEditHooks() {
    CShapeEditHooks hooks;
    hooks.m_ShapeDeleted = &GpiNotifyShapeDeleted;
    hooks.m_ShapeReplaced = &GpiMoveShapeHandle;
    SetShapeEditHooks(hooks);
}
