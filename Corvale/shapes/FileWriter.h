#pragma once
// A buffered binary output file that replaces its target only when complete.
//
// Open writes to a temporary file beside the target; Close flushes it to disk
// and renames it into place. A write that failed (a full disk, say), a failed
// flush, Discard, or a writer destroyed without Close leaves whatever was at the
// target path untouched, so an export or save that goes wrong never costs the
// user the good file they had.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class CFileWriter {
public:
    CFileWriter() = default;
    // Discards the temporary file unless Close committed it.
    virtual ~CFileWriter();

    CFileWriter(const CFileWriter&) = delete;
    CFileWriter& operator=(const CFileWriter&) = delete;

    // Starts writing the file at path; once committed it replaces (truncates)
    // any file there. Fails on a null path, on a writer that is already open,
    // or when the folder cannot take a new file.
    virtual bool Open(const char* path);
    virtual bool IsOpen() const;
    // Pushes what was written to the disk without committing: false when a
    // write so far failed or the data cannot be stored (a full disk), and the
    // writer will then not commit. Writers of files that belong together
    // flush all before any of them commits, so that a failure leaves none
    // of the targets replaced.
    bool Flush();
    // Commits: true only when every write succeeded and the file now stands at
    // its path. On false the target is as it was before Open. Closed afterwards.
    virtual bool Close();
    // Bytes written, as the stream reports them; a short count marks the
    // writer as failed so that Close will not commit.
    virtual std::size_t Write(const void* buffer, std::size_t n);

    // Byte offset of the next write, -1 when closed.
    std::int64_t GetPosition() const;
    // Abandons what has been written; the target stays as it was.
    void Discard();

private:
    std::FILE* m_Stream = nullptr;
    std::string m_TempPath;
    std::string m_TargetPath;
    bool m_Failed = false;
};
