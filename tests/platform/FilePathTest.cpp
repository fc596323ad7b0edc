// Tests of platform/FilePath: absolute forms, backslash translation and the
// case-insensitive resolution of stored names.
#include "platform/FilePath.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/stat.h>

namespace {

// The shared temporary folder, with the real (symbolic-link free) name, since
// NativePath returns names as they are found on disk.
class LocalTempDir {
public:
    LocalTempDir() {
        char* real = ::realpath(dir_.Path().c_str(), nullptr);
        path_ = real ? real : dir_.Path();
        std::free(real);
    }
    const std::string& Path() const { return path_; }
    void MakeDir(const std::string& relative) const { ::mkdir((path_ + "/" + relative).c_str(), 0755); }
    void MakeFile(const std::string& relative) const { dir_.Write(relative, "x"); }

private:
    CTempDir dir_;
    std::string path_;
};

}  // namespace

TEST(PathIsAbsolute, SlashInFrontIsAbsolute) {
    EXPECT_TRUE(IsAbsolutePath("/"));
    EXPECT_TRUE(IsAbsolutePath("/tmp/x.ini"));
}

TEST(PathIsAbsolute, DriveLetterFormIsAbsolute) {
    EXPECT_TRUE(IsAbsolutePath("C:\\data\\x.ini"));
    EXPECT_TRUE(IsAbsolutePath("C:x"));
    EXPECT_TRUE(IsAbsolutePath("d:"));
}

TEST(PathIsAbsolute, EverythingElseIsRelative) {
    EXPECT_FALSE(IsAbsolutePath(""));
    EXPECT_FALSE(IsAbsolutePath("x"));
    EXPECT_FALSE(IsAbsolutePath(":"));  // one character counts as relative
    EXPECT_FALSE(IsAbsolutePath("gfx\\logo.png"));
    EXPECT_FALSE(IsAbsolutePath("\\gfx\\logo.png"));
    EXPECT_FALSE(IsAbsolutePath("ab:c"));
}

TEST(PathNative, BackslashesBecomeSlashes) {
    EXPECT_EQ("no_such_dir_q7/level_static.ini", NativePath("no_such_dir_q7\\level_static.ini"));
    EXPECT_EQ("/no_such_dir_q7/a/b", NativePath("/no_such_dir_q7\\a/b"));
    EXPECT_EQ("", NativePath(""));
}

TEST(PathNative, DriveLetterIsTakenFromTheRoot) {
    EXPECT_EQ("/no_such_dir_q7/x.ini", NativePath("C:\\no_such_dir_q7\\x.ini"));
    EXPECT_EQ("/no_such_dir_q7/x.ini", NativePath("C:no_such_dir_q7\\x.ini"));
    EXPECT_EQ("/", NativePath("C:\\"));
    EXPECT_EQ("/", NativePath("C:"));
}

TEST(PathNative, ExactNameIsKept) {
    LocalTempDir dir;
    dir.MakeDir("Lvl");
    dir.MakeFile("Lvl/Level_Static.INI");
    EXPECT_EQ(dir.Path() + "/Lvl/Level_Static.INI", NativePath(dir.Path() + "\\Lvl\\Level_Static.INI"));
}

TEST(PathNative, ComponentsAreResolvedWithoutRegardToCase) {
    LocalTempDir dir;
    dir.MakeDir("Lvl");
    dir.MakeFile("Lvl/Level_Static.INI");
    dir.MakeDir("fnt");
    dir.MakeFile("fnt/Lucida Console.ttf");
    EXPECT_EQ(dir.Path() + "/Lvl/Level_Static.INI", NativePath(dir.Path() + "/lvl\\level_static.ini"));
    EXPECT_EQ(dir.Path() + "/Lvl/Level_Static.INI", NativePath(dir.Path() + "/LVL\\LEVEL_STATIC.ini"));
    EXPECT_EQ(dir.Path() + "/fnt/Lucida Console.ttf", NativePath(dir.Path() + "/FNT\\lucida console.TTF"));
}

TEST(PathNative, RelativeNamesAreResolvedInTheCurrentDirectory) {
    LocalTempDir dir;
    dir.MakeDir("gfx");
    dir.MakeFile("gfx/Tovik.PNG");
    CChangeDirectory inside(dir.Path());
    EXPECT_EQ("gfx/Tovik.PNG", NativePath("gfx\\tovik.png"));
    EXPECT_EQ("gfx/Tovik.PNG", NativePath("GFX\\TOVIK.png"));
    EXPECT_EQ("./gfx/Tovik.PNG", NativePath(".\\Gfx\\tovik.png"));
}

TEST(PathNative, ExactSpellingIsPreferredThenByteOrder) {
    LocalTempDir dir;
    dir.MakeFile("a.txt");
    dir.MakeFile("A.txt");
    EXPECT_EQ(dir.Path() + "/a.txt", NativePath(dir.Path() + "\\a.txt"));
    EXPECT_EQ(dir.Path() + "/A.txt", NativePath(dir.Path() + "\\A.txt"));
    // No exact spelling: the smallest name in byte order ("A" < "a").
    EXPECT_EQ(dir.Path() + "/A.txt", NativePath(dir.Path() + "\\a.TXT"));
}

TEST(PathNative, MissingComponentKeepsTheRestAsGiven) {
    LocalTempDir dir;
    dir.MakeDir("Lvl");
    EXPECT_EQ(dir.Path() + "/Lvl/Missing/X.ini", NativePath(dir.Path() + "/lvl\\Missing\\X.ini"));
    EXPECT_EQ(dir.Path() + "/Lvl/nothing.ini", NativePath(dir.Path() + "/LVL\\nothing.ini"));
}

TEST(PathNative, DotDotAndTrailingSeparatorsSurvive) {
    LocalTempDir dir;
    dir.MakeDir("Sub");
    dir.MakeDir("Other");
    dir.MakeFile("Other/File.txt");
    EXPECT_EQ(dir.Path() + "/Sub/../Other/File.txt", NativePath(dir.Path() + "\\sub\\..\\other\\file.txt"));
    EXPECT_EQ(dir.Path() + "/Sub/", NativePath(dir.Path() + "\\SUB\\"));
}
