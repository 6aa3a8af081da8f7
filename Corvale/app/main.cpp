// Corvale: starts the application on the arguments given.

#include "app/CorvaleApp.h"
#include "scripting/JSHandler.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvale"));
    // Ties the windows to the installed corvale.desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvale"));

    int result = 1;
    {
        CCorvaleApp app;
        QStringList arguments = QApplication::arguments();
        if (!arguments.isEmpty())
            arguments.removeFirst();
        if (app.InitInstance(arguments))
            result = QApplication::exec();
        const int exitCode = app.ExitInstance();
        if (result == 0)
            result = exitCode;
    }
    // Every document and script handler has gone with the application: the
    // engine ends here, once, before any static object is destroyed.
    ShutDownScriptEngine();
    return result;
}
