#include "shapes/ShapeFile.h"

#include "platform/ByteOrder.h"
#include "shapes/FileReader.h"
#include "shapes/FileWriter.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>
#include <system_error>
#include <thread>
#include <vector>

using namespace corvale;

namespace {

constexpr std::uint32_t kFileCode = 9994;
constexpr std::uint32_t kVersion = 1000;
constexpr std::uint64_t kHeaderSize = 100;
// The file length is stored in 16-bit words in an unsigned 32-bit field.
constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFull * 2;

bool IsZType(std::uint32_t type) { return type == SHT_PointZ || type == SHT_PolylineZ || type == SHT_PolygonZ; }

bool IsFileShapeType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_Polyline || type == SHT_Polygon || type == SHT_PointZ ||
           type == SHT_PolylineZ || type == SHT_PolygonZ;
}

bool WriteAll(CFileWriter& writer, const void* bytes, std::size_t n) { return writer.Write(bytes, n) == n; }

bool WriteZeros(CFileWriter& writer, std::uint64_t n) {
    static const unsigned char zeros[4096] = {};
    while (n > 0) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(n, sizeof zeros));
        if (!WriteAll(writer, zeros, chunk))
            return false;
        n -= chunk;
    }
    return true;
}

// Size in bytes of a record once written in the layout of fileType.
std::uint64_t WrittenSize(const CShapeRecord* record, std::uint32_t fileType) {
    switch (fileType) {
    case SHT_Point:
        return 28;
    case SHT_PointZ:
        return 44;
    default: {
        const std::uint64_t parts = CShapeRecord::GetPartCount(record);
        const std::uint64_t points = CShapeRecord::GetPointCount(record);
        std::uint64_t size = 52 + 4 * parts + 16 * points;
        if (IsZType(fileType))
            size += 32 + 16 * points;
        return size;
    }
    }
}

bool WriteRecordAs(CFileWriter& writer, const CShapeRecord* record, std::uint32_t index, std::uint32_t fileType) {
    const std::uint64_t size = WrittenSize(record, fileType);
    unsigned char head[12];
    WriteBE32(head, index + 1);
    WriteBE32(head + 4, static_cast<std::uint32_t>((size - 8) / 2));
    WriteLE32(head + 8, fileType);
    if (!WriteAll(writer, head, sizeof head))
        return false;

    // A Z record read without its M block is written with one of zeros, as a
    // 2D record in a Z file is: every record of the file has the same layout.
    const unsigned char* b = CShapeRecord::Bytes(record);
    const bool recordHasZ = IsZType(CShapeRecord::GetShapeType(record));
    const bool recordHasM = recordHasZ && CShapeRecord::HasM(record);
    if (CShapeRecord::IsPointType(fileType)) {
        unsigned char body[32] = {};
        std::copy(b + 12, b + 28, body);
        if (fileType == SHT_PointZ && recordHasZ)
            std::copy(b + 28, b + (recordHasM ? 44 : 36), body + 16);
        return WriteAll(writer, body, fileType == SHT_PointZ ? 32 : 16);
    }

    const std::uint64_t points = CShapeRecord::GetPointCount(record);
    const std::uint64_t planeEnd = 52 + 4 * static_cast<std::uint64_t>(CShapeRecord::GetPartCount(record)) + 16 * points;
    if (!WriteAll(writer, b + 12, static_cast<std::size_t>(planeEnd - 12)))
        return false;
    if (!IsZType(fileType))
        return true;
    const std::uint64_t block = 16 + 8 * points;
    if (!recordHasZ)
        return WriteZeros(writer, 2 * block);
    if (!WriteAll(writer, b + planeEnd, static_cast<std::size_t>(block)))
        return false;
    if (recordHasM)
        return WriteAll(writer, b + planeEnd + block, static_cast<std::size_t>(block));
    return WriteZeros(writer, block);
}

struct Bounds {
    bool started = false;
    double v[8] = {}; // xmin ymin xmax ymax zmin zmax mmin mmax

    void Add(double xmin, double ymin, double xmax, double ymax, double zmin, double zmax, double mmin,
             double mmax) {
        const double lo[4] = {xmin, ymin, zmin, mmin};
        const double hi[4] = {xmax, ymax, zmax, mmax};
        const int loSlot[4] = {0, 1, 4, 6};
        const int hiSlot[4] = {2, 3, 5, 7};
        for (int k = 0; k < 4; ++k) {
            // A damaged record may carry an inverted box; it still widens
            // the file's box both ways, so that the header written is never
            // inverted and the file opens again.
            const double a = hi[k] < lo[k] ? hi[k] : lo[k];
            const double b = hi[k] < lo[k] ? lo[k] : hi[k];
            if (!started || a < v[loSlot[k]])
                v[loSlot[k]] = a;
            if (!started || b > v[hiSlot[k]])
                v[hiSlot[k]] = b;
        }
        started = true;
    }
};

} // namespace

namespace {

// The entries an index header announces by its file length.
std::int64_t AnnouncedIndexEntries(const CShapeFileHeader& header) {
    return header.m_FileLength >= kHeaderSize
               ? static_cast<std::int64_t>((header.m_FileLength - kHeaderSize) / 8)
               : 0;
}

// The whole entries an index file really holds; 0 for an index not open.
std::int64_t IndexEntriesPresent(const CShapeIndexView& index) {
    if (index.m_Reader == nullptr || !index.m_Reader->IsOpen() ||
        index.m_Reader->GetSize() < kHeaderSize)
        return 0;
    return static_cast<std::int64_t>((index.m_Reader->GetSize() - kHeaderSize) / 8);
}

} // namespace

bool CShapeIndexView::Attach(CFileReader* reader) {
    m_Reader = reader;
    m_RecordCount = -1;
    if (reader == nullptr || !reader->IsOpen())
        return false;
    reader->SetPosition(0);
    if (!ReadShapeFileHeader(*reader, m_Header))
        return false;
    m_RecordCount = std::min(AnnouncedIndexEntries(m_Header), IndexEntriesPresent(*this));
    return true;
}

void ParseShapeFileHeader(const unsigned char* b, CShapeFileHeader& header) {
    header.m_FileCode = ReadBE32(b);
    header.m_FileLength = static_cast<std::uint64_t>(ReadBE32(b + 24)) * 2;
    header.m_Version = ReadLE32(b + 28);
    header.m_ShapeType = ReadLE32(b + 32);
    double* const values[8] = {&header.m_XMin, &header.m_YMin, &header.m_XMax, &header.m_YMax,
                               &header.m_ZMin, &header.m_ZMax, &header.m_MMin, &header.m_MMax};
    for (int k = 0; k < 8; ++k)
        *values[k] = ReadLEDouble(b + 36 + 8 * k);
}

bool ReadShapeFileHeader(CFileReader& reader, CShapeFileHeader& header) {
    unsigned char b[kHeaderSize];
    if (reader.Read(b, sizeof b) != sizeof b)
        return false;
    ParseShapeFileHeader(b, header);
    return true;
}

bool WriteShapeFileHeader(CFileWriter& writer, const CShapeFileHeader& header) {
    unsigned char b[kHeaderSize] = {};
    WriteBE32(b, header.m_FileCode);
    WriteBE32(b + 24, static_cast<std::uint32_t>(header.m_FileLength / 2));
    WriteLE32(b + 28, header.m_Version);
    WriteLE32(b + 32, header.m_ShapeType);
    const double values[8] = {header.m_XMin, header.m_YMin, header.m_XMax, header.m_YMax,
                              header.m_ZMin, header.m_ZMax, header.m_MMin, header.m_MMax};
    for (int k = 0; k < 8; ++k)
        WriteLEDouble(b + 36 + 8 * k, values[k]);
    return WriteAll(writer, b, sizeof b);
}

namespace {

// Index entry i (its record's offset, then its content length, both in
// 16-bit words) within the index's bytes; null when the index is not open
// (index null) or is too short to hold it.
const unsigned char* IndexEntry(const unsigned char* index, std::uint64_t indexSize, std::int64_t i) {
    if (index == nullptr || i < 0)
        return nullptr;
    const std::uint64_t at = kHeaderSize + 8 * static_cast<std::uint64_t>(i);
    return at + 8 <= indexSize ? index + at : nullptr;
}

} // namespace

std::int64_t ReadShapeIndexOffset(const CShapeIndexView& index, std::int64_t i) {
    if (index.m_Reader == nullptr || !index.m_Reader->IsOpen())
        return -1;
    const unsigned char* entry = IndexEntry(index.m_Reader->GetData(), index.m_Reader->GetSize(), i);
    return entry != nullptr ? static_cast<std::int64_t>(ReadBE32(entry)) * 2 : -1;
}

bool WriteShapeIndexEntry(CFileWriter& writer, std::uint64_t byteOffset, std::uint64_t contentBytes) {
    unsigned char b[8];
    WriteBE32(b, static_cast<std::uint32_t>(byteOffset / 2));
    WriteBE32(b + 4, static_cast<std::uint32_t>(contentBytes / 2));
    return WriteAll(writer, b, sizeof b);
}

bool WriteShapeRecordHeader(CFileWriter& writer, const CShapeRecord* record, std::uint32_t i) {
    unsigned char b[8];
    WriteBE32(b, i + 1);
    WriteBE32(b + 4, static_cast<std::uint32_t>((CShapeRecord::GetBodySize(record) + 4) / 2));
    return WriteAll(writer, b, sizeof b);
}

bool WriteShapeRecord(CFileWriter& writer, const CShapeRecord* record, std::uint32_t i) {
    if (record == nullptr || CShapeRecord::GetSize(record) == 0)
        return false;
    return WriteRecordAs(writer, record, i, CShapeRecord::GetShapeType(record));
}

namespace {

// Below this many records the checks run on the calling thread: starting
// threads would cost more than they save.
constexpr std::int64_t kParallelCheckMinRecords = 65536;

// Where index entry i points, when it points at a whole, sound record: the
// record's byte position and size. False for the first entry that would end
// the walk.
// The index's bytes are given as index and indexSize (null and 0 for an
// index that is not open), read once for all entries.
bool CheckIndexedRecord(const unsigned char* index, std::uint64_t indexSize, const unsigned char* data,
                        std::uint64_t size, std::int64_t i, std::uint64_t& position, std::size_t& recordSize) {
    const unsigned char* entry = IndexEntry(index, indexSize, i);
    if (entry == nullptr)
        return false;
    const std::uint64_t offset = static_cast<std::uint64_t>(ReadBE32(entry)) * 2;
    if (offset < kHeaderSize || offset + 8 > size)
        return false;
    position = offset;
    // An entry whose content length is not the one of the record it points
    // at does not point at a record start.
    if (ReadBE32(entry + 4) != ReadBE32(data + position + 4))
        return false;
    return CheckShapeRecordBytes(data + position, size - position, recordSize);
}

// Maps share k of n of a big file's pages in one request rather than one
// page fault at a time: a fresh mapping of a shape file is otherwise faulted
// in record by record, which costs more than checking the records. Kernels
// without the request, or memory that is no mapping, just skip it; a page
// that cannot be read is left to fault (and be refused) as before.
void PopulateShare(const unsigned char* data, std::uint64_t size, std::int64_t k, std::int64_t n) {
#ifdef __linux__
    constexpr int kPopulateRead = 22; // MADV_POPULATE_READ, Linux 5.14
    const long page = ::sysconf(_SC_PAGESIZE);
    if (page <= 0 || n <= 0 || k < 0 || k >= n)
        return;
    const auto base = reinterpret_cast<std::uintptr_t>(data);
    const std::uint64_t first = size / static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(k);
    const std::uint64_t last = k + 1 == n ? size : size / static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(k + 1);
    const std::uintptr_t begin = (base + first) & ~static_cast<std::uintptr_t>(page - 1);
    const std::uintptr_t end = base + last;
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, kPopulateRead);
#else
    (void)data, (void)size, (void)k, (void)n;
#endif
}

// The cores this process may run on: fewer than the machine has when it is
// pinned (taskset, a container's CPU set), and more threads than that only
// take turns on the same cores.
unsigned UsableCoreCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

// Checks entries [0, count) in chunks on one thread per usable core, filling
// positions, and meanwhile hands each chunk's records to deliver, in
// index order, as soon as the chunks before it are through: the callback's
// work overlaps the check of the records after. Returns the number of
// entries before the first that fails (count when none does); exactly those
// are delivered, so the records refused and handed over are the ones a walk
// in file order would refuse and hand over.
template <class DeliverRecord>
std::int64_t CheckAndDeliverIndexedRecords(const CShapeIndexView& shx, const unsigned char* data, std::uint64_t size,
                                           std::int64_t count, std::vector<std::uint64_t>& positions,
                                           unsigned threadCount, DeliverRecord&& deliver) {
    positions.resize(static_cast<std::size_t>(count));
    std::atomic<std::int64_t> firstBad(count);
    const unsigned hardware = threadCount > 0 ? threadCount : UsableCoreCount();
    const std::int64_t threads =
        count < kParallelCheckMinRecords ? 1 : std::min<std::int64_t>(hardware, count / (kParallelCheckMinRecords / 4));
    // Several chunks per thread, so that the first are handed over while
    // the later ones are still being checked.
    const std::int64_t chunks = threads == 1 ? 1 : std::min<std::int64_t>(threads * 8, count / 4096);
    const std::int64_t chunk = std::max<std::int64_t>((count + chunks - 1) / std::max<std::int64_t>(chunks, 1), 1);
    const bool populate = count >= kParallelCheckMinRecords;
    const bool indexOpen = shx.m_Reader != nullptr && shx.m_Reader->IsOpen();
    const unsigned char* const index = indexOpen ? shx.m_Reader->GetData() : nullptr;
    const std::uint64_t indexSize = indexOpen ? shx.m_Reader->GetSize() : 0;
    auto checkChunk = [&](std::int64_t c) {
        const std::int64_t from = c * chunk;
        const std::int64_t to = std::min(count, from + chunk);
        if (populate)
            PopulateShare(data, size, c, chunks);
        for (std::int64_t i = from; i < to; ++i) {
            // A failure found earlier in the file ends every later chunk.
            if ((i & 1023) == 0 && i >= firstBad.load(std::memory_order_relaxed))
                return;
            std::size_t recordSize = 0;
            if (!CheckIndexedRecord(index, indexSize, data, size, i, positions[static_cast<std::size_t>(i)],
                                    recordSize)) {
                std::int64_t seen = firstBad.load();
                while (i < seen && !firstBad.compare_exchange_weak(seen, i)) {
                }
                return;
            }
        }
    };

    // Chunks are taken in order; done[c] is set, under the lock, once chunk
    // c is checked.
    std::atomic<std::int64_t> nextChunk(0);
    std::mutex lock;
    std::condition_variable finished;
    std::vector<char> done(static_cast<std::size_t>(chunks), 0);
    auto takeChunk = [&]() {
        const std::int64_t c = nextChunk.fetch_add(1);
        if (c >= chunks)
            return false;
        checkChunk(c);
        {
            std::lock_guard<std::mutex> guard(lock);
            done[static_cast<std::size_t>(c)] = 1;
        }
        finished.notify_all();
        return true;
    };
    std::vector<std::thread> workers;
    for (std::int64_t t = 1; t < threads; ++t) {
        try {
            workers.emplace_back([&takeChunk] {
                while (takeChunk()) {
                }
            });
        } catch (const std::system_error&) {
            // No thread to spare: this one checks more chunks itself.
            break;
        }
    }
    // This thread hands the chunks over in order, checking a chunk itself
    // whenever the next one to hand over is not through yet.
    std::int64_t delivered = 0;
    for (std::int64_t c = 0; c < chunks; ++c) {
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(lock);
                if (done[static_cast<std::size_t>(c)])
                    break;
                if (nextChunk.load() >= chunks) {
                    finished.wait(guard, [&] { return done[static_cast<std::size_t>(c)] != 0; });
                    break;
                }
            }
            takeChunk();
        }
        // Every chunk up to c is checked, so no failure before its end can
        // still be found: the first failure so far is final for them.
        const std::int64_t end = std::min({count, (c + 1) * chunk, firstBad.load()});
        for (; delivered < end; ++delivered)
            deliver(positions[static_cast<std::size_t>(delivered)]);
        if (end < std::min(count, (c + 1) * chunk))
            break;
    }
    for (std::thread& worker : workers)
        worker.join();
    return firstBad.load();
}

void Deliver(ShapeRecordCallback callback, void* context, const unsigned char* p) {
    const std::uint32_t type = ReadLE32(p + 8);
    CShapeRecord* record = type == SHT_Null ? nullptr : CShapeRecord::FromBytes(const_cast<unsigned char*>(p));
    try {
        callback(context, record, 0);
    } catch (...) {
        // One bad record handler must not end the load of the others.
    }
}

} // namespace

bool ForEachShapeFileRecord(CShapeFileView& shp, const CShapeIndexView* shx, ShapeRecordCallback callback,
                            void* context, unsigned checkThreads) {
    CFileReader* reader = shp.m_Reader;
    if (reader == nullptr || !reader->IsOpen() || callback == nullptr)
        return false;

    reader->SetPosition(0);
    if (!ReadShapeFileHeader(*reader, shp.m_Header))
        return false;
    const CShapeFileHeader& h = shp.m_Header;
    if (h.m_XMax < h.m_XMin || h.m_YMax < h.m_YMin)
        return false;

    const unsigned char* data = reader->GetData();
    const std::uint64_t size = reader->GetSize();
    reader->SetPosition(kHeaderSize);

    if (shx != nullptr) {
        // Through the index every record's place is known beforehand, so the
        // records are checked first, in parallel, and then handed over in
        // order up to the first one refused.
        // The count is bounded by the entries the index file holds, whoever
        // filled in the view: the positions are sized by it.
        const std::int64_t present = IndexEntriesPresent(*shx);
        const std::int64_t count = std::clamp<std::int64_t>(shx->m_RecordCount, 0, present);
        std::vector<std::uint64_t> positions;
        const std::int64_t good =
            CheckAndDeliverIndexedRecords(*shx, data, size, count, positions, checkThreads,
                                          [&](std::uint64_t position) { Deliver(callback, context, data + position); });
        if (good > 0) {
            // The reader stands after the last record handed over, as after a
            // walk in file order.
            const std::uint64_t last = positions[static_cast<std::size_t>(good - 1)];
            std::size_t recordSize = 0;
            CheckShapeRecordBytes(data + last, size - last, recordSize);
            reader->SetPosition(last + recordSize);
        }
        // An index cut short of the entries its header announces (or of the
        // count the caller asked for) is damaged: its records were handed
        // over, but the walk did not reach the end.
        return good == count && count == std::max<std::int64_t>(shx->m_RecordCount, 0) &&
               AnnouncedIndexEntries(shx->m_Header) <= present;
    }

    // In file order the records end where the header says the file ends:
    // some writers leave bytes after the last record. A length shorter than
    // the header itself says nothing and is not used.
    const std::uint64_t end = h.m_FileLength >= kHeaderSize ? std::min(size, h.m_FileLength) : size;
    while (reader->GetPosition() < end) {
        const std::uint64_t position = reader->GetPosition();
        std::size_t recordSize = 0;
        if (!CheckShapeRecordBytes(data + position, size - position, recordSize))
            return false;
        reader->SetPosition(position + recordSize);
        Deliver(callback, context, data + position);
    }
    return true;
}

bool WriteShapeFile(CFileWriter& shp, CFileWriter* shx, std::uint32_t shapeType, std::size_t count,
                    const CShapeRecord* const* records) {
    if (records == nullptr || !IsFileShapeType(shapeType))
        return false;

    CShapeFileHeader header;
    header.m_ShapeType = shapeType;
    Bounds bounds;
    std::uint64_t length = kHeaderSize;
    const bool fileHasZ = IsZType(shapeType);
    for (std::size_t i = 0; i < count; ++i) {
        const CShapeRecord* record = records[i];
        if (record == nullptr || !AreShapeTypesCompatible(CShapeRecord::GetShapeType(record), shapeType))
            return false;
        length += WrittenSize(record, shapeType);
        const bool z = fileHasZ && IsZType(CShapeRecord::GetShapeType(record));
        if (CShapeRecord::IsPointType(shapeType)) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            const double pz = z ? CShapeRecord::GetZ(record, 0) : 0.0;
            const double pm = z ? CShapeRecord::GetM(record, 0) : 0.0;
            bounds.Add(p.x, p.y, p.x, p.y, pz, pz, pm, pm);
        } else {
            bounds.Add(CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record), CShapeRecord::GetMaxX(record),
                       CShapeRecord::GetMaxY(record), z ? CShapeRecord::GetZMin(record) : 0.0,
                       z ? CShapeRecord::GetZMax(record) : 0.0, z ? CShapeRecord::GetMMin(record) : 0.0,
                       z ? CShapeRecord::GetMMax(record) : 0.0);
        }
    }
    if (length > kMaxFileBytes || count > 0xFFFFFFFFu)
        return false;

    header.m_FileLength = length;
    header.m_XMin = bounds.v[0];
    header.m_YMin = bounds.v[1];
    header.m_XMax = bounds.v[2];
    header.m_YMax = bounds.v[3];
    header.m_ZMin = bounds.v[4];
    header.m_ZMax = bounds.v[5];
    header.m_MMin = bounds.v[6];
    header.m_MMax = bounds.v[7];
    if (!WriteShapeFileHeader(shp, header))
        return false;
    if (shx != nullptr) {
        CShapeFileHeader indexHeader = header;
        indexHeader.m_FileLength = kHeaderSize + 8 * static_cast<std::uint64_t>(count);
        if (!WriteShapeFileHeader(*shx, indexHeader))
            return false;
    }

    std::uint64_t offset = kHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t size = WrittenSize(records[i], shapeType);
        if (shx != nullptr && !WriteShapeIndexEntry(*shx, offset, size - 8))
            return false;
        if (!WriteRecordAs(shp, records[i], static_cast<std::uint32_t>(i), shapeType))
            return false;
        offset += size;
    }
    return true;
}
