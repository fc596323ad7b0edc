#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/TempDir.h"
#include "ToolRun.h"

namespace fs = std::filesystem;

namespace {

// The text as UTF-16, little end first, with its byte-order mark.
std::string Utf16(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// Starts like a 1 x 1 BMP (without its pixels); read as a TGA it would be 16383 x 65535.
const std::string TGA_LIKE_BMP = std::string("BM\x02\0\0\0\0\0\0\0\0\0\xff\x3f\xff\xff\x20\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 30) +
                                 std::string(59, '\0');

std::string Source() { return std::getenv("QUILLFEN_SOURCE_DIR") ? std::getenv("QUILLFEN_SOURCE_DIR") : "."; }

} // namespace

// Levels of typical mistakes, each with every line the checker must print.
TEST(LevelCheckTest, FindsTheMistakesOfLevelsItHasNeverSeen)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::string> expected;
    };
    const std::string png = Source() + "/data/gfx/ground.png";
    const std::vector<Case> cases = {
        {"a slip of the keyboard and keys of the wrong kind or without their switch",
         {{"lvl/level_static.ini", "[main]\ncount=1\n[0]\nhasTextur=1\nspeed=3\nwidth=64\ntexture=gfx\\a.png\n"}},
         {"lvl/level_static.ini:4: [0] key 'hasTextur' is not read by static blocks; did you mean 'hasTexture'?",
          "lvl/level_static.ini:5: [0] key 'speed' is not read by static blocks; it is read by platforms",
          "lvl/level_static.ini:6: [0] width is read only with hasCaption=1; it is ignored",
          "lvl/level_static.ini:7: [0] texture is read only with hasTexture=1; it is ignored"}},
        {"values read as their default, with CR LF line ends",
         {{"lvl/level_static.ini", "[main]\r\ncount=1\r\n[0]\r\nX=12abc\r\nY=left\r\nhasCaption=yes\r\n"}},
         {"lvl/level_static.ini:5: [0] Y=left is not a number; the game reads its default",
          "lvl/level_static.ini:6: [0] hasCaption=yes reads as no; only 1 means yes"}},
        {"sections missing, repeated, beyond count or never named by a number; UTF-16 with lone CRs",
         {{"lvl/level_check.ini", std::string("\xFF\xFE", 2) +
                                      std::string("[\0m\0a\0i\0n\0]\0\r\0c\0o\0u\0n\0t\0=\0004\0\r\0[\0000\0]\0\r\0"
                                                  "[\0000\0]\0\r\0[\0007\0]\0\r\0[\0000\0003\0]\0\r\0",
                                                  62)},
          {"lvl/level_static.ini", "[main]\ncount=0\n"}},
         {"lvl/level_check.ini:2: section [1] to [3] are missing; the game builds such a block from defaults (at 0,0, "
          "nothing drawn)",
          "lvl/level_check.ini:4: section [0] given twice; the first counts, these keys are never read",
          "lvl/level_check.ini:5: section [7] is beyond count=4; it is never read",
          "lvl/level_check.ini:6: section [03] is never read (blocks are named 0 to count-1)"}},
        {"images and fonts the game cannot load; names resolved without regard to case",
         {{"lvl/level_platform.ini", "[main]\ncount=1\n[0]\nhasTexture=1\ntexture=GFX\\Ground.PNG\nhasCaption=1\n"
                                     "font=fnt\\none.ttf\nfontSize=900\nX2=64\nspeed=10\n"},
          {"lvl/level_finish.ini", "[main]\ncount=1\n[0]\nhasTexture=1\ntexture=gfx\\broken.png\n"},
          {"lvl/level_static.ini", "[main]\ncount=1\n[0]\nhasTexture=1\ntexture=gfx\\tga.tga\n"},
          {"gfx/ground.png", "@" + png},
          {"gfx/broken.png", "not an image"},
          {"gfx/tga.tga", TGA_LIKE_BMP}},
         {"lvl/level_static.ini:5: [0] image 'gfx\\tga.tga' cannot be loaded: Error reading from datastream",
          "lvl/level_platform.ini:7: [0] font 'fnt\\none.ttf' cannot be loaded: no such file",
          "lvl/level_platform.ini:8: [0] fontSize=900 cannot be used; the game uses 256",
          "lvl/level_finish.ini:5: [0] image 'gfx\\broken.png' cannot be loaded: Unsupported image format"}},
        {"platforms that never move, spawn points outside the box, a script longer than its lines",
         {{"lvl/level_static.ini", "[player]\nspawnX=5000\nmaxX=4000\n[main]\ncount=0\nspeed=1\n"},
          {"lvl/level_check.ini", "[main]\ncount=1\n[0]\nspawnX=-9\nspawnY=3\n"},
          {"lvl/level_platform.ini", "[main]\ncount=2\n[0]\nX=10\nY=10\nX2=10\nY2=10\nspeed=5\n[1]\nX2=9\n"},
          {"ass/ets.0", "[main]\ncount=1\n[0]\nlines=2\n"},
          {"ass/ets.1", "[evil]\nl0=1\nt0=hi\nl1=loud\nt2=late\nhello=1\n[other]\n"},
          {"config.ini", "[game]\nsizeW=0\nsizeh=1e9x\nfullscreen=1\n[Sound]\nvolume=150\nmusic=loud\nenable=0\n"}},
         {"config.ini:2: [game] sizeW=0 cannot be used; the game opens 800 x 600",
          "config.ini:6: [sound] volume=150 cannot be used; the game uses 80",
          "config.ini:7: [Sound] music=loud is not a number; the game reads its default",
          "config.ini:8: [Sound] key 'enable' is not read by the game; did you mean 'enabled'?",
          "lvl/level_static.ini:2: [player] spawn point 5000,0 is outside the level box (minX..maxX, minY..maxY); the "
          "player would respawn forever",
          "lvl/level_static.ini:6: [main] key 'speed' is not read by the level loader",
          "lvl/level_platform.ini:6: [0] platform never moves: X2,Y2 is its own place",
          "lvl/level_platform.ini:9: [1] platform never moves: its speed is not above 0",
          "ass/ets.1:4: [evil] l1=loud is not a number; the game reads its default",
          "ass/ets.1:5: [evil] t2 is script line 2, beyond lines=2 of every evil block; it is never written",
          "ass/ets.1:6: [evil] key 'hello' is not read by the script (l<n>, t<n>, w<n>)",
          "ass/ets.1:7: section [other] is never read (the script is [evil])"}},
        {"a key given a thousand times and many unknown keys in one section: a few lines and a count",
         {{"lvl/level_static.ini", [] {
               std::string text = "[main]\ncount=1\n[0]\n";
               for (int i = 0; i < 1000; ++i) text += "X=1\n";
               for (int i = 1; i <= 7; ++i) text += "q" + std::to_string(i) + "=1\n";
               return text;
           }()}},
         {"lvl/level_static.ini:5: [0] key 'X' given 1000 times; the first (line 4) counts",
          "lvl/level_static.ini:1004: [0] key 'q1' is not read by static blocks",
          "lvl/level_static.ini:1005: [0] key 'q2' is not read by static blocks",
          "lvl/level_static.ini:1006: [0] key 'q3' is not read by static blocks",
          "lvl/level_static.ini:1007: [0] key 'q4' is not read by static blocks",
          "lvl/level_static.ini:1008: [0] key 'q5' is not read by static blocks (and 2 more like it in this section)"}},
        {"text the game shows otherwise (beyond U+00FF with a mark, UTF-8 without); lines without '=' or ']'",
         {{"lvl/level_static.ini", "[main]\n[1\ncount=0\n= 4\n"},
          {"lvl/level_finish.ini", Utf16(u"[main]\r\ncount=1\r\n[0]\r\ntext=Caf\u00E9 \u0141\u00F3d\u017A\r\n")},
          {"ass/ets.0", "[main]\ncount=1\n[0]\nlines=1\n"},
          {"ass/ets.1", "[evil]\nt0=Caf\xC3\xA9\nl0\n"}},
         {"lvl/level_static.ini:2: [main] line '[1' has no ']': it is no section header, the keys below stay in [main]",
          "lvl/level_static.ini:4: [main] line '=4' has no key name; the game never reads it",
          "lvl/level_finish.ini:4: [0] text holds U+0141 '\xC5\x81', beyond U+00FF: the game shows 'A'",
          "ass/ets.1:2: [evil] t0 holds UTF-8 '\xC3\xA9' in a file without a byte-order mark: the game shows "
          "'\xC3\x83\xC2\xA9'; save the file as UTF-16",
          "ass/ets.1:3: [evil] line 'l0' has no '='; a key of that name reads as its default"}},
        {"a folder without a level, and a level file that is a folder",
         {{"lvl/level_finish.ini/x", ""}},
         {"lvl/level_static.ini: missing: the game would start an empty level",
          "lvl/level_finish.ini: not read: not a regular file; the game reads it as missing"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        for (const auto& [name, content] : c.files) {
            // "@name" stands for a copy of that file.
            if (content.rfind("@", 0) == 0)
                fs::copy_file(content.substr(1), dir.Write(name, ""), fs::copy_options::overwrite_existing);
            else
                dir.Write(name, content);
        }
        const ToolRun run = Start("cd '" + dir.Path() + "' && " + Tool("quillfen-level-check"));
        std::string expected;
        for (const std::string& line : c.expected) expected += line + "\n";
        EXPECT_EQ(run.output, expected);
        EXPECT_EQ(run.status, 1);
    }
}

TEST(LevelMapTest, DrawsTheShippedLevelWithoutADisplay)
{
    CTempDir dir;
    const std::string map = dir.File("map.png");
    const ToolRun run = Start("env -u DISPLAY " + Tool("quillfen-level-map") + " '" + Source() + "/data' '" + map +
                              "' --scale 0.125");
    ASSERT_EQ(run.status, 0) << run.output;
    SDL_Surface* image = IMG_Load(map.c_str());
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->format->BytesPerPixel, 3);
    const Uint8* first = static_cast<const Uint8*>(image->pixels);
    int differing = 0;
    for (int y = 0; y < image->h; ++y)
        for (int x = 0; x < image->w; ++x)
            if (std::memcmp(first, static_cast<const Uint8*>(image->pixels) + y * image->pitch + x * 3, 3) != 0)
                ++differing;
    EXPECT_GT(differing, image->w * image->h / 2);
    SDL_FreeSurface(image);
    EXPECT_EQ(Start(Tool("quillfen-level-map") + " '" + Source() + "/data' /no/such/folder/map.png").status, 1);
}

// What it writes under a link or on a full disk: FileWriteTest.
TEST(LevelMapTest, SaysWhatItCannotLoad)
{
    CTempDir dir;
    dir.Write("lvl/level_static.ini", "[main]\ncount=1\n[0]\nhasTexture=1\ntexture=gfx\\tga.tga\n");
    dir.Write("gfx/tga.tga", TGA_LIKE_BMP);
    const std::string map = Tool("quillfen-level-map") + " '" + dir.Path() + "' ";
    const ToolRun drawn = Start(map + "'" + dir.File("map.png") + "'");
    EXPECT_EQ(drawn.status, 0) << drawn.output;
    EXPECT_NE(drawn.output.find("ERROR in class CTexture: Failed to load texture from gfx\\tga.tga"), std::string::npos)
        << drawn.output;
}
