#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "ToolRun.h"

namespace fs = std::filesystem;

namespace {

// A map as Tiled saves it, with the static blocks' layer given.
std::string Map(const std::string& staticLayer, const std::string& more = "")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<map version=\"1.8\" orientation=\"orthogonal\" width=\"10\" height=\"10\" tilewidth=\"64\" tileheight=\"64\">\n"
           " <properties><property name=\"originX\" type=\"int\" value=\"-100\"/>"
           "<property name=\"originY\" type=\"int\" value=\"0\"/></properties>\n"
           " <tileset firstgid=\"1\" name=\"images\" tilewidth=\"64\" tileheight=\"64\" tilecount=\"1\" columns=\"0\">\n"
           "  <tile id=\"0\"><properties><property name=\"texture\" value=\"gfx\\stone.png\"/></properties>"
           "<image width=\"64\" height=\"64\" source=\"gfx/stone.png\"/></tile>\n </tileset>\n"
           " <objectgroup id=\"1\" name=\"level_static\" offsetx=\"10\">\n" +
           staticLayer + " </objectgroup>\n" + more + "</map>\n";
}

const std::string STATIC_INI = "[main]\ncount=2\n[0]\nX=0\nY=0\nfoo=bar\n[1]\nY=5\nX=7.50\n";

} // namespace

// Layer offsets and the map's origin are added, a tile's corner is its bottom left,
// deleted sections close up, and an unchanged section keeps its keys as written.
TEST(LevelTiledTest, ImportPutsEditsBackIntoTheLevelFiles)
{
    CTempDir folder;
    folder.Write("lvl/level_static.ini", STATIC_INI);
    folder.Write("level.tmx", Map("  <object id=\"3\" name=\"1\" x=\"97.5\" y=\"5\" width=\"0\" height=\"0\"/>\n"
                                  "  <object id=\"9\" x=\"90\" y=\"164\" gid=\"1\" width=\"64\" height=\"64\">"
                                  "<properties><property name=\"hasCaption\" type=\"bool\" value=\"true\"/></properties></object>\n"));
    const ToolRun run = Start(Tool("quillfen-level-tiled") + " import " + folder.File("level.tmx") + " " + folder.Path());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(folder.Read("lvl/level_static.ini"),
              "[main]\ncount=2\n[0]\nY=5\nX=7.50\n[1]\nhasCaption=1\nhasTexture=1\ntexture=gfx\\stone.png\nX=0\nY=100\n"
              "width=64\nheight=64\n");
}

// What the game cannot represent is refused by the object's name and id, and
// nothing is written; hostile maps get a message too.
TEST(LevelTiledTest, ImportRefusesWhatTheGameCannotRepresent)
{
    const std::string block = "  <object id=\"4\" name=\"0\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"";
    const struct {
        std::string map, message;
    } cases[] = {
        {Map(block + " rotation=\"90\"/>\n"), "object '0' (id 4) on layer 'level_static': it is rotated"},
        {Map(block + "><ellipse/></object>\n"), "object '0' (id 4) on layer 'level_static': it is a ellipse"},
        {Map(block + "><properties><property name=\"Z\" type=\"int\" value=\"1\"/></properties></object>\n"),
         "object '0' (id 4) on layer 'level_static': property 'Z' is int, the game reads it as float"},
        {Map("  <object id=\"4\" name=\"0\" x=\"nan\" y=\"0\"/>\n"), "object '0' (id 4) on layer 'level_static': x='nan'"},
        {Map(block + "><properties><property name=\"text\" value=\"\xE2\x82\xAC\"/></properties></object>\n"),
         "beyond U+00FF"},
        {Map("", "<layer id=\"7\" name=\"ground\" width=\"1\" height=\"1\"/>\n"), "layer 'ground' is no level file"},
        {"<map><objectgroup", "not a map: "},
        {"", "not a map: "},
    };
    for (const auto& c : cases) {
        CTempDir folder;
        folder.Write("lvl/level_static.ini", STATIC_INI);
        folder.Write("level.tmx", c.map);
        const ToolRun run = Start(Tool("quillfen-level-tiled") + " import " + folder.File("level.tmx") + " " + folder.Path());
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("nothing written"), std::string::npos) << run.output;
        EXPECT_EQ(folder.Read("lvl/level_static.ini"), STATIC_INI);
        EXPECT_FALSE(fs::exists(folder.File("lvl/level_check.ini")));
    }
}
