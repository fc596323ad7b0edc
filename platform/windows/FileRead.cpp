#include "platform/FileRead.h"

#include "platform/windows/NativeName.h"

#include <windows.h>

namespace {

std::string SizeText(std::size_t bytes) {
    if (bytes % (1024u * 1024u) == 0) return std::to_string(bytes / (1024u * 1024u)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool IsMissing(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME ||
           code == ERROR_BAD_NETPATH || code == ERROR_BAD_PATHNAME;
}

std::string SystemText(DWORD code) {
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.')) --length;
    return length ? std::string(text, length) : "error " + std::to_string(code);
}

// Opens the file for `access`, sharing it with writers, so that a file another
// program holds open can still be read. A device name is refused before the
// system sees it: opening CON or COM1 may wait on the device.
HANDLE OpenFile(const std::string& nativeName, DWORD access, std::string& error) {
    if (IsDeviceName(nativeName)) {
        error = "not a regular file";
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateFileW(WideName(nativeName).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = IsMissing(code) ? "no such file" : SystemText(code);
        return INVALID_HANDLE_VALUE;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
        CloseHandle(file);
        error = "not a regular file";
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

}  // namespace

bool PlatformReadFile(const std::string& nativeName, std::string& content, std::string& error,
                      std::size_t maxBytes) {
    content.clear();
    HANDLE file = OpenFile(nativeName, GENERIC_READ, error);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        CloseHandle(file);
        error = "larger than " + SizeText(maxBytes);
        return false;
    }
    content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            error = SystemText(GetLastError());
            content.clear();
            CloseHandle(file);
            return false;
        }
        if (got == 0) break;
        // A file that grows while it is read is held to the same cap.
        if (content.size() + got > maxBytes) {
            error = "larger than " + SizeText(maxBytes);
            content.clear();
            CloseHandle(file);
            return false;
        }
        content.append(buffer, got);
    }
    CloseHandle(file);
    return true;
}

bool PlatformStampFile(const std::string& nativeName, PlatformFileStamp& stamp, std::string& error) {
    // Opened for its attributes only: no read access is asked for.
    HANDLE file = OpenFile(nativeName, FILE_READ_ATTRIBUTES, error);
    if (file == INVALID_HANDLE_VALUE) {
        if (error == "no such file") error.clear();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known) {
        error = SystemText(GetLastError());
        return false;
    }
    stamp.device = info.dwVolumeSerialNumber;
    stamp.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    // In units of 100 ns.
    stamp.modified = static_cast<std::int64_t>(
        ((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime) *
        100);
    error.clear();
    return true;
}

bool PlatformIsRegularFile(const std::string& nativeName) {
    PlatformFileStamp stamp;
    std::string error;
    return PlatformStampFile(nativeName, stamp, error);
}
