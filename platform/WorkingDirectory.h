// Velmora platform layer: the process's current directory.
#ifndef VELMORA_PLATFORM_WORKINGDIRECTORY_H
#define VELMORA_PLATFORM_WORKINGDIRECTORY_H

#include <string>

// Stores the current directory (as getcwd reports it, without a separator at the
// end) in `out` and returns true; returns false and leaves `out` unchanged when the
// directory cannot be read. Any length is accepted. Thread-safe.
bool PlatformGetWorkingDirectory(std::string& out);

#endif
