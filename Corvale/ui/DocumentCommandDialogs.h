#pragma once
// The dialogs of the document's selection and theme commands: the point
// count rule, the theme chooser and the information window.

#include "workspace/CorvaleDoc.h"

class QWidget;

// Installs pointCountRule, chooseTheme and showInformation into the
// document's dialog services, with parent as the dialogs' owner.
void InstallDocumentCommandDialogs(CDocumentDialogServices& services, QWidget* parent);
