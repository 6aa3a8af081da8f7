#pragma once
// One Qt application object for a whole test program, on the offscreen
// platform so no display is needed. App is QGuiApplication for drawing tests
// and QApplication for widget tests. Register it once per program:
//   ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

#include <QByteArray>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

template <class App> class OffscreenApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        if (QCoreApplication::instance() == nullptr)
            m_App = std::make_unique<App>(m_Argc, m_Argv);
    }
    void TearDown() override { m_App.reset(); }

private:
    int m_Argc = 1;
    char m_Name[6] = "tests";
    char* m_Argv[2] = {m_Name, nullptr};
    std::unique_ptr<App> m_App;
};
