// Prepares arbitrary bytes as a query against a small native theme and
// evaluates it for every shape, then checks it as a style-rule condition. Each
// step must return true or false (with a message on false): no crash, no hang,
// no sanitizer report, whatever the text. An engine that has evaluated other
// shapes before must answer every shape exactly as a fresh engine does.

#include "core/Theme.h"
#include "core/query/QueryEngine.h"
#include "shapes/ShapeRecordBuilder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// Columns of every type, values that stress the number reading (the 64-bit
// limits, a double at the top of its range, blanks, text in a number column)
// and names that the language itself uses.
struct FuzzTheme {
    FuzzTheme() {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = SHT_Point;
        theme.m_Editable = true;
        const std::pair<const char*, std::int32_t> columns[] = {
            {"NAME", FT_String}, {"ID", FT_Int},     {"AREA", FT_Double}, {"Pop 1990", FT_Int},
            {"FLAG", FT_Boolean}, {"DAY", FT_Date}, {"inf", FT_Int},     {"TRUE", FT_String},
        };
        for (const auto& [name, type] : columns) {
            CAttributeFieldInfo info;
            info.m_Name = name;
            info.m_Type = type;
            info.m_Length = 20;
            theme.AddAttribute(info, nullptr, nullptr);
        }
        const std::vector<std::vector<std::string>> rows = {
            {"Sydney", "2", "-2.5", "7", "T", "20240131", "1", "x"},
            {"", "-9223372036854775808", "1e308", "9223372036854775807", "F", "", "", "TRUE"},
            {"SELECT", " 12 ", "nan", "abc", "?", "x", "-", "'"},
            {"it's", "0", "0", "0", "T", "0", "0", "0"},
        };
        for (std::size_t i = 0; i < rows.size(); ++i) {
            records.emplace_back(new unsigned char[28]);
            CShapePointCreator(static_cast<std::uint32_t>(i + 1)).CreatePoint(records.back().get(), double(i), 0.0);
            CTheme::ShapeCallback(&theme, CShapeRecord::FromBytes(records.back().get()), 0);
            const int row = theme.AppendAttributeRow();
            for (std::size_t c = 0; c < rows[i].size(); ++c)
                theme.SetAttributeText(row, static_cast<int>(c), rows[i][c], false);
        }
        theme.ResetFilter();
    }
    std::vector<std::unique_ptr<unsigned char[]>> records;
    CTheme theme;
};

} // namespace

namespace {

// "TRUE", "FALSE" or the message: an Evaluate answer in one text.
std::string Answer(CorvaleSQL::CQueryEngine& engine, CTheme& theme, int position) {
    bool result = false;
    std::string error;
    if (engine.Evaluate(&theme, result, position, error))
        return result ? "TRUE" : "FALSE";
    if (error.empty())
        __builtin_trap();
    return error;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzTheme fuzz;
    const std::string query(reinterpret_cast<const char*>(data), size);
    CorvaleSQL::CQueryEngine engine;
    std::string error;
    if (!engine.Prepare(&fuzz.theme, query, error)) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    const int count = fuzz.theme.GetShapeCount();
    // One engine for every shape in turn, as the commands use it, must answer
    // each shape as a fresh engine does: the later shapes replay what the
    // first successful one recorded.
    for (int round = 0; round < 2; ++round) {
        for (int position = 0; position < count; ++position) {
            const std::string shared = Answer(engine, fuzz.theme, position);
            CorvaleSQL::CQueryEngine fresh;
            if (!fresh.Prepare(&fuzz.theme, query, error))
                __builtin_trap();
            if (Answer(fresh, fuzz.theme, position) != shared)
                __builtin_trap();
        }
    }
    error.clear();
    if (!engine.CheckExpression(error) && error.empty())
        __builtin_trap();
    return 0;
}
