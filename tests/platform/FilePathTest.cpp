// Tests of platform/FilePath: absolute forms, backslash translation and the
// case-insensitive resolution of stored names.
#include "platform/FilePath.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

TEST(FilePath, AbsoluteFormsAreASlashOrADriveLetter) {
    const struct { const char* path; bool absolute; } cases[] = {
        {"/", true}, {"/tmp/x.ini", true}, {"C:\\data\\x.ini", true}, {"C:x", true}, {"d:", true},
        {"", false}, {"x", false}, {":", false}, {"gfx\\logo.png", false}, {"\\gfx\\logo.png", false},
        {"ab:c", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.absolute, IsAbsolutePath(c.path)) << c.path;
}

TEST(FilePath, NamesThatDoNotExistAreOnlyTranslated) {
    const struct { const char* stored; const char* native; } cases[] = {
        {"no_such_dir_q7\\level_static.ini", "no_such_dir_q7/level_static.ini"}, {"", ""}, {"C:\\", "/"},
        {"/no_such_dir_q7\\a/b", "/no_such_dir_q7/a/b"}, {"C:\\no_such_dir_q7\\x.ini", "/no_such_dir_q7/x.ini"},
        {"C:no_such_dir_q7\\x.ini", "/no_such_dir_q7/x.ini"}, {"C:", "/"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.native, NativePath(c.stored)) << c.stored;
}

TEST(FilePath, ComponentsAreResolvedWithoutRegardToCase) {
    CTempDir temp;
    // The real (symbolic-link free) name: NativePath returns names as found on disk.
    const std::string d = std::filesystem::canonical(temp.Path()).string();
    for (const char* file : {"Lvl/Level_Static.INI", "a.txt", "A.txt",
                             "Other/File.txt", "gfx/Tovik.PNG", "gfx/Caf\xC3\xA9.png", "gfx/x\xC3\xA9.png",
                             "gfx/x\xE9.png"})
        temp.Write(file, "x");
    ::mkdir((d + "/Sub").c_str(), 0755);
    const struct { std::string stored, native; } cases[] = {
        {d + "\\Lvl\\Level_Static.INI", d + "/Lvl/Level_Static.INI"},
        {d + "/lvl\\level_static.ini", d + "/Lvl/Level_Static.INI"},
        // The exact spelling is preferred, then the smallest name in byte order.
        {d + "\\a.txt", d + "/a.txt"}, {d + "\\A.txt", d + "/A.txt"}, {d + "\\a.TXT", d + "/A.txt"},
        // From the first component that cannot be found on, the rest stays as given.
        {d + "/lvl\\Missing\\X.ini", d + "/Lvl/Missing/X.ini"},
        {d + "\\sub\\..\\other\\file.txt", d + "/Sub/../Other/File.txt"}, {d + "\\SUB\\", d + "/Sub/"},
        // Stored names are Latin-1; names here are UTF-8, tried after the bytes themselves.
        {d + "\\GFX\\caf\xE9.PNG", d + "/gfx/Caf\xC3\xA9.png"}, {d + "/gfx\\caf\xC3\xA9.png", d + "/gfx/Caf\xC3\xA9.png"},
        {d + "/gfx\\x\xE9.png", d + "/gfx/x\xE9.png"}, {d + "/gfx\\caf\xC9.png", d + "/gfx/caf\xC9.png"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.native, NativePath(c.stored)) << c.stored;

    CChangeDirectory inside(d);  // relative names: in the current directory
    EXPECT_EQ("gfx/Tovik.PNG", NativePath("GFX\\tovik.png"));
    EXPECT_EQ("./gfx/Tovik.PNG", NativePath(".\\Gfx\\tovik.png"));
}

TEST(FilePath, MakesMissingFoldersForTheOwnerAloneAndRefusesAFileInTheWay) {
    CTempDir temp;
    std::string error;
    const std::string state = temp.File("home/.local/state/quillfen");
    ASSERT_TRUE(PlatformMakeDirectories(state, error)) << error;
    EXPECT_TRUE(PlatformMakeDirectories(state + "/", error)) << "an existing folder is fine";
    struct stat st;
    ASSERT_EQ(0, ::stat(temp.File("home/.local").c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 0777u);

    temp.Write("file", "x");
    EXPECT_FALSE(PlatformMakeDirectories(temp.File("file"), error));
    EXPECT_FALSE(PlatformMakeDirectories(temp.File("file/below"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(PlatformMakeDirectories("", error));

    ASSERT_EQ(0, ::symlink("nowhere", temp.File("dangling").c_str()));
    EXPECT_TRUE(PlatformPathExists(temp.File("dangling")));
    EXPECT_TRUE(PlatformPathExists(state));
    EXPECT_FALSE(PlatformPathExists(temp.File("missing")));
}
