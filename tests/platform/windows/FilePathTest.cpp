// Tests of the Windows half of platform/FilePath and platform/FileRead: stored
// names are the system's own, and device names are refused before the system
// sees them.
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "platform/CIniReader.h"
#include "platform/windows/NativeName.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(FilePath, AbsoluteFormsAreASlashOrADriveLetterAndStoredNamesAreNative) {
    const struct { const char* path; bool absolute; } cases[] = {
        {"C:\\data\\x.ini", true}, {"d:", true}, {"\\\\server\\share", true}, {"/x", true}, {"\\x", true},
        {"gfx\\x.png", false}, {"x", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.absolute, IsAbsolutePath(c.path)) << c.path;
    EXPECT_EQ("C:\\a\\gfx\\x.png", NativePath("C:/a/gfx\\x.png"));
}

TEST(FilePath, DeviceNamesInAnyFolderCaseOrExtensionAreDevices) {
    const struct { const char* name; bool device; } cases[] = {
        {"CON", true}, {"gfx\\con.png", true}, {"C:/x/Nul.txt", true}, {"aux", true}, {"PRN.", true},
        {"gfx\\COM1.png.png", true}, {"lpt9", true}, {"COM1:", true}, {"nul .txt", true}, {"CONIN$", true},
        {"\\\\.\\pipe\\x", true}, {"//?/C:/x.png", true}, {"//./x", true},
        {"COM0", false}, {"COM10", false}, {"LPT", false}, {"console.png", false}, {"CON\\x.png", false},
        {"gfx\\icon.ico", false}, {"\\\\server\\share\\x", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.device, IsDeviceName(c.name)) << c.name;
}

TEST(FilePath, DevicesFoldersAndHugeFilesAreRefusedRegularFilesRead) {
    CTempDir temp;
    const std::string file = temp.Write("gfx/x.png", "bytes");
    std::string content, error;
    EXPECT_TRUE(PlatformReadFile(NativePath(file), content, error)) << error;
    EXPECT_EQ("bytes", content);
    EXPECT_TRUE(PlatformIsRegularFile(file));
    for (const std::string& device : {std::string("CON"), temp.File("gfx/NUL.png"), std::string("\\\\.\\NUL"),
                                      temp.File("gfx")}) {
        EXPECT_FALSE(PlatformReadFile(device, content, error)) << device;
        EXPECT_EQ("not a regular file", error) << device;
        EXPECT_FALSE(PlatformIsRegularFile(device)) << device;
    }
    EXPECT_FALSE(PlatformReadFile(temp.File("missing"), content, error));
    EXPECT_EQ("no such file", error);
    EXPECT_FALSE(PlatformReadFile(file, content, error, 4));
    EXPECT_EQ("larger than 4 bytes", error);
    std::string reason;
    EXPECT_FALSE(CIniReader::CheckFile(temp.File("lvl/CON.ini"), reason));
    EXPECT_EQ("not a regular file", reason);
    EXPECT_EQ("fallback", CIniReader::ReadValue("a", "b", "fallback", "aux.ini"));
}

TEST(FilePath, NamesBeyondLatin1AndNamesInTheAnsiCodePageReachTheirFiles) {
    CTempDir temp;
    // "Café-日本" in UTF-8, the game's form; "Café" with a Latin-1 byte, as a level file may hold it.
    const std::string utf8 = temp.File("Caf\xc3\xa9-\xe6\x97\xa5\xe6\x9c\xac.ini");
    ASSERT_EQ(std::wstring(L"Caf\u00e9-\u65e5\u672c.ini"), WideName("Caf\xc3\xa9-\xe6\x97\xa5\xe6\x9c\xac.ini"));
    temp.Write("plain.ini", "[s]\nk=v\n");
    std::string content, error;
    ASSERT_TRUE(PlatformReadFile(temp.File("plain.ini"), content, error)) << error;
    std::string reason;
    std::filesystem::copy_file(std::filesystem::u8path(temp.File("plain.ini")), std::filesystem::u8path(utf8));
    EXPECT_EQ("v", CIniReader::ReadValue("s", "k", "", utf8));
    EXPECT_EQ(std::wstring(L"Caf\u00e9"), WideName("Caf\xe9"));
}

TEST(FilePath, MakesMissingFoldersAndRefusesAFileInTheWay) {
    CTempDir temp;
    std::string error;
    const std::string state = temp.File("AppData/Local/Quillfen");
    ASSERT_TRUE(PlatformMakeDirectories(state, error)) << error;
    EXPECT_TRUE(PlatformMakeDirectories(state + "/", error)) << "an existing folder is fine";
    EXPECT_TRUE(PlatformPathExists(state));
    temp.Write("file", "x");
    EXPECT_FALSE(PlatformMakeDirectories(temp.File("file"), error));
    EXPECT_FALSE(PlatformMakeDirectories(temp.File("file/below"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(PlatformPathExists(temp.File("missing")));
    EXPECT_FALSE(PlatformPathExists("CON"));
}
