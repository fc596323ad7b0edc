// Velmora platform layer: the INI reader that stands in for the Windows function
// GetPrivateProfileStringW that the level files were written for.
//
// The files are read as bytes, so no UTF-16 conversions are needed.
//
// Rules (those of the Windows reader the level files are written for):
// - "[section]" lines start a section; "key=value" lines (split at the first '=')
//   belong to the section above them; lines before the first section, lines
//   without '=' and lines whose key name is empty are ignored.
// - White space around section names, key names and values is trimmed.
// - One pair of matching quotes (both ' or both ") around a value is removed.
// - Section and key names are compared without regard to ASCII case.
// - The first matching section wins: a later section of the same name is not merged
//   (its keys are not seen). Within a section the first matching key wins.
// - Lines whose first non-blank character is ';' are comments. There are no inline
//   comments (a ';' inside a value is part of it) and no continuation lines.
// - CR LF and LF line ends and a UTF-8 byte-order mark are accepted.
// - The result (value, or default) is cut at 1023 bytes, as the Windows reader's
//   buffer of 1024 units with its terminating NUL would cut it.
// - A key present with an empty value yields "" (not the default).
// - A missing or unreadable file, section or key yields the default.
//
// Caching: a file is parsed once and kept; it is read again only when its size,
// its modification time (nanoseconds), its device or its inode number changes, so
// the getters always see the file as it is on disk. The cache is guarded by a
// mutex: both threads (main and level loader) read INI files.
#ifndef VELMORA_PLATFORM_CINIREADER_H
#define VELMORA_PLATFORM_CINIREADER_H

#include <cstddef>
#include <string>

class CIniReader {
public:
    // Longest value (and default) handed out, in bytes.
    static constexpr std::size_t MAX_VALUE_LENGTH = 1023;

    // The value of `key` in `section` of the file, or `defaultValue` when the file,
    // the section or the key does not exist. `fileName` is a stored or absolute
    // name; NativePath is applied to it here. Thread-safe.
    static std::string ReadValue(const std::string& section, const std::string& key,
                                 const std::string& defaultValue, const std::string& fileName);

    // Like ReadValue, but tells whether the key exists: true and the (cut) value in
    // `value`, or false with `value` unchanged. Thread-safe.
    static bool TryReadValue(const std::string& section, const std::string& key,
                             const std::string& fileName, std::string& value);

    // False, with a short reason ("not a regular file", "larger than 64 MiB"), when
    // the file exists but is refused: it is then read as a missing file. True for a
    // usable or an absent file. The getters stay silent; callers log the reason.
    static bool CheckFile(const std::string& fileName, std::string& reason);

    // For tests: number of files kept in the cache.
    static std::size_t CacheSizeForTesting();
    // For tests: number of times a file has been read and parsed since the start
    // (or since the last ClearCacheForTesting).
    static std::size_t ParseCountForTesting();
    // For tests: forgets every kept file and sets the parse count to 0.
    static void ClearCacheForTesting();
};

#endif
