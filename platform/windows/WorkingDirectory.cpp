#include "platform/WorkingDirectory.h"

#include "platform/windows/NativeName.h"

#include <windows.h>

#include <vector>

bool PlatformGetWorkingDirectory(std::string& out) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return false;
        if (length < buffer.size()) break;
        if (length > (1u << 20)) return false;
        buffer.resize(length + 1);  // the length asked for counts the NUL
    }
    std::string directory = GameName(buffer.data());
    // A drive's root is reported with its separator ("C:\"); other folders without.
    if (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    if (directory.empty()) return false;
    out = directory;
    return true;
}

bool PlatformGetExecutableDirectory(std::string& out) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return false;
        if (length < buffer.size()) break;
        if (buffer.size() > (1u << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
    const std::string path = GameName(buffer.data());
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    out = path.substr(0, slash);
    return true;
}

bool PlatformGetUserStateDirectory(const std::string& application, std::string& out, std::string& reason) {
    // %LOCALAPPDATA%: the user's own folder for what a program writes.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    std::string folder = length > 0 && length < buffer.size() ? GameName(buffer.data()) : std::string();
    if (folder.size() < 2 || folder[1] != ':') {
        reason = "LOCALAPPDATA names no absolute folder";
        return false;
    }
    if (folder.back() == '/') folder.pop_back();
    out = folder + "/" + application;
    return true;
}
