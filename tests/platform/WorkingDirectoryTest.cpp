// Tests of platform/WorkingDirectory.
#include "platform/WorkingDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

TEST(PlatformWorkingDirectory, ReadsLongNamesAndFailsForARemovedDirectory) {
    CTempDir dir;
    std::string expected = std::filesystem::canonical(dir.Path()).string();
    std::string relative;
    for (int i = 0; i < 8; ++i) {  // well beyond the first 1024-byte buffer
        relative += (i ? "/" : "") + std::string(200, 'd');
        expected += "/" + std::string(200, 'd');
    }
    dir.Write(relative + "/gone/file", "x");
    std::string out;
    {
        CChangeDirectory inside(dir.File(relative));
        EXPECT_TRUE(PlatformGetWorkingDirectory(out));
        EXPECT_EQ(expected, out);
    }
    CChangeDirectory inside(dir.File(relative + "/gone"));
    ASSERT_EQ(0, ::unlink("file"));
    ASSERT_EQ(0, ::rmdir(dir.File(relative + "/gone").c_str()));
    out = "unchanged";
    EXPECT_FALSE(PlatformGetWorkingDirectory(out));
    EXPECT_EQ("unchanged", out);
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
