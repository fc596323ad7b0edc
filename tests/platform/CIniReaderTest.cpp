// Tests of platform/CIniReader: the rules of the Windows reader the level files are
// written for (held against GetPrivateProfileStringW itself on Windows), hostile
// files, and the cache that reads a file again only when it changed.
#include "platform/CIniReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

const std::string DEFAULT = "<default>";

class IniReader : public testing::Test {
protected:
    void SetUp() override { CIniReader::ClearCacheForTesting(); }
    void TearDown() override { CIniReader::ClearCacheForTesting(); }
    std::string Read(const std::string& section, const std::string& key, const std::string& file) {
        return CIniReader::ReadValue(section, key, DEFAULT, file);
    }
    CTempDir dir;
};

// The text as UTF-16 with its byte-order mark.
std::string Utf16(const std::u16string& text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Setting a file's time keeps nanoseconds on Linux, whole seconds on Windows (the
// C library's _wutime); the reader sees either change.
#ifdef _WIN32
constexpr long TIME_STEP = 1000000000;
#else
constexpr long TIME_STEP = 1;
#endif

void SetMtime(const std::string& file, long nanoseconds) {
    const std::filesystem::file_time_type time(std::chrono::seconds(1000000000));
    std::filesystem::last_write_time(file, time + std::chrono::nanoseconds(nanoseconds));
}


// One query: the file's bytes, the section and key asked for, the answer (or
// DEFAULT). `differs`: why the Windows reader answers otherwise, on purpose.
struct IniCase {
    std::string bytes, section, key, expected;
    const char* differs = nullptr;
};

const std::vector<IniCase>& Cases() {
    const std::string e = "\xC3\xA9", nul(1, '\0');
    const auto es = [&e](int times) { std::string out; while (times-- > 0) out += e; return out; };
    const std::u16string unpaired = {u'[', u's', u']', u'\n', u'k', u'=', 0xD800, u'x', 0xDC00, u'\n'};
    static const std::vector<IniCase> cases = {
        {"[game]\nsizeW=1024\n[other]\nsizeW=1\n", "game", "sizeW", "1024"},
        {"[game]\nsizeW=1024\n", "nogame", "sizeW", DEFAULT}, {"[game]\nsizeW=1024\n", "game", "sizeH", DEFAULT},
        {"[game]\nsizeW=\n", "game", "sizeW", ""}, {"[game]\nformula = a=b=c\n", "game", "formula", "a=b=c"},
        {"sizeW=1\n[game]\n", "game", "sizeW", DEFAULT}, {"sizeW=1\n[game]\n", "", "sizeW", "1"},
        {"[game]\nsizeW=1024", "game", "sizeW", "1024"}, {"[game]\n=nameless\n=x\n", "game", "", "nameless"},
        // White space around names and values, not inside them.
        {"[game]\ntitle =  \t \n", "game", "title", ""}, {"[g]\nkey=a  b\tc\n", "g", "key", "a  b\tc"},
        {"  [  game  ]  \n\t sizeW \t=\t 1024 \t\n", "game", "sizeW", "1024"},
        {"[ other ] trailing\nx=2\n", "other", "x", "2"}, {"[a b]\nk v=1\n", "a b", "k v", "1"},
        {"[s]\n\x1A\v k=a\x1A\f\n", " s\t", " k ", "a"}, {"[s]\nk=\xA0\x1C v\x1F\n", "s", "k", "\xA0\x1C v\x1F"},
        {Utf16(u"[s]\r\nk=\u3000v\u00A0\r\n"), "s", "k", nul + "v\xA0"},
        // One pair of quotes.
        {"[q]\nk=\"Hello World\"\n", "q", "k", "Hello World"}, {"[q]\nk='Hello World'\n", "q", "k", "Hello World"},
        {"[q]\nk =  \" spaced \"  \n", "q", "k", " spaced "}, {"[q]\nk=\"\"x\"\"\n", "q", "k", "\"x\""},
        {"[q]\nk=\"abc'\n", "q", "k", "\"abc'"}, {"[q]\nk=\"\n", "q", "k", "\""}, {"[q]\nk=\"\"\n", "q", "k", ""},
        {"[q]\nk=a\"b\"c\n", "q", "k", "a\"b\"c"},
        // Comments: whole lines only.
        {";[game]\n[game]\n;sizeW=1\n   ; sizeW=2\nsizeW=3\n", "game", "sizeW", "3"},
        {";[game]\nsizeW=1\n", ";[game]", "sizeW", DEFAULT},
        {"[s]\n;k=v\n", "s", ";k", DEFAULT, "Windows keeps a comment as a key; the game asks for no name starting with ';'"},
        {"[game]\nsizeW=1024 ; the width\n", "game", "sizeW", "1024 ; the width"},
        {"[game]\ntext=first \\\nsecond=x\n", "game", "text", "first \\"},
        // ASCII letter case and duplicates: the first section and the first key win; a
        // line without '=' is a key that yields the default.
        {"[Game]\nSizeW=Gfx\\Tovik.PNG\n", "gAmE", "SIZEW", "Gfx\\Tovik.PNG"}, {"[g]\nk=1\nK=2\n", "g", "k", "1"},
        {"[game]\nsizeW=1\n[o]\n[GAME]\nsizeW=2\nsizeH=3\n", "game", "sizeW", "1"},
        {"[game]\nsizeW=1\n[o]\n[GAME]\nsizeW=2\nsizeH=3\n", "game", "sizeH", DEFAULT},
        {"[game]\njust words\nsizeH\n", "game", "sizeH", DEFAULT}, {"[game]\nsizeH\nsizeH=2\n", "game", "sizeH", DEFAULT},
        {"[CAF\xC9]\nk=1\n", "caf\xE9", "k", DEFAULT},
        // Section headers: '[' without ']' is none; the name runs to the last ']'.
        {"[game]\nsizeW=1\n[12\nsizeH=2\n", "game", "sizeH", "2"}, {"[game]\n[12\nsizeH=2\n", "12", "sizeH", DEFAULT},
        {"[game]\n[\nsizeH=2\n", "game", "sizeH", "2"}, {"[s]\n[\n[=v\n", "s", "[", DEFAULT},
        {"[game]\n[a=b\n", "game", "[a", "b"}, {"[0] ; see [1]\nk=v\n", "0] ; see [1", "k", "v"},
        {"[0] ; see [1]\nk=v\n", "0", "k", DEFAULT}, {"[]\nx=3", "", "x", DEFAULT},
        // Line ends: CR LF, LF and a lone CR.
        {"[game]\r\ntitle=\"Quillfen\"\r\nempty=\r\n", "game", "title", "Quillfen"}, {"[a]\rk=1\r[b]\rk=2", "b", "k", "2"},
        {"[a]\n\rk=1\n\r", "a", "k", "1"},
        // A NUL ends a name or a value.
        {"[game]\nsize" + nul + "junk=5\n", "game", "size", "5"},
        {"[game]\nsizeW=12" + nul + " 34\nsizeH=7\n", "game", "sizeW", "12"},
        {"[ga" + nul + "me]\nk=v\n", "ga", "k", "v"}, {"[s]\nk=\"a" + nul + "\"\n", "s", "k", "\"a"},
        // Values are cut at 1023 units; quotes count until they are removed.
        {"[s]\nk=" + std::string(1023, 'a') + "\n", "s", "k", std::string(1023, 'a')},
        {"[s]\nk=\"" + std::string(1022, 'b') + "\"\n", "s", "k", std::string(1022, 'b')},
        {"[s]\nk=\"" + std::string(1023, 'b') + "\"\n", "s", "k", std::string(1022, 'b')},
        {"[s]\nk=\"" + std::string(1030, 'b') + "\"\n", "s", "k", std::string(1023, 'b')},
        // Without a byte-order mark every byte is one character (Latin-1), UTF-8 too.
        {"[s]\nk=Caf\xE9\n", "s", "k", "Caf\xE9"}, {"[s]\nk=Caf" + e + "\n", "s", "k", "Caf" + e},
        {"[Caf\xE9]\nk=1\n", "Caf\xE9", "k", "1"}, {"[s]\nk=" + es(1100) + "\n", "s", "k", es(511) + "\xC3"},
        {"[s]\nk=" + std::string(1022, 'a') + "\xF0\x9F\x98\x80\n", "s", "k", std::string(1022, 'a') + "\xF0"},
        {"[s]\nk=\x81\x8D\x8F\x90\x9D\n", "s", "k", "\x81\x8D\x8F\x90\x9D"},
        {"[s]\nk=\x80\n", "s", "k", "\x80", "code page 1252 reads 0x80 as U+20AC (0xAC); here every byte stays itself"},
        // With a mark the characters come out one byte each, the low byte of each unit.
        {"\xEF\xBB\xBF[s]\r\nk=Caf" + e + "\r\n", "s", "k", "Caf\xE9"}, {"\xEF\xBB\xBF[s]\nk=a\xFF!\n", "s", "k", "a\xFD!"},
        {Utf16(u"[s]\r\nk=Caf\u00E9\r\n"), "S", "k", "Caf\xE9"}, {Utf16(u"[s]\r\nk=Caf\u00E9\r\n", true), "s", "k", "Caf\xE9"},
        {Utf16(u"[s]\r\nk=\u0141\u00F3d\u017A \U0001F600\r\n"), "s", "k", "A\xF3" "dz =" + nul},
        {Utf16(u"[Zo\u00EB]\rk=v\r", true), "Zo\xEB", "k", "v"}, {Utf16(u"[\u0130]\r\nk=1\r\n"), "0", "k", DEFAULT},
        {Utf16(u"[s]\r\n\u0141=1\r\nA=2\r\n"), "s", "A", "2"}, {Utf16(unpaired), "s", "k", nul + "x" + nul},
        {Utf16(u"[s]\r\nk=" + std::u16string(1100, u'\u00E9') + u"\r\n"), "s", "k", std::string(1023, '\xE9')},
        {Utf16(u"[s]\nk=v") + "A", "s", "k", "vA"}, {Utf16(u"[s]\nk=v", true) + "A", "s", "k", "vA"},
        {"\xFF\xFE", "s", "k", DEFAULT},
    };
    return cases;
}

}  // namespace

TEST_F(IniReader, FollowsTheWindowsReaderRules) {
    int index = 0;
    for (const IniCase& c : Cases()) {
        const std::string file = dir.Write("case" + std::to_string(index) + ".ini", c.bytes);
        EXPECT_EQ(c.expected, Read(c.section, c.key, file)) << "case " << index << ": [" << c.section << "] " << c.key;
        ++index;
    }
}

#ifdef _WIN32
// Every case through the real reader: names widened one byte a unit, as ours
// reads them, and the answer narrowed to the low byte of each unit. A file
// without a mark is read in the ANSI code page, which must map bytes A0 to FF to
// U+00A0 to U+00FF for its non-ASCII cases.
TEST_F(IniReader, AnswersAsGetPrivateProfileStringW) {
    auto widen = [](const std::string& bytes) {
        std::wstring text;
        for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return text;
    };
    const bool latin1CodePage = GetACP() == 1252 || GetACP() == 28591;
    int index = 0;
    for (const IniCase& c : Cases()) {
        const std::string file = dir.Write("win" + std::to_string(index++) + ".ini", c.bytes);
        const bool marked = c.bytes.compare(0, 2, "\xFF\xFE") == 0 || c.bytes.compare(0, 2, "\xFE\xFF") == 0 ||
                            c.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        const bool ascii = std::all_of(c.bytes.begin(), c.bytes.end(), [](char b) { return (b & 0x80) == 0; });
        if (c.differs || (!marked && !ascii && !latin1CodePage)) continue;
        std::wstring path(MAX_PATH, L'\0');
        path.resize(MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, &path[0], MAX_PATH));
        for (wchar_t& unit : path) unit = unit == L'/' ? L'\\' : unit;
        wchar_t buffer[1024];
        GetPrivateProfileStringW(widen(c.section).c_str(), widen(c.key).c_str(), widen(DEFAULT).c_str(), buffer,
                                 1024, path.c_str());
        std::string windows;
        for (const wchar_t* unit = buffer; *unit != 0; ++unit) windows += static_cast<char>(*unit & 0xFF);
        EXPECT_EQ(Read(c.section, c.key, file), windows) << "case " << index - 1 << ": [" << c.section << "] " << c.key;
    }
}
#endif

// Stored names: IniTest and FilePathTest.
TEST_F(IniReader, DefaultPassesThroughTheSameBuffer) {
    const std::string missing = dir.File("missing.ini");
    EXPECT_EQ(std::string(1023, 'd'), CIniReader::ReadValue("s", "k", std::string(2000, 'd'), missing));
    EXPECT_EQ("ab", CIniReader::ReadValue("s", "k", std::string("ab\0cd", 5), missing));
    std::string value = "unchanged";
    EXPECT_FALSE(CIniReader::TryReadValue("s", "k", missing, value));
    EXPECT_EQ("unchanged", value);
    EXPECT_TRUE(CIniReader::TryReadValue("s", "k", dir.Write("x.ini", "[s]\nk=\n"), value));
    EXPECT_EQ("", value);
}

#ifndef _WIN32
// Pipes, sockets and /dev are POSIX's; Windows's devices: tests/platform/windows.
TEST_F(IniReader, HostileFilesAreRefusedWithAReasonAndReadAsMissing) {
    const std::string fifo = dir.File("fifo.ini"), socketName = dir.File("socket.ini");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketName.c_str());
    ASSERT_EQ(0, ::bind(sock, reinterpret_cast<struct sockaddr*>(&address), sizeof address));
    const std::string huge = dir.Write("huge.ini", "[s]\nk=v\n");
    ASSERT_EQ(0, ::truncate(huge.c_str(), 64 * 1024 * 1024 + 1));
    CIniReader::SetEntryLimitForTesting(1000);
    std::string keys = "[s]\n", sections;
    for (int i = 0; i <= 1000; ++i) keys += std::to_string(i) + "=\n", sections += "[" + std::to_string(i) + "]\n";

    struct Case { std::string file, reason; } cases[] = {
        {fifo, "not a regular file"},         {"/dev/zero", "not a regular file"},
        {dir.Path(), "not a regular file"}, {socketName, "not a regular file"},
        {huge, "larger than 64 MiB"},         {dir.Write("keys.ini", keys), "more than 1000 sections and keys"},
        {dir.Write("sections.ini", sections), "more than 1000 sections and keys"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_FALSE(CIniReader::CheckFile(c.file, reason)) << c.file;
        EXPECT_EQ(c.reason, reason) << c.file;
        EXPECT_EQ(DEFAULT, Read("s", "k", c.file)) << c.file;
    }
    ::close(sock);
    std::string reason = "untouched";
    EXPECT_TRUE(CIniReader::CheckFile(dir.File("missing.ini"), reason));
    EXPECT_TRUE(CIniReader::CheckFile(dir.Write("x.ini", "[s]\nk=v\n"), reason));
    EXPECT_EQ("untouched", reason);
    const std::string locked = dir.Write("locked.ini", "[s]\nk=v\n");
    ASSERT_EQ(0, ::chmod(locked.c_str(), 0));
    if (::access(locked.c_str(), R_OK) != 0) {  // not when running with rights that read any file
        EXPECT_FALSE(CIniReader::CheckFile(locked, reason));
        EXPECT_EQ(DEFAULT, Read("s", "k", locked));
    }
}

#endif

TEST_F(IniReader, FileIsReadAgainOnlyWhenItChanges) {
    const std::string file = dir.Write("test.ini", "[game]\nsizeW=1024\n");
    SetMtime(file, 100);
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    // Same size and time: the kept content is used (shows that it is kept).
    dir.Write("test.ini", "[game]\nsizeW=2048\n");
    SetMtime(file, 100);
    EXPECT_EQ("1024", Read("game", "sizeW", file));
    SetMtime(file, 100 + TIME_STEP);  // the least later time the test can set
    EXPECT_EQ("2048", Read("game", "sizeW", file));
    dir.Write("test.ini", "[game]\nsizeW=12345\n");  // another size
    SetMtime(file, 100 + TIME_STEP);
    EXPECT_EQ("12345", Read("game", "sizeW", file));
    const std::string other = dir.Write("other.ini", "[game]\nsizeW=40960\n");
    SetMtime(other, 100 + TIME_STEP);
    std::filesystem::rename(other, file);  // same size and time, another file
    EXPECT_EQ("40960", Read("game", "sizeW", file));
    EXPECT_EQ(4u, CIniReader::ParseCountForTesting());
    ASSERT_EQ(0, std::remove(file.c_str()));
    EXPECT_EQ(DEFAULT, Read("game", "sizeW", file));
    EXPECT_EQ(0u, CIniReader::CacheSizeForTesting());
}

TEST_F(IniReader, CacheKeepsABoundedNumberOfFiles) {
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(n, Read("s", "k", dir.Write("f" + n + ".ini", "[s]\nk=" + n + "\n")));
        EXPECT_LE(CIniReader::CacheSizeForTesting(), CIniReader::MAX_CACHED_FILES);
    }
    EXPECT_EQ("38", Read("s", "k", dir.File("f38.ini")));  // the files in use stay kept
    EXPECT_EQ(40u, CIniReader::ParseCountForTesting());
}

TEST_F(IniReader, TwoThreadsReadAtOnce) {
    const std::string first = dir.Write("first.ini", "[game]\nsizeW=1024\n");
    const std::string second = dir.Write("second.ini", "[block0]\nx=5\n");
    std::atomic<int> wrong{0};
    auto reader = [&](const std::string& file, const char* section, const char* key, const char* expected) {
        for (int i = 0; i < 2000; ++i) {
            if (CIniReader::ReadValue(section, key, "?", file) != expected) ++wrong;
            if (i % 100 == 0) CIniReader::ClearCacheForTesting();  // force re-reads as well
        }
    };
    std::thread a(reader, first, "game", "sizeW", "1024"), b(reader, second, "block0", "x", "5");
    reader(first, "GAME", "SIZEW", "1024");
    a.join(), b.join();
    EXPECT_EQ(0, wrong.load());
}
