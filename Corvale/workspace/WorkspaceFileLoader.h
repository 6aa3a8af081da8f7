#pragma once
// Reads only the themes (and a few settings) out of a workspace file, for
// Import From Workspace File. The themes stay owned by the loader until they
// are handed out; the file's plug-in section is not read.

#include "workspace/CommandIds.h"
#include <cstdint>
#include <string>
#include <vector>

class CCorvaleDoc;
class CTheme;


class CWorkspaceFileLoader {
public:
    // document: the workspace the themes are read for; their plug-in data
    // blocks reach the plug-ins with it. Null: with no workspace.
    explicit CWorkspaceFileLoader(CCorvaleDoc* document = nullptr);
    ~CWorkspaceFileLoader();

    CWorkspaceFileLoader(const CWorkspaceFileLoader&) = delete;
    CWorkspaceFileLoader& operator=(const CWorkspaceFileLoader&) = delete;

    // Deletes the themes still held, then reads the file. True on success;
    // false with m_errorText set: "Error opening file for reading." when the
    // file cannot be read, the archive's message (at most 512 characters)
    // for a damaged or newer file, "Unknown exception caught." for anything
    // else. The themes read before a damaged one stay held.
    bool Load(const std::string& path);
    // Deletes every theme still held.
    void DeleteThemes();
    // Hands the themes, in stored order, to the caller, which owns them from
    // then on; the loader holds none afterwards.
    std::vector<CTheme*> TakeThemes();

    std::vector<CTheme*> m_themes;
    std::uint32_t m_backgroundColor = 0xFFFFFF;
    // minX, minY, maxX, maxY.
    double m_viewExtent[4] = {0.0, 0.0, 0.0, 0.0};
    std::string m_description;
    std::string m_errorText;
    int m_refSystem = -1;
    double m_earthRadius = 6361442.043;
    // The last file read.
    std::string m_pathName;

private:
    CCorvaleDoc* m_document;
};
