// One QGuiApplication for the whole test program: drawing into QImages needs
// none, but the styles are drawn by a program that has one, and fonts and
// pixmaps would need it. The offscreen platform keeps it off any display.

#include <QByteArray>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class OffscreenGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        m_App = std::make_unique<QGuiApplication>(m_Argc, m_Argv);
    }
    void TearDown() override { m_App.reset(); }

private:
    int m_Argc = 1;
    char m_Name[16] = "styles_tests";
    char* m_Argv[2] = {m_Name, nullptr};
    std::unique_ptr<QGuiApplication> m_App;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenGuiEnvironment);

} // namespace
