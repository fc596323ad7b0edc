#include "game/level/CIniScan.h"

#include "platform/CIniReader.h"
#include "platform/FileRead.h"

std::string CIniScan::Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool CIniScan::Scan(const std::string& nativeName, std::string& reason)
{
    sections.clear();
    wide = false;
    std::string content;
    if (!PlatformReadFile(nativeName, content, reason)) return false;
    Parse(CIniReader::DecodeText(std::move(content), wide));
    return true;
}

void CIniScan::Parse(const std::string& text)
{
    CIniReader::ScanLines(text, [this](CIniReader::Line& line) {
        if (line.header)
            sections.push_back(Section{std::move(line.name), line.number, {}});
        else if (!sections.empty())
            sections.back().entries.push_back(
                Entry{std::move(line.name), std::move(line.value), line.number, line.hasValue});
        return true;
    });
}
