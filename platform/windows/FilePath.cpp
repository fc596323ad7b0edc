#include "platform/FilePath.h"

#include "platform/windows/NativeName.h"

#include <windows.h>

// The system takes '\' and '/' alike and ignores letter case: a stored name is a
// name of this system already.
std::string NativePath(const std::string& storedPath) {
    std::string path = storedPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

bool IsAbsolutePath(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
    return path.size() >= 2 && path[1] == ':';
}

bool PlatformPathExists(const std::string& nativePath) {
    return !IsDeviceName(nativePath) && GetFileAttributesW(WideName(nativePath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PlatformMakeDirectories(const std::string& nativePath, std::string& error) {
    if (nativePath.empty()) {
        error = "empty folder name";
        return false;
    }
    // Each prefix ending before a separator in turn, then the whole name; a prefix
    // that cannot be made (a drive, a share) is passed over, only the end counts.
    DWORD lastError = ERROR_SUCCESS;
    for (std::size_t end = nativePath.find_first_of("\\/", 1);; end = nativePath.find_first_of("\\/", end + 1)) {
        const std::string prefix = nativePath.substr(0, end);
        if (!prefix.empty() && prefix.back() != ':' && !CreateDirectoryW(WideName(prefix).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            lastError = GetLastError();
        }
        if (end == std::string::npos) break;
    }
    const DWORD attributes = GetFileAttributesW(WideName(nativePath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = lastError == ERROR_SUCCESS || lastError == ERROR_ALREADY_EXISTS ? "not a folder"
                                                                                : "error " + std::to_string(lastError);
        return false;
    }
    return true;
}

std::string PlatformRealPath(const std::string& nativePath) {
    if (IsDeviceName(nativePath)) return std::string();
    // Opened for its attributes only; links are followed, as the game's reads follow them.
    HANDLE file = CreateFileW(WideName(nativePath).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::wstring name(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file, &name[0], static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= name.size()) return std::string();
    name.resize(length);
    return GameName(name.c_str());
}
