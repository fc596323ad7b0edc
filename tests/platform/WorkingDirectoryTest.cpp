// Tests of platform/WorkingDirectory.
#include "platform/WorkingDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string RealName(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    std::string result = real ? real : path;
    std::free(real);
    return result;
}

}  // namespace

TEST(PlatformWorkingDirectory, ReportsTheCurrentDirectoryWithoutSeparator) {
    CTempDir dir;
    CChangeDirectory inside(dir.Path());
    std::string out;
    EXPECT_TRUE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ(RealName(dir.Path()), out);
}

TEST(PlatformWorkingDirectory, RootIsSlash) {
    CChangeDirectory inside("/");
    std::string out;
    EXPECT_TRUE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ("/", out);
}

TEST(PlatformWorkingDirectory, LongDirectoryNamesAreRead) {
    CTempDir dir;
    std::string expected = RealName(dir.Path());
    const std::string component(200, 'd');
    std::string relative;
    for (int i = 0; i < 8; ++i) {  // well beyond the first 1024-byte buffer
        relative += (i ? "/" : "") + component;
        expected += "/" + component;
    }
    dir.Write(relative + "/file", "x");
    CChangeDirectory inside(dir.File(relative));
    std::string out;
    EXPECT_TRUE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ(expected, out);
    EXPECT_GT(out.size(), 1600u);
}

TEST(PlatformWorkingDirectory, RemovedDirectoryFails) {
    CTempDir dir;
    dir.Write("gone/file", "x");
    CChangeDirectory inside(dir.File("gone"));
    ASSERT_EQ(0, ::unlink("file"));
    ASSERT_EQ(0, ::rmdir(dir.File("gone").c_str()));
    std::string out = "unchanged";
    EXPECT_FALSE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ("unchanged", out);
}
