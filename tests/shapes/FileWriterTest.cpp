#include "shapes/FileWriter.h"

#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::vector<unsigned char> kOld(1000, 'o');

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++n;
    }
    return n;
}

// Makes writes beyond a small size fail as they do on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_Saved);
        m_SavedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_Saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_Saved);
        std::signal(SIGXFSZ, m_SavedHandler);
    }

private:
    rlimit m_Saved{};
    void (*m_SavedHandler)(int) = nullptr;
};

} // namespace

TEST(FileWriter, CloseCommitsAndReplacesTheOldContent) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    WriteBytes(path, kOld);
    ::chmod(path.c_str(), 0640);

    CFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    EXPECT_TRUE(writer.IsOpen());
    EXPECT_EQ(writer.GetPosition(), 0);
    EXPECT_EQ(writer.Write("abc", 3), 3u);
    EXPECT_EQ(writer.GetPosition(), 3);
    // Until Close the old file is what stands at the path.
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(writer.GetPosition(), -1);

    EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{'a', 'b', 'c'}));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(FileWriter, AnAbandonedWriteLeavesTheOldFileAndNoLitter) {
    enum class How { Discard, Destroy, FailedWrite };
    for (How how : {How::Discard, How::Destroy, How::FailedWrite}) {
        TempDir dir;
        const std::string path = dir.file("out.bin");
        WriteBytes(path, kOld);
        {
            CFileWriter writer;
            ASSERT_TRUE(writer.Open(path.c_str()));
            std::vector<unsigned char> big(64 * 1024, 'n');
            if (how == How::FailedWrite) {
                FileSizeLimit limit(4096);
                // Stdio buffers; the failure shows at the latest when Close flushes.
                writer.Write(big.data(), big.size());
                EXPECT_FALSE(writer.Close());
            } else {
                writer.Write(big.data(), big.size());
                if (how == How::Discard)
                    writer.Discard();
            }
        }
        EXPECT_EQ(ReadBytes(path), kOld) << static_cast<int>(how);
        EXPECT_EQ(FilesIn(dir.path()), 1u) << static_cast<int>(how);
    }
}

TEST(FileWriter, WritesThroughASymbolicLinkToItsTarget) {
    TempDir dir;
    WriteBytes(dir.file("real.bin"), kOld);
    ASSERT_EQ(::symlink("real.bin", dir.file("link.bin").c_str()), 0);
    CFileWriter writer;
    ASSERT_TRUE(writer.Open(dir.file("link.bin").c_str()));
    writer.Write("x", 1);
    ASSERT_TRUE(writer.Close());
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link.bin").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(dir.file("real.bin")), std::vector<unsigned char>{'x'});
}

TEST(FileWriter, RefusesWhatItCannotWrite) {
    TempDir dir;
    CFileWriter writer;
    EXPECT_FALSE(writer.Open(nullptr));
    EXPECT_FALSE(writer.Open(dir.file("no/such/folder.bin").c_str()));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(writer.Write("x", 1), 0u);
    EXPECT_FALSE(writer.Close());

    ASSERT_TRUE(writer.Open(dir.file("a.bin").c_str()));
    EXPECT_FALSE(writer.Open(dir.file("b.bin").c_str()));
    EXPECT_TRUE(writer.Close());
    EXPECT_TRUE(FileExists(dir.file("a.bin")));
    EXPECT_FALSE(FileExists(dir.file("b.bin")));
}

// The rename that commits needs only the folder's permission, so the writer
// must look at the file's own bits; this holds for the super-user too, who
// runs these tests and whom the system would let write anything.
TEST(FileWriter, RefusesAReadOnlyTargetAndLeavesItAsItWas) {
    struct Case {
        mode_t mode;
        bool readOnly;
    } cases[] = {{0444, true}, {0400, true}, {0644, false}, {0200, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        TempDir dir;
        const std::string path = dir.file("kept.bin");
        WriteBytes(path, kOld);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        EXPECT_EQ(CFileWriter::IsReadOnlyFile(path.c_str()), c.readOnly);
        CFileWriter writer;
        if (c.readOnly) {
            EXPECT_FALSE(writer.Open(path.c_str()));
            EXPECT_EQ(writer.GetOpenError(), CFileWriter::FOE_ReadOnly);
            EXPECT_EQ(ReadBytes(path), kOld);
            EXPECT_EQ(FilesIn(dir.path()), 1u);
            const std::string message = OpenFailureMessage(writer, path, "general");
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find("read-only"), std::string::npos) << message;
        } else {
            ASSERT_TRUE(writer.Open(path.c_str()));
            EXPECT_EQ(writer.GetOpenError(), CFileWriter::FOE_None);
            EXPECT_TRUE(writer.Close());
        }
    }
    // Through a link the file it points at decides.
    TempDir dir;
    WriteBytes(dir.file("real.bin"), kOld);
    ::chmod(dir.file("real.bin").c_str(), 0444);
    ASSERT_EQ(::symlink("real.bin", dir.file("link.bin").c_str()), 0);
    CFileWriter writer;
    EXPECT_FALSE(writer.Open(dir.file("link.bin").c_str()));
    EXPECT_EQ(ReadBytes(dir.file("real.bin")), kOld);
    // A new file, and a failure that is not about permission, are no read-only case.
    EXPECT_FALSE(CFileWriter::IsReadOnlyFile(dir.file("new.bin").c_str()));
    EXPECT_FALSE(writer.Open(dir.file("no/such/folder.bin").c_str()));
    EXPECT_EQ(OpenFailureMessage(writer, "x", "general"), "general");
}

// A save killed before it committed leaves its temporary file; the next save
// to the same target clears it, but never the file of a writer still open,
// and never a file of another target.
TEST(FileWriter, TheNextSaveRemovesWhatAnInterruptedSaveLeft) {
    TempDir dir;
    const std::string path = dir.file("map.cvw");
    WriteBytes(path, kOld);
    WriteBytes(dir.file(".map.cvw.a1B2c3"), kOld);   // left by a killed save
    WriteBytes(dir.file(".other.cvw.a1B2c3"), kOld); // another target's
    WriteBytes(dir.file(".map.cvw.toolong7"), kOld); // not a name the writer makes

    CFileWriter open;
    ASSERT_TRUE(open.Open(path.c_str()));
    EXPECT_FALSE(FileExists(dir.file(".map.cvw.a1B2c3")));
    EXPECT_TRUE(FileExists(dir.file(".other.cvw.a1B2c3")));
    EXPECT_TRUE(FileExists(dir.file(".map.cvw.toolong7")));
    open.Write("x", 1);

    CFileWriter second;
    ASSERT_TRUE(second.Open(path.c_str()));
    second.Write("y", 1);
    ASSERT_TRUE(open.Close()); // its temporary file survived the second Open
    EXPECT_EQ(ReadBytes(path), std::vector<unsigned char>{'x'});
    ASSERT_TRUE(second.Close());
    EXPECT_EQ(ReadBytes(path), std::vector<unsigned char>{'y'});
    EXPECT_EQ(FilesIn(dir.path()), 3u);
}
