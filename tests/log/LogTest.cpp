// Tests of log/Log: line formats, thresholds, FORCED lines, console switch-off and
// the log file. Each test runs in a fresh temporary working directory.
#include "log/Log.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

class Log : public testing::Test {
protected:
    void SetUp() override {
        LogResetForTesting();
        inside.reset(new CChangeDirectory(dir.Path()));
    }
    void TearDown() override {
        LogResetForTesting();
        inside.reset();
    }

    // Runs `body` and returns what it wrote to standard output.
    template <class Body>
    std::string Console(Body body) {
        testing::internal::CaptureStdout();
        body();
        return testing::internal::GetCapturedStdout();
    }
    std::string LogFile() const { return dir.Read("logfile.txt"); }
    bool LogFileExists() const {
        struct stat st;
        return ::stat(dir.File("logfile.txt").c_str(), &st) == 0;
    }
    // LogEnable and LogEnableFile with their output swallowed.
    void EnableBoth() {
        Console([] {
            LogEnable();
            LogEnableFile();
        });
    }

    CTempDir dir;
    std::unique_ptr<CChangeDirectory> inside;
};

const std::string FILE_LINE = "FORCED: File logging enabled, writing to logfile.txt...\n";

}  // namespace

// Classes at global scope (an anonymous namespace would show in the demangled name),
// with names of their own so as not to clash with the engine's classes.
struct CLogTestBase {
    CLogTestBase() { nameInConstructor = LogClassName(typeid(*this)); }
    virtual ~CLogTestBase() = default;
    std::string Name() const { return LogClassName(typeid(*this)); }
    std::string nameInConstructor;
};
struct CLogTestDerived : CLogTestBase {};

namespace velmora_log_test {
class CTexture {};
}  // namespace velmora_log_test

TEST_F(Log, NothingIsWrittenBeforeLogEnable) {
    std::string out = Console([] {
        LogWrite(LOG_FORCED, "forced", "");
        LogWrite(LOG_FATAL, "fatal", "class CGameBase");
        LogSetLevel(2);
        LogDisableConsole();
    });
    EXPECT_EQ("", out);
    EXPECT_FALSE(LogFileExists());
}

TEST_F(Log, FirstTwoLinesOfARun) {
    std::string out = Console([] {
        LogEnable();
        LogEnableFile();
    });
    EXPECT_EQ("FORCED: Logging enabled...\n" + FILE_LINE, out);
    EXPECT_EQ(FILE_LINE, LogFile());  // the first line is console only
}

TEST_F(Log, WithoutLogEnableFileNoFileIsWritten) {
    std::string out = Console([] {
        LogEnable();
        LogWrite(LOG_STATUS, "Initializing SDL...", "class CGameBase");
    });
    EXPECT_EQ("FORCED: Logging enabled...\nSTATUS in class CGameBase: Initializing SDL...\n", out);
    EXPECT_FALSE(LogFileExists());
}

TEST_F(Log, LineFormats) {
    EnableBoth();
    std::string out = Console([] {
        LogWrite(LOG_STATUS, "Initializing SDL...", "class CGameBase");
        LogWrite(LOG_PLAIN, "plain with class", "class CPlayer");
        LogWrite(LOG_WARNING, "no class", "");
        LogWrite(LOG_PLAIN, "message alone", "");
        LogWrite(LOG_ERROR, "e", "class C");
        LogWrite(LOG_FATAL, "div by 0.", "class CPlayer");
        LogWrite(LOG_FORCED, "f", "class C");
    });
    const std::string expected =
        "STATUS in class CGameBase: Initializing SDL...\n"
        "class CPlayer: plain with class\n"
        "WARNING: no class\n"
        "message alone\n"
        "ERROR in class C: e\n"
        "FATAL ERROR in class CPlayer: div by 0.\n"
        "FORCED in class C: f\n";
    EXPECT_EQ(expected, out);
    EXPECT_EQ(FILE_LINE + expected, LogFile());
}

TEST_F(Log, EmptyMessage) {
    EnableBoth();
    std::string out = Console([] {
        LogWrite(LOG_STATUS, "", "class C");
        LogWrite(LOG_PLAIN, "", "");
    });
    EXPECT_EQ("STATUS in class C: \n\n", out);
}

TEST_F(Log, LevelAboveFivePrintsItsNumber) {
    EnableBoth();
    std::string out = Console([] {
        LogWrite(7, "seven", "class CPlayer");
        LogWrite(6, "six", "");
        LogWrite(1000000, "big", "");
    });
    EXPECT_EQ("7 in class CPlayer: seven\n6: six\n1e+06: big\n", out);
}

TEST_F(Log, LevelAboveFiveIsSubjectToTheThreshold) {
    EnableBoth();
    Console([] { LogSetLevel(4); });
    std::string out = Console([] { LogWrite(9, "nine", ""); });
    EXPECT_EQ("9: nine\n", out);  // 9 is not below 4
}

TEST_F(Log, NegativeLevelIsAlwaysDropped) {
    EnableBoth();
    std::string out = Console([] {
        LogWrite(-1, "minus one", "class C");
        LogWrite(-5, "minus five", "");
    });
    EXPECT_EQ("", out);
    EXPECT_EQ(FILE_LINE, LogFile());
}

TEST_F(Log, ThresholdThree) {
    EnableBoth();
    Console([] { LogSetLevel(3); });
    std::string out = Console([] {
        LogWrite(LOG_PLAIN, "plain", "");
        LogWrite(LOG_STATUS, "status", "");
        LogWrite(LOG_WARNING, "warning", "");
        LogWrite(LOG_ERROR, "error", "");
        LogWrite(LOG_FATAL, "fatal", "");
        LogWrite(LOG_FORCED, "forced", "");
    });
    EXPECT_EQ("ERROR: error\nFATAL ERROR: fatal\nFORCED: forced\n", out);
}

TEST_F(Log, ForcedLineIsWrittenAtThresholdFour) {
    EnableBoth();
    Console([] { LogSetLevel(4); });
    std::string out = Console([] {
        LogWrite(LOG_ERROR, "error", "class C");
        LogWrite(LOG_FORCED, "forced", "class C");
        LogWrite(LOG_FATAL, "fatal", "class C");
    });
    EXPECT_EQ("FORCED in class C: forced\nFATAL ERROR in class C: fatal\n", out);
}

TEST_F(Log, SetLevelAcceptsZeroToFour) {
    EnableBoth();
    std::string out = Console([] {
        LogSetLevel(0);
        LogSetLevel(4);
        LogSetLevel(1);
        LogWrite(LOG_PLAIN, "dropped", "");
        LogWrite(LOG_STATUS, "kept", "");
    });
    EXPECT_EQ(
        "FORCED: Logging level set to 0\n"
        "FORCED: Logging level set to 4\n"
        "FORCED: Logging level set to 1\n"
        "STATUS: kept\n",
        out);
    EXPECT_EQ(FILE_LINE + out, LogFile());
}

TEST_F(Log, SetLevelRefusesWrongValues) {
    EnableBoth();
    Console([] { LogSetLevel(2); });
    std::string out = Console([] {
        LogSetLevel(5);
        LogSetLevel(-1);
        LogSetLevel(7);
        LogWrite(LOG_STATUS, "still dropped", "");
        LogWrite(LOG_WARNING, "still kept", "");
    });
    EXPECT_EQ(
        "FORCED: Tried to set logging level to incorrect value, ignoring: 5\n"
        "FORCED: Tried to set logging level to incorrect value, ignoring: -1\n"
        "FORCED: Tried to set logging level to incorrect value, ignoring: 7\n"
        "WARNING: still kept\n",
        out);
}

TEST_F(Log, RefusalKeepsThresholdZero) {
    EnableBoth();
    std::string out = Console([] {
        LogSetLevel(-1);
        LogWrite(LOG_PLAIN, "plain", "");
    });
    EXPECT_EQ("FORCED: Tried to set logging level to incorrect value, ignoring: -1\nplain\n", out);
}

TEST_F(Log, ConsoleSwitchOffIsTheLastConsoleLine) {
    EnableBoth();
    std::string out = Console([] {
        LogWrite(LOG_STATUS, "before", "class CEvilBlock");
        LogDisableConsole();
        LogWrite(LOG_STATUS, "after", "class CEvilBlock");
        LogWrite(LOG_FORCED, "forced after", "");
        LogDisableConsole();  // a second time writes nothing
        LogSetLevel(3);
    });
    EXPECT_EQ("STATUS in class CEvilBlock: before\nFORCED: Console logging disabled.\n", out);
    EXPECT_EQ(FILE_LINE +
                  "STATUS in class CEvilBlock: before\n"
                  "FORCED: Console logging disabled.\n"
                  "STATUS in class CEvilBlock: after\n"
                  "FORCED: forced after\n"
                  "FORCED: Logging level set to 3\n",
              LogFile());
}

TEST_F(Log, ConsoleSwitchOffWithoutFile) {
    std::string out = Console([] {
        LogEnable();
        LogDisableConsole();
        LogWrite(LOG_STATUS, "lost", "");
    });
    EXPECT_EQ("FORCED: Logging enabled...\nFORCED: Console logging disabled.\n", out);
}

TEST_F(Log, FileIsEmptiedAtStart) {
    dir.Write("logfile.txt", "old line 1\nold line 2\n");
    EnableBoth();
    EXPECT_EQ(FILE_LINE, LogFile());
}

TEST_F(Log, SecondEnableWritesNothing) {
    EnableBoth();
    Console([] { LogWrite(LOG_STATUS, "one", ""); });
    std::string out = Console([] {
        LogEnable();
        LogEnableFile();
    });
    EXPECT_EQ("", out);
    // Not emptied again.
    EXPECT_EQ(FILE_LINE + "STATUS: one\n", LogFile());
    Console([] { LogWrite(LOG_STATUS, "two", ""); });
    EXPECT_EQ(FILE_LINE + "STATUS: one\nSTATUS: two\n", LogFile());
}

TEST_F(Log, FileIsCompleteAfterEveryLine) {
    EnableBoth();
    for (int i = 0; i < 5; ++i) {
        Console([i] { LogWrite(LOG_STATUS, "line " + std::to_string(i), ""); });
        EXPECT_EQ(FILE_LINE.size() + static_cast<std::size_t>(i + 1) * std::string("STATUS: line 0\n").size(),
                  LogFile().size());
    }
}

TEST_F(Log, FileThatCannotBeOpenedIsSilent) {
    ASSERT_EQ(0, ::mkdir(dir.File("logfile.txt").c_str(), 0755));  // a folder in the way
    std::string out = Console([] {
        LogEnable();
        LogEnableFile();
        LogWrite(LOG_ERROR, "still on the console", "");
    });
    EXPECT_EQ("FORCED: Logging enabled...\n" + FILE_LINE + "ERROR: still on the console\n", out);
}

TEST_F(Log, ResetForTestingStartsOver) {
    EnableBoth();
    Console([] {
        LogSetLevel(4);
        LogDisableConsole();
    });
    LogResetForTesting();
    std::string out = Console([] { LogWrite(LOG_FORCED, "nothing", ""); });
    EXPECT_EQ("", out);
    out = Console([] {
        LogEnable();
        LogEnableFile();
        LogWrite(LOG_PLAIN, "threshold 0 again", "");
    });
    EXPECT_EQ("FORCED: Logging enabled...\n" + FILE_LINE + "threshold 0 again\n", out);
    EXPECT_EQ(FILE_LINE + "threshold 0 again\n", LogFile());
}

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
    std::string line;
    int count = 0;
    int loaderCount = 0;
    while (std::getline(lines, line)) {
        ++count;
        if (count <= 2) continue;  // file logging enabled, console disabled
        const bool fromLoader = line.rfind("STATUS in class CLevelLoader: line ", 0) == 0;
        const bool fromMain = line.rfind("STATUS in class CGameMain: line ", 0) == 0;
        EXPECT_TRUE(fromLoader || fromMain) << line;
        if (fromLoader) ++loaderCount;
    }
    EXPECT_EQ(2 + 1000, count);
    EXPECT_EQ(500, loaderCount);
}

TEST(LogClassNameTest, DemangledWithClassInFront) {
    EXPECT_EQ("class CLogTestDerived", LogClassName(typeid(CLogTestDerived)));
    EXPECT_EQ("class velmora_log_test::CTexture", LogClassName(typeid(velmora_log_test::CTexture)));
    EXPECT_EQ("class int", LogClassName(typeid(int)));
}

TEST(LogClassNameTest, RunTimeTypeAndConstructors) {
    CLogTestDerived derived;
    CLogTestBase& base = derived;
    EXPECT_EQ("class CLogTestDerived", base.Name());
    EXPECT_EQ("class CLogTestDerived", LogClassName(typeid(base)));
    // Inside the base constructor the object is still a CLogTestBase.
    EXPECT_EQ("class CLogTestBase", derived.nameInConstructor);
}
