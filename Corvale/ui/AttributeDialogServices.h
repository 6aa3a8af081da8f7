#pragma once
// Puts the attribute dialogs into the document's dialog services, so that
// the document's commands reach them without knowing about widgets.

struct CDocumentDialogServices;
class QWidget;

// Sets manageAttributes and mergeAttributes; the dialogs open over parent.
void InstallAttributeDialogs(CDocumentDialogServices& services, QWidget* parent);
