// The logger: line formats, thresholds, the console switch and the log file.
#include "log/Log.h"

#include "support/CFileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class Log : public testing::Test {
protected:
    void TearDown() override { LogResetForTesting(); }

    // What `body` writes to standard output.
    template <class Body>
    std::string Console(Body body) {
        testing::internal::CaptureStdout();
        body();
        return testing::internal::GetCapturedStdout();
    }
    std::string LogFile() const { return dir.Read("logfile.txt"); }
    void EnableBoth() {
        Console([] { LogEnable(), LogEnableFile(); });
    }

    CTempDir dir;
    CChangeDirectory inside{dir.Path()};
};

const std::string FILE_LINE = "FORCED: File logging enabled, writing to logfile.txt...\n";

}  // namespace

TEST_F(Log, WritesNothingBeforeEnableThenStartsAFreshFileOnce) {
    dir.Write("logfile.txt", "an old run\n");
    EXPECT_EQ(Console([] { LogWrite(LOG_FORCED, "forced", ""); }), "");
    EXPECT_EQ(LogFile(), "an old run\n");

    EXPECT_EQ(Console([] {
                  LogEnable(), LogWrite(LOG_STATUS, "console only", ""), LogEnableFile();
                  LogEnable(), LogEnableFile();  // neither writes nor empties again
                  LogWrite(LOG_STATUS, "both", "");
              }),
              "FORCED: Logging enabled...\nSTATUS: console only\n" + FILE_LINE + "STATUS: both\n");
    EXPECT_EQ(LogFile(), FILE_LINE + "STATUS: both\n");  // flushed with every line
}

TEST_F(Log, FormatsEveryLevelWithAndWithoutClassAndNeverReadsTheMessageAsAFormat) {
    EnableBoth();
    const struct {
        int level;
        const char *message, *className, *line;  // line nullptr: dropped
    } cases[] = {
        {LOG_PLAIN, "message alone", "", "message alone"},
        {LOG_PLAIN, "plain", "class CPlayer", "class CPlayer: plain"},
        {LOG_STATUS, "Initializing SDL...", "class CGameBase", "STATUS in class CGameBase: Initializing SDL..."},
        {LOG_WARNING, "no class", "", "WARNING: no class"},
        {LOG_ERROR, "", "class C", "ERROR in class C: "},
        {LOG_FATAL, "div by 0.", "class CPlayer", "FATAL ERROR in class CPlayer: div by 0."},
        {LOG_FORCED, "f", "class C", "FORCED in class C: f"},
        {7, "seven", "class CPlayer", "7 in class CPlayer: seven"},  // script levels above 5
        {-1, "negative", "class C", nullptr},
        {LOG_ERROR, "%s%s%s%s%n %x", "class %s%n", "ERROR in class %s%n: %s%s%s%s%n %x"},
    };
    std::string expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string out = Console([&c] { LogWrite(c.level, c.message, c.className); });
        EXPECT_EQ(out, c.line ? std::string(c.line) + "\n" : "");
        expected += out;
    }
    EXPECT_EQ(LogFile(), FILE_LINE + expected);
}

TEST_F(Log, ThresholdDropsLowerLevelsButNeverForcedAndRefusesValuesOutsideZeroToFour) {
    EnableBoth();
    const struct {
        int setTo;
        const char *setLine, *passing;  // passing: of the levels 0 to 5 and 9, as digits
    } cases[] = {
        {0, "FORCED: Logging level set to 0", "0123459"},
        {4, "FORCED: Logging level set to 4", "459"},
        {5, "FORCED: Tried to set logging level to incorrect value, ignoring: 5", "459"},
        {-1, "FORCED: Tried to set logging level to incorrect value, ignoring: -1", "459"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setTo);
        EXPECT_EQ(Console([&c] { LogSetLevel(c.setTo); }), std::string(c.setLine) + "\n");
        std::string passing;
        for (int level : {0, 1, 2, 3, 4, 5, 9}) {
            if (!Console([level] { LogWrite(level, "x", ""); }).empty()) passing += std::to_string(level);
        }
        EXPECT_EQ(passing, c.passing);
    }
}

TEST_F(Log, ConsoleSwitchOffIsTheLastConsoleLineWhileTheFileGoesOn) {
    for (bool withFile : {true, false}) {
        SCOPED_TRACE(withFile);
        LogResetForTesting();
        std::string out = Console([withFile] {
            LogEnable(), withFile ? LogEnableFile() : void();
            LogWrite(LOG_STATUS, "before", "class CEvilBlock"), LogDisableConsole();
            LogWrite(LOG_STATUS, "after", "class CEvilBlock");
            LogDisableConsole(), LogWrite(LOG_FORCED, "forced after", "");  // a second time writes nothing
        });
        EXPECT_EQ(out, "FORCED: Logging enabled...\n" + (withFile ? FILE_LINE : "") +
                           "STATUS in class CEvilBlock: before\nFORCED: Console logging disabled.\n");
    }
    EXPECT_EQ(LogFile(), FILE_LINE +
                             "STATUS in class CEvilBlock: before\nFORCED: Console logging disabled.\n"
                             "STATUS in class CEvilBlock: after\nFORCED: forced after\n");
}

// A file-size limit and a pipe are POSIX's; what else lies under a name: FileWriteTest.
#ifndef _WIN32
TEST_F(Log, ANameThatIsNoRegularFileGivesTheConsoleAloneAndIsLeftAsItIs) {
    ASSERT_EQ(mkfifo(dir.File("logfile.txt").c_str(), 0600), 0);  // nobody reads: opening it would block
    EXPECT_EQ(Console([] { LogEnable(), LogEnableFile(), LogWrite(LOG_STATUS, "on", ""); }),
              "FORCED: Logging enabled...\nFORCED: No log file: logfile.txt cannot be written (not a regular file); "
              "logging to the console only.\nSTATUS: on\n");
    EXPECT_TRUE(std::filesystem::is_fifo(dir.File("logfile.txt")));
}

TEST_F(Log, AFullDiskIsSaidOnceOnTheConsoleEvenWhenItIsOff) {
    EnableBoth();
    // Longer than what the console is shown below: the limit holds for its capture too.
    Console([] { LogWrite(LOG_STATUS, std::string(200, 'x'), ""); });
    const std::string written = LogFile() + "FORCED: Console logging disabled.\n";
    {
        CFileSizeLimit full(written.size());
        EXPECT_EQ(Console([] {
                      LogDisableConsole();
                      LogWrite(LOG_STATUS, "lost", ""), LogWrite(LOG_STATUS, "lost too", "");
                  }),
                  "FORCED: Console logging disabled.\n"
                  "FORCED: Writing to logfile.txt failed (File too large); logging to the console only.\n");
    }
    EXPECT_EQ(LogFile(), written);
}

#endif

TEST_F(Log, TwoThreadsWriteWholeLines) {
    EnableBoth();
    Console([] { LogDisableConsole(); });
    auto writer = [](const std::string& name) {
        for (int i = 0; i < 500; ++i) LogWrite(LOG_STATUS, "line " + std::to_string(i), name);
    };
    std::thread loader(writer, "class CLevelLoader");
    writer("class CGameMain");
    loader.join();

    std::istringstream lines(LogFile());
    int count[3] = {0, 0, 0};  // loader, main, other
    for (std::string line; std::getline(lines, line);)
        ++count[line.rfind("STATUS in class CLevelLoader: line ", 0) == 0 ? 0 : line.rfind("STATUS in class CGameMain: line ", 0) == 0 ? 1 : 2];
    EXPECT_EQ(std::vector<int>(count, count + 3), (std::vector<int>{500, 500, 2}));  // 2: file on, console off
}
