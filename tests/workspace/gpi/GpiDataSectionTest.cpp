// The plug-ins' data sections in workspace files: the layout, a save and
// reload that hands every block to its plug-in, the theme's blocks and the
// workspace they belong to, and damaged sections.

#include "GpiTestPlugins.h"

#include "core/GpiDataBlockList.h"
#include "core/Theme.h"
#include "platform/Archive.h"
#include "workspace/CorvaleDoc.h"

#include <algorithm>
#include <functional>

namespace {

const std::string kUnknownGuid = "{ffffffff-0000-0000-0000-000000000001}";

GpiDataBlock Block(const std::string& name, std::vector<unsigned char> data) {
    GpiDataBlock block;
    block.m_PluginName = name;
    block.m_Data = std::move(data);
    return block;
}

bool SameBlocks(const std::vector<GpiDataBlock>& a, const std::vector<GpiDataBlock>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const GpiDataBlock& x, const GpiDataBlock& y) {
                          return x.m_PluginName == y.m_PluginName && x.m_Data == y.m_Data;
                      });
}

std::vector<unsigned char> StoreWorkspaceSection(CCorvaleDoc& document) {
    CArchive archive;
    SerializeGpiWorkspaceData(&document, archive);
    return archive.GetStored();
}

std::vector<unsigned char> StoreThemeSection(CTheme& theme) {
    CArchive archive;
    SerializeGpiThemeData(archive, &theme, nullptr);
    return archive.GetStored();
}

} // namespace

using GpiDataSection = GpiRealPluginTest;

TEST_F(GpiDataSection, ASectionIsVersionCountThenMarkerNameSizeAndBytesPerBlock) {
    CCorvaleDoc document;
    document.m_gpiDataBlocks = {Block("{x}", {0x01, 0x02}), Block("", {})};
    const std::vector<unsigned char> expected = {
        1, 0, 0, 0,                          // version
        2, 0, 0, 0,                          // count
        1, 0, 0, 0, 3,    '{',  'x', '}',    // marker, name
        2, 0, 0, 0, 0x01, 0x02,              // size, data
        1, 0, 0, 0, 0,    0,    0,   0,   0, // marker, empty name, size 0
    };
    EXPECT_EQ(StoreWorkspaceSection(document), expected);

    CTheme theme;
    EXPECT_EQ(StoreThemeSection(theme), (std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(GpiDataSection, BlocksSurviveASaveAndReloadAndReachTheirPluginsOnly) {
    AddPluginFile("valid_a", "a.gpi");
    AddPluginFile("valid_b", "b.gpi");
    LoadGpiPlugins(m_Folder.path());
    ASSERT_EQ(Listed().size(), 2u);
    ObserveAll();

    CCorvaleDoc saved;
    saved.m_gpiDataBlocks = {
        Block("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8A1}", {1, 2, 3}), // valid_a's, in capitals
        Block(kUnknownGuid, {9, 8, 7}),                             // no plug-in of that GUID
        Block(kGuidB, {}), // empty: kept, delivered to nobody
    };
    const std::vector<unsigned char> bytes = StoreWorkspaceSection(saved);

    // Another workspace is active while the file is read.
    CCorvaleDoc active;
    GpiFrameServices frame;
    frame.activeDocument = [&active] { return &active; };
    GpiSetFrameServices(frame);

    CCorvaleDoc read;
    read.m_gpiDataBlocks = {Block("stale", {0})};
    CArchive loading(bytes.data(), bytes.size());
    SerializeGpiWorkspaceData(&read, loading);
    EXPECT_EQ(loading.GetRemaining(), 0u);

    EXPECT_TRUE(SameBlocks(read.m_gpiDataBlocks, saved.m_gpiDataBlocks));
    ASSERT_EQ(m_Events.size(), 1u);
    EXPECT_EQ(m_Events[0].plugin, "valid_a");
    EXPECT_EQ(m_Events[0].hookType, static_cast<std::uint32_t>(GPIHOOK_DataLoaded));
    EXPECT_EQ(m_Events[0].workspace, GpiWorkspaceHandle(&read));
    EXPECT_EQ(m_Events[0].words, (std::vector<std::uint32_t>{0xA0, 0, 3}));
    EXPECT_EQ(m_Events[0].data, (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_TRUE(m_Ui.shown.empty());

    // Saved again, the unknown block and the empty one go out unchanged.
    EXPECT_EQ(StoreWorkspaceSection(read), bytes);
}

TEST_F(GpiDataSection, ThemeBlocksReachThePluginsWithTheWorkspaceBeingRead) {
    AddPluginFile("valid_b", "b.gpi");
    LoadGpiPlugins(m_Folder.path());
    ObserveAll();

    CTheme savedTheme;
    savedTheme.m_GpiData = {Block(kGuidB, {5, 6}), Block(kUnknownGuid, {4})};
    const std::vector<unsigned char> bytes = StoreThemeSection(savedTheme);

    CCorvaleDoc active;
    auto* activeTheme = new CTheme;
    active.m_themes = {activeTheme};
    GpiFrameServices frame;
    frame.activeDocument = [&active] { return &active; };
    GpiSetFrameServices(frame);

    // The theme being read is not in its workspace's list yet.
    CCorvaleDoc reading;
    auto* theme = new CTheme;
    CCorvaleDoc* documentInside = nullptr;
    std::size_t activeThemesInside = 0;
    m_DuringEvent = [&](const GpiObservedEvent& event, void* args) {
        if (event.hookType != GPIHOOK_DataLoaded)
            return;
        const auto* block = static_cast<const GpiHookDataLoadedArgs*>(args);
        documentInside = GpiDocumentOfTheme(GpiThemeFromHandle(block->theme));
        activeThemesInside = active.m_themes.size();
    };
    CArchive loading(bytes.data(), bytes.size());
    SerializeGpiThemeData(loading, theme, &reading);

    EXPECT_TRUE(SameBlocks(theme->m_GpiData, savedTheme.m_GpiData));
    ASSERT_EQ(m_Events.size(), 1u);
    EXPECT_EQ(m_Events[0].workspace, GpiWorkspaceHandle(&reading));
    EXPECT_EQ(m_Events[0].words, (std::vector<std::uint32_t>{0xB0, GpiThemeHandle(theme), 2}));
    EXPECT_EQ(m_Events[0].data, (std::vector<unsigned char>{5, 6}));
    EXPECT_EQ(documentInside, &reading)
        << "during the call the theme belongs to the workspace being read";
    EXPECT_EQ(activeThemesInside, 1u) << "the active workspace is left alone";
    EXPECT_TRUE(reading.m_themes.empty()) << "and afterwards it is not listed there";
    EXPECT_EQ(active.m_themes, std::vector<CTheme*>{activeTheme});

    // A theme already in its workspace stays there once.
    m_Events.clear();
    reading.m_themes = {theme};
    CArchive again(bytes.data(), bytes.size());
    SerializeGpiThemeData(again, theme, &reading);
    EXPECT_EQ(m_Events.size(), 1u);
    EXPECT_EQ(reading.m_themes, std::vector<CTheme*>{theme});
}

TEST_F(GpiDataSection, APluginThatThrowsOnItsDataIsReportedAndTheLoadGoesOn) {
    AddPluginFile("valid_a", "a.gpi");
    AddPluginFile("valid_b", "b.gpi");
    LoadGpiPlugins(m_Folder.path());
    ObserveAll();
    Control(Listed().at(0))->throwOnHook = GPIHOOK_DataLoaded;

    CCorvaleDoc saved;
    saved.m_gpiDataBlocks = {Block(kGuidA, {1}), Block(kGuidB, {2})};
    const std::vector<unsigned char> bytes = StoreWorkspaceSection(saved);
    CCorvaleDoc read;
    CArchive loading(bytes.data(), bytes.size());
    EXPECT_NO_THROW(SerializeGpiWorkspaceData(&read, loading));

    EXPECT_EQ(m_Ui.Messages(), std::vector<std::string>{"Unhandled exception from GPI plug-in."});
    ASSERT_EQ(m_Events.size(), 2u);
    EXPECT_EQ(m_Events[1].plugin, "valid_b");
    EXPECT_TRUE(SameBlocks(read.m_gpiDataBlocks, saved.m_gpiDataBlocks));
}

namespace {

// Bytes of a section written field by field.
struct SectionBuilder {
    CArchive archive;
    SectionBuilder& U32(std::uint32_t value) {
        archive.WriteU32(value);
        return *this;
    }
    SectionBuilder& Text(const std::string& text) {
        archive.WriteString(text);
        return *this;
    }
    SectionBuilder& Bytes(std::vector<unsigned char> bytes) {
        archive.WriteBytes(bytes.data(), bytes.size());
        return *this;
    }
    std::vector<unsigned char> Done() { return archive.GetStored(); }
};

} // namespace

TEST_F(GpiDataSection, DamagedOrUnknownSectionsAreRefusedAndChangeNothing) {
    // A listening plug-in, so that a delivery would show.
    int deliveries = 0;
    const std::uint32_t identity = AddPlugin(
        [&deliveries](std::uint32_t, std::uint32_t, void*) {
            ++deliveries;
            return 0;
        },
        "{00000000-0000-0000-0000-00000000000a}");
    Subscribe(identity, GPIHOOK_DataLoaded, 1);
    const std::string name = "{00000000-0000-0000-0000-00000000000a}";

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"nothing there", {}, CArchiveException::EndOfFile},
        {"version only", SectionBuilder().U32(1).Done(), CArchiveException::EndOfFile},
        {"a later version", SectionBuilder().U32(2).U32(0).Done(), CArchiveException::BadSchema},
        {"version 0", SectionBuilder().U32(0).U32(0).Done(), CArchiveException::BadSchema},
        {"a count the bytes cannot hold",
         SectionBuilder().U32(1).U32(0x7FFFFFFF).U32(1).Text(name).U32(0).Done(),
         CArchiveException::BadData},
        {"the last block missing",
         SectionBuilder().U32(1).U32(2).U32(1).Text(name).U32(1).Bytes({7}).U32(1).Done(),
         CArchiveException::EndOfFile},
        {"a name longer than the rest",
         SectionBuilder()
             .U32(1)
             .U32(1)
             .U32(1)
             .Bytes({200, '{', '}'})
             .Bytes(std::vector<unsigned char>(8, 0))
             .Done(),
         CArchiveException::EndOfFile},
        {"a size beyond the end",
         SectionBuilder().U32(1).U32(1).U32(1).Text(name).U32(5).Bytes({1, 2}).Done(),
         CArchiveException::EndOfFile},
        {"the largest size",
         SectionBuilder().U32(1).U32(1).U32(1).Text(name).U32(0xFFFFFFFF).Bytes({1}).Done(),
         CArchiveException::EndOfFile},
    };
    const std::vector<GpiDataBlock> before = {Block("kept", {1, 2})};
    for (const Case& c : cases) {
        CCorvaleDoc document;
        document.m_gpiDataBlocks = before;
        CArchive workspace(c.bytes.data(), c.bytes.size());
        try {
            SerializeGpiWorkspaceData(&document, workspace);
            ADD_FAILURE() << c.what << ": workspace section accepted";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, c.cause) << c.what;
        }
        EXPECT_TRUE(SameBlocks(document.m_gpiDataBlocks, before)) << c.what;

        CTheme theme;
        theme.m_GpiData = before;
        CArchive themeArchive(c.bytes.data(), c.bytes.size());
        try {
            SerializeGpiThemeData(themeArchive, &theme, &document);
            ADD_FAILURE() << c.what << ": theme section accepted";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, c.cause) << c.what;
        }
        EXPECT_TRUE(SameBlocks(theme.m_GpiData, before)) << c.what;
    }
    EXPECT_EQ(deliveries, 0) << "a damaged section reaches no plug-in";
    EXPECT_TRUE(m_Ui.shown.empty());

    // The same bytes made whole are read.
    const std::vector<unsigned char> whole =
        SectionBuilder().U32(1).U32(1).U32(1).Text(name).U32(2).Bytes({1, 2}).Done();
    CCorvaleDoc document;
    CArchive archive(whole.data(), whole.size());
    SerializeGpiWorkspaceData(&document, archive);
    EXPECT_EQ(deliveries, 1);
}

TEST(GpiDataBlocks, SettingABlockReplacesTheOneWithItsNameIgnoringCaseOrAppends) {
    struct Step {
        GpiDataBlock block;
        std::vector<std::pair<std::string, std::vector<unsigned char>>> after;
    };
    const Step steps[] = {
        {Block("{aa}", {1}), {{"{aa}", {1}}}},
        {Block("{bb}", {2}), {{"{aa}", {1}}, {"{bb}", {2}}}},
        {Block("{AA}", {3, 3}), {{"{AA}", {3, 3}}, {"{bb}", {2}}}},
        {Block("{bB}", {}), {{"{AA}", {3, 3}}, {"{bB}", {}}}},
    };
    CTheme theme;
    CCorvaleDoc document;
    for (const Step& step : steps) {
        theme.SetGpiDataBlock(step.block);
        SetGpiWorkspaceDataBlock(&document, step.block);
        for (const auto* list : {&theme.m_GpiData, &document.m_gpiDataBlocks}) {
            std::vector<std::pair<std::string, std::vector<unsigned char>>> got;
            for (const GpiDataBlock& block : *list)
                got.emplace_back(block.m_PluginName, block.m_Data);
            EXPECT_EQ(got, step.after) << step.block.m_PluginName;
        }
    }
    // A block of the list handed back in leaves the list as it is.
    theme.SetGpiDataBlock(theme.m_GpiData[1]);
    SetGpiDataBlockInList(theme.m_GpiData, theme.m_GpiData[0]);
    ASSERT_EQ(theme.m_GpiData.size(), 2u);
    EXPECT_EQ(theme.m_GpiData[0].m_Data, (std::vector<unsigned char>{3, 3}));
    EXPECT_EQ(theme.m_GpiData[1].m_PluginName, "{bB}");
}
