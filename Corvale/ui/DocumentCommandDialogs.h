#pragma once
// The dialogs of the document's selection, theme and edit commands: the
// point count rule, the theme chooser, the information window and the binary
// shape viewer.

#include "workspace/CorvaleDoc.h"

class QWidget;

// Installs the dialogs of these commands (pointCountRule, chooseTheme,
// showInformation, showShapeData and the others) into the document's dialog
// services, with parent as the dialogs' owner.
void InstallDocumentCommandDialogs(CDocumentDialogServices& services, QWidget* parent);
