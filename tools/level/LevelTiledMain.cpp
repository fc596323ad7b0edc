// quillfen-level-tiled: a level as a Tiled map and back.
#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/Paths.h"
#include "tools/level/CTiledExport.h"
#include "tools/level/CTiledImport.h"
#include "tools/level/LevelGuide.h"
#include "tools/level/LevelReport.h"

namespace {

const char* const HELP =
    "Usage: quillfen-level-tiled export FOLDER OUT.tmx\n"
    "       quillfen-level-tiled import IN.tmx FOLDER\n"
    "For level designers: draw a level in the map editor Tiled.\n"
    "export writes the level in FOLDER as a Tiled map: one object layer per level\n"
    "file, one object per block named by its section, every key as a property,\n"
    "textured blocks drawn with their images, and a point object for each position\n"
    "a key names (the player's spawn, a platform's far end, a trap's throw target,\n"
    "a checkpoint's respawn point) to drag.\n"
    "import writes the level files of FOLDER back from a map saved by Tiled: moved,\n"
    "resized, added, deleted and re-layered objects; sections it did not change keep\n"
    "their keys' order and spelling. A map the game cannot represent (a rotated\n"
    "object, an ellipse, a property of the wrong type) is refused with the object's\n"
    "name and id, and nothing is written. Then it checks the level as\n"
    "quillfen-level-check does and prints what it finds.\n"
    "Exit status: 0 on success, 1 when the map is refused or cannot be written,\n"
    "2 on wrong use or a FOLDER that cannot be entered.\n";

// The name as seen from the current folder, before the tool enters FOLDER.
std::string Absolute(const std::string& name)
{
    return name.empty() || name[0] == '/' ? name : GetWorkingDirectory() + name;
}

bool Enter(const std::string& folder)
{
    if (chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "quillfen-level-tiled: cannot enter %s: %s\n", folder.c_str(), std::strerror(errno));
        return false;
    }
    SetStartupDirectoryForTesting(GetWorkingDirectory());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(HELP, stdout);
        std::printf("The guide to the level files: %s\n", LevelGuidePlace().c_str());
        return 0;
    }
    const std::string command = argc == 4 ? argv[1] : "";
    if (command != "export" && command != "import") {
        std::fputs(HELP, stderr);
        return 2;
    }
    std::string message;
    if (command == "export") {
        const std::string out = Absolute(argv[3]);
        if (!Enter(argv[2])) return 2;
        if (!CTiledExport::Write(out, message)) {
            std::fprintf(stderr, "quillfen-level-tiled: %s\n", message.c_str());
            return 1;
        }
        std::printf("%s: the level of %s as a Tiled map\n", argv[3], argv[2]);
        return 0;
    }
    const std::string in = Absolute(argv[2]);
    if (!Enter(argv[3])) return 2;
    if (!CTiledImport::Read(in, argv[2], message)) {
        std::fprintf(stderr, "quillfen-level-tiled: %s\n", message.c_str());
        return 1;
    }
    std::printf("%s: level files written from %s\n", argv[3], argv[2]);
    TTF_Init();
    PrintLevelProblems(argv[3]);
    TTF_Quit();
    return 0;
}
