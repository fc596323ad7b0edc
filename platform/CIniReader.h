// Velmora platform layer: the INI reader that stands in for the Windows function
// GetPrivateProfileStringW that the level files were written for.
//
// Rules (those of the Windows reader, where a level file can tell them apart):
// - Text: every name and value is handed out as the Windows build hands it out
//   after its UTF-16 round trip, one byte per UTF-16 unit, the unit's low 8 bits.
//   So a file without a byte-order mark passes its bytes through unchanged (each
//   byte one character, Latin-1, as the ANSI code page reads it); a file that
//   starts with the UTF-16 LE mark (FF FE), the UTF-16 BE mark (FE FF) or the
//   UTF-8 mark (EF BB BF) is decoded to its characters, which come out as Latin-1
//   bytes ("Caf\xE9", drawn right by SDL_ttf's Latin-1 text functions). A
//   character above U+00FF keeps only its low byte (two bytes for one above
//   U+FFFF, one per unit), and a section or key name holding one can never be asked
//   for; requested names are read alike, each byte one character. A byte that is
//   not UTF-8 in a file with the UTF-8 mark is U+FFFD (0xFD); an odd last byte of a
//   UTF-16 file is a character of its own value. (Code page 1252 reads bytes 0x80 to 0x9F as other
//   characters; here every byte stays itself, on every system.)
// - CR LF, LF and a lone CR all end a line.
// - A line whose first non-blank character is '[' and which holds a ']' is a
//   section header; the name runs to the LAST ']' on the line ("[0] ; see [1]"
//   names "0] ; see [1"). A '[' line without ']' (also "[" alone) is not a header:
//   it is read like any other line, and the keys after it stay in the section above.
// - "key=value" lines (split at the first '=') belong to the section above them;
//   lines above the first header to a section of the empty name (which a later
//   "[]" therefore repeats). A key name may be empty ("=value").
//   A line without '=' is a key without a value: asking for it gives the default,
//   also when a "key=value" of the same name follows (the first key wins).
// - A NUL byte ends a section name, a key name or a value: the rest of that name or
//   value is ignored (the line still counts as a line).
// - White space (blank, tab, vertical tab, form feed and the DOS end-of-file mark
//   ^Z) around section names, key names and values is trimmed, and so it is
//   around the requested names.
// - One pair of matching quotes (both ' or both ") around a value is removed.
// - Section and key names are compared without regard to ASCII case.
// - The first matching section wins: a later section of the same name is not merged
//   (its keys are not seen). Within a section the first matching key wins.
// - Lines whose first non-blank character is ';' are comments. There are no inline
//   comments (a ';' inside a value is part of it) and no continuation lines.
// - The result (value, or default) is cut to 1023 bytes, as the Windows reader's
//   buffer of 1024 units with its terminating NUL cuts it. A quoted value loses its
//   closing quote in that buffer, so 1023 characters inside quotes give 1022. A
//   default, like a requested name, ends at a NUL.
// - A key present with an empty value yields "" (not the default).
// - A missing file, section or key yields the default. So does a refused file:
//   one that is not a regular file (pipe, device, directory, socket), is larger
//   than 64 MiB, cannot be read, or holds more than MAX_ENTRIES sections and keys.
//   CheckFile says why; the getters stay silent.
//
// Caching: a file is parsed once and kept; it is read again only when its size,
// its modification time (nanoseconds), its device or its inode number changes, so
// the getters always see the file as it is on disk. At most MAX_CACHED_FILES files
// and about MAX_CACHED_BYTES are kept (the least recently used go first; the file
// in use always stays). The cache is guarded by a mutex: both threads (main and
// level loader) read INI files.
#ifndef VELMORA_PLATFORM_CINIREADER_H
#define VELMORA_PLATFORM_CINIREADER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CIniReader {
public:
    // Longest value (and default) handed out, in bytes (one per UTF-16 unit).
    static constexpr std::size_t MAX_VALUE_LENGTH = 1023;
    // Files with more sections and keys together are refused: their index would
    // take memory far beyond the file's size. Room for 100,000 blocks of 40 keys.
    static constexpr std::size_t MAX_ENTRIES = 4000000;
    static constexpr std::size_t MAX_CACHED_FILES = 16;
    static constexpr std::size_t MAX_CACHED_BYTES = 64u * 1024u * 1024u;

    // The value of `key` in `section` of the file, or `defaultValue` when the file,
    // the section or the key does not exist. `fileName` is a stored or absolute
    // name; NativePath is applied to it here. Thread-safe.
    static std::string ReadValue(const std::string& section, const std::string& key,
                                 const std::string& defaultValue, const std::string& fileName);

    // Like ReadValue, but tells whether the key exists: true and the (cut) value in
    // `value`, or false with `value` unchanged. Thread-safe.
    static bool TryReadValue(const std::string& section, const std::string& key,
                             const std::string& fileName, std::string& value);

    // False, with a short reason ("not a regular file", "larger than 64 MiB",
    // "more than 4000000 sections and keys", or the system's text for a file that
    // cannot be opened), when the file exists but is refused: it is then read as a
    // missing file. True for a usable or an absent file. Thread-safe.
    static bool CheckFile(const std::string& fileName, std::string& reason);

    // Reading one file key by key: while the calling thread holds a file, its
    // reads of that file take the content as it was on disk when the hold began,
    // without looking at the disk again. For a loader that reads a whole level
    // file, which does not change meanwhile, tens of thousands of times. Other
    // files and other threads read as before. A new hold replaces the last one.
    static void HoldFile(const std::string& fileName);
    // Ends the calling thread's hold, if any.
    static void ReleaseFile();

    // A file's bytes as the reader scans them: unchanged for a file without a
    // byte-order mark (`wide` false); UTF-8 for one with a mark (`wide` true), an
    // unpaired surrogate of a UTF-16 file written as its own three bytes. For tools
    // that read the files line by line as the reader does.
    static std::string DecodeText(std::string bytes, bool& wide);
    // A name or value of such a text as the reader hands it out (see Text above).
    static std::string Narrow(const std::string& text, bool wide);
    // The length of the UTF-8 sequence at `pos` (surrogates allowed) and its code
    // point, or 0 when the byte there starts none.
    static std::size_t ReadCharacter(const std::string& text, std::size_t pos, std::uint32_t& codePoint);

    // One line of a file that the reader takes in: a section header or a key.
    struct Line {
        bool header = false;    // a section header; otherwise a key line
        int number = 0;         // 1-based; CR LF ends one line
        std::string name;       // the section or key name, trimmed, in its own case
        std::string value;      // a key's value, trimmed and unquoted, not yet narrowed or cut
        bool hasValue = false;  // the key line has an '='
        bool quoted = false;    // the value had quotes around it
    };
    // Visits the header and key lines of `text` (see DecodeText) in file order, by
    // the rules above: comments and blank lines are passed over (key lines before
    // the first header are not). Stops, and returns false, when `visit` returns
    // false.
    static bool ScanLines(const std::string& text, const std::function<bool(Line&)>& visit);

    // For tests: number of files kept in the cache.
    static std::size_t CacheSizeForTesting();
    // For tests: number of times a file has been read and parsed since the start
    // (or since the last ClearCacheForTesting).
    static std::size_t ParseCountForTesting();
    // For tests: forgets every kept file and sets the parse count to 0.
    static void ClearCacheForTesting();
    // For tests: refuses files above `limit` sections and keys instead of MAX_ENTRIES.
    static void SetEntryLimitForTesting(std::size_t limit);
};

#endif
