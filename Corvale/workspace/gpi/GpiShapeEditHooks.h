#pragma once
// Connects the data model's record edits to the plug-in host (see
// core/ShapeEditHooks.h): a shape a theme deletes is announced to the
// plug-ins subscribed to GPIHOOK_ShapeDeleted and loses its handle
// (GpiNotifyShapeDeleted), and a record a theme replaces by a copy hands its
// handle on to the copy (GpiMoveShapeHandle).
//
// Called once at start-up, before plug-ins are loaded; calling it again
// changes nothing.
void GpiInstallShapeEditHooks();
