#pragma once
// A buffered binary output file that replaces its target only when complete.
//
// Open writes to a temporary file beside the target; Close flushes it to disk
// and renames it into place. A write that failed (a full disk, say), a failed
// flush, Discard, or a writer destroyed without Close leaves whatever was at the
// target path untouched, so an export or save that goes wrong never costs the
// user the good file they had.
//
// Renaming over the target needs only the folder's permission, so the writer
// itself refuses a target file that is marked read-only. A temporary file that
// an interrupted save left beside a target is removed by the next save to it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

class CFileWriter {
public:
    CFileWriter() = default;
    // Discards the temporary file unless Close committed it.
    virtual ~CFileWriter();

    CFileWriter(const CFileWriter&) = delete;
    CFileWriter& operator=(const CFileWriter&) = delete;

    // Why the last Open failed.
    enum OpenError { FOE_None, FOE_ReadOnly, FOE_CannotCreate };

    // Starts writing the file at path; once committed it replaces (truncates)
    // any file there. Fails on a null path, on a writer that is already open,
    // on a target that is read-only (see IsReadOnlyFile), or when the folder
    // cannot take a new file.
    virtual bool Open(const char* path);
    OpenError GetOpenError() const { return m_OpenError; }
    // True when a file stands at path (a link is followed) and its permission
    // bits give us no write access: the owner's bit for its owner, the
    // group's for its group, the others' bit otherwise. The super-user, whom
    // the system lets write anything, is held to the file's being writable by
    // someone, so that a file marked read-only stays so for every user.
    static bool IsReadOnlyFile(const char* path);
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
    OpenError m_OpenError = FOE_None;
};

// The message for a save refused because its target is read-only; it names
// the file.
std::string ReadOnlyFileMessage(const std::string& path);
// The message for a save that could not start: the read-only one when that
// was the reason, otherwise the general text given.
std::string OpenFailureMessage(CFileWriter::OpenError error, const std::string& path, const std::string& general);
inline std::string OpenFailureMessage(const CFileWriter& writer, const std::string& path, const std::string& general) {
    return OpenFailureMessage(writer.GetOpenError(), path, general);
}

// Writes a whole file through a writer: true when it now stands at path. On
// false the file that was there is left as it was, and error (when given)
// says whether the target was read-only.
bool WriteWholeFile(const std::string& path, std::string_view bytes, CFileWriter::OpenError* error = nullptr);
