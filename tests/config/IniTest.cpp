// Tests of config/Ini: the typed getters, the number conversions and file names.
#include "config/Ini.h"

#include "config/Paths.h"
#include "platform/CIniReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

TEST(IniGetters, DefaultsValuesAndBooleans) {
    CIniReader::ClearCacheForTesting();
    CTempDir dir;
    const std::string file = dir.Write("config.ini",
        "[game]\nsizeH=600\nempty=\nstray=64e\nnan=nan\none=1\nspacedone=  1  \n"
        "true=true\nzero=0\noneone=01\n");
    const std::string missing = dir.File("missing.ini");
    EXPECT_EQ("dflt", IniReadString("game", "sizeW", "dflt", missing));
    EXPECT_EQ(600, IniReadInt("game", "sizeH", 800, file));  // which value a file gives: CIniReaderTest
    // An absent key yields the default itself, not its text read back ("1e+06").
    EXPECT_EQ(-1000000, IniReadInt("game", "absent", -1000000, file));
    EXPECT_DOUBLE_EQ(0.123456789, IniReadDouble("game", "absent", 0.123456789, file));
    // A present empty value: the numeric default, the empty text, false.
    EXPECT_EQ(33, IniReadInt("game", "empty", 33, file));
    EXPECT_DOUBLE_EQ(3.5, IniReadDouble("game", "empty", 3.5, file));
    EXPECT_EQ("", IniReadString("game", "empty", "dflt", file));
    EXPECT_FALSE(IniReadBool("game", "empty", true, file));
    EXPECT_DOUBLE_EQ(64.0, IniReadDouble("game", "stray", 0.0, file));
    EXPECT_DOUBLE_EQ(2.0, IniReadDouble("game", "nan", 2.0, file));
    // Booleans: exactly "1" is true.
    const struct { const char* key; bool defaultValue, expected; } booleans[] = {
        {"one", false, true}, {"spacedone", false, true}, {"true", true, false}, {"zero", true, false},
        {"oneone", true, false}, {"absent", true, true}, {"absent", false, false},
    };
    for (const auto& b : booleans) EXPECT_EQ(b.expected, IniReadBool("game", b.key, b.defaultValue, file)) << b.key;
}

TEST(IniConversions, NumberAtTheStartOfTheText) {
    const int I = -1;         // default for StringToInt
    const double D = -1.5;    // default for StringToDouble
    const struct { const char* text; int asInt; double asDouble; } cases[] = {
        {"12abc", 12, 12.0},      {"1.9", 1, 1.9},           {"2.5e1x", 2, 25.0},
        {"0.25abc", 0, 0.25},     {"64e", 64, 64.0},         {"25e=06", 25, 25.0},
        {"1e+", 1, 1.0},          {"3E-1", 3, 0.3},          {"-42", -42, -42.0},
        {" 7", 7, 7.0},           {"\t\n 7", 7, 7.0},        {"+5", 5, 5.0},
        {"-.5", I, -0.5},         {"5.", 5, 5.0},            {".", I, D},
        {"x7", I, D},             {"", I, D},                {"   ", I, D},
        {"-", I, D},              {"12 34", 12, 12.0},       {"0x1A", 0, 0.0},
        {"2147483647", INT_MAX, 2147483647.0},               {"-2147483648", INT_MIN, -2147483648.0},
        {"2147483648", I, 2147483648.0},                     {"99999999999999999999", I, 1e20},
        {"1e999", 1, D},          {"1e-999", 1, 0.0},        {"nan", I, D},
        {"NaN", I, D},            {"inf", I, D},             {"-infinity", I, D},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.asInt, StringToInt(c.text, I)) << '"' << c.text << '"';
        const double value = StringToDouble(c.text, D);
        EXPECT_TRUE(std::isfinite(value)) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(c.asDouble, value) << '"' << c.text << '"';
    }
}

TEST(IniFileNames, RelativeNamesAreResolvedAgainstTheStartupDirectory) {
    CIniReader::ClearCacheForTesting();
    CTempDir startup, elsewhere;
    const std::string file = startup.Write("lvl/level_static.ini", "[block0]\nx=42\n");
    startup.Write("Q", "[s]\nk=1\n");
    elsewhere.Write("lvl/level_static.ini", "[block0]\nx=7\n");
    const std::string before = StartupDirectory();
    SetStartupDirectoryForTesting(startup.Path() + "/");
    {
        // A change of the working directory does not change what relative names mean.
        CChangeDirectory inside(elsewhere.Path());
        EXPECT_EQ(42, IniReadInt("block0", "x", 0, "lvl\\level_static.ini"));
        EXPECT_EQ(42, IniReadInt("block0", "x", 0, "LVL\\Level_Static.INI"));
        EXPECT_EQ(1, IniReadInt("s", "k", 0, "Q"));  // one character counts as relative
#ifndef _WIN32
        // The drive-letter form is used unchanged, taken from the root (Linux drops the drive).
        EXPECT_EQ(42, IniReadInt("block0", "x", 0, "C:" + file));
#endif
        EXPECT_EQ(42, IniReadInt("block0", "x", 0, file));
    }
    SetStartupDirectoryForTesting(before);
}
