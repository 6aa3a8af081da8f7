#pragma once
// One open workspace: its themes (owned, in drawing order), the map extent,
// the tool mode, the bookmarks, the reference system and the plug-in data.
// It carries the workspace's commands and announces every change through its
// update event.

#include "core/GpiDataBlock.h"
#include "platform/Document.h"
#include "workspace/BookmarkRecord.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/MapToolMode.h"

#include <cstdint>
#include <string>
#include <vector>

class CTheme;

// Data of DUE_SaveMapImageToFile: the view saves its picture and writes the result.
struct CSaveMapImageRequest {
    std::string m_Path;
    // Zero: choose the image format by the file extension.
    unsigned char m_Encoder[16] = {};
    bool m_Silent = true;
    const std::uint32_t* m_Color = nullptr;
    bool m_Result = false;
};

class CCorvaleDoc : public CDocument {
public:
    CCorvaleDoc();
    ~CCorvaleDoc() override;

    // True when the document's own flag or any theme's modified flag is set.
    bool IsModified() override;
    void SetModifiedFlag(bool modified = true) override;
    bool OnNewDocument() override;
    void OnCloseDocument() override;
    // Sets the document's flag when a theme was modified, so that closing asks
    // to save, then lets the frame close.
    bool CanCloseFrame() override;
    bool OnCmdMsg(unsigned id, CCmdUI* ui) override;

    // Notifies every subscriber in subscription order.
    void FireUpdateEvent(const void* sender, int code, std::intptr_t data);
    // The document's own subscription: passes active-theme and selection
    // changes on to the plug-ins.
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);
    // Asks the view to save the map picture silently; the view's answer.
    bool RequestSaveMapImage(const std::string& path, const std::uint32_t* color);

    std::vector<CTheme*> m_themes;
    // minX, minY, maxX, maxY.
    double m_viewExtent[4] = {0.0, 0.0, 0.0, 0.0};
    std::vector<GpiDataBlock> m_gpiDataBlocks;
    CDocumentUpdateEvent m_updateEvent;
    std::uint32_t m_toolMode = MT_Select;
    unsigned char m_vertexMode = 0;
    unsigned char m_showBoundingBoxes = 0;
    // The theme that the record callbacks of loading code append to; not owned.
    CTheme* m_loaderTargetTheme = nullptr;
    // Null when there is no theme or several themes are selected.
    CTheme* m_activeTheme = nullptr;
    // The attribute pane, which takes the table commands.
    CMessageWindow* m_commandWindow = nullptr;
    // The map view, which takes the view messages.
    CMessageWindow* m_mapView = nullptr;
    std::uint32_t m_openPropertiesFlag = 0;
    CMessageWindow* m_console = nullptr;
    // Console debug flags: 1 mouse, 2 loading, 4 plug-ins, 8 scripts.
    unsigned char m_debugFlags = 8;
    // From the settings' ColorBkgnd.
    std::uint32_t m_backgroundColor;
    // Index into the reference-system table; -1 for none.
    int m_refSystem = -1;
    // Radius in metres of the sphere on which ground distances and scales are measured.
    double m_earthRadius = 6361442.043;
    float m_vectorizationTolerance = 20.0f;
    float m_vectorizationResolution = 0.0390625f;
    std::string m_description;
    double m_gridSpacingX = 1.0;
    double m_gridSpacingY = 1.0;
    unsigned char m_autoSnap = 0;
    int m_viewCount = 0;
    // Themes selected in the legend; not owned.
    std::vector<CTheme*> m_selectedThemes;
    std::vector<CBookmarkRecord*> m_bookmarks;
    int m_nextBookmarkNumber = 1;

private:
    void SetToolMode(std::uint32_t mode) { m_toolMode = mode; }
    // Whether the active theme exists and may be edited.
    bool ActiveThemeEditable() const;
    void AddToolCommands();
};
