// Velmora configuration: the path table, the start-up directory and the path
// functions.
//
// Stored names keep their backslashes ("gfx\\logo.png"); whoever opens a file
// applies NativePath (platform/FilePath.h) to the name.
#ifndef VELMORA_CONFIG_PATHS_H
#define VELMORA_CONFIG_PATHS_H

#include <string>

// The working directory at static initialisation, ending with "/" (this system's
// separator; stored names use backslashes). The base of relative INI names.
extern const std::string STARTUP_DIR;

// The fixed file paths (relative, stored form).
extern const std::string CONFIG_FILE;          // "config.ini"
extern const std::string LOGO_IMAGE;           // "gfx\\logo.png"
extern const std::string PLAYER_IMAGE;         // "gfx\\tovik.png"
extern const std::string LEVEL_STATIC_FILE;    // "lvl\\level_static.ini"
extern const std::string LEVEL_CHECK_FILE;     // "lvl\\level_check.ini"
extern const std::string LEVEL_PLATFORM_FILE;  // "lvl\\level_platform.ini"
extern const std::string LEVEL_FINISH_FILE;    // "lvl\\level_finish.ini"
extern const std::string ASSETS_FILE_0;        // "ass\\ets.0"
extern const std::string ASSETS_FILE_1;        // "ass\\ets.1"
extern const std::string DEFAULT_FONT_FILE;    // "fnt\\Lucida Console.ttf"
extern const std::string SOUND_JUMP;           // "sfx\\jump.wav": the player's take-off
extern const std::string SOUND_LAND;           // "sfx\\land.wav": landing after a fall
extern const std::string SOUND_CHECKPOINT;     // "sfx\\checkpoint.wav"
extern const std::string SOUND_RESPAWN;        // "sfx\\respawn.wav"
extern const std::string SOUND_PLATFORM;       // "sfx\\platform.wav": a platform starts carrying
extern const std::string SOUND_TRAP;           // "sfx\\trap.wav": the trap's capture
extern const std::string SOUND_GLITCH;         // "sfx\\glitch.wav": each later line of its script
extern const std::string SOUND_GOAL;           // "sfx\\goal.wav"
extern const std::string MUSIC_LOOP;           // "music\\calm.wav"

// The same value as STARTUP_DIR, safe to call at any time (also during the static
// initialisation of other files): computed once, on first use.
const std::string& StartupDirectory();

// Makes relative INI names resolve against another folder (ending with "/"): the
// installed game's entry function points them at the installed level. Call before
// any other thread reads an INI file (STARTUP_DIR keeps the directory at start).
void SetStartupDirectory(const std::string& directoryWithSlash);
// For tests only: the same as SetStartupDirectory.
void SetStartupDirectoryForTesting(const std::string& directoryWithSlash);

// The installed data folder (ending with "/"), whose files stand in for the images
// and fonts the working directory lacks (see MakeAbsolutePath); empty, the
// default, for none. Set by the entry function before any other thread starts.
void SetInstalledDataDirectory(const std::string& directoryWithSlash);

// The current directory followed by "/" (not doubled when it is "/" itself), or "/"
// when the directory cannot be read. Asked for anew on every call.
std::string GetWorkingDirectory();

// The path unchanged when IsAbsolutePath says so ('/' in front, or a drive letter
// and ':'); otherwise GetWorkingDirectory() followed by the path. The stored form
// is kept (backslashes are not translated). When an installed data folder is set
// and nothing of that name exists in the working directory (in any letter case)
// but does in the data folder, the data folder followed by the path instead.
std::string MakeAbsolutePath(std::string path);

#endif
