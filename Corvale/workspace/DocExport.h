#pragma once
// What the Export command needs from above the document: the main frame's
// plug-in folder and export tools, the format chooser, the shape-file
// confirmation dialog and the image encoders. The application installs it at
// start-up; tests install their own. Until then the command saves nothing:
// without a format chooser or a plug-in folder it ends before asking.

#include <QImage>

#include <functional>
#include <string>
#include <vector>

class CTheme;

// A plug-in command item of the export kind, offered after the exporter
// plug-ins in the chooser.
struct CExportTool {
    std::string m_Name;
    std::string m_Description;
    unsigned m_CommandId = 0;
};

struct CDocumentExportServices {
    // The program's plug-in folder, where the *.xpr exporters lie. Unset: no
    // main frame, and the command ends before offering any format.
    std::function<std::string()> pluginFolder;
    // The enabled export tools of the main frame, in its order.
    std::function<std::vector<CExportTool>()> exportTools;
    // Runs a plug-in tool's command.
    std::function<void(unsigned commandId)> runPluginTool;
    // "Export Format": one row per name and description; the chosen row, -1
    // on Cancel.
    std::function<int(const std::vector<std::string>& names, const std::vector<std::string>& descriptions)>
        chooseFormat;
    // "Export to Shape File": the two boxes come in checked; false on Cancel.
    std::function<bool(bool& createIndex, bool& createAttributes)> confirmShapeExport;
    // The save dialog's filter of the image encoders ("PNG (*.png)|*.png|...||"),
    // the first one preselected.
    std::function<std::string()> imageFileFilter;
    // Writes the image with the encoder its extension names (a bare name gets
    // the first filter's extension from the dialog); false when nothing was
    // saved. A file already at the path is replaced only by a complete image.
    std::function<bool(const QImage& image, const std::string& path)> saveImage;
};
void SetDocumentExportServices(const CDocumentExportServices& services);
const CDocumentExportServices& GetDocumentExportServices();

// The file name the shape-file export proposes for a theme: its name after
// the last backslash, with each of \ / : * ? < > | made an underscore.
std::string ProposedExportFileName(const std::string& themeName);

// The .shp, .shx and .dbf paths of a chosen shape-file name. A name whose
// last component has no extension gets ".shp"; a name that ends in ".shp" in
// any letter case keeps it, and the other two take its stem. Any other
// extension is refused (false): the three outputs must be three distinct
// files, and ".dbf" or ".shx" would make the .shp one of its own siblings.
bool ShapeFileTrioPaths(const std::string& chosen, std::string& shp, std::string& shx, std::string& dbf);
