// Tests of platform/WorkingDirectory.
#include "platform/WorkingDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

TEST(PlatformWorkingDirectory, ReadsLongNamesAndFailsForARemovedDirectory) {
    CTempDir dir;
    char* real = ::realpath(dir.Path().c_str(), nullptr);
    std::string expected = real;
    std::free(real);
    std::string relative;
    for (int i = 0; i < 8; ++i) {  // well beyond the first 1024-byte buffer
        relative += (i ? "/" : "") + std::string(200, 'd');
        expected += "/" + std::string(200, 'd');
    }
    dir.Write(relative + "/gone/file", "x");
    std::string out;
    {
        CChangeDirectory inside(dir.File(relative));
        EXPECT_TRUE(PlatformGetWorkingDirectory(out));
        EXPECT_EQ(expected, out);
    }
    CChangeDirectory inside(dir.File(relative + "/gone"));
    ASSERT_EQ(0, ::unlink("file"));
    ASSERT_EQ(0, ::rmdir(dir.File(relative + "/gone").c_str()));
    out = "unchanged";
    EXPECT_FALSE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ("unchanged", out);
}
