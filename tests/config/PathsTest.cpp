// Tests of config/Paths: the path table, STARTUP_DIR, GetWorkingDirectory and
// MakeAbsolutePath.
#include "config/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

std::string RealName(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    std::string result = real ? real : path;
    std::free(real);
    return result;
}

std::string Cwd() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

}  // namespace

TEST(PathTable, StoredNames) {
    EXPECT_EQ("config.ini", CONFIG_FILE);
    EXPECT_EQ("gfx\\logo.png", LOGO_IMAGE);
    EXPECT_EQ("gfx\\tovik.png", PLAYER_IMAGE);
    EXPECT_EQ("lvl\\level_static.ini", LEVEL_STATIC_FILE);
    EXPECT_EQ("lvl\\level_check.ini", LEVEL_CHECK_FILE);
    EXPECT_EQ("lvl\\level_platform.ini", LEVEL_PLATFORM_FILE);
    EXPECT_EQ("lvl\\level_finish.ini", LEVEL_FINISH_FILE);
    EXPECT_EQ("ass\\ets.0", ASSETS_FILE_0);
    EXPECT_EQ("ass\\ets.1", ASSETS_FILE_1);
    EXPECT_EQ("fnt\\Lucida Console.ttf", DEFAULT_FONT_FILE);
}

TEST(PathStartupDir, IsTheWorkingDirectoryAtStartWithSeparator) {
    // The test program does not change its directory before this test.
    ASSERT_FALSE(STARTUP_DIR.empty());
    EXPECT_EQ('/', STARTUP_DIR.back());
    EXPECT_EQ(GetWorkingDirectory(), STARTUP_DIR);
    EXPECT_EQ(STARTUP_DIR, StartupDirectory());
}

TEST(PathStartupDir, DoesNotFollowTheWorkingDirectory) {
    const std::string before = STARTUP_DIR;
    CTempDir dir;
    CChangeDirectory inside(dir.Path());
    EXPECT_EQ(before, STARTUP_DIR);
    EXPECT_EQ(before, StartupDirectory());
    EXPECT_NE(before, GetWorkingDirectory());
}

TEST(PathWorkingDirectory, CurrentDirectoryWithSlash) {
    CTempDir dir;
    CChangeDirectory inside(dir.Path());
    EXPECT_EQ(RealName(dir.Path()) + "/", GetWorkingDirectory());
}

TEST(PathWorkingDirectory, RootIsNotDoubled) {
    CChangeDirectory inside("/");
    EXPECT_EQ("/", GetWorkingDirectory());
}

TEST(PathWorkingDirectory, UnreadableDirectoryGivesRoot) {
    CTempDir dir;
    dir.Write("gone/file", "x");
    CChangeDirectory inside(dir.File("gone"));
    std::string command = "rm -rf '" + dir.File("gone") + "'";
    ASSERT_EQ(0, std::system(command.c_str()));
    EXPECT_EQ("/", GetWorkingDirectory());
    EXPECT_EQ("/gfx\\logo.png", MakeAbsolutePath("gfx\\logo.png"));
}

TEST(PathMakeAbsolute, RelativeNamesGetTheCurrentDirectoryInFront) {
    CTempDir dir;
    CChangeDirectory inside(dir.Path());
    const std::string cwd = RealName(dir.Path()) + "/";
    EXPECT_EQ(cwd + "gfx\\logo.png", MakeAbsolutePath("gfx\\logo.png"));  // stored form kept
    EXPECT_EQ(cwd + "x", MakeAbsolutePath("x"));  // one character counts as relative
    EXPECT_EQ(cwd + ":", MakeAbsolutePath(":"));
    EXPECT_EQ(cwd, MakeAbsolutePath(""));
    EXPECT_EQ(cwd + "fnt\\Lucida Console.ttf", MakeAbsolutePath(DEFAULT_FONT_FILE));
}

TEST(PathMakeAbsolute, AbsoluteNamesAreUnchanged) {
    EXPECT_EQ("C:\\games\\quillfen\\gfx\\logo.png", MakeAbsolutePath("C:\\games\\quillfen\\gfx\\logo.png"));
    EXPECT_EQ("d:x", MakeAbsolutePath("d:x"));
    EXPECT_EQ("/usr/share/x.png", MakeAbsolutePath("/usr/share/x.png"));
    EXPECT_EQ("/", MakeAbsolutePath("/"));
}

TEST(PathMakeAbsolute, AsksForTheDirectoryAnewOnEveryCall) {
    const std::string first = MakeAbsolutePath("a.png");
    EXPECT_EQ(Cwd() + "/a.png", first);
    CTempDir dir;
    CChangeDirectory inside(dir.Path());
    EXPECT_EQ(RealName(dir.Path()) + "/a.png", MakeAbsolutePath("a.png"));
    EXPECT_NE(first, MakeAbsolutePath("a.png"));
}
