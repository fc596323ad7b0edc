#include "platform/CFileWatcher.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Every way an editor saves is one report, once the files are quiet; other files
// of the same folder are none. The clock is passed by hand.
TEST(FileWatcher, ReportsEachSaveOnceAfterItsFilesAreQuiet) {
    CTempDir folder;
    const std::string level = folder.Write("lvl/level.ini", "[main]\n");
    const std::string image = folder.Write("gfx/a.png", "x");
    folder.Write("lvl/other.ini", "");
    struct Case {
        const char* name;
        std::function<void()> save;
        bool reported;
    };
    const std::vector<Case> cases = {
        {"written in steps", [&] { folder.Write("lvl/level.ini", "[ma"); folder.Write("lvl/level.ini", "[main]\ncount=1\n"); }, true},
        {"replaced by a rename", [&] { std::filesystem::rename(folder.Write("lvl/.level.ini.swp", "[main]\n"), level); }, true},
        {"deleted and made anew", [&] { std::remove(image.c_str()); folder.Write("gfx/a.png", "yy"); }, true},
        {"another file", [&] { folder.Write("lvl/other.ini", "[x]\n"); }, false},
        {"nothing", [] {}, false},
    };
    CFileWatcher watcher;
    std::string error;
    ASSERT_TRUE(watcher.Watch({level, image, folder.File("missing/x.ini")}, error) == false);
    EXPECT_NE(error.find("missing"), std::string::npos);
    std::uint32_t now = 1000;
    for (const Case& c : cases) {
        c.save();
        now += CFileWatcher::POLL_MS;  // where files are polled, not at every call
        EXPECT_FALSE(watcher.Changed(now)) << c.name << ": reported before the files were quiet";
        now += CFileWatcher::QUIET_MS;
        EXPECT_EQ(watcher.Changed(now), c.reported) << c.name;
        now += CFileWatcher::QUIET_MS;
        EXPECT_FALSE(watcher.Changed(now)) << c.name << ": reported twice";
    }
    // Following fewer files: the level alone.
    ASSERT_TRUE(watcher.Watch({level}, error)) << error;
    folder.Write("gfx/a.png", "z");
    EXPECT_FALSE(watcher.Changed(now += CFileWatcher::QUIET_MS));
    EXPECT_FALSE(watcher.Changed(now += CFileWatcher::QUIET_MS));
}
