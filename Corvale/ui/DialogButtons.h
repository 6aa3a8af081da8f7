#pragma once
// The OK and Cancel buttons of the program's dialogs, with the ids IDOK (1)
// and IDCANCEL (2) as object names, wired to accept() and reject().

class QDialog;
class QDialogButtonBox;

constexpr int IDC_DIALOG_OK = 1;
constexpr int IDC_DIALOG_CANCEL = 2;

QDialogButtonBox* CreateOkCancelButtons(QDialog* dialog);
