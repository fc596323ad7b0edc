#pragma once

#include <functional>
#include <string>
#include <vector>

// The layout of an INI file with line numbers, read by the same rules as
// platform/CIniReader (encodings, line ends, headers, NUL, trimming, quotes),
// but keeping what the reader drops: every section, also a repeated one, and
// where a key is repeated. Sections are handed over one at a time, so that what
// it holds follows the reader's own copy of the file: in a section, each key
// once, with the count of its repeats. Names keep their case.
class CIniScan {
public:
    // Names and values as the file spells them (see `wide` of Scan); the game
    // gets them through CIniReader::Narrow.
    struct Entry {
        std::string key;
        std::string value;
        int line = 0;          // 1-based; the first occurrence
        int repeats = 0;       // later occurrences in the same section
        int repeatLine = 0;    // the first of them
        bool hasValue = true;  // false: a line without '='
    };
    struct Section {
        std::string name;
        int line = 0;
        std::vector<Entry> entries;  // by first occurrence
    };

    // Scans the file of this system's name and hands each section to `visit`,
    // in file order; `wide` is set before the first, true for a file with a
    // byte-order mark (its text is UTF-8 here). False, with a reason, when it
    // cannot be read (a missing file gives the reason "no such file").
    static bool Scan(const std::string& nativeName, std::string& reason, bool& wide,
                     const std::function<void(const Section&)>& visit);

    // Section and key names are compared without regard to ASCII case.
    static std::string Lower(std::string text);
};
