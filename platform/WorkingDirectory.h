// Velmora platform layer: the process's current directory and its program's folder.
#ifndef VELMORA_PLATFORM_WORKINGDIRECTORY_H
#define VELMORA_PLATFORM_WORKINGDIRECTORY_H

#include <string>

// Stores the current directory (as getcwd reports it, without a separator at the
// end) in `out` and returns true; returns false and leaves `out` unchanged when the
// directory cannot be read. Any length is accepted. Thread-safe.
bool PlatformGetWorkingDirectory(std::string& out);

// Stores the folder of the running program's file (from /proc/self/exe, links
// resolved, without a separator at the end) in `out` and returns true; returns
// false and leaves `out` unchanged when it cannot be read. Thread-safe.
bool PlatformGetExecutableDirectory(std::string& out);

#endif
