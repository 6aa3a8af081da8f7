// Kestrow: checks one shape file and its index and lists every inconsistency.

#include "KestrowDialog.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrow"));
    CKestrowDialog dialog;
    dialog.show();
    return app.exec();
}
