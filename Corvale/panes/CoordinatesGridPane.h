#pragma once
// "Coordinates": the vertices of the one selected shape of the active theme
// (or the corner points of an image theme's raster), X, Y and, for Z themes,
// Z. Multi-part shapes show one heading row "Part k of n:" per part; a
// polygon ring's closing point is not listed (it follows its first point).
// Cells of an editable theme can be edited; vertices and parts can be
// deleted, a part reversed, coordinates pasted, copied and centred on.

#include "workspace/CommandIds.h"
#include "panes/GridPane.h"

#include <cstdint>
#include <string>
#include <vector>

class CCorvaleDoc;
class CShapeRecord;
class CTheme;
class QItemSelection;

// The rows' kinds.
enum CoordinateRowKind : unsigned char { CRK_Heading = 0, CRK_Vertex = 1 };

class CCoordinatesGridPane : public CGridPane {
public:
    explicit CCoordinatesGridPane(QWidget* parent = nullptr);
    ~CCoordinatesGridPane() override;

    void SetDocument(CCorvaleDoc* document);
    CCorvaleDoc* GetDocument() const { return m_Document; }
    CTheme* GetTheme() const { return m_Theme; }
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);

    // The rows: texts, kinds and the vertex index of each row (-1 for
    // headings and the one-row messages).
    const std::vector<std::string>& GetXTexts() const { return m_X; }
    const std::vector<std::string>& GetYTexts() const { return m_Y; }
    const std::vector<std::string>& GetZTexts() const { return m_Z; }
    const std::vector<std::string>& GetMTexts() const { return m_M; }
    const std::vector<unsigned char>& GetRowKinds() const { return m_RowKinds; }
    const std::vector<std::uint32_t>& GetRowVertices() const { return m_RowVertex; }

    std::string CellText(int row, int column) const;
    bool IsHeadingRow(int row) const;
    // Writes an edited cell into the selected shape; false, with the old
    // value kept, for a text that is not a number or when nothing can be
    // edited.
    bool EditCell(int row, int column, const std::string& text);

    // The commands.
    void CenterMap();
    void CopyCoordinate();
    void DeleteSelected();
    // Paste Special: the clipboard's first polyline shape, or else its
    // coordinates, appended to the part of the first selected row (a
    // multipart shape is refused with kAppendMultipartMessage) or added as
    // new parts, as the user chooses.
    void PasteSpecial();
    void ReversePart();
    static const char* const kAppendMultipartMessage;
    // The clipboard holds exactly one polyline shape, or coordinates.
    static bool ClipboardHasPasteSpecialSource();

protected:
    std::vector<unsigned> ContextMenuCommands() const override;
    QString CommandText(unsigned id) const override;

private:
    void AddCommands();
    void Unsubscribe();
    void Refill();
    void ResetColumns(bool withZ);
    void ApplyReadOnly();
    // The selected shape when exactly one is selected; null otherwise.
    CShapeRecord* SelectedShape() const;
    bool IsImageTheme() const;
    bool HasOneSelectedShape() const;
    bool IsEditable() const;
    void OnGridSelectionChanged();
    void SelectVertexRow(std::intptr_t data, bool toggle);
    // Fires DUE_ThemeDataChanged and shows the edited shape again.
    void AfterShapeReplaced(const void* sender);
    bool CenterMapEnabled() const;

    bool m_Updating = false;
    CCorvaleDoc* m_Document = nullptr;
    CTheme* m_Theme = nullptr;
    std::vector<std::string> m_X;
    std::vector<std::string> m_Y;
    std::vector<std::string> m_Z;
    std::vector<std::string> m_M;
    std::vector<unsigned char> m_RowKinds;
    std::vector<std::uint32_t> m_RowVertex;
};

