// quillfen-level-check: lists the likely mistakes of a level, as file:line:
// message lines that a person and an editor can both read.

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "config/Paths.h"
#include "tools/level/LevelGuide.h"
#include "tools/level/LevelReport.h"

namespace {

const char* const HELP =
    "Usage: quillfen-level-check [FOLDER]\n"
    "For level designers: reads the level in FOLDER (default: the current folder)\n"
    "as the game reads it - config.ini, lvl/level_static.ini, lvl/level_check.ini,\n"
    "lvl/level_platform.ini, ass/ets.0, lvl/level_finish.ini and the script\n"
    "ass/ets.1 - and prints every likely mistake as FILE:LINE: MESSAGE: keys no\n"
    "block reads (with the key you probably meant), values that are not numbers,\n"
    "images and fonts that cannot be loaded, missing, repeated or unread sections\n"
    "and keys, platforms that never move, spawn points outside the level box and\n"
    "script lines that are never written. The guide to the level files lists\n"
    "every message.\n"
    "Exit status: 0 when the level is clean, 1 when problems were found, 2 when\n"
    "FOLDER cannot be entered.\n";

} // namespace

int main(int argc, char** argv)
{
    std::string folder = ".";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(HELP, stdout);
            std::printf("The guide to the level files: %s\n", LevelGuidePlace().c_str());
            return 0;
        }
        if (i > 1 || argv[i][0] == '-') {
            std::fputs(HELP, stderr);
            return 2;
        }
        folder = argv[i];
    }
    // The game reads its level from the working directory; so does the checker.
    if (chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "quillfen-level-check: cannot enter %s: %s\n", folder.c_str(), std::strerror(errno));
        return 2;
    }
    SetStartupDirectoryForTesting(GetWorkingDirectory());
    TTF_Init();

    const bool clean = PrintLevelProblems(folder);
    TTF_Quit();
    return clean ? 0 : 1;
}
