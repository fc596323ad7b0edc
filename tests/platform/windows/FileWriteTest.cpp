// Output files on Windows: only a regular file is written; a folder or a device
// name under the name is refused and left as it is.
#include "platform/FileWrite.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(FileWrite, OnlyARegularFileIsWrittenAndAnythingElseUnderTheNameIsLeftAsItIs) {
    CTempDir dir;
    dir.Write("old.txt", "an old run, longer than the new one\n");
    std::filesystem::create_directory(dir.File("folder"));
    const struct {
        std::string name, error;  // error "" when written
    } cases[] = {
        {dir.File("new.txt"), ""},           {dir.File("old.txt"), ""},
        {dir.File("folder"), "not a regular file"}, {dir.File("NUL"), "not a regular file"},
        {dir.File("con.txt"), "not a regular file"}, {"\\\\.\\COM1", "not a regular file"},
    };
    for (const auto& c : cases) {
        std::string error;
        const bool written = PlatformWriteFile(c.name, "new\n", 4, error);
        EXPECT_EQ(written, c.error.empty()) << c.name;
        EXPECT_EQ(written ? "" : error, c.error) << c.name;
    }
    EXPECT_EQ(dir.Read("new.txt"), "new\n");
    EXPECT_EQ(dir.Read("old.txt"), "new\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
}
