#include "platform/FileWrite.h"

#include "platform/windows/NativeName.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

std::FILE* PlatformOpenOutputFile(const std::string& nativeName, std::string& error) {
    // A device name would open the device itself (CON, COM1: possibly waiting on it).
    if (IsDeviceName(nativeName)) {
        error = "not a regular file";
        return nullptr;
    }
    // FILE_FLAG_OPEN_REPARSE_POINT: a link planted under the name is opened as
    // itself and refused below, never written through. OPEN_ALWAYS, not
    // CREATE_ALWAYS: only a regular file is emptied.
    HANDLE handle = CreateFileW(WideName(nativeName).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = code == ERROR_ACCESS_DENIED && (GetFileAttributesW(WideName(nativeName).c_str()) &
                                                FILE_ATTRIBUTE_DIRECTORY) != 0
                    ? "not a regular file"
                    : "cannot be opened (error " + std::to_string(code) + ")";
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || GetFileType(handle) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT))) {
        error = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? "a symbolic link" : "not a regular file";
        CloseHandle(handle);
        return nullptr;
    }
    if (!SetEndOfFile(handle)) {
        error = "cannot be emptied (error " + std::to_string(GetLastError()) + ")";
        CloseHandle(handle);
        return nullptr;
    }
    // Binary: the same bytes on every system, no CR LF.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        error = std::strerror(errno);
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        _close(fd);
    }
    return file;
}
