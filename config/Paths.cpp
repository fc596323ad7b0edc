#include "config/Paths.h"

#include "platform/FilePath.h"
#include "platform/WorkingDirectory.h"

namespace {
std::string& StartupDirectoryStorage() {
    static std::string directory = GetWorkingDirectory();
    return directory;
}
} // namespace

const std::string& StartupDirectory() {
    return StartupDirectoryStorage();
}

void SetStartupDirectory(const std::string& directoryWithSlash) {
    StartupDirectoryStorage() = directoryWithSlash;
}

void SetStartupDirectoryForTesting(const std::string& directoryWithSlash) {
    SetStartupDirectory(directoryWithSlash);
}

namespace {
// Written by the entry function before the loader thread starts (the thread's
// creation orders the write before every read there), never afterwards.
std::string& InstalledDataStorage() {
    static std::string directory;
    return directory;
}
} // namespace

void SetInstalledDataDirectory(const std::string& directoryWithSlash) {
    InstalledDataStorage() = directoryWithSlash;
}

// Taken at static initialisation, through a function so that the value is right
// even when another file's static initialisation asks StartupDirectory() first.
const std::string STARTUP_DIR = StartupDirectory();

const std::string CONFIG_FILE = "config.ini";
const std::string LOGO_IMAGE = "gfx\\logo.png";
const std::string PLAYER_IMAGE = "gfx\\tovik.png";
const std::string LEVEL_STATIC_FILE = "lvl\\level_static.ini";
const std::string LEVEL_CHECK_FILE = "lvl\\level_check.ini";
const std::string LEVEL_PLATFORM_FILE = "lvl\\level_platform.ini";
const std::string LEVEL_FINISH_FILE = "lvl\\level_finish.ini";
const std::string ASSETS_FILE_0 = "ass\\ets.0";
const std::string ASSETS_FILE_1 = "ass\\ets.1";
const std::string DEFAULT_FONT_FILE = "fnt\\Lucida Console.ttf";
const std::string SOUND_JUMP = "sfx\\jump.wav";
const std::string SOUND_LAND = "sfx\\land.wav";
const std::string SOUND_CHECKPOINT = "sfx\\checkpoint.wav";
const std::string SOUND_RESPAWN = "sfx\\respawn.wav";
const std::string SOUND_PLATFORM = "sfx\\platform.wav";
const std::string SOUND_TRAP = "sfx\\trap.wav";
const std::string SOUND_GLITCH = "sfx\\glitch.wav";
const std::string SOUND_GOAL = "sfx\\goal.wav";
const std::string MUSIC_LOOP = "music\\calm.wav";

std::string GetWorkingDirectory() {
    std::string directory;
    // When the directory cannot be read, the root of the file tree stands in
    // (the Windows build used "C:\").
    if (!PlatformGetWorkingDirectory(directory) || directory.empty()) return "/";
    // This system's separator ends the name; the root directory "/" already
    // ends with it and is not doubled.
    if (directory.back() != '/') directory += '/';
    return directory;
}

std::string MakeAbsolutePath(std::string path) {
    if (IsAbsolutePath(path)) return path;
    std::string local = GetWorkingDirectory() + path;
    const std::string& installed = InstalledDataStorage();
    if (installed.empty() || PlatformPathExists(NativePath(local))) return local;
    std::string fromInstallation = installed + path;
    return PlatformPathExists(NativePath(fromInstallation)) ? fromInstallation : local;
}
