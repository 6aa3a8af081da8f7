#pragma once
// "Statistics": a read-only list of properties of the bound workspace and of
// the themes selected in the legend (counts, shape type, data source, image
// properties, extent and size, Z range), refilled on the document's update
// events. Selected rows copy as text.

#include "panes/GridPane.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CCorvaleDoc;

class CStatisticsGridPane : public CGridPane {
public:
    explicit CStatisticsGridPane(QWidget* parent = nullptr);
    ~CStatisticsGridPane() override;

    void SetDocument(CCorvaleDoc* document);
    CCorvaleDoc* GetDocument() const { return m_Document; }
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);

    // The rows shown: property and value; a blank row has both empty.
    const std::vector<std::pair<std::string, std::string>>& GetRows() const { return m_Rows; }
    // The value of the first row with the property; empty when there is none.
    std::string GetValue(const std::string& property) const;

    // The rows of a document (null: none).
    static std::vector<std::pair<std::string, std::string>> BuildRows(CCorvaleDoc* document);

protected:
    std::vector<unsigned> ContextMenuCommands() const override;

private:
    void Unsubscribe();
    void Refill();

    bool m_Updating = false;
    CCorvaleDoc* m_Document = nullptr;
    std::vector<std::pair<std::string, std::string>> m_Rows;
};
