// Output files: only a regular file is written, nothing blocks, a link is never
// followed, and a write that fails is reported.
#include "platform/FileWrite.h"

#include "support/CFileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

TEST(FileWrite, OnlyARegularFileIsWrittenAndAnythingElseUnderTheNameIsLeftAsItIs) {
    CTempDir dir;
    dir.Write("mine.txt", "a player's file\n");
    dir.Write("old.txt", "an old run, longer than the new one\n");
    ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(dir.File("read pipe").c_str(), 0644), 0);
    const int reader = open(dir.File("read pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(symlink(dir.File("mine.txt").c_str(), dir.File("link").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("nowhere.txt").c_str(), dir.File("dangling").c_str()), 0);
    const struct {
        std::string name, error;  // error "" when written
    } cases[] = {
        {dir.File("new.txt"), ""},
        {dir.File("old.txt"), ""},
        {dir.File("folder"), "not a regular file"},
        {dir.File("pipe"), "not a regular file"},  // no reader: would block for ever
        {dir.File("read pipe"), "not a regular file"},
        {"/dev/null", "not a regular file"},
        {dir.File("link"), "a symbolic link"},
        {dir.File("dangling"), "a symbolic link"},
        {dir.File("no folder/x.txt"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string error;
        const bool written = PlatformWriteFile(c.name, "new\n", 4, error);
        EXPECT_EQ(written, c.error.empty()) << c.name;
        EXPECT_EQ(written ? "" : error, c.error) << c.name;
    }
    close(reader);
    EXPECT_EQ(dir.Read("new.txt"), "new\n");
    EXPECT_EQ(dir.Read("old.txt"), "new\n");
    EXPECT_EQ(dir.Read("mine.txt"), "a player's file\n");
    EXPECT_NE(access(dir.File("nowhere.txt").c_str(), F_OK), 0);
}

TEST(FileWrite, AFullDiskFailsTheWriteAndIsNotTakenForSuccess) {
    CTempDir dir;
    std::string error;
    const std::string content(100000, 'x');
    {
        CFileSizeLimit full(1000);
        EXPECT_FALSE(PlatformWriteFile(dir.File("map.png"), content.data(), content.size(), error));
        EXPECT_EQ(error, "File too large");
        // Small enough to sit in the stream's buffer: it fails only when flushed.
        EXPECT_FALSE(PlatformWriteFile(dir.File("small.png"), content.data(), 1001, error));
    }
    EXPECT_TRUE(PlatformWriteFile(dir.File("map.png"), content.data(), content.size(), error));
    EXPECT_EQ(dir.Read("map.png"), content);
}
