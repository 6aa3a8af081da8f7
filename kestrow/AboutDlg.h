#pragma once
// "About Kestrow": the program's icon, its version and the copyright line,
// closed with OK.

#include <QDialog>

class CAboutDlg : public QDialog {
public:
    // The checker's own version, apart from the main program's.
    static const char* const kVersion;

    explicit CAboutDlg(QWidget* parent = nullptr);
};
