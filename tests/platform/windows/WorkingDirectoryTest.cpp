// Tests of the Windows half of platform/WorkingDirectory: folder names in the
// game's form (UTF-8, '/' between parts) and the user's folder for the log.
#include "platform/WorkingDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(PlatformWorkingDirectory, ReadsLongAndNonLatinNamesInTheGamesForm) {
    CTempDir dir;
    std::string relative = "Caf\xc3\xa9-\xe6\x97\xa5\xe6\x9c\xac";
    for (int i = 0; i < 2; ++i) relative += "/" + std::string(200, 'd');  // beyond MAX_PATH
    std::filesystem::create_directories(std::filesystem::u8path(dir.File(relative)));
    const std::string expected = std::filesystem::canonical(dir.Path()).generic_string() + "/" + relative;
    CChangeDirectory inside(std::filesystem::u8path(dir.File(relative)).string());
    std::string out;
    ASSERT_TRUE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ(expected, out);
    ASSERT_TRUE(PlatformGetExecutableDirectory(out));
    EXPECT_EQ(out.find('\\'), std::string::npos) << out;
}

TEST(PlatformWorkingDirectory, UserStateFolderIsInLocalAppData) {
    const char* saved = std::getenv("LOCALAPPDATA");
    const std::string restore = saved ? saved : "";
    const struct { const char *value, *expected; } cases[] = {
        {"C:\\Users\\u\\AppData\\Local", "C:/Users/u/AppData/Local/Quillfen"},
        {"D:\\", "D:/Quillfen"}, {"relative", ""}, {"", ""},
    };
    for (const auto& c : cases) {
        _putenv_s("LOCALAPPDATA", c.value);
        std::string out, reason;
        const bool found = PlatformGetUserStateDirectory(out, reason);
        EXPECT_EQ(c.expected, found ? out : "") << c.value;
        EXPECT_EQ(found, reason.empty());
    }
    _putenv_s("LOCALAPPDATA", restore.c_str());
}
