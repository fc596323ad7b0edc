// Tests of the Windows half of platform/WorkingDirectory: folder names in the
// game's form (UTF-8, '/' between parts) and the user's folder for the log.
#include "platform/WorkingDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(PlatformWorkingDirectory, ReadsNonLatinNamesInTheGamesForm) {
    namespace fs = std::filesystem;
    CTempDir dir;
    const std::string name = "Caf\xc3\xa9-\xe6\x97\xa5\xe6\x9c\xac/d";  // "Café-日本/d"
    fs::create_directories(fs::u8path(dir.File(name)));
    const fs::path before = fs::current_path();
    fs::current_path(fs::u8path(dir.File(name)));
    std::string out;
    const bool read = PlatformGetWorkingDirectory(out);
    fs::current_path(before);
    ASSERT_TRUE(read);
    EXPECT_EQ(fs::canonical(dir.Path()).generic_string() + "/" + name, out);
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
        SetEnvironment("LOCALAPPDATA", c.value);
        std::string out, reason;
        const bool found = PlatformGetUserStateDirectory("Quillfen", out, reason);
        EXPECT_EQ(c.expected, found ? out : "") << c.value;
        EXPECT_EQ(found, reason.empty());
    }
    SetEnvironment("LOCALAPPDATA", restore.c_str());
}
