// Velmora platform layer: translation of stored file names to names of this system.
//
// The data files name each other with Windows-style stored names ("gfx\tovik.png",
// "lvl\level_static.ini"). On Linux these are translated where a file is opened:
// backslashes become '/', and when the exact name does not exist, every component
// is looked up without regard to ASCII letter case (level files, and the texture
// and font caches that lower-case their keys, name files in any case).
// A stored name is Latin-1 text, one byte a character, as the INI reader hands
// names out; names on this system are UTF-8.
// So a component not found under its own bytes is looked up in its UTF-8
// spelling: "gfx\caf\xE9.png" finds gfx/café.png. Its own bytes come first, so
// a UTF-8 name written into a level file without a byte-order mark finds its
// file too (as in the Windows build, which tries a name as UTF-8 first).
#ifndef VELMORA_PLATFORM_FILEPATH_H
#define VELMORA_PLATFORM_FILEPATH_H

#include <string>

// The name under which the file of the stored name `storedPath` can be opened on
// this system. Backslashes are turned into '/'. A drive-letter prefix ("C:") is
// dropped and the rest is taken from the root directory ("C:\data\x.ini" ->
// "/data/x.ini"). If the translated name exists it is returned as it is; otherwise
// each component is resolved in turn without regard to ASCII case (the exact
// spelling is preferred, then the first case-insensitive match in byte order,
// then the same for the component's UTF-8 spelling).
// From the first component that cannot be found on, the rest is kept as given, so
// a name that does not exist in any spelling comes back translated but unresolved.
// Every backslash is translated, also one that belongs to a real directory name on
// this system (a working directory containing '\' is not supported).
// Thread-safe; keeps no state.
std::string NativePath(const std::string& storedPath);

// True for the absolute forms: a name beginning with '/' (this system) and the
// Windows drive-letter form (at least two characters, the second ':').
bool IsAbsolutePath(const std::string& path);

// True when something (file, folder, link, even a dangling one) exists under the
// name of this system `nativePath`.
bool PlatformPathExists(const std::string& nativePath);

// The one name of the existing file `nativePath` after every link, "." and ".."
// and repeated separator is resolved: two names give the same result exactly when
// they reach the same file. Empty when the file cannot be reached.
std::string PlatformRealPath(const std::string& nativePath);

// Creates the folder `nativePath` and every missing folder above it, each readable
// by its owner alone (mode 0700). True when the folder exists afterwards; false
// with the system's reason in `error` otherwise (for example when a file stands in
// the way).
bool PlatformMakeDirectories(const std::string& nativePath, std::string& error);

#endif
