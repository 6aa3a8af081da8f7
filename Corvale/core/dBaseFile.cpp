#include "core/dBaseFile.h"

#include "platform/ByteOrder.h"
#include "shapes/FileReader.h"
#include "shapes/FileWriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr unsigned char kTerminator = 0x0D;
// Byte of the header that names the code page of the text.
constexpr std::size_t kCodePageOffset = 29;
constexpr std::size_t kNameBytes = 11;
// The name is cut to 10 characters so that at least one zero byte ends it.
constexpr std::size_t kMaxNameLength = 10;
constexpr std::int32_t kMaxFieldWidth = 255;
// The header length is a 16-bit field: 32 * n + 33 <= 65535.
constexpr std::int32_t kMaxFields = (65535 - 33) / 32;
constexpr std::int64_t kMaxRecordLength = 65535;

bool IsValidType(std::int32_t type) {
    return type >= FT_String && type <= FT_Boolean;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// White space as scanf skips it in the C locale.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The width a value takes in the file. dBase fixes dates at 8 characters
// (YYYYMMDD) and logicals at 1; other readers take a different width for
// those letters as a damaged table, so the descriptor's length is not used.
std::int32_t StoredWidth(std::int32_t type, std::int32_t length) {
    if (type == FT_Date)
        return 8;
    if (type == FT_Boolean)
        return 1;
    return std::clamp(length, 0, kMaxFieldWidth);
}

// The decimals byte of a descriptor. An 'N' field without decimals reads as
// a whole number here (up to 11 wide) and in GDAL (up to 18 wide), so a
// double column whose decimals are not set gets as many as its width allows:
// it reads back as a double, and readers that format by the decimals keep
// every digit a value of that width can hold.
std::int32_t StoredDecimals(std::int32_t type, std::int32_t width, std::int32_t decimals) {
    decimals &= 0xFF;
    if (type != FT_Double || decimals != 0)
        return decimals;
    constexpr std::int32_t kMaxDecimals = 15;
    return std::clamp(width - 2, 1, kMaxDecimals);
}

char TypeLetter(std::int32_t type) {
    switch (type) {
    case FT_Int:
    case FT_Double:
        return 'N';
    case FT_Date:
        return 'D';
    case FT_Boolean:
        return 'L';
    default:
        return 'C';
    }
}

// Reads one descriptor's letter, length and decimals into a field.
CAttributeFieldInfo FieldFromDescriptor(const unsigned char* d) {
    CAttributeFieldInfo info;
    std::size_t nameLength = 0;
    while (nameLength < kNameBytes && d[nameLength] != 0)
        ++nameLength;
    info.m_Name.assign(reinterpret_cast<const char*>(d), nameLength);
    info.m_Length = d[16];
    const std::int32_t decimals = d[17];
    switch (d[11]) {
    case 'C':
        info.m_Type = FT_String;
        break;
    case 'D':
        info.m_Type = FT_Date;
        break;
    case 'F':
        info.m_Type = FT_Double;
        info.m_Decimals = decimals;
        break;
    case 'L':
        info.m_Type = FT_Boolean;
        break;
    case 'N':
        // Narrow whole numbers fit a 32-bit int; anything wider or with a
        // fraction is kept as a double.
        info.m_Type = (info.m_Length <= 11 && decimals == 0) ? FT_Int : FT_Double;
        info.m_Decimals = decimals;
        break;
    default:
        // Memo and unknown letters are shown as their raw text.
        info.m_Type = FT_String;
        break;
    }
    return info;
}

// The text of one field's bytes. The bytes are taken as a C string: a zero
// byte ends the text for every type. The fields are short and read once per
// value, so the scans of numbers are plain loops rather than library calls.
std::string_view ValueText(const char* bytes, std::size_t length, std::int32_t type) {
    if (type == FT_Int || type == FT_Double) {
        // Numbers are right-aligned: the number is what follows the last
        // space, so a left-aligned number reads as empty.
        std::size_t begin = 0;
        std::size_t end = 0;
        bool stars = true;
        for (; end < length && bytes[end] != '\0'; ++end) {
            if (bytes[end] == ' ') {
                begin = end + 1;
                stars = true;
            } else if (bytes[end] != '*') {
                stars = false;
            }
        }
        // dBase writers (shapelib and GDAL among them) mark a missing number
        // by filling its field with asterisks: it reads as a blank field does.
        if (stars)
            return {};
        if (type == FT_Double) {
            while (end - begin >= 2 && bytes[begin] == '0' && IsDigit(bytes[begin + 1]))
                ++begin;
        }
        return std::string_view(bytes + begin, end - begin);
    }
    // Texts end anywhere in their field, so a byte loop would leave its
    // loop at a different place for nearly every row; the library's search
    // takes a short field in one step.
    const void* const zero = std::memchr(bytes, '\0', length);
    std::size_t end = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : length;
    while (end > 0 && bytes[end - 1] == ' ')
        --end;
    return std::string_view(bytes, end);
}

// The name as a reader will see it: at most 10 characters, ending at a zero
// byte.
std::string StoredName(const std::string& name) {
    std::size_t length = std::min(name.size(), kMaxNameLength);
    const auto zero = name.find('\0');
    if (zero != std::string::npos)
        length = std::min(length, zero);
    return name.substr(0, length);
}

std::string NameKey(std::string name) {
    for (char& c : name)
        c = ToUpperAscii(c);
    return name;
}

// Stored names, changed where two would be equal once cut to 10 characters.
// dBase readers look columns up without regard to case, so "Area" and "AREA"
// collide too. The later column gets a number as its tail, chosen so that it
// matches neither a name given out before nor a later column's own name.
std::vector<std::string> UniqueStoredNames(const std::vector<CAttributeFieldInfo>& descriptors) {
    std::set<std::string> ownNames;
    for (const auto& d : descriptors)
        ownNames.insert(NameKey(StoredName(d.m_Name)));

    std::vector<std::string> names;
    names.reserve(descriptors.size());
    std::set<std::string> taken;
    // The next number to try per name, so that many columns with one name
    // do not each count up from 1.
    std::map<std::string, unsigned> nextNumber;
    for (const auto& d : descriptors) {
        std::string name = StoredName(d.m_Name);
        std::string key = NameKey(name);
        if (taken.count(key) != 0) {
            // At most 2046 names are taken, and there are 9000 four-digit
            // tails, so this ends.
            unsigned& number = nextNumber.try_emplace(key, 1u).first->second;
            for (;; ++number) {
                const std::string tail = std::to_string(number);
                std::string candidate =
                    name.substr(0, std::min(name.size(), kMaxNameLength - tail.size())) + tail;
                std::string candidateKey = NameKey(candidate);
                if (taken.count(candidateKey) == 0 && ownNames.count(candidateKey) == 0) {
                    name = std::move(candidate);
                    key = std::move(candidateKey);
                    break;
                }
            }
        }
        taken.insert(key);
        names.push_back(std::move(name));
    }
    return names;
}

// Accepts what scanf's "%lf%s" reads as exactly one item: one number (decimal,
// hexadecimal, infinity or NaN, with an optional sign) with nothing but white
// space around it. Unlike scanf this does not follow the locale.
bool IsSingleNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    // from_chars would take a '-' of its own; a second sign is not a number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-')
        return false;

    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double value = 0.0;
    std::from_chars_result result{};
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        // After "0x" only hexadecimal digits or a point may follow; from_chars
        // would also take "inf" and "nan" there.
        const char next = first[2];
        if (!IsHexDigit(next) && next != '.')
            return false;
        result = std::from_chars(first + 2, last, value, std::chars_format::hex);
        if (result.ptr == first + 2)
            return false;
    } else {
        result = std::from_chars(first, last, value);
    }
    // A number too large or too small for a double is still one number, as
    // scanf counts it.
    if (result.ec != std::errc() && result.ec != std::errc::result_out_of_range)
        return false;
    for (const char* p = result.ptr; p != last; ++p) {
        if (!IsSpace(*p))
            return false;
    }
    return true;
}

bool IsTwoDigitNumberIn(std::string_view text, int low, int high) {
    if (text.size() != 2 || !IsDigit(text[0]) || !IsDigit(text[1]))
        return false;
    const int value = (text[0] - '0') * 10 + (text[1] - '0');
    return value >= low && value <= high;
}

} // namespace

CdBaseFile::~CdBaseFile() = default;

bool CdBaseFile::ReadHeader(CFileReader* reader) {
    // Nothing of an earlier table survives, not even when this read fails.
    m_Reader = reader;
    m_DataOffset = 0;
    m_FieldCount = 0;
    m_RecordCount = 0;
    m_RecordLength = 0;
    m_CodePage = 0;
    m_HeaderLengthDamaged = false;
    m_RecordsPresent = 0;
    m_Fields.clear();
    m_FieldOffsets.clear();
    if (reader == nullptr || !reader->IsOpen())
        return false;

    unsigned char header[kHeaderSize];
    reader->SetPosition(0);
    if (reader->Read(header, sizeof header) != sizeof header)
        return false;
    m_RecordCount = corvale::ReadLE32(header + 4);
    m_CodePage = header[kCodePageOffset];
    const std::uint64_t headerLength = corvale::ReadLE16(header + 8);
    const std::uint64_t statedRecordLength = corvale::ReadLE16(header + 10);
    // A header length that does not even leave room for the terminator is not
    // an end the descriptors can be measured against (some writers leave it
    // 0); such files are read up to their terminator.
    const bool headerLengthUsable = headerLength >= kHeaderSize + 1;
    // The descriptors that fit before the header length with the terminator
    // after them.
    const std::size_t fieldsBeforeHeaderLength =
        headerLengthUsable
            ? static_cast<std::size_t>((headerLength - kHeaderSize - 1) / kDescriptorSize)
            : 0;

    // The descriptors up to the terminator. A damaged header length says
    // nothing about where they end, so it does not stop the list; where
    // there is no terminator, the header length is all there is to go by.
    bool terminated = false;
    std::uint64_t position = kHeaderSize;
    std::vector<std::uint64_t> recordLengths{1}; // 1 + the widths of the first k fields
    for (;;) {
        unsigned char descriptor[kDescriptorSize];
        reader->SetPosition(position);
        const std::size_t count = reader->Read(descriptor, sizeof descriptor);
        if (count >= 1 && descriptor[0] == kTerminator) {
            terminated = true;
            break;
        }
        if (count < sizeof descriptor || m_Fields.size() >= static_cast<std::size_t>(kMaxFields))
            break;
        CAttributeFieldInfo info = FieldFromDescriptor(descriptor);
        recordLengths.push_back(recordLengths.back() + static_cast<std::uint64_t>(info.m_Length));
        m_Fields.push_back(std::move(info));
        position += kDescriptorSize;
    }
    const std::size_t listed = m_Fields.size();
    const bool byHeaderLength =
        headerLengthUsable && (terminated || listed >= fieldsBeforeHeaderLength);
    if (!terminated && !byHeaderLength) {
        // Cut off by the end of the file (or, without a usable header
        // length, longer than any header can be): no record can be placed,
        // so none is read. The descriptors read before stay.
        m_RecordCount = 0;
        SetFields(listed);
        return false;
    }

    // Two readings of where the records start: right after the terminator,
    // or at the header length with the descriptors before it. Writers that
    // keep more after the terminator (FoxPro's backlink area, for one) make
    // the header length the larger one, and there the records start.
    const std::uint64_t size = reader->GetSize();
    const unsigned char* data = reader->GetData();
    const std::uint64_t records = m_RecordCount;
    const std::size_t fieldsH = std::min(listed, fieldsBeforeHeaderLength);
    const std::uint64_t afterTerminator = kHeaderSize + kDescriptorSize * listed + 1;
    // Without a usable header length the terminator decides; without a
    // terminator the header length does.
    bool useTerminator = !byHeaderLength;
    if (terminated && byHeaderLength && headerLength != afterTerminator) {
        const auto fits = [&](std::uint64_t offset, std::size_t fields) {
            return offset <= size && records <= (size - offset) / recordLengths[fields];
        };
        // Every record starts with its deletion flag, ' ' or '*': a start
        // whose first records do not is no start of records.
        const auto flagged = [&](std::uint64_t offset, std::size_t fields) {
            const std::uint64_t length = recordLengths[fields];
            const std::uint64_t whole = offset <= size ? (size - offset) / length : 0;
            const std::uint64_t checked = std::min<std::uint64_t>({records, whole, 8});
            for (std::uint64_t r = 0; r < checked; ++r) {
                const unsigned char flag = data[offset + r * length];
                if (flag != ' ' && flag != '*')
                    return false;
            }
            return checked > 0;
        };
        const bool fitsT = fits(afterTerminator, listed);
        const bool fitsH = fits(headerLength, fieldsH);
        const bool flaggedT = flagged(afterTerminator, listed);
        const bool flaggedH = flagged(headerLength, fieldsH);
        if (headerLength > afterTerminator) {
            // Where the deletion flags are at one start and not at the other,
            // the records start there: a padded header has its records
            // after the padding, also in a file cut short. Otherwise the
            // header length stands where the records fit after it, and
            // falls where they do not.
            if (flaggedH != flaggedT)
                useTerminator = flaggedT;
            else
                useTerminator = !fitsH;
        } else {
            // A header that ends inside its own descriptor list is damaged,
            // unless the terminator found is a stray 0x0D in the records of a
            // table that has none: then the records do not fit after it, and
            // the header's record length speaks for the shorter list.
            useTerminator = fitsT || !(fitsH && statedRecordLength == recordLengths[fieldsH] &&
                                       statedRecordLength != recordLengths[listed]);
        }
        m_HeaderLengthDamaged = useTerminator;
    }

    const std::size_t fields = useTerminator ? listed : fieldsH;
    const std::uint64_t dataOffset = useTerminator ? afterTerminator : headerLength;
    SetFields(fields);
    m_DataOffset = static_cast<std::int32_t>(dataOffset);
    const std::uint64_t whole =
        dataOffset <= size ? (size - dataOffset) / recordLengths[fields] : 0;
    m_RecordsPresent = static_cast<std::uint32_t>(std::min<std::uint64_t>(whole, records));
    return true;
}

void CdBaseFile::SetFields(std::size_t count) {
    m_Fields.resize(std::min(count, m_Fields.size()));
    m_FieldOffsets.clear();
    m_RecordLength = 1;
    for (const CAttributeFieldInfo& info : m_Fields) {
        m_FieldOffsets.push_back(static_cast<std::uint32_t>(m_RecordLength - 1));
        m_RecordLength += info.m_Length;
    }
    m_FieldCount = static_cast<std::int32_t>(m_Fields.size());
}

bool CdBaseFile::ReadValue(std::int32_t record, std::int32_t field, CAttributeFieldValue& out) {
    std::string_view text;
    if (!ReadValueView(record, field, text))
        return false;
    out.m_Text.assign(text.data(), text.size());
    const CAttributeFieldInfo& info = m_Fields[field];
    out.m_Length = info.m_Length;
    out.m_Type = info.m_Type;
    return true;
}

bool CdBaseFile::ReadValueView(std::int32_t record, std::int32_t field, std::string_view& text) const {
    if (field < 0 || field >= m_FieldCount)
        return false;
    const char* bytes = GetRecordBytes(record);
    if (bytes == nullptr)
        return false;
    text = GetFieldText(bytes, field);
    return true;
}

const char* CdBaseFile::GetRecordBytes(std::int32_t record) const {
    if (m_Reader == nullptr || !m_Reader->IsOpen())
        return nullptr;
    if (record < 0 || static_cast<std::uint32_t>(record) >= m_RecordCount)
        return nullptr;
    // 64-bit throughout: the header's record count times the record length
    // can be far beyond 2^32 in a damaged file.
    const std::uint64_t recordLength = static_cast<std::uint64_t>(m_RecordLength);
    const std::uint64_t recordStart = static_cast<std::uint64_t>(m_DataOffset) +
                                      static_cast<std::uint64_t>(record) * recordLength;
    if (recordStart + recordLength > m_Reader->GetSize())
        return nullptr;
    // The whole record lies inside the mapping, so its values are read in
    // place.
    return reinterpret_cast<const char*>(m_Reader->GetData() + recordStart);
}

std::string_view CdBaseFile::GetFieldText(const char* recordBytes, std::int32_t field) const {
    const std::string_view bytes = GetFieldBytes(recordBytes, field);
    return ValueText(bytes.data(), bytes.size(), m_Fields[static_cast<std::size_t>(field)].m_Type);
}

bool CdBaseFile::WriteHeader(const std::vector<CAttributeFieldInfo>& descriptors,
                             CFileWriter* writer, std::uint32_t recordCount, std::uint8_t codePage) {
    if (writer == nullptr || !writer->IsOpen())
        return false;
    if (descriptors.size() > static_cast<std::size_t>(kMaxFields))
        return false;
    std::int64_t recordLength = 1;
    for (const auto& d : descriptors) {
        if (!IsValidType(d.m_Type))
            return false;
        recordLength += StoredWidth(d.m_Type, d.m_Length);
    }
    if (recordLength > kMaxRecordLength)
        return false;

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    unsigned char header[kHeaderSize] = {};
    header[0] = 3; // dBase III without memo
    // Years count from 1900 in this byte, as every dBase reader expects.
    header[1] = static_cast<unsigned char>(local.tm_year & 0xFF);
    header[2] = static_cast<unsigned char>(local.tm_mon + 1);
    header[3] = static_cast<unsigned char>(local.tm_mday);
    corvale::WriteLE32(header + 4, recordCount);
    corvale::WriteLE16(header + 8, static_cast<std::uint16_t>(32 * descriptors.size() + 33));
    corvale::WriteLE16(header + 10, static_cast<std::uint16_t>(recordLength));
    header[kCodePageOffset] = codePage;
    if (writer->Write(header, sizeof header) != sizeof header)
        return false;

    const std::vector<std::string> names = UniqueStoredNames(descriptors);
    std::int32_t offset = 0;
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        CAttributeFieldInfo stored = descriptors[i];
        stored.m_Name = names[i];
        if (!WriteFieldDescriptor(offset, stored, writer))
            return false;
        offset += StoredWidth(stored.m_Type, stored.m_Length);
    }

    const unsigned char terminator = kTerminator;
    return writer->Write(&terminator, 1) == 1;
}

bool CdBaseFile::WriteFieldDescriptor(std::int32_t offsetInRecord,
                                      const CAttributeFieldInfo& descriptor, CFileWriter* writer) {
    if (!IsValidType(descriptor.m_Type) || writer == nullptr || !writer->IsOpen())
        return false;

    unsigned char bytes[kDescriptorSize] = {};
    const std::size_t nameLength = std::min(descriptor.m_Name.size(), kMaxNameLength);
    std::memcpy(bytes, descriptor.m_Name.data(), nameLength);
    bytes[11] = static_cast<unsigned char>(TypeLetter(descriptor.m_Type));
    corvale::WriteLE32(bytes + 12, static_cast<std::uint32_t>(offsetInRecord));
    const std::int32_t width = StoredWidth(descriptor.m_Type, descriptor.m_Length);
    bytes[16] = static_cast<unsigned char>(width);
    bytes[17] = static_cast<unsigned char>(StoredDecimals(descriptor.m_Type, width, descriptor.m_Decimals));
    return writer->Write(bytes, sizeof bytes) == sizeof bytes;
}

bool CdBaseFile::WriteRecord(const std::vector<CAttributeFieldInfo>& descriptors,
                             CFileWriter* writer, const std::vector<CAttributeFieldValue>& values) {
    if (writer == nullptr || !writer->IsOpen() || values.size() != descriptors.size())
        return false;

    // The record is checked whole and written in one piece, so a refused
    // record leaves nothing half-written behind.
    std::size_t recordLength = 1;
    for (const auto& value : values) {
        if (!IsValidType(value.m_Type))
            return false;
        const std::size_t width =
            static_cast<std::size_t>(StoredWidth(value.m_Type, value.m_Length));
        if ((value.m_Type == FT_Int || value.m_Type == FT_Double) && value.m_Text.size() > width)
            return false;
        recordLength += width;
    }

    std::string record;
    record.reserve(recordLength);
    record.push_back(' ');
    for (const auto& value : values) {
        const std::size_t width =
            static_cast<std::size_t>(StoredWidth(value.m_Type, value.m_Length));
        if (value.m_Type == FT_Int || value.m_Type == FT_Double) {
            record.append(width - value.m_Text.size(), ' ');
            record.append(value.m_Text);
        } else {
            // Zero bytes, not blanks, fill text fields; shapelib and GDAL read
            // both alike.
            const std::size_t kept = std::min(value.m_Text.size(), width);
            record.append(value.m_Text, 0, kept);
            record.append(width - kept, '\0');
        }
    }
    return writer->Write(record.data(), record.size()) == record.size();
}

std::string DamagedTableMessage(const CdBaseFile& table, const std::string& path) {
    const bool damaged = table.IsHeaderLengthDamaged();
    const bool incomplete = table.GetRecordsPresent() < table.GetRecordCount();
    if (!damaged && !incomplete)
        return {};
    std::string text =
        damaged ? (incomplete
                       ? "The header of the attribute file is damaged, and the file is incomplete:"
                       : "The header of the attribute file is damaged:")
                : "The attribute file is incomplete:";
    text += "\n\n" + path + "\n\n\n";
    if (damaged)
        text += "Its records were read from where its field list ends.";
    if (incomplete) {
        if (damaged)
            text += " ";
        text += std::to_string(table.GetRecordsPresent()) + " of " +
                std::to_string(table.GetRecordCount()) + " records could be read.";
    }
    return text;
}

const char* const g_FieldTypeNames[6] = {"FT_String", "FT_Int",     "FT_Double",
                                         "FT_Date",   "FT_Boolean", ""};

std::int32_t GetFieldTypeFromName(const char* name) {
    if (name == nullptr)
        return -1;
    for (std::int32_t type = 0; g_FieldTypeNames[type][0] != '\0'; ++type) {
        if (std::strcmp(name, g_FieldTypeNames[type]) == 0)
            return type;
    }
    return -1;
}

bool IsValidFieldValue(const char* text, std::int32_t type) {
    if (text == nullptr)
        return false;
    const std::string_view value(text);
    if (value.empty())
        return true;
    switch (type) {
    case FT_String:
        return true;
    case FT_Int: {
        std::size_t i = (value[0] == '+' || value[0] == '-') ? 1 : 0;
        if (i == value.size())
            return false;
        for (; i < value.size(); ++i) {
            if (!IsDigit(value[i]))
                return false;
        }
        return true;
    }
    case FT_Double:
        return IsSingleNumber(value);
    case FT_Date:
        // YYYYMMDD; the year and the length of the month are not checked.
        return IsSingleNumber(value) && value.size() == 8 &&
               IsTwoDigitNumberIn(value.substr(4, 2), 1, 12) &&
               IsTwoDigitNumberIn(value.substr(6, 2), 1, 31);
    case FT_Boolean:
        if (value.size() != 1)
            return false;
        switch (ToUpperAscii(value[0])) {
        case 'Y':
        case 'N':
        case 'T':
        case 'F':
        case '?':
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

bool IsValidFieldName(const char* name) {
    if (name == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    if (length < 1 || length > kMaxNameLength)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = name[i];
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != '_')
            return false;
    }
    return true;
}
