#include "MifWriter.h"

#include "common/MifColor.h"

#include <algorithm>

#include "platform/ByteOrder.h"
#include "platform/NumberText.h"
#include "platform/TextEncoding.h"

namespace brindow {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

std::string Number(double v) { return corvale::FormatFixed(v, 6); }

bool IsTextType(std::uint32_t type) { return type != XPR_FT_Int && type != XPR_FT_Double; }

// The widest character column GDAL takes without a warning.
constexpr int kCharWidth = 254;

} // namespace

std::string ToWindowsLatin1(const std::string& text, std::uint32_t codePage, std::size_t& replaced) {
    // Already in the code page the files declare, whatever it looks like:
    // Latin 1 bytes can happen to form valid UTF-8 ("\xC3\xA9" is "Ã©").
    if (codePage == XPR_CP_WindowsLatin1)
        return text;
    const std::string utf8 = corvale::TableTextToUtf8(text, corvale::kDbfCodePageUnknown);
    std::string out;
    if (corvale::Utf8ToWindows1252(utf8, out))
        return out;
    out.clear();
    for (const char32_t c : corvale::Utf8ToCodePoints(utf8)) {
        std::string one;
        if (corvale::Utf8ToWindows1252(corvale::CodePointsToUtf8(std::u32string(1, c)), one)) {
            out += one;
        } else {
            out += '?';
            ++replaced;
        }
    }
    return out;
}

std::string MifColumnName(std::string name) {
    for (char& c : name) {
        switch (c) {
        case ' ':
        case '%':
        case '/':
        case '[':
        case ']':
        case '(':
        case ')':
        case '{':
        case '}':
        case '+':
        case '-':
            c = '_';
            break;
        default:
            break;
        }
    }
    return name;
}

std::string MidValue(const char* value, std::uint32_t type) {
    const std::string text = value != nullptr ? value : "";
    const bool quoted = IsTextType(type);
    std::string out;
    out.reserve(text.size() + 2);
    if (quoted)
        out.push_back('"');
    for (char c : text) {
        if (c == '\r' || c == '\n' || (!quoted && c == '\t'))
            out.push_back(' ');
        else if (c == '"' && quoted)
            out += "\"\"";
        else
            out.push_back(c);
    }
    if (quoted)
        out.push_back('"');
    return out;
}

std::string MidPathFor(const std::string& mifPath) {
    const std::size_t slash = mifPath.find_last_of('/');
    const std::size_t dot = mifPath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return mifPath + ".mid";
    return mifPath.substr(0, dot) + ".mid";
}

bool CMifExport::Begin(const std::string& mifPath, const std::string& midPath, const std::vector<MifField>& fields,
                       std::uint32_t textCodePage, std::string& error) {
    std::string dropped;
    End(false, dropped);
    auto mif = std::make_unique<CFileWriter>();
    if (!mif->Open(mifPath.c_str())) {
        error = OpenFailureMessage(*mif, mifPath, "Could not create the file " + mifPath + ".");
        return false;
    }
    std::unique_ptr<CFileWriter> mid;
    if (!midPath.empty()) {
        mid = std::make_unique<CFileWriter>();
        if (!mid->Open(midPath.c_str())) {
            error = OpenFailureMessage(*mid, midPath, "Could not create the file " + midPath + ".");
            mif->Discard();
            return false;
        }
    }
    m_Mif = std::move(mif);
    m_Mid = std::move(mid);
    m_MifPath = mifPath;
    m_MidPath = midPath;
    m_Fields = fields;
    m_TextCodePage = textCodePage;
    m_Replaced = 0;
    // The text of both files is in the code page the header declares.
    m_Buffer = "Version 300\nCharset \"WindowsLatin1\"\nColumns " + std::to_string(fields.size()) + "\n";
    for (const MifField& field : fields) {
        m_Buffer += "  " + MifColumnName(ToWindowsLatin1(field.m_Name, m_TextCodePage, m_Replaced)) + " ";
        m_Buffer += field.m_Type == XPR_FT_Int      ? "integer\n"
                    : field.m_Type == XPR_FT_Double ? "float\n"
                                                    : "char (" + std::to_string(kCharWidth) + ")\n";
    }
    m_Buffer += "\nDATA\n";
    return true;
}

void CMifExport::Put(const std::string& text) {
    m_Buffer += text;
    if (m_Buffer.size() >= kFlushSize) {
        m_Mif->Write(m_Buffer.data(), m_Buffer.size());
        m_Buffer.clear();
    }
}

void CMifExport::PutRow(const ExportShapeArgs& args) {
    if (m_Mid == nullptr)
        return;
    const auto* bytes = static_cast<const unsigned char*>(args.record);
    const std::uint32_t index = corvale::ReadBE32(bytes) - 1;
    std::string row;
    const std::uint32_t count = std::min<std::uint32_t>(args.word, static_cast<std::uint32_t>(m_Fields.size()));
    for (std::uint32_t f = 0; f < count; ++f) {
        if (f > 0)
            row.push_back('\t');
        const std::uint32_t type =
            args.getFieldType != nullptr ? (args.getFieldType(f) & ~XPR_FT_PrimaryKey) : m_Fields[f].m_Type;
        const char* value = args.getAttributeValue != nullptr ? args.getAttributeValue(index, f) : nullptr;
        const std::string text = value != nullptr ? ToWindowsLatin1(value, m_TextCodePage, m_Replaced) : "";
        row += MidValue(text.c_str(), type);
    }
    row.push_back('\n');
    m_Mid->Write(row.data(), row.size());
}

CMifExport::Result CMifExport::WriteShape(const ExportShapeArgs& args) {
    if (m_Mif == nullptr || args.record == nullptr)
        return Unsupported;
    const auto* bytes = static_cast<const unsigned char*>(args.record);
    const std::uint32_t type = args.shapeType;
    if (type == 1 || type == 11) {
        Put("POINT " + Number(corvale::ReadLEDouble(bytes + 12)) + " " + Number(corvale::ReadLEDouble(bytes + 20)) +
            "\n    Symbol (86,12583008,18,\"Wingdings\",289,0)\n");
        PutRow(args);
        return Written;
    }
    if (type != 3 && type != 5 && type != 13 && type != 15)
        return Unsupported;
    const std::uint32_t parts = corvale::ReadLE32(bytes + 44);
    const std::uint32_t points = corvale::ReadLE32(bytes + 48);
    if (parts == 0)
        return Skipped;
    std::string text;
    if (type == 3 || type == 13)
        text = parts > 1 ? "PLINE MULTIPLE " + std::to_string(parts) + "\n" : "PLINE ";
    else
        text = "REGION " + std::to_string(parts) + "\n";
    const unsigned char* starts = bytes + 52;
    const unsigned char* xy = starts + 4 * static_cast<std::size_t>(parts);
    for (std::uint32_t part = 0; part < parts; ++part) {
        const std::uint32_t start = corvale::ReadLE32(starts + 4 * part);
        const std::uint32_t end = part + 1 < parts ? corvale::ReadLE32(starts + 4 * (part + 1)) : points;
        text += "  " + std::to_string(end >= start ? end - start : 0) + "\n";
        for (std::uint32_t i = start; i < end && i < points; ++i) {
            const unsigned char* p = xy + 16 * static_cast<std::size_t>(i);
            text += "  " + Number(corvale::ReadLEDouble(p)) + " " + Number(corvale::ReadLEDouble(p + 8)) + "\n";
        }
        if (text.size() >= kFlushSize) {
            Put(text);
            text.clear();
        }
    }
    // Pattern 2 is the solid pen; the colour goes out in MIF's byte order.
    text += "    PEN (" + std::to_string(args.lineWidth) + ", 2, " +
            std::to_string(mifcolor::ProgramToMif(args.color)) + ")\n";
    Put(text);
    PutRow(args);
    return Written;
}

bool CMifExport::End(bool commit, std::string& error) {
    bool ok = true;
    if (m_Mif != nullptr) {
        if (commit) {
            if (!m_Buffer.empty())
                m_Mif->Write(m_Buffer.data(), m_Buffer.size());
            // The table first: a MIF is never put in place without its rows.
            if (m_Mid != nullptr && !m_Mid->Close()) {
                error = "Could not write the file " + m_MidPath + ".";
                ok = false;
                m_Mif->Discard();
            } else if (!m_Mif->Close()) {
                error = "Could not write the file " + m_MifPath + ".";
                ok = false;
            }
        } else {
            m_Mif->Discard();
            if (m_Mid != nullptr)
                m_Mid->Discard();
        }
    }
    m_Buffer.clear();
    m_Mif.reset();
    m_Mid.reset();
    return ok;
}

} // namespace brindow
