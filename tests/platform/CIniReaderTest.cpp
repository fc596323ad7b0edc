// Tests of platform/CIniReader: the rules of the Windows reader the level files are
// written for, and the cache that reads a file again only when it changed.
#include "platform/CIniReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniReader : public testing::Test {
protected:
    void SetUp() override { CIniReader::ClearCacheForTesting(); }
    void TearDown() override { CIniReader::ClearCacheForTesting(); }

    // Writes `content` to "test.ini" and returns its absolute name.
    std::string WriteIni(const std::string& content, const std::string& name = "test.ini") {
        return dir.Write(name, content);
    }
    std::string Read(const std::string& section, const std::string& key, const std::string& file,
                     const std::string& defaultValue = "<default>") {
        return CIniReader::ReadValue(section, key, defaultValue, file);
    }

    CTempDir dir;
};

// Sets the modification time of a file (nanosecond precision).
void SetMtime(const std::string& file, time_t seconds, long nanoseconds) {
    struct timespec times[2];
    times[0].tv_sec = seconds;
    times[0].tv_nsec = nanoseconds;
    times[1] = times[0];
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, file.c_str(), times, 0));
}

}  // namespace

TEST_F(IniReader, ReadsKeyOfSection) {
    std::string file = WriteIni("[game]\nsizeW=1024\nsizeH=768\n[other]\nsizeW=1\n");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    EXPECT_EQ("768", Read("game", "sizeH", file));
    EXPECT_EQ("1", Read("other", "sizeW", file));
}

TEST_F(IniReader, MissingFileSectionOrKeyYieldsDefault) {
    std::string file = WriteIni("[game]\nsizeW=1024\n");
    EXPECT_EQ("<default>", Read("game", "sizeW", dir.File("missing.ini")));
    EXPECT_EQ("<default>", Read("nogame", "sizeW", file));
    EXPECT_EQ("<default>", Read("game", "sizeH", file));
    EXPECT_EQ("", Read("game", "sizeH", file, ""));
}

TEST_F(IniReader, DirectoryAsFileYieldsDefault) {
    dir.Write("sub/x", "");
    EXPECT_EQ("<default>", Read("game", "sizeW", dir.File("sub")));
}

TEST_F(IniReader, UnreadableFileYieldsDefault) {
    std::string file = WriteIni("[game]\nsizeW=1024\n");
    ASSERT_EQ(0, ::chmod(file.c_str(), 0));
    if (::access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read any file";
    EXPECT_EQ("<default>", Read("game", "sizeW", file));
}

TEST_F(IniReader, EmptyValueIsEmptyNotDefault) {
    std::string file = WriteIni("[game]\nsizeW=\ntitle =   \n");
    EXPECT_EQ("", Read("game", "sizeW", file));
    EXPECT_EQ("", Read("game", "title", file));
    std::string value = "unchanged";
    EXPECT_TRUE(CIniReader::TryReadValue("game", "sizeW", file, value));
    EXPECT_EQ("", value);
    value = "unchanged";
    EXPECT_FALSE(CIniReader::TryReadValue("game", "absent", file, value));
    EXPECT_EQ("unchanged", value);
}

TEST_F(IniReader, WhiteSpaceAroundNamesAndValuesIsTrimmed) {
    std::string file = WriteIni("  [  game  ]  \n\t sizeW \t=\t 1024 \t\nkey=a  b\n");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    EXPECT_EQ("a  b", Read("game", "key", file));  // inner blanks stay
}

TEST_F(IniReader, OnePairOfMatchingQuotesIsRemoved) {
    std::string file = WriteIni(
        "[q]\n"
        "double=\"Hello World\"\n"
        "single='Hello World'\n"
        "padded =  \" spaced \"  \n"
        "twice=\"\"x\"\"\n"
        "mixed=\"abc'\n"
        "open=\"abc\n"
        "lone=\"\n"
        "empty=\"\"\n"
        "inner=a\"b\"c\n");
    EXPECT_EQ("Hello World", Read("q", "double", file));
    EXPECT_EQ("Hello World", Read("q", "single", file));
    EXPECT_EQ(" spaced ", Read("q", "padded", file));  // blanks inside the quotes stay
    EXPECT_EQ("\"x\"", Read("q", "twice", file));       // only one pair
    EXPECT_EQ("\"abc'", Read("q", "mixed", file));
    EXPECT_EQ("\"abc", Read("q", "open", file));
    EXPECT_EQ("\"", Read("q", "lone", file));
    EXPECT_EQ("", Read("q", "empty", file));
    EXPECT_EQ("a\"b\"c", Read("q", "inner", file));
}

TEST_F(IniReader, NamesAreComparedWithoutRegardToCase) {
    std::string file = WriteIni("[Game]\nSizeW=1024\n");
    EXPECT_EQ("1024", Read("game", "sizew", file));
    EXPECT_EQ("1024", Read("GAME", "SIZEW", file));
    EXPECT_EQ("1024", Read("gAmE", "sIzEw", file));
}

TEST_F(IniReader, ValuesKeepTheirCase) {
    std::string file = WriteIni("[game]\nimage=Gfx\\Tovik.PNG\n");
    EXPECT_EQ("Gfx\\Tovik.PNG", Read("game", "image", file));
}

TEST_F(IniReader, FirstKeyWins) {
    std::string file = WriteIni("[game]\nsizeW=1\nSIZEW=2\nsizeW=3\n");
    EXPECT_EQ("1", Read("game", "sizeW", file));
}

TEST_F(IniReader, FirstSectionWinsAndDuplicatesAreNotMerged) {
    std::string file = WriteIni("[game]\nsizeW=1\n[other]\nx=0\n[GAME]\nsizeW=2\nsizeH=3\n");
    EXPECT_EQ("1", Read("game", "sizeW", file));
    EXPECT_EQ("<default>", Read("game", "sizeH", file));  // only in the duplicate section
    EXPECT_EQ("0", Read("other", "x", file));
}

TEST_F(IniReader, CommentLinesAreSkipped) {
    std::string file = WriteIni(";[game]\n[game]\n;sizeW=1\n   ; sizeW=2\nsizeW=3\n");
    EXPECT_EQ("3", Read("game", "sizeW", file));
    EXPECT_EQ("<default>", Read(";[game]", "sizeW", file));
}

TEST_F(IniReader, NoInlineComments) {
    std::string file = WriteIni("[game]\nsizeW=1024 ; the width\ncolor=#ff0000 # red\n");
    EXPECT_EQ("1024 ; the width", Read("game", "sizeW", file));
    EXPECT_EQ("#ff0000 # red", Read("game", "color", file));
}

TEST_F(IniReader, NoContinuationLines) {
    std::string file = WriteIni("[game]\ntext=first \\\nsecond part\nnext=2\n");
    EXPECT_EQ("first \\", Read("game", "text", file));
    EXPECT_EQ("2", Read("game", "next", file));
}

TEST_F(IniReader, LinesWithoutEqualsAreIgnored) {
    std::string file = WriteIni("[game]\njust words\nsizeW=5\nsizeH\n");
    EXPECT_EQ("5", Read("game", "sizeW", file));
    EXPECT_EQ("<default>", Read("game", "sizeH", file));
    EXPECT_EQ("<default>", Read("game", "just words", file));
}

TEST_F(IniReader, ValueIsSplitAtTheFirstEquals) {
    std::string file = WriteIni("[game]\nformula = a=b=c\n");
    EXPECT_EQ("a=b=c", Read("game", "formula", file));
}

TEST_F(IniReader, KeysBeforeTheFirstSectionAreIgnored) {
    std::string file = WriteIni("sizeW=1\n[game]\nsizeH=2\n");
    EXPECT_EQ("<default>", Read("game", "sizeW", file));
    EXPECT_EQ("<default>", Read("", "sizeW", file));
    EXPECT_EQ("2", Read("game", "sizeH", file));
}

TEST_F(IniReader, SectionWithoutClosingBracket) {
    std::string file = WriteIni("[game\nsizeW=1\n[ other ] trailing\nx=2\n");
    EXPECT_EQ("1", Read("game", "sizeW", file));
    EXPECT_EQ("2", Read("other", "x", file));
}

TEST_F(IniReader, CrLfLineEndsAreAccepted) {
    std::string file = WriteIni("[game]\r\nsizeW=1024\r\ntitle=\"Quillfen\"\r\nempty=\r\n");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    EXPECT_EQ("Quillfen", Read("game", "title", file));
    EXPECT_EQ("", Read("game", "empty", file));
}

TEST_F(IniReader, Utf8ByteOrderMarkIsAccepted) {
    std::string file = WriteIni("\xEF\xBB\xBF[game]\r\nsizeW=1024\r\n");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
}

TEST_F(IniReader, LastLineWithoutLineEnd) {
    std::string file = WriteIni("[game]\nsizeW=1024");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
}

TEST_F(IniReader, ValueIsCutAt1023Bytes) {
    const std::string exact(1023, 'a');
    const std::string longer = std::string(1023, 'b') + "cdef";
    std::string file = WriteIni("[s]\nexact=" + exact + "\nlonger=" + longer + "\nquoted=\"" + longer + "\"\n");
    EXPECT_EQ(exact, Read("s", "exact", file));
    EXPECT_EQ(std::string(1023, 'b'), Read("s", "longer", file));
    EXPECT_EQ(std::string(1023, 'b'), Read("s", "quoted", file));
    // The default passes through the same buffer.
    EXPECT_EQ(std::string(1023, 'd'), Read("s", "absent", file, std::string(2000, 'd')));
}

TEST_F(IniReader, StoredNameIsTranslatedAndResolvedWithoutRegardToCase) {
    dir.Write("Lvl/Level_Static.INI", "[block0]\nx=12\n");
    std::string stored = dir.Path() + "/lvl\\level_static.ini";
    EXPECT_EQ("12", Read("block0", "x", stored));
}

TEST_F(IniReader, FileIsParsedOnceAndKept) {
    std::string file = WriteIni("[game]\nsizeW=1024\nsizeH=768\n");
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ("1024", Read("game", "sizeW", file));
        ASSERT_EQ("768", Read("game", "sizeH", file));
    }
    EXPECT_EQ(1u, CIniReader::ParseCountForTesting());
    EXPECT_EQ(1u, CIniReader::CacheSizeForTesting());
    WriteIni("[a]\nb=c\n", "second.ini");
    EXPECT_EQ("c", Read("a", "b", dir.File("second.ini")));
    EXPECT_EQ(2u, CIniReader::CacheSizeForTesting());
}

TEST_F(IniReader, FileChangedInSizeIsReadAgain) {
    std::string file = WriteIni("[game]\nsizeW=1024\n");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    WriteIni("[game]\nsizeW=12345\n");
    EXPECT_EQ("12345", Read("game", "sizeW", file));
    EXPECT_EQ(2u, CIniReader::ParseCountForTesting());
}

TEST_F(IniReader, FileChangedInModificationTimeIsReadAgain) {
    std::string file = WriteIni("[game]\nsizeW=1024\n");
    SetMtime(file, 1000000000, 100);
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    // Same size, same modification time: the kept content is used (this is what
    // the cache promises, and shows that it is used).
    {
        int fd = ::open(file.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(18, ::pwrite(fd, "[game]\nsizeW=2048\n", 18, 0));
        ::close(fd);
    }
    SetMtime(file, 1000000000, 100);
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    // Same size, the modification time differs by one nanosecond: read again.
    SetMtime(file, 1000000000, 101);
    EXPECT_EQ("2048", Read("game", "sizeW", file));
    EXPECT_EQ(2u, CIniReader::ParseCountForTesting());
}

TEST_F(IniReader, FileReplacedByAnotherIsReadAgain) {
    std::string file = WriteIni("[game]\nsizeW=1024\n");
    SetMtime(file, 1000000000, 0);
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    std::string other = WriteIni("[game]\nsizeW=4096\n", "other.ini");
    SetMtime(other, 1000000000, 0);
    ASSERT_EQ(0, std::rename(other.c_str(), file.c_str()));  // same size and time, new file
    EXPECT_EQ("4096", Read("game", "sizeW", file));
}

TEST_F(IniReader, RemovedFileYieldsDefaultAndIsForgotten) {
    std::string file = WriteIni("[game]\nsizeW=1024\n");
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    EXPECT_EQ(1u, CIniReader::CacheSizeForTesting());
    ASSERT_EQ(0, std::remove(file.c_str()));
    EXPECT_EQ("<default>", Read("game", "sizeW", file));
    EXPECT_EQ(0u, CIniReader::CacheSizeForTesting());
    WriteIni("[game]\nsizeW=7\n");
    EXPECT_EQ("7", Read("game", "sizeW", file));
}

TEST_F(IniReader, TwoThreadsReadAtOnce) {
    std::string first = WriteIni("[game]\nsizeW=1024\n", "first.ini");
    std::string second = WriteIni("[block0]\nx=5\n", "second.ini");
    std::atomic<int> wrong{0};
    auto reader = [&](const std::string& file, const char* section, const char* key, const char* expected) {
        for (int i = 0; i < 2000; ++i) {
            if (CIniReader::ReadValue(section, key, "?", file) != expected) ++wrong;
            if (i % 100 == 0) CIniReader::ClearCacheForTesting();  // force re-reads as well
        }
    };
    std::vector<std::thread> threads;
    threads.emplace_back(reader, first, "game", "sizeW", "1024");
    threads.emplace_back(reader, second, "block0", "x", "5");
    threads.emplace_back(reader, first, "GAME", "SIZEW", "1024");
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, wrong.load());
}
