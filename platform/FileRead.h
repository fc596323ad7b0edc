// Velmora platform layer: reading the files the game loads, which may be hostile.
//
// Only regular files are read: a named pipe, a device (/dev/zero), a socket or a
// directory is refused without blocking, and so is a file larger than the cap.
// Callers treat a refusal as they treat a missing file and log `error`.
#ifndef VELMORA_PLATFORM_FILEREAD_H
#define VELMORA_PLATFORM_FILEREAD_H

#include <cstddef>
#include <cstdint>
#include <string>

// Largest file the game reads, in bytes. Far above any level, image or font.
constexpr std::size_t MAX_FILE_BYTES = 64u * 1024u * 1024u;

// Reads the whole regular file `nativeName` (a name of this system, see NativePath)
// into `content`. False, with `content` empty and a short English reason in
// `error` ("no such file", "not a regular file", "larger than 64 MiB", ...),
// when the file is missing, not regular, too large or unreadable. Never blocks on
// a pipe or device. Thread-safe.
bool PlatformReadFile(const std::string& nativeName, std::string& content, std::string& error,
                      std::size_t maxBytes = MAX_FILE_BYTES);

// What tells one state of a file from another: which file it is (device and file
// number), its size and its last modification (nanoseconds).
struct PlatformFileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const PlatformFileStamp& other) const {
        return device == other.device && file == other.file && size == other.size && modified == other.modified;
    }
};

// Stamps the file `nativeName` without opening it for reading. False when it is
// missing (`error` empty) or cannot be used (`error` says why: "not a regular
// file" for a pipe, device or directory, or the system's reason). Thread-safe.
bool PlatformStampFile(const std::string& nativeName, PlatformFileStamp& stamp, std::string& error);

// True when `nativeName` names a regular file (after following links).
bool PlatformIsRegularFile(const std::string& nativeName);

#endif
