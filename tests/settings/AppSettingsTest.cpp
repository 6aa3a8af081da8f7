#include "settings/AppSettings.h"
#include "settings/ColorTheme.h"
#include "settings/Registry.h"

#include "CommaLocale.h"
#include "TempDir.h"

#include <QByteArray>
#include <QSettings>
#include <QStringList>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// QSettings reads XDG_CONFIG_HOME once, when the first QSettings of the
// process is made, so the variable is pointed at a scratch folder during
// static initialisation, before any test runs.
struct ConfigHome {
    ConfigHome() {
        ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    }
    TempDir dir;
};

ConfigHome& TheConfigHome() {
    static ConfigHome home;
    return home;
}

const ConfigHome& g_configHomeSetEarly = TheConfigHome();

std::string ConfigFolder() { return TheConfigHome().dir.path() + "/Corvale"; }
std::string IniPath() { return ConfigFolder() + "/Corvale2.ini"; }

// Section -> key -> the value text exactly as written in the INI file.
using IniText = std::map<std::string, std::map<std::string, std::string>>;

IniText ReadIni(const std::string& path) {
    IniText ini;
    std::ifstream in(path);
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        ini[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
    return ini;
}

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Every settings test starts from an empty store and leaves none behind.
class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove_all(ConfigFolder()); }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(ConfigFolder(), ec);
        std::filesystem::remove(ConfigFolder(), ec);
    }
};

// --- The fields, as tables -------------------------------------------------

struct IntField {
    const char* name; // registry value name
    int CAppSettings::*member;
    int defaultValue;
    int otherValue; // not the default, within the options pages' range
};

const IntField kIntFields[] = {
    {"LoadToBottom", &CAppSettings::m_LoadToBottom, 1, 0},
    {"Performance", &CAppSettings::m_Performance, 2, 0},
    {"ThemesVisible", &CAppSettings::m_ThemesVisible, 1, 0},
    {"LoadLatestWorkspace", &CAppSettings::m_LoadLatestWorkspace, 0, 1},
    {"UnloadHiddenRasters", &CAppSettings::m_UnloadHiddenRasters, 0, 1},
    {"MouseWheelZoom", &CAppSettings::m_MouseWheelZoom, 1, 0},
    {"LoaderOverride", &CAppSettings::m_LoaderOverride, 0, 1},
    {"DataViewPrecision", &CAppSettings::m_DataViewPrecision, 6, 3},
    {"AutoLocate", &CAppSettings::m_AutoLocate, 0, 1},
    {"DynamicHelpLevel", &CAppSettings::m_DynamicHelpLevel, 0, 2},
    {"ConsoleColorScheme", &CAppSettings::m_ConsoleColorScheme, 1, 0},
    {"ConsoleMaxCallDepth", &CAppSettings::m_ConsoleMaxCallDepth, 20, 77},
    {"ConsoleBufferSize_kB", &CAppSettings::m_ConsoleBufferSize_kB, 8, 16},
    {"LockPlugins", &CAppSettings::m_LockPlugins, 0, 1},
};

struct ColorField {
    const char* name;
    std::uint32_t CAppSettings::*member;
    std::uint32_t defaultValue;
    std::uint32_t otherValue;
};

const ColorField kColorFields[] = {
    {"ColorSelection", &CAppSettings::m_ColorSelection, 0x0000FF, 0x123456},
    {"ColorSelectionOutline", &CAppSettings::m_ColorSelectionOutline, 0x000000, 0x00FF00},
    {"ColorBkgnd", &CAppSettings::m_ColorBkgnd, 0xFFFFFF, 0x202020},
    {"ColorDefault", &CAppSettings::m_ColorDefault, 0xFF0000, 0xABCDEF},
    {"ColorOutline", &CAppSettings::m_ColorOutline, 0x000000, 0x808080},
};

struct StringField {
    std::string name;
    std::function<std::string&(CAppSettings&)> field;
    std::string defaultValue;
    std::string otherValue;
};

std::vector<StringField> StringFields() {
    std::vector<StringField> fields = {
        {"CCTemplate", [](CAppSettings& s) -> std::string& { return s.m_CCTemplate; }, "X: <X>, Y: <Y>",
         "Ost <X> \xE2\x80\x94 Nord <Y>;<TAB>"},
        {"ConsoleAutoRun", [](CAppSettings& s) -> std::string& { return s.m_ConsoleAutoRun; }, "",
         "/home/j\xC3\xB6rg/start up.con"},
    };
    for (int n = 0; n < 6; ++n)
        fields.push_back({"UserScript" + std::to_string(n),
                          [n](CAppSettings& s) -> std::string& { return s.m_UserScripts[n]; }, "",
                          "/scripts/button " + std::to_string(n) + ".js"});
    return fields;
}

const std::vector<CColorTheme> kOtherThemes = {
    CColorTheme("Sea", {0x00112233, 0x00445566}),
    CColorTheme("Sand", {0x0080C0FF}),
};

// Every field set to its "other" value.
void SetOtherValues(CAppSettings& s) {
    for (const auto& f : kIntFields)
        s.*f.member = f.otherValue;
    for (const auto& f : kColorFields)
        s.*f.member = f.otherValue;
    for (const auto& f : StringFields())
        f.field(s) = f.otherValue;
    s.m_ColorThemes = kOtherThemes;
}

void ExpectOtherValues(const CAppSettings& constSettings, const std::string& context) {
    auto& s = const_cast<CAppSettings&>(constSettings);
    for (const auto& f : kIntFields)
        EXPECT_EQ(s.*f.member, f.otherValue) << f.name << " " << context;
    for (const auto& f : kColorFields)
        EXPECT_EQ(s.*f.member, f.otherValue) << f.name << " " << context;
    for (const auto& f : StringFields())
        EXPECT_EQ(f.field(s), f.otherValue) << f.name << " " << context;
    EXPECT_EQ(s.m_ColorThemes, kOtherThemes) << context;
}

// --- The registry file --------------------------------------------------------

TEST_F(AppSettingsTest, TheStoreIsOneIniFileUnderXdgConfigHome) {
    auto settings = corvale::OpenRegistry();
    EXPECT_EQ(settings->format(), QSettings::IniFormat);
    EXPECT_EQ(settings->fileName().toStdString(), IniPath());
    EXPECT_FALSE(settings->fallbacksEnabled());
    EXPECT_FALSE(FileExists(IniPath()));

    CAppSettings s;
    ASSERT_TRUE(s.Save());
    EXPECT_TRUE(FileExists(IniPath()));
}

TEST_F(AppSettingsTest, AnOrganisationWideFileIsNotRead) {
    // QSettings would fall back on Corvale.ini beside Corvale2.ini; the
    // registry had only the application's key.
    WriteText(ConfigFolder() + "/Corvale.ini", "[Settings]\nLoadToBottom=0\nColorBkgnd=255\n");
    CAppSettings s;
    s.Load();
    EXPECT_EQ(s.m_LoadToBottom, 1);
    EXPECT_EQ(s.m_ColorBkgnd, 0xFFFFFFu);
}

// --- Defaults -----------------------------------------------------------------

TEST_F(AppSettingsTest, AFreshObjectHoldsTheDefaultsAndNoThemesOrScripts) {
    CAppSettings s;
    for (const auto& f : kIntFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    for (const auto& f : kColorFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    for (const auto& f : StringFields())
        EXPECT_EQ(f.field(s), f.defaultValue) << f.name;
    EXPECT_TRUE(s.m_ColorThemes.empty());
}

TEST_F(AppSettingsTest, AFreshStoreYieldsTheDefaultsAndTheFiveBuiltInThemes) {
    CAppSettings s;
    SetOtherValues(s);
    s.Load();
    for (const auto& f : kIntFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    for (const auto& f : kColorFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    for (const auto& f : StringFields())
        EXPECT_EQ(f.field(s), f.defaultValue) << f.name;
    EXPECT_EQ(s.m_ColorThemes, GetBuiltInColorThemes());
    // Loading writes nothing.
    EXPECT_FALSE(FileExists(IniPath()));
}

TEST_F(AppSettingsTest, SetDefaultsLeavesThemesAndScriptsAlone) {
    CAppSettings s;
    SetOtherValues(s);
    s.SetDefaults();
    for (const auto& f : kIntFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    for (const auto& f : kColorFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    EXPECT_EQ(s.m_CCTemplate, "X: <X>, Y: <Y>");
    EXPECT_EQ(s.m_ConsoleAutoRun, "");
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(s.m_UserScripts[n], "/scripts/button " + std::to_string(n) + ".js");
    EXPECT_EQ(s.m_ColorThemes, kOtherThemes);
}

TEST(BuiltInColorThemes, AreEarthNeonGreenBlueRedWithTheirColours) {
    const std::vector<CColorTheme> expected = {
        CColorTheme("Earth", {0x8CB4D2, 0x5BADFF, 0x2068FF, 0x008B8B, 0x98FB98, 0x71B33C, 0x009300, 0x8E8E38}),
        CColorTheme("Neon",
                    {0xFF00FF, 0x8000FF, 0xFF0080, 0x00FFFF, 0x00FF80, 0x0080FF, 0xFFFF00, 0xFF8000, 0x80FF00}),
        CColorTheme("Green", {0x004000, 0x008000, 0x00C400, 0x00FF00, 0x40FF40, 0x80FF80, 0xC4FFC4}),
        CColorTheme("Blue", {0x400000, 0x800000, 0xC40000, 0xFF0000, 0xFF4040, 0xFF8080, 0xFFC4C4}),
        CColorTheme("Red", {0x000040, 0x000080, 0x0000C4, 0x0000FF, 0x4040FF, 0x8080FF, 0xC4C4FF}),
    };
    EXPECT_EQ(GetBuiltInColorThemes(), expected);
}

TEST(AppSettingsDefaults, DefaultTexts) {
    EXPECT_EQ(DefaultCopyCoordinateTemplate(), "X: <X>, Y: <Y>");
    EXPECT_EQ(DefaultConsoleAutoRun(), "");
}

TEST(AppSettingsInstance, IsOneObjectForTheProcess) {
    CAppSettings* first = CAppSettings::GetInstance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CAppSettings::GetInstance(), first);
}

// --- Save and load ------------------------------------------------------------

TEST_F(AppSettingsTest, EveryFieldRoundTripsExceptDynamicHelpLevel) {
    CAppSettings saved;
    SetOtherValues(saved);
    ASSERT_TRUE(saved.Save());

    CAppSettings loaded;
    loaded.Load();
    for (const auto& f : kIntFields) {
        const int expected = std::string(f.name) == "DynamicHelpLevel" ? f.defaultValue : f.otherValue;
        EXPECT_EQ(loaded.*f.member, expected) << f.name;
    }
    for (const auto& f : kColorFields)
        EXPECT_EQ(loaded.*f.member, f.otherValue) << f.name;
    for (const auto& f : StringFields())
        EXPECT_EQ(f.field(loaded), f.otherValue) << f.name;
    // The store lists its values sorted by name.
    const std::vector<CColorTheme> sorted = {kOtherThemes[1], kOtherThemes[0]};
    EXPECT_EQ(loaded.m_ColorThemes, sorted);
}

TEST_F(AppSettingsTest, ValuesLandInSectionSettingsUnderTheirNames) {
    CAppSettings saved;
    SetOtherValues(saved);
    ASSERT_TRUE(saved.Save());

    const IniText ini = ReadIni(IniPath());
    ASSERT_EQ(ini.count("Settings"), 1u);
    const auto& section = ini.at("Settings");
    for (const auto& f : kIntFields) {
        if (std::string(f.name) == "DynamicHelpLevel") {
            EXPECT_EQ(section.count(f.name), 0u) << "DynamicHelpLevel is never written";
            continue;
        }
        ASSERT_EQ(section.count(f.name), 1u) << f.name;
        EXPECT_EQ(section.at(f.name), std::to_string(f.otherValue)) << f.name;
    }
    for (const auto& f : kColorFields) {
        ASSERT_EQ(section.count(f.name), 1u) << f.name;
        EXPECT_EQ(section.at(f.name), std::to_string(f.otherValue)) << f.name;
    }
    for (const auto& f : StringFields())
        EXPECT_EQ(section.count(f.name), 1u) << f.name;
    EXPECT_EQ(section.at("UserScript3"), "/scripts/button 3.js");
    EXPECT_EQ(section.count("ColorThemes\\Sea"), 1u);
    EXPECT_EQ(section.count("ColorThemes\\Sand"), 1u);
    // Nothing outside the section: 14 ints less DynamicHelpLevel, 5 colours,
    // 8 strings, 2 themes.
    EXPECT_EQ(ini.size(), 1u);
    EXPECT_EQ(section.size(), 13u + 5u + 8u + 2u);

    // And QSettings reads the same names back.
    auto settings = corvale::OpenRegistry();
    settings->beginGroup("Settings");
    EXPECT_EQ(settings->value("CCTemplate").toString().toStdString(), saved.m_CCTemplate);
    EXPECT_EQ(settings->childGroups(), QStringList{"ColorThemes"});
}

TEST_F(AppSettingsTest, AbsentValuesTakeTheirDefaults) {
    {
        auto settings = corvale::OpenRegistry();
        settings->setValue("Settings/Performance", 1);
        settings->setValue("Settings/UserScript2", "/x.js");
    }
    CAppSettings s;
    SetOtherValues(s);
    s.Load();
    for (const auto& f : kIntFields) {
        const int expected = std::string(f.name) == "Performance" ? 1 : f.defaultValue;
        EXPECT_EQ(s.*f.member, expected) << f.name;
    }
    for (const auto& f : kColorFields)
        EXPECT_EQ(s.*f.member, f.defaultValue) << f.name;
    for (const auto& f : StringFields()) {
        const std::string expected = f.name == "UserScript2" ? "/x.js" : f.defaultValue;
        EXPECT_EQ(f.field(s), expected) << f.name;
    }
    EXPECT_EQ(s.m_ColorThemes, GetBuiltInColorThemes());
}

TEST_F(AppSettingsTest, AnEmptyStoredStringIsKeptEmpty) {
    {
        auto settings = corvale::OpenRegistry();
        settings->setValue("Settings/CCTemplate", QString());
    }
    CAppSettings s;
    s.Load();
    EXPECT_EQ(s.m_CCTemplate, "");
}

TEST_F(AppSettingsTest, HandWrittenValues) {
    // Values as a user might type them into the INI file.
    WriteText(IniPath(), "[Settings]\n"
                         "LoadToBottom=abc\n"          // no integer: the default
                         "Performance= +1 \n"          // blanks and a plus sign
                         "ColorBkgnd=-1\n"             // an int's bits
                         "ColorDefault=4294967295\n"   // a DWORD above INT_MAX
                         "ColorOutline=4294967296\n"   // too large for 32 bits: the default
                         "LockPlugins=4294967295\n"    // a DWORD read into an int
                         "CCTemplate=X: <X>, Y: <Y>\n" // unquoted comma: QSettings makes a list
                         "ConsoleAutoRun=@ByteArray(abc)\n"); // binary, not a string
    CAppSettings s;
    s.Load();
    EXPECT_EQ(s.m_LoadToBottom, 1);
    EXPECT_EQ(s.m_Performance, 1);
    EXPECT_EQ(s.m_ColorBkgnd, 0xFFFFFFFFu);
    EXPECT_EQ(s.m_ColorDefault, 0xFFFFFFFFu);
    EXPECT_EQ(s.m_ColorOutline, 0u);
    EXPECT_EQ(s.m_LockPlugins, -1);
    EXPECT_EQ(s.m_CCTemplate, "X: <X>, Y: <Y>");
    EXPECT_EQ(s.m_ConsoleAutoRun, "");
}

TEST_F(AppSettingsTest, ValuesThatWouldDoHarmAreHeldToTheOptionsRanges) {
    struct Case {
        const char* name;
        int stored;
        int CAppSettings::*member;
        int loaded;
    };
    const Case cases[] = {
        {"DataViewPrecision", 99, &CAppSettings::m_DataViewPrecision, 56},
        {"DataViewPrecision", -5, &CAppSettings::m_DataViewPrecision, 0},
        {"DataViewPrecision", 56, &CAppSettings::m_DataViewPrecision, 56},
        {"ConsoleMaxCallDepth", 0, &CAppSettings::m_ConsoleMaxCallDepth, 1},
        {"ConsoleMaxCallDepth", 100000, &CAppSettings::m_ConsoleMaxCallDepth, 500},
        {"ConsoleBufferSize_kB", 2000000000, &CAppSettings::m_ConsoleBufferSize_kB, 32},
        {"ConsoleBufferSize_kB", 0, &CAppSettings::m_ConsoleBufferSize_kB, 1},
        // The others are taken as stored.
        {"Performance", 7, &CAppSettings::m_Performance, 7},
        {"ConsoleColorScheme", -3, &CAppSettings::m_ConsoleColorScheme, -3},
    };
    for (const Case& c : cases) {
        {
            auto settings = corvale::OpenRegistry();
            settings->setValue(QString("Settings/") + c.name, c.stored);
        }
        CAppSettings s;
        s.Load();
        EXPECT_EQ(s.*c.member, c.loaded) << c.name << " stored as " << c.stored;
    }
}

TEST_F(AppSettingsTest, DynamicHelpLevelIsReadButNeverWritten) {
    WriteText(IniPath(), "[Settings]\nDynamicHelpLevel=3\n");
    CAppSettings s;
    s.Load();
    EXPECT_EQ(s.m_DynamicHelpLevel, 3);

    s.m_DynamicHelpLevel = 7;
    ASSERT_TRUE(s.Save());
    EXPECT_EQ(ReadIni(IniPath()).at("Settings").at("DynamicHelpLevel"), "3");

    CAppSettings again;
    again.Load();
    EXPECT_EQ(again.m_DynamicHelpLevel, 3);
}

TEST_F(AppSettingsTest, SaveFailsWhenTheStoreCannotBeWritten) {
    // A plain file where the Corvale folder should be.
    std::filesystem::create_directories(TheConfigHome().dir.path());
    WriteText(ConfigFolder(), "not a folder");
    CAppSettings s;
    EXPECT_FALSE(s.Save());
    EXPECT_FALSE(SaveColorThemes(GetBuiltInColorThemes()));
    std::filesystem::remove(ConfigFolder());
}

// --- Colour themes in the store -------------------------------------------------

TEST_F(AppSettingsTest, AStoredKeyWithOneThemeYieldsExactlyThatTheme) {
    const CColorTheme only("Only", {0x010203, 0x040506, 0x070809});
    ASSERT_TRUE(SaveColorThemes({only}));
    CAppSettings s;
    s.Load();
    ASSERT_EQ(s.m_ColorThemes.size(), 1u);
    EXPECT_EQ(s.m_ColorThemes[0], only);
}

TEST_F(AppSettingsTest, AnEmptyStoredListGivesBackTheBuiltInThemes) {
    CAppSettings s;
    s.Load();
    s.m_ColorThemes.clear();
    ASSERT_TRUE(s.Save());
    EXPECT_EQ(ReadIni(IniPath()).at("Settings").count("ColorThemes\\Earth"), 0u);

    CAppSettings again;
    again.Load();
    EXPECT_EQ(again.m_ColorThemes, GetBuiltInColorThemes());
}

TEST_F(AppSettingsTest, LoadColorThemesLeavesTheSetWhenTheKeyHoldsNoValues) {
    std::vector<CColorTheme> themes = kOtherThemes;
    EXPECT_TRUE(LoadColorThemes(themes));
    EXPECT_EQ(themes, kOtherThemes);
}

TEST_F(AppSettingsTest, UnreadableValuesAreSkipped) {
    const std::string longName(kMaxColorThemeNameLength, 'n');
    {
        auto settings = corvale::OpenRegistry();
        settings->beginGroup("Settings/ColorThemes");
        settings->setValue("Six bytes", QByteArray(6, '\x01'));
        settings->setValue("Zero bytes", QByteArray());
        settings->setValue("A string", QString("\x01\x02\x03\x04"));
        settings->setValue("Too many colours", QByteArray(kMaxColorThemeDataSize + 4, '\x02'));
        settings->setValue(QString::fromStdString(longName + "n"), QByteArray(4, '\x03'));
        // At the limits: read.
        settings->setValue("Most colours", QByteArray(kMaxColorThemeDataSize, '\x04'));
        settings->setValue(QString::fromStdString(longName), QByteArray(4, '\x05'));
        settings->setValue("Fine", QByteArray("\x11\x22\x33\x00", 4));
    }
    std::vector<CColorTheme> themes = kOtherThemes;
    ASSERT_TRUE(LoadColorThemes(themes));
    ASSERT_EQ(themes.size(), 3u);
    EXPECT_EQ(themes[0], CColorTheme("Fine", {0x00332211}));
    EXPECT_EQ(themes[1].m_Name, "Most colours");
    EXPECT_EQ(themes[1].m_Colors, std::vector<std::uint32_t>(1024, 0x04040404));
    EXPECT_EQ(themes[2], CColorTheme(longName, {0x05050505}));
}

TEST_F(AppSettingsTest, AKeyHoldingOnlyUnreadableValuesEmptiesTheSet) {
    // The key holds a value, so the stored set counts, even though none of it
    // can be read.
    {
        auto settings = corvale::OpenRegistry();
        settings->setValue("Settings/ColorThemes/Broken", QByteArray(6, '\x01'));
    }
    CAppSettings s;
    s.Load();
    EXPECT_TRUE(s.m_ColorThemes.empty());
}

TEST_F(AppSettingsTest, SavingRemovesThemesNoLongerInTheSet) {
    ASSERT_TRUE(SaveColorThemes(GetBuiltInColorThemes()));
    ASSERT_TRUE(SaveColorThemes({CColorTheme("Neon", {0x1}), CColorTheme("Mine", {0x2})}));
    std::vector<CColorTheme> themes;
    ASSERT_TRUE(LoadColorThemes(themes));
    const std::vector<CColorTheme> expected = {CColorTheme("Mine", {0x2}), CColorTheme("Neon", {0x1})};
    EXPECT_EQ(themes, expected);
}

TEST_F(AppSettingsTest, SavingLeavesSubkeysOfColorThemesAlone) {
    {
        auto settings = corvale::OpenRegistry();
        settings->setValue("Settings/ColorThemes/Sub/Value", 1);
    }
    ASSERT_TRUE(SaveColorThemes({CColorTheme("A", {0x1})}));
    auto settings = corvale::OpenRegistry();
    EXPECT_EQ(settings->value("Settings/ColorThemes/Sub/Value").toInt(), 1);
}

TEST_F(AppSettingsTest, ALaterThemeOfTheSameNameReplacesTheEarlier) {
    ASSERT_TRUE(SaveColorThemes({CColorTheme("Twice", {0x1}), CColorTheme("Twice", {0x2, 0x3})}));
    std::vector<CColorTheme> themes;
    ASSERT_TRUE(LoadColorThemes(themes));
    ASSERT_EQ(themes.size(), 1u);
    EXPECT_EQ(themes[0], CColorTheme("Twice", {0x2, 0x3}));
}

TEST_F(AppSettingsTest, AThemeWithoutColoursIsWrittenEmptyAndNotReadBack) {
    ASSERT_TRUE(SaveColorThemes({CColorTheme("Empty", {}), CColorTheme("Full", {0x1})}));
    {
        auto settings = corvale::OpenRegistry();
        const QVariant value = settings->value("Settings/ColorThemes/Empty");
        EXPECT_EQ(value.typeId(), QMetaType::QByteArray);
        EXPECT_TRUE(value.toByteArray().isEmpty());
    }
    std::vector<CColorTheme> themes;
    ASSERT_TRUE(LoadColorThemes(themes));
    ASSERT_EQ(themes.size(), 1u);
    EXPECT_EQ(themes[0].m_Name, "Full");
}

TEST_F(AppSettingsTest, ThemeNamesRoundTrip) {
    const std::vector<std::string> names = {
        "With space", " leading and trailing ", "North/South", "/", "//a//", "back\\slash", "100%",
        "%2F literally", "%", "", "K\xC3\xB6ln \xE2\x80\x94 \xE5\x9C\xB0\xE5\x9B\xB3", "a=b;c#d[e]", "General",
    };
    std::vector<CColorTheme> saved;
    for (std::size_t i = 0; i < names.size(); ++i)
        saved.emplace_back(names[i], std::vector<std::uint32_t>{static_cast<std::uint32_t>(i + 1)});
    ASSERT_TRUE(SaveColorThemes(saved));

    std::vector<CColorTheme> loaded;
    ASSERT_TRUE(LoadColorThemes(loaded));
    ASSERT_EQ(loaded.size(), saved.size());
    for (const CColorTheme& theme : saved) {
        bool found = false;
        for (const CColorTheme& back : loaded)
            found = found || back == theme;
        EXPECT_TRUE(found) << "\"" << theme.m_Name << "\"";
    }
    // A '/' made no group of its own.
    auto settings = corvale::OpenRegistry();
    settings->beginGroup("Settings/ColorThemes");
    EXPECT_TRUE(settings->childGroups().isEmpty());
    EXPECT_EQ(settings->childKeys().size(), static_cast<qsizetype>(names.size()));
}

TEST_F(AppSettingsTest, ColoursAreStoredAsLittleEndianWords) {
    ASSERT_TRUE(SaveColorThemes({CColorTheme("Earth", {0x8CB4D2, 0x11223344})}));
    auto settings = corvale::OpenRegistry();
    const QVariant value = settings->value("Settings/ColorThemes/Earth");
    ASSERT_EQ(value.typeId(), QMetaType::QByteArray);
    const QByteArray expected("\xD2\xB4\x8C\x00\x44\x33\x22\x11", 8);
    EXPECT_EQ(value.toByteArray(), expected);
    EXPECT_EQ(ReadIni(IniPath()).at("Settings").count("ColorThemes\\Earth"), 1u);
}

TEST(ColorThemeData, EncodesAndDecodes) {
    EXPECT_EQ(EncodeColorThemeData({0x00C4C4FF, 0xFF000000}), QByteArray("\xFF\xC4\xC4\x00\x00\x00\x00\xFF", 8));
    EXPECT_TRUE(EncodeColorThemeData({}).isEmpty());

    struct Case {
        QByteArray data;
        bool ok;
    };
    const Case cases[] = {
        {QByteArray(), false},
        {QByteArray(3, '\1'), false},
        {QByteArray(6, '\1'), false},
        {QByteArray(4, '\1'), true},
        {QByteArray(4096, '\1'), true},
        {QByteArray(4100, '\1'), false},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> colors = {42};
        EXPECT_EQ(DecodeColorThemeData(c.data, colors), c.ok) << c.data.size() << " bytes";
        if (c.ok)
            EXPECT_EQ(colors.size(), static_cast<std::size_t>(c.data.size() / 4));
        else
            EXPECT_EQ(colors, std::vector<std::uint32_t>{42});
    }
}

TEST(RegistryValueName, EncodesTheCharactersQSettingsWouldTakeApart) {
    struct Case {
        std::string name;
        QString key;
    };
    const Case cases[] = {
        {"Earth", "Earth"},         {"With space", "With space"}, {"a/b", "a%2Fb"},
        {"a\\b", "a%5Cb"},          {"100%", "100%25"},           {"%2F", "%252F"},
        {"", "%"},                  {"%", "%25"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corvale::EncodeRegistryValueName(c.name), c.key) << c.name;
        EXPECT_EQ(corvale::DecodeRegistryValueName(c.key), c.name) << c.name;
    }
    // Hand-written keys with a '%' that starts no escape read as written.
    EXPECT_EQ(corvale::DecodeRegistryValueName("50% off"), "50% off");
    EXPECT_EQ(corvale::DecodeRegistryValueName("a%2fb"), "a/b");
    EXPECT_EQ(corvale::DecodeRegistryValueName("end%2"), "end%2");
}

// --- Copying --------------------------------------------------------------------

TEST(AppSettingsCopy, AssignmentCopiesEveryField) {
    CAppSettings source;
    SetOtherValues(source);
    CAppSettings target;
    target.m_ColorThemes = GetBuiltInColorThemes();
    target = source;
    ExpectOtherValues(target, "after operator=");

    const CAppSettings copy(source);
    ExpectOtherValues(copy, "after copy construction");

    // The copy is independent of its source.
    source.m_ColorThemes[0].m_Colors.push_back(0x1);
    source.m_UserScripts[0] = "changed";
    ExpectOtherValues(target, "after changing the source");
}

// --- Colour theme record ----------------------------------------------------------

TEST(ColorTheme, GetColorCyclesThroughTheList) {
    const CColorTheme theme("Three", {0x1, 0x2, 0x3});
    const std::uint32_t expected[] = {0x1, 0x2, 0x3, 0x1, 0x2, 0x3, 0x1};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(theme.GetColor(i), expected[i]) << i;
    EXPECT_EQ(theme.GetColor(-1), 0x3u);
    EXPECT_EQ(theme.GetColor(-3), 0x1u);
    EXPECT_EQ(CColorTheme("None", {}).GetColor(0), 0u);
    EXPECT_EQ(CColorTheme("None", {}).GetColor(5), 0u);
}

TEST(ColorTheme, AssignReplacesNameAndColours) {
    CColorTheme theme("Old", {0x1, 0x2, 0x3});
    theme.Assign(CColorTheme("New", {0x9}));
    EXPECT_EQ(theme.m_Name, "New");
    EXPECT_EQ(theme.m_Colors, std::vector<std::uint32_t>{0x9});
}

// --- Coordinate text ----------------------------------------------------------------


TEST(CopyCoordinate, FillsTheTemplate) {
    CommaLocale comma;
    ASSERT_TRUE(comma.ok()) << "the de_DE.UTF-8 locale is missing; scripts/setup.sh generates it";

    struct Case {
        const char* tmpl;
        int precision;
        double x, y;
        const char* text;
    };
    const Case cases[] = {
        {"<X><TAB><Y>", 2, 3.25, 2.0, "3.25\t2.00"},
        {"X: <X>, Y: <Y>", 6, 1.5, -2.25, "X: 1.500000, Y: -2.250000"},
        {"<Y>,<X>,<X>", 0, 2.5, 3.5, "4,2,2"}, // printf rounds half to even
        {"no placeholders", 3, 1.0, 2.0, "no placeholders"},
        {"<x> <TAB", 3, 1.0, 2.0, "<x> <TAB"},
        {"", 3, 1.0, 2.0, ""},
    };
    for (const Case& c : cases) {
        CAppSettings s;
        s.m_CCTemplate = c.tmpl;
        s.m_DataViewPrecision = c.precision;
        EXPECT_EQ(s.FormatCopyCoordinate(c.x, c.y), c.text) << c.tmpl;
    }
}

TEST(CopyCoordinate, FormatDecimal) {
    CommaLocale comma;
    ASSERT_TRUE(comma.ok());
    EXPECT_EQ(FormatDecimal(6, 1.5), "1.500000");
    EXPECT_EQ(FormatDecimal(0, 0.5), "0");
    EXPECT_EQ(FormatDecimal(3, -0.0005), "-0.001");
    EXPECT_EQ(FormatDecimal(-4, 12.7), "13");
    EXPECT_EQ(FormatDecimal(20, 0.1), "0.10000000000000000555");
    // Held to 56 decimals: the widest the options page allows.
    EXPECT_EQ(FormatDecimal(80, 1.0), "1." + std::string(56, '0'));
    EXPECT_EQ(FormatDecimal(56, -1.7976931348623157e308).size(), 1u + 309u + 1u + 56u);
    EXPECT_EQ(FormatDecimal(2, std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatDecimal(2, -std::numeric_limits<double>::infinity()), "-inf");
}

} // namespace
