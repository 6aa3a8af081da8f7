#include "workspace/gpi/GpiShapeEditHooks.h"

#include "core/ShapeEditHooks.h"
#include "workspace/gpi/GpiHost.h"

void GpiInstallShapeEditHooks() {
    CShapeEditHooks hooks;
    hooks.m_ShapeDeleted = &GpiNotifyShapeDeleted;
    hooks.m_ShapeReplaced = &GpiMoveShapeHandle;
    SetShapeEditHooks(hooks);
}
