#pragma once
// The dialogs of the Export command, installed into its services: the
// "Export Format" chooser and the "Export to Shape File" confirmation.

struct CDocumentExportServices;
class QWidget;

// Sets chooseFormat (CCustomExporterDialog) and confirmShapeExport
// (CExportShapeConfirmationDialog), both owned by parent while it lives.
void InstallExportDialogs(CDocumentExportServices& services, QWidget* parent);
