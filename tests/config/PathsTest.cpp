// Tests of config/Paths: STARTUP_DIR, GetWorkingDirectory and
// MakeAbsolutePath.
#include "config/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(Paths, StartupDirIsFixedWhileRelativePathsFollowTheWorkingDirectory) {
    // The test program does not change its directory before this test.
    const std::string before = STARTUP_DIR;
    ASSERT_FALSE(before.empty());
    EXPECT_EQ('/', before.back());
    EXPECT_EQ(GetWorkingDirectory(), before);
    EXPECT_EQ(before + "a.png", MakeAbsolutePath("a.png"));
    CTempDir dir;
    const std::string cwd = std::filesystem::canonical(dir.Path()).generic_string() + "/";
    CChangeDirectory inside(dir.Path());
    EXPECT_EQ(before, STARTUP_DIR);
    EXPECT_EQ(before, StartupDirectory());
    EXPECT_EQ(cwd, GetWorkingDirectory());
    const struct { std::string path, absolute; } cases[] = {
        // Which names are absolute: FilePathTest.
        {"gfx\\logo.png", cwd + "gfx\\logo.png"} /* stored form kept */, {"", cwd},
        {"C:\\games\\gfx\\logo.png", "C:\\games\\gfx\\logo.png"}, {"/usr/share/x.png", "/usr/share/x.png"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.absolute, MakeAbsolutePath(c.path)) << c.path;
}

#ifndef _WIN32
// A removed working directory is POSIX's: Windows keeps a folder in use.
TEST(Paths, RootIsNotDoubledAndAnUnreadableDirectoryGivesRoot) {
    {
        CChangeDirectory inside("/");
        EXPECT_EQ("/", GetWorkingDirectory());
    }
    CTempDir dir;
    dir.Write("gone/file", "x");
    CChangeDirectory inside(dir.File("gone"));
    const std::string command = "rm -rf '" + dir.File("gone") + "'";
    ASSERT_EQ(0, std::system(command.c_str()));
    EXPECT_EQ("/", GetWorkingDirectory());
    EXPECT_EQ("/gfx\\logo.png", MakeAbsolutePath("gfx\\logo.png"));
}
#endif

TEST(Paths, ImagesTheWorkingDirectoryLacksComeFromTheInstalledData) {
    CTempDir dir;
    const std::string root = std::filesystem::canonical(dir.Path()).generic_string() + "/";
    dir.Write("installed/gfx/Logo.png", "x");
    dir.Write("installed/gfx/own.png", "x");
    dir.Write("work/gfx/Own.png", "x");
    CChangeDirectory inside(dir.File("work"));
    SetInstalledDataDirectory(root + "installed/");
    const struct { std::string path, absolute; } cases[] = {
        {"gfx\\logo.png", root + "installed/gfx\\logo.png"},  // in any letter case
        {"gfx\\own.png", root + "work/gfx\\own.png"},         // the folder's own first
        {"gfx\\none.png", root + "work/gfx\\none.png"},       // missing everywhere: as without
        {"/abs.png", "/abs.png"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.absolute, MakeAbsolutePath(c.path)) << c.path;
    SetInstalledDataDirectory("");
    EXPECT_EQ(root + "work/gfx\\logo.png", MakeAbsolutePath("gfx\\logo.png"));
}
