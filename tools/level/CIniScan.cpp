#include "tools/level/CIniScan.h"

#include <algorithm>
#include <cstdint>

#include "platform/CIniReader.h"
#include "platform/FileRead.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string Field(const std::string& text, std::size_t begin, std::size_t end)
{
    end = static_cast<std::size_t>(std::find(text.begin() + static_cast<std::ptrdiff_t>(begin),
                                             text.begin() + static_cast<std::ptrdiff_t>(end), '\0') -
                                   text.begin());
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::string CIniScan::Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool CIniScan::Scan(const std::string& nativeName, std::string& reason)
{
    sections.clear();
    std::string content;
    if (!PlatformReadFile(nativeName, content, reason)) return false;
    Parse(CIniReader::DecodeText(std::move(content)));
    return true;
}

void CIniScan::Parse(const std::string& text)
{
    std::size_t pos = 0;
    int line = 0;
    while (pos < text.size()) {
        std::size_t lineEnd = text.find_first_of("\r\n", pos);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        std::size_t begin = pos;
        const std::size_t end = lineEnd;
        pos = lineEnd + 1;
        // CR LF ends one line; the reader sees an empty line between them.
        if (lineEnd < text.size() && text[lineEnd] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        ++line;
        while (begin < end && IsBlank(text[begin])) ++begin;
        if (begin == end || text[begin] == ';') continue;
        if (text[begin] == '[') {
            std::size_t close = end - 1;
            while (close > begin && text[close] != ']') --close;
            if (close > begin) {
                sections.push_back(Section{Field(text, begin + 1, close), line, {}});
                continue;
            }
        }
        const std::size_t equals = static_cast<std::size_t>(
            std::find(text.begin() + static_cast<std::ptrdiff_t>(begin), text.begin() + static_cast<std::ptrdiff_t>(end), '=') -
            text.begin());
        if (equals == end || sections.empty()) continue;
        std::string key = Field(text, begin, equals);
        if (key.empty()) continue;
        std::string value = Field(text, equals + 1, end);
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        sections.back().entries.push_back(Entry{std::move(key), std::move(value), line});
    }
}
