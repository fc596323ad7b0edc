// Tests of platform/WorkingDirectory.
#include "platform/WorkingDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A removed working directory: PathsTest.
TEST(PlatformWorkingDirectory, ReadsLongNames) {
    CTempDir dir;
    std::string expected = std::filesystem::canonical(dir.Path()).string();
    std::string relative;
    for (int i = 0; i < 8; ++i) {  // well beyond the first 1024-byte buffer
        relative += (i ? "/" : "") + std::string(200, 'd');
        expected += "/" + std::string(200, 'd');
    }
    dir.Write(relative + "/file", "x");
    CChangeDirectory inside(dir.File(relative));
    std::string out;
    EXPECT_TRUE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ(expected, out);
}

TEST(PlatformWorkingDirectory, UserStateFolderFollowsXdgThenHomeAndIgnoresRelativeNames) {
    const struct { const char *xdg, *home, *expected; } cases[] = {
        {"/x/state", "/home/u", "/x/state/quillfen"}, {nullptr, "/home/u", "/home/u/.local/state/quillfen"},
        {"", "/home/u", "/home/u/.local/state/quillfen"}, {"rel/state", "/home/u", "/home/u/.local/state/quillfen"},
        {nullptr, nullptr, ""}, {nullptr, "", ""}, {"rel", "home", ""},
    };
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const auto& c : cases) {
        auto set = [](const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); };
        set("XDG_STATE_HOME", c.xdg);
        set("HOME", c.home);
        std::string out, reason;
        const bool found = PlatformGetUserStateDirectory("quillfen", out, reason);
        EXPECT_EQ(c.expected, found ? out : "") << c.xdg << " " << c.home;
        EXPECT_EQ(found, reason.empty());
    }
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", savedHome.c_str(), 1);
}
