#pragma once

#include <string>
#include <vector>

// The layout of an INI file with line numbers, read by the same rules as
// platform/CIniReader (encodings, line ends, headers, NUL, trimming, quotes),
// but keeping what the reader drops: every section, also a repeated one, and
// every key, also a repeated one, in file order. Names keep their case.
class CIniScan {
public:
    // Names and values as the file spells them (see Wide); the game gets them
    // through CIniReader::Narrow.
    struct Entry {
        std::string key;
        std::string value;
        int line = 0; // 1-based
        bool hasValue = true; // false: a line without '='
    };
    struct Section {
        std::string name;
        int line = 0;
        std::vector<Entry> entries;
    };

    // Scans the file of this system's name. False, with a reason, when it
    // cannot be read (a missing file gives the reason "no such file").
    bool Scan(const std::string& nativeName, std::string& reason);

    const std::vector<Section>& Sections() const { return sections; }
    // True for a file with a byte-order mark: its text is UTF-8 here.
    bool Wide() const { return wide; }

    // Section and key names are compared without regard to ASCII case.
    static std::string Lower(std::string text);

private:
    void Parse(const std::string& text);

    std::vector<Section> sections;
    bool wide = false;
};
