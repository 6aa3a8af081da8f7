#pragma once
// The console of a workspace document: how a document makes its console,
// prints on it and clears theme variables, installed into the document's
// console services.

class CConsoleDialog;
class CCorvaleDoc;

// Installs the console services: from then on every document makes its
// console on first use (CCorvaleDoc::GetConsole). The program calls this once
// its main window exists; without a main window documents make no console.
void InstallDocumentConsole();

// Registers the console commands of a document's console, in the order of the
// command list and of matching.
void RegisterDocumentConsoleCommands(CConsoleDialog& console, CCorvaleDoc& document);
