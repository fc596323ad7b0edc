#include "tools/level/CIniScan.h"

#include <algorithm>
#include <cstdint>

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

void AppendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string DecodeUtf16(const std::string& bytes, bool bigEndian)
{
    auto unitAt = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        AppendUtf8(out, unit);
    }
    return out;
}

std::string Decode(std::string content)
{
    if (content.compare(0, 2, "\xFF\xFE") == 0) return DecodeUtf16(content, false);
    if (content.compare(0, 2, "\xFE\xFF") == 0) return DecodeUtf16(content, true);
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    return content;
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
    Parse(Decode(std::move(content)));
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
