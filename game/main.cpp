#include "config/Paths.h"
#include "game/CGameMain.h"
#include "log/Log.h"
#include "platform/DriverModules.h"
#include "platform/FilePath.h"
#include "platform/WorkingDirectory.h"

#include <cstdlib>
#include <string>

namespace {

// Installed or not is told by where the binary lies, not by a second build: the
// installed copy sits in <prefix>/games with its data in <prefix>/share/games/quillfen
// (the build passes the folder's name and the data's place relative to it), so a
// staged prefix (DESTDIR, --prefix) counts as installed too, while build/quillfen
// finds no data beside it and behaves exactly as it always has.
#ifndef QUILLFEN_GAMES_DIR_NAME
#define QUILLFEN_GAMES_DIR_NAME "games"
#endif
#ifndef QUILLFEN_DATA_FROM_GAMES_DIR
#define QUILLFEN_DATA_FROM_GAMES_DIR "../share/games/quillfen"
#endif

// The installed data folder ending with "/", or empty when this binary is not
// the installed one.
std::string InstalledDataDirectory() {
    std::string binDir;
    if (!PlatformGetExecutableDirectory(binDir)) return std::string();
    const std::string gamesDir = QUILLFEN_GAMES_DIR_NAME;
    const std::size_t slash = binDir.rfind('/');
    if (slash == std::string::npos || binDir.compare(slash + 1, std::string::npos, gamesDir) != 0) {
        return std::string();
    }
    // The binary's folder has its links resolved already, so ".." can be taken
    // off by name.
    std::string data = binDir;
    std::string rest = QUILLFEN_DATA_FROM_GAMES_DIR;
    while (rest.compare(0, 3, "../") == 0 && data.rfind('/') != std::string::npos) {
        data.erase(data.rfind('/'));
        rest.erase(0, 3);
    }
    data += "/" + rest + "/";
    return PlatformPathExists(NativePath(data + CONFIG_FILE)) ? data : std::string();
}

// The folder of the user's state folder that the installed game logs into.
#ifdef _WIN32
const char* const STATE_FOLDER = "Quillfen";
#else
const char* const STATE_FOLDER = "quillfen";
#endif

// A folder holds a level of its own when it has any of the level's places, in any
// letter case, as the game looks them up.
bool WorkingDirectoryHoldsALevel() {
    for (const char* name : {"lvl", "ass", "config.ini"}) {
        if (PlatformPathExists(NativePath(name))) return true;
    }
    return false;
}

// The installed game started where no level lies plays the installed level and
// logs into the user's state folder: it writes nothing outside the home folder.
void StartInstalled(const std::string& data) {
    SetInstalledDataDirectory(data);
    if (WorkingDirectoryHoldsALevel()) {
        LogEnableFile();
        LogWrite(LOG_STATUS, "Playing the level of the working directory; missing images and fonts come from " +
                                 data + ".", "");
        return;
    }
    SetStartupDirectory(data);
    std::string state;
    std::string reason;
    if (PlatformGetUserStateDirectory(STATE_FOLDER, state, reason) && PlatformMakeDirectories(state, reason)) {
        LogEnableFile(state + "/logfile.txt");
    } else {
        LogWrite(LOG_WARNING, "No log file: the folder " + state + " cannot be used (" + reason +
                                  "); logging to the console only.", "");
    }
    LogWrite(LOG_STATUS, "Playing the installed level in " + data + ".", "");
}

}  // namespace

// The game's entry; the engine is a library and leaves main to the game.
// Command-line arguments are ignored: everything comes from the working directory,
// or from the installation when the installed game starts where no level lies.
int main(int, char**)
{
    LogEnable();
    const std::string data = InstalledDataDirectory();
    if (data.empty()) {
        LogEnableFile();
    } else {
        StartInstalled(data);
    }
    CGameMain* game = new CGameMain();
    // The window is open, so the GL driver is loaded: keep it for the leak check.
    PlatformPinDriverModules();
    game->Run();
    delete game;
    return 0;
}
