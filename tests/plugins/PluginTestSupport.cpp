#include "PluginTestSupport.h"

#include <cstdlib>
#include <iterator>
#include <memory>

namespace {

// Settings go to a scratch folder, never to the user's configuration.
class PluginTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_Config = std::make_unique<TempDir>();
        setenv("XDG_CONFIG_HOME", m_Config->path().c_str(), 1);
        m_App.SetUp();
    }
    void TearDown() override {
        m_App.TearDown();
        m_Config.reset();
    }

private:
    std::unique_ptr<TempDir> m_Config;
    OffscreenApplication<QApplication> m_App;
};

const auto* const g_Environment = ::testing::AddGlobalTestEnvironment(new PluginTestEnvironment);

} // namespace

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
