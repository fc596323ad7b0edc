#pragma once

#include <string>
#include <vector>

// The layout of an INI file with line numbers, read by the same rules as
// platform/CIniReader (encodings, line ends, headers, NUL, trimming, quotes),
// but keeping what the reader drops: every section, also a repeated one, and
// every key, also a repeated one, in file order. Names keep their case.
class CIniScan {
public:
    struct Entry {
        std::string key;
        std::string value;
        int line = 0; // 1-based
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

    // Section and key names are compared without regard to ASCII case.
    static std::string Lower(std::string text);

private:
    void Parse(const std::string& text);

    std::vector<Section> sections;
};
