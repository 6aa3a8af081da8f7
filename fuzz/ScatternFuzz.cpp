// Runs the delimited-text point reader of the Scattern loader on arbitrary
// bytes. The first four bytes are the definition (names flag, separator, X
// and Y column, the columns taken modulo 8), the rest the file's text. Every
// record made must be a sound point record whose tail names its own row, and
// its row must hold the two coordinate columns. The whole input is also taken
// as a saved definition: a restore either refuses it or keeps a path that
// saves back to the same bytes (the flag as 0 or 1).

#include "TextPointReader.h"

#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using scattern::CTextPointLoader;
    if (size >= 4) {
        CTextPointLoader loader;
        loader.m_FirstRowNames = (data[0] & 1) != 0;
        loader.m_Separator = static_cast<char>(data[1]);
        loader.m_XColumn = data[2] % 8u;
        loader.m_YColumn = data[3] % 8u;
        const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);
        if (loader.Parse(text)) {
            Require(loader.m_Records.size() == loader.m_Rows.size());
            for (std::size_t i = 0; i < loader.m_Records.size(); ++i) {
                const unsigned char* bytes = loader.m_Records[i];
                const auto* record = reinterpret_cast<const CShapeRecord*>(bytes);
                Require(CShapeRecord::GetShapeType(record) == SHT_Point);
                std::size_t checked = 0;
                Require(CheckShapeRecordBytes(bytes, 28, checked) && checked == 28);
                Require(IsShapeRecordSound(record));
                Require(CTextPointLoader::RowOf(bytes) == i);
                const auto& row = loader.m_Rows[i];
                Require(row.size() >= loader.m_XColumn && row.size() >= loader.m_YColumn);
                Require(row.size() <= loader.m_FieldNames.size());
                for (std::uint32_t c = 0; c < row.size(); ++c)
                    Require(std::strcmp(loader.Attribute(bytes, c), row[c].c_str()) == 0);
                Require(*loader.Attribute(bytes, static_cast<std::uint32_t>(loader.m_FieldNames.size())) == 0);
            }
        }
    }
    CTextPointLoader restored;
    if (restored.Restore(data, size)) {
        std::vector<unsigned char> block(restored.SavedSize());
        Require(block.size() <= size);
        Require(restored.Save(block.data(), block.size()));
        // The names flag is saved as 0 or 1; the rest as it was read.
        Require(block[4] == (data[4] != 0 ? 1 : 0));
        Require(std::memcmp(block.data() + 5, data + 5, block.size() - 5) == 0);
    }
    return 0;
}
