// Velmora platform layer: the process's current directory, its program's folder and
// the user's folder for what a run writes. Folder names use '/' between their parts
// on every system.
#ifndef VELMORA_PLATFORM_WORKINGDIRECTORY_H
#define VELMORA_PLATFORM_WORKINGDIRECTORY_H

#include <string>

// Stores the current directory (as the system reports it, without a separator at the
// end) in `out` and returns true; returns false and leaves `out` unchanged when the
// directory cannot be read. Any length is accepted. Thread-safe.
bool PlatformGetWorkingDirectory(std::string& out);

// Stores the folder of the running program's file (links resolved, without a separator at the end) in `out` and returns true; returns
// false and leaves `out` unchanged when it cannot be read. Thread-safe.
bool PlatformGetExecutableDirectory(std::string& out);

// Stores the folder `application` of the user's folder for what a program's run
// writes (an installed game's log) in `out`, without a separator at the end, and
// returns true; the folder may not exist yet. Linux: "$XDG_STATE_HOME/<application>"
// when that is an absolute name, else "$HOME/.local/state/<application>" when HOME
// is absolute. Windows: "%LOCALAPPDATA%/<application>". False, with the reason in
// `reason`, when the environment names no such folder.
bool PlatformGetUserStateDirectory(const std::string& application, std::string& out, std::string& reason);

#endif
