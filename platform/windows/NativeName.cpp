#include "platform/windows/NativeName.h"

#include <windows.h>

#include <vector>

namespace {

std::wstring Convert(UINT codePage, DWORD flags, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int units = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &wide[0], units);
    return wide;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::wstring WideName(const std::string& name) {
    const std::string bytes = name.substr(0, name.find('\0'));
    std::wstring wide = Convert(CP_UTF8, MB_ERR_INVALID_CHARS, bytes);
    if (wide.empty() && !bytes.empty()) wide = Convert(CP_ACP, 0, bytes);
    return wide;
}

std::string GameName(const wchar_t* name) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return std::string();
    std::vector<char> text(static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, name, -1, text.data(), bytes, nullptr, nullptr);
    std::string result(text.data());
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

bool IsDeviceName(const std::string& name) {
    if (name.size() >= 4 && (name[0] == '\\' || name[0] == '/') && (name[1] == '\\' || name[1] == '/') &&
        (name[2] == '.' || name[2] == '?') && (name[3] == '\\' || name[3] == '/')) {
        return true;
    }
    const std::size_t slash = name.find_last_of("\\/");
    std::string last = name.substr(slash == std::string::npos ? 0 : slash + 1);
    // The system ignores an extension, a colon and trailing dots and blanks here:
    // "CON.png", "COM1:", "nul .txt".
    last = last.substr(0, last.find_first_of(".:"));
    while (!last.empty() && (last.back() == ' ' || last.back() == '.')) last.pop_back();
    for (char& c : last) c = AsciiUpper(c);
    if (last == "CON" || last == "PRN" || last == "AUX" || last == "NUL" || last == "CONIN$" || last == "CONOUT$") {
        return true;
    }
    return last.size() == 4 && (last.compare(0, 3, "COM") == 0 || last.compare(0, 3, "LPT") == 0) &&
           last[3] >= '1' && last[3] <= '9';
}
