#pragma once
// A read-only, memory-mapped input file with a read position.
//
// Shape-file themes keep pointers straight into the mapped view (records are
// never copied), so a reader stays open for as long as anything read from it is
// in use. Positions and sizes are 64-bit: a position past the end reads nothing
// instead of wrapping around.

#include <cstddef>
#include <cstdint>

class CFileReader {
public:
    CFileReader() = default;
    virtual ~CFileReader();

    CFileReader(const CFileReader&) = delete;
    CFileReader& operator=(const CFileReader&) = delete;

    // Maps the whole of an existing regular file. Fails on a null name, when a
    // file is already open (the open one stays), on a missing or unreadable
    // file, on anything that is not a regular file and on an empty file, which
    // cannot be mapped. A failed open leaves the reader closed and reusable.
    virtual bool Open(const char* fileName);
    virtual bool IsOpen() const;
    // True when the position is at or beyond the end of the file.
    virtual bool IsEOF() const;
    // Unmaps and closes; harmless on a closed reader.
    virtual void Close();
    // Copies min(n, size - position) bytes (none when the position is at or
    // past the end) and advances the position by the count returned.
    virtual std::size_t Read(void* buffer, std::size_t n);
    // Stores the position as given; reads past the end simply return nothing.
    virtual void SetPosition(std::uint64_t offset);
    virtual std::uint64_t GetPosition() const;
    // Start of the mapped view, or null when closed.
    virtual const unsigned char* GetData() const;
    // The byte at the position, or null when closed or at or past the end.
    virtual const unsigned char* GetCurrentPointer() const;

    std::uint64_t GetSize() const { return m_Size; }

private:
    std::uint64_t m_Size = 0;
    int m_File = -1;
    const unsigned char* m_View = nullptr;
    std::uint64_t m_Position = 0;
};
