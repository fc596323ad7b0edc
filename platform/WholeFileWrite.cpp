#include "platform/FileWrite.h"

// The same on every system: only the opening differs (FileWrite.cpp).
#include <cerrno>
#include <cstring>

bool PlatformWriteFile(const std::string& nativeName, const void* data, std::size_t size, std::string& error) {
    std::FILE* file = PlatformOpenOutputFile(nativeName, error);
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size && std::fflush(file) == 0;
    const int reason = errno;
    if (std::fclose(file) != 0 || !written) {
        error = std::strerror(written ? errno : reason);
        return false;
    }
    return true;
}
