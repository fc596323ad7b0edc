// Velmora platform layer, Windows: the game's byte-string file names and the
// system's UTF-16 names.
//
// The game's names are UTF-8, as on Linux, so that a folder of any name works and
// the same level file names the same files on both systems. A name that is not
// valid UTF-8 (a Latin-1 byte from a level file, for instance) is taken in the
// system's ANSI code page instead, as MultiByteToWideChar with code page 0 does.
// Inside the game a folder name uses '/' between its parts, as on Linux.
#ifndef VELMORA_PLATFORM_WINDOWS_NATIVENAME_H
#define VELMORA_PLATFORM_WINDOWS_NATIVENAME_H

#include <string>

// The UTF-16 form of a byte-string name (see above); it ends at a NUL byte.
std::wstring WideName(const std::string& name);

// The game's form of a name the system hands out: UTF-8, '\' turned into '/'.
std::string GameName(const wchar_t* name);

// True for a name the system would take for a device instead of a file: a last
// part that is CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$ or CONOUT$ (in any
// letter case, with or without an extension or trailing dots and blanks), or a
// name in the device namespaces "\\.\" and "\\?\" (either slash).
bool IsDeviceName(const std::string& name);

#endif
