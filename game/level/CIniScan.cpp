#include "game/level/CIniScan.h"

#include <unordered_map>

#include "platform/CIniReader.h"
#include "platform/FileRead.h"

std::string CIniScan::Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool CIniScan::Scan(const std::string& nativeName, std::string& reason, bool& wide,
                    const std::function<void(const Section&)>& visit)
{
    wide = false;
    std::string content;
    if (!PlatformReadFile(nativeName, content, reason)) return false;
    const std::string text = CIniReader::DecodeText(std::move(content), wide);
    Section section;
    bool open = false;
    std::unordered_map<std::string, std::size_t> keys;  // lower-cased key -> its entry
    CIniReader::ScanLines(text, [&](CIniReader::Line& line) {
        if (line.header) {
            if (open) visit(section);
            section = Section{std::move(line.name), line.number, {}};
            keys.clear();
            open = true;
        } else if (open) {
            const auto added = keys.emplace(Lower(line.name), section.entries.size());
            if (added.second) {
                section.entries.push_back(
                    Entry{std::move(line.name), std::move(line.value), line.number, 0, 0, line.hasValue});
            } else {
                Entry& first = section.entries[added.first->second];
                if (first.repeats++ == 0) first.repeatLine = line.number;
            }
        }
        return true;
    });
    if (open) visit(section);
    return true;
}
