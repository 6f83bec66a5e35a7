// Unit tests of the OS layer's file functions: reading in chunks and the
// all-or-nothing replacement, with the step and errno a failure reports.

#include "../../acfutils/os/os_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string read_all(const std::string &path, size_t chunk)
{
    os_file_t *f = os_file_open_read(path.c_str());
    EXPECT_NE(f, nullptr) << strerror(errno);
    if (f == nullptr)
        return {};
    std::string out;
    std::string buf(chunk, '\0');
    for (;;) {
        long long n = os_file_read(f, &buf[0], buf.size());
        EXPECT_GE(n, 0);
        if (n <= 0)
            break;
        out.append(buf.data(), static_cast<size_t>(n));
    }
    os_file_close(f);
    return out;
}

size_t files_in(const std::string &dir)
{
    size_t n = 0;
    for (const auto &e : fs::directory_iterator(dir)) {
        static_cast<void>(e);
        n++;
    }
    return n;
}

} // namespace

TEST(OsFile, ReadsWhatWasWrittenInAnyChunkSize)
{
    temp_dir dir;
    std::string data;
    for (int i = 0; i < 5000; i++)
        data += static_cast<char>(i * 7); // every byte value, NULs and CRs included
    write_file(dir / "f", data);
    for (size_t chunk : {1u, 7u, 4096u, 65536u})
        EXPECT_EQ(read_all(dir / "f", chunk), data) << "chunk " << chunk;
}

TEST(OsFile, OpeningSaysWhyItCannot)
{
    temp_dir dir;
    errno = 0;
    EXPECT_EQ(os_file_open_read((dir / "missing").c_str()), nullptr);
    EXPECT_EQ(errno, ENOENT);
    errno = 0;
    EXPECT_EQ(os_file_open_read(dir.path().c_str()), nullptr);
    EXPECT_EQ(errno, EISDIR) << "a folder is not read as an empty file";
    errno = 0;
    EXPECT_EQ(os_file_open_read(nullptr), nullptr);
    EXPECT_EQ(errno, EINVAL);
}

TEST(OsFile, ReplaceWritesNewAndReplacesOldFilesLeavingNoTemporary)
{
    temp_dir dir;
    char tmp[512];
    const char *step = nullptr;
    const std::string path = dir / "settings.cfg";
    ASSERT_TRUE(os_file_replace(path.c_str(), "first\n", 6, tmp, sizeof(tmp), &step));
    EXPECT_EQ(read_file(path), "first\n");
    ASSERT_TRUE(os_file_replace(path.c_str(), "second, longer\n", 15, tmp, sizeof(tmp), &step));
    EXPECT_EQ(read_file(path), "second, longer\n");
    ASSERT_TRUE(os_file_replace(path.c_str(), "", 0, tmp, sizeof(tmp), &step));
    EXPECT_EQ(read_file(path), "");
    EXPECT_EQ(files_in(dir.path()), 1u);
}

TEST(OsFile, FailedReplaceNamesTheStepAndKeepsTheTarget)
{
    temp_dir dir;
    char tmp[512];
    const char *step = nullptr;

    // No folder to put the temporary file in.
    const std::string orphan = dir / "no-such-folder/settings.cfg";
    errno = 0;
    EXPECT_FALSE(os_file_replace(orphan.c_str(), "x", 1, tmp, sizeof(tmp), &step));
    EXPECT_STREQ(step, "create");
    EXPECT_EQ(errno, ENOENT);

    // The target is a folder: the rename fails, the folder and its contents stay.
    const std::string folder = dir / "folder";
    fs::create_directory(folder);
    write_file(folder + "/inside", "kept");
    errno = 0;
    EXPECT_FALSE(os_file_replace(folder.c_str(), "x", 1, tmp, sizeof(tmp), &step));
    EXPECT_STREQ(step, "rename");
    EXPECT_NE(errno, 0);
    EXPECT_EQ(read_file(folder + "/inside"), "kept");
    EXPECT_FALSE(fs::exists(tmp)) << "the temporary file " << tmp << " is removed";
    EXPECT_EQ(files_in(dir.path()), 1u);

    // A name that cannot hold the temporary file's suffix.
    char small[8];
    errno = 0;
    EXPECT_FALSE(os_file_replace(folder.c_str(), "x", 1, small, sizeof(small), &step));
    EXPECT_STREQ(step, "name");
    EXPECT_EQ(errno, ENAMETOOLONG);
}
