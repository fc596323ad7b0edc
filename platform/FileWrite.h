// Velmora platform layer: the files the game and its tools write (the log, a
// recording, a level map), in folders that may be hostile.
//
// Only a regular file is written. A named pipe, a device, a socket, a folder or a
// symbolic link under the name is refused without blocking and left as it is: a
// link is not followed, so the file it points to stays untouched. An existing
// regular file is emptied; a missing one is created. Callers go on without that
// output and say so, and check every write, flush and close: a full disk shows
// only there.
#ifndef VELMORA_PLATFORM_FILEWRITE_H
#define VELMORA_PLATFORM_FILEWRITE_H

#include <cstddef>
#include <cstdio>
#include <string>

// Opens the file `nativeName` (a name of this system) for writing from its start.
// Null, with a short English reason in `error` ("a symbolic link", "not a regular
// file", "Permission denied", ...), when it is refused or cannot be opened. The
// caller closes it with std::fclose. Thread-safe.
std::FILE* PlatformOpenOutputFile(const std::string& nativeName, std::string& error);

// Writes the `size` bytes at `data` as the whole of the file `nativeName`, opened
// as above. False, with the reason in `error`, when the file is refused or any
// byte of it could not be written (a full disk among the reasons).
bool PlatformWriteFile(const std::string& nativeName, const void* data, std::size_t size, std::string& error);

#endif
