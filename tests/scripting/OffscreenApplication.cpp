// One QApplication for the whole test program, on the offscreen platform: the
// console window and its panes are real widgets.

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>

namespace {

class OffscreenApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        m_App = std::make_unique<QApplication>(m_Argc, m_Argv);
    }
    void TearDown() override { m_App.reset(); }

private:
    int m_Argc = 1;
    char m_Name[16] = "scripting_tests";
    char* m_Argv[2] = {m_Name, nullptr};
    std::unique_ptr<QApplication> m_App;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication);

} // namespace
