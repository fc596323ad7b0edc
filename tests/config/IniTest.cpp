// Tests of config/Ini: the typed getters and conversions.
#include "config/Ini.h"

#include "config/Paths.h"
#include "platform/CIniReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniGetters : public testing::Test {
protected:
    void SetUp() override {
        CIniReader::ClearCacheForTesting();
        file = dir.Write("config.ini",
                         "[game]\n"
                         "sizeH=600\n"
                         "empty=\n"
                         "int12abc=12abc\n"
                         "int19=1.9\n"
                         "double=2.5e1x\n"
                         "quarter=0.25abc\n"
                         "abc=abc\n"
                         "one=1\n"
                         "zero=0\n"
                         "two=2\n"
                         "true=true\n"
                         "yes=yes\n"
                         "oneone=01\n"
                         "spacedone=  1  \n"
                         "negative=-42\n"
                         "huge=99999999999\n"
                         "big=1000000\n");
    }
    void TearDown() override { CIniReader::ClearCacheForTesting(); }

    CTempDir dir;
    std::string file;
};

// A folder made inside STARTUP_DIR, for relative names; removed at the end.
class StartupSubDir {
public:
    StartupSubDir() {
        std::string pattern = STARTUP_DIR + "initest.XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a folder in " << STARTUP_DIR;
            return;
        }
        path_ = pattern;
        name_ = path_.substr(STARTUP_DIR.size());
    }
    ~StartupSubDir() {
        if (path_.empty()) return;
        std::string command = "rm -rf '" + path_ + "'";
        if (std::system(command.c_str()) != 0) ADD_FAILURE() << "cannot remove " << path_;
    }
    const std::string& Name() const { return name_; }  // relative to STARTUP_DIR
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string name_;
};

void WriteFile(const std::string& name, const std::string& content) {
    FILE* out = std::fopen(name.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
}

// Replaces every '/' by a backslash: the stored form.
std::string Stored(std::string name) {
    for (char& c : name) {
        if (c == '/') c = '\\';
    }
    return name;
}

}  // namespace

TEST_F(IniGetters, MissingFileYieldsEveryDefault) {
    const std::string missing = dir.File("missing.ini");
    EXPECT_EQ("dflt", IniReadString("game", "sizeW", "dflt", missing));
    EXPECT_EQ(800, IniReadInt("game", "sizeW", 800, missing));
    EXPECT_DOUBLE_EQ(1.5, IniReadDouble("game", "sizeW", 1.5, missing));
    EXPECT_TRUE(IniReadBool("game", "sizeW", true, missing));
    EXPECT_FALSE(IniReadBool("game", "sizeW", false, missing));
}

TEST_F(IniGetters, MissingSectionYieldsDefault) {
    EXPECT_EQ(7, IniReadInt("nogame", "sizeH", 7, file));
    EXPECT_EQ("x", IniReadString("nogame", "sizeH", "x", file));
}

TEST_F(IniGetters, SectionPresentKeyAbsentYieldsDefault) {
    EXPECT_EQ(800, IniReadInt("game", "sizeW", 800, file));
    EXPECT_EQ(600, IniReadInt("game", "sizeH", 800, file));
}

TEST_F(IniGetters, LargeDefaultsComeBackUnchanged) {
    // Not through the default's text ("1e+06" would read back as 1).
    EXPECT_EQ(-1000000, IniReadInt("game", "absent", -1000000, file));
    EXPECT_EQ(1000000, IniReadInt("game", "absent", 1000000, file));
    EXPECT_EQ(INT_MIN, IniReadInt("game", "absent", INT_MIN, file));
    EXPECT_DOUBLE_EQ(0.123456789, IniReadDouble("game", "absent", 0.123456789, file));
    EXPECT_EQ(1000000, IniReadInt("game", "big", 5, file));
}

TEST_F(IniGetters, EmptyValue) {
    EXPECT_EQ(33, IniReadInt("game", "empty", 33, file));
    EXPECT_DOUBLE_EQ(3.5, IniReadDouble("game", "empty", 3.5, file));
    EXPECT_EQ("", IniReadString("game", "empty", "dflt", file));
    EXPECT_FALSE(IniReadBool("game", "empty", true, file));
    EXPECT_FALSE(IniReadBool("game", "empty", false, file));
}

TEST_F(IniGetters, BooleanIsTrueOnlyForOne) {
    EXPECT_TRUE(IniReadBool("game", "one", false, file));
    EXPECT_TRUE(IniReadBool("game", "spacedone", false, file));  // the reader trims
    EXPECT_FALSE(IniReadBool("game", "true", true, file));
    EXPECT_FALSE(IniReadBool("game", "zero", true, file));
    EXPECT_FALSE(IniReadBool("game", "two", true, file));
    EXPECT_FALSE(IniReadBool("game", "yes", true, file));
    EXPECT_FALSE(IniReadBool("game", "oneone", true, file));
    EXPECT_TRUE(IniReadBool("game", "absent", true, file));
    EXPECT_FALSE(IniReadBool("game", "absent", false, file));
}

TEST_F(IniGetters, NumbersAtTheStartOfTheText) {
    EXPECT_EQ(12, IniReadInt("game", "int12abc", 0, file));
    EXPECT_EQ(1, IniReadInt("game", "int19", 0, file));
    EXPECT_DOUBLE_EQ(25.0, IniReadDouble("game", "double", 0.0, file));
    EXPECT_DOUBLE_EQ(0.25, IniReadDouble("game", "quarter", 0.0, file));
    EXPECT_DOUBLE_EQ(-42.0, IniReadDouble("game", "negative", 0.0, file));
    EXPECT_EQ(-42, IniReadInt("game", "negative", 0, file));
}

TEST_F(IniGetters, TextWithoutNumberYieldsDefault) {
    EXPECT_EQ(9, IniReadInt("game", "abc", 9, file));
    EXPECT_DOUBLE_EQ(9.5, IniReadDouble("game", "abc", 9.5, file));
    EXPECT_EQ(9, IniReadInt("game", "true", 9, file));
}

TEST_F(IniGetters, OutOfRangeYieldsDefault) {
    EXPECT_EQ(3, IniReadInt("game", "huge", 3, file));
    EXPECT_DOUBLE_EQ(99999999999.0, IniReadDouble("game", "huge", 3.0, file));
}

TEST_F(IniGetters, StringValueAsWritten) {
    EXPECT_EQ("12abc", IniReadString("game", "int12abc", "", file));
    EXPECT_EQ("600", IniReadString("GAME", "SIZEH", "", file));
}

TEST_F(IniGetters, FileChangedBetweenTwoReads) {
    const std::string changing = dir.Write("change.ini", "[game]\nsizeH=600\n");
    struct timespec first[2] = {{2000000000, 5}, {2000000000, 5}};
    struct timespec second[2] = {{2000000000, 6}, {2000000000, 6}};
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, changing.c_str(), first, 0));
    EXPECT_EQ(600, IniReadInt("game", "sizeH", 0, changing));
    // Same length, a modification time one nanosecond later.
    WriteFile(changing, "[game]\nsizeH=700\n");
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, changing.c_str(), second, 0));
    EXPECT_EQ(700, IniReadInt("game", "sizeH", 0, changing));
    // Another length, the same modification time.
    WriteFile(changing, "[game]\nsizeH=80000\n");
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, changing.c_str(), second, 0));
    EXPECT_EQ(80000, IniReadInt("game", "sizeH", 0, changing));
    EXPECT_EQ("80000", IniReadString("game", "sizeH", "", changing));
    // Removed.
    ASSERT_EQ(0, std::remove(changing.c_str()));
    EXPECT_EQ(5, IniReadInt("game", "sizeH", 5, changing));
}

TEST(IniFileNames, RelativeNamesAreResolvedAgainstStartupDir) {
    CIniReader::ClearCacheForTesting();
    StartupSubDir sub;
    ASSERT_FALSE(sub.Name().empty());
    ::mkdir((sub.Path() + "/lvl").c_str(), 0755);
    WriteFile(sub.Path() + "/lvl/level_static.ini", "[block0]\nx=42\n");
    EXPECT_EQ(42, IniReadInt("block0", "x", 0, sub.Name() + "\\lvl\\level_static.ini"));
    EXPECT_EQ(42, IniReadInt("block0", "x", 0, sub.Name() + "/lvl/level_static.ini"));
    // Stored names name files in any case.
    EXPECT_EQ(42, IniReadInt("block0", "x", 0, sub.Name() + "\\LVL\\Level_Static.INI"));

    // A later change of the working directory does not change what relative names mean.
    CTempDir elsewhere;
    ::mkdir(elsewhere.File(sub.Name()).c_str(), 0755);
    elsewhere.Write(sub.Name() + "/lvl/level_static.ini", "[block0]\nx=7\n");
    CChangeDirectory inside(elsewhere.Path());
    EXPECT_EQ(42, IniReadInt("block0", "x", 0, sub.Name() + "\\lvl\\level_static.ini"));
}

TEST(IniFileNames, AbsoluteNamesAreUsedUnchanged) {
    CIniReader::ClearCacheForTesting();
    CTempDir dir;
    const std::string file = dir.Write("abs/config.ini", "[game]\nsizeW=640\n");
    EXPECT_EQ(640, IniReadInt("game", "sizeW", 0, file));
    // The drive-letter form: used unchanged (not put after STARTUP_DIR); the
    // platform layer takes it from the root.
    EXPECT_EQ(640, IniReadInt("game", "sizeW", 0, "C:" + Stored(file)));
    EXPECT_EQ(640, IniReadInt("game", "sizeW", 0, "c:" + file));
}

TEST(IniFileNames, OneCharacterNameIsRelative) {
    CIniReader::ClearCacheForTesting();
    const std::string name = "Q";
    const std::string full = STARTUP_DIR + name;
    struct stat st;
    if (::stat(full.c_str(), &st) == 0) GTEST_SKIP() << full << " exists already";
    WriteFile(full, "[s]\nk=1\n");
    EXPECT_EQ(1, IniReadInt("s", "k", 0, name));
    std::remove(full.c_str());
}

TEST(IniStringToInt, Conversions) {
    EXPECT_EQ(7, StringToInt(" 7", -1));
    EXPECT_EQ(7, StringToInt("\t\n 7", -1));
    EXPECT_EQ(-1, StringToInt("x7", -1));
    EXPECT_EQ(-1, StringToInt("", -1));
    EXPECT_EQ(-1, StringToInt("   ", -1));
    EXPECT_EQ(-1, StringToInt("-", -1));
    EXPECT_EQ(12, StringToInt("12abc", -1));
    EXPECT_EQ(1, StringToInt("1.9", -1));
    EXPECT_EQ(5, StringToInt("+5", -1));
    EXPECT_EQ(-5, StringToInt("-5", -1));
    EXPECT_EQ(12, StringToInt("12 34", -1));
    EXPECT_EQ(0, StringToInt("0x1A", -1));  // decimal digits only
    EXPECT_EQ(INT_MAX, StringToInt("2147483647", -1));
    EXPECT_EQ(INT_MIN, StringToInt("-2147483648", -1));
    EXPECT_EQ(-1, StringToInt("2147483648", -1));
    EXPECT_EQ(-1, StringToInt("-2147483649", -1));
    EXPECT_EQ(-1, StringToInt("99999999999999999999", -1));
}

TEST(IniStringToDouble, Conversions) {
    EXPECT_DOUBLE_EQ(25.0, StringToDouble("2.5e1x", -1.0));
    EXPECT_DOUBLE_EQ(0.25, StringToDouble("0.25abc", -1.0));
    EXPECT_DOUBLE_EQ(-1.0, StringToDouble("abc", -1.0));
    EXPECT_DOUBLE_EQ(-1.0, StringToDouble("", -1.0));
    EXPECT_DOUBLE_EQ(7.0, StringToDouble(" 7", -1.0));
    EXPECT_DOUBLE_EQ(-0.5, StringToDouble("-.5", -1.0));
    EXPECT_DOUBLE_EQ(1.9, StringToDouble("1.9", -1.0));
    EXPECT_DOUBLE_EQ(1e10, StringToDouble("1e10", -1.0));
    EXPECT_DOUBLE_EQ(-1.0, StringToDouble("1e999", -1.0));  // out of range
}
