#include "platform/FileWrite.h"

// The POSIX half; the Windows half opens with CreateFileW and checks the handle's type.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::FILE* PlatformOpenOutputFile(const std::string& nativeName, std::string& error) {
    // O_NOFOLLOW: a link planted under the name is refused, not written through.
    // O_NONBLOCK: a pipe without a reader would otherwise wait for ever (with one,
    // the type check below refuses it). No O_TRUNC yet: only a regular file is emptied.
    const int fd = ::open(nativeName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK,
                          0666);
    if (fd < 0) {
        const int reason = errno;
        error = reason == ELOOP                      ? "a symbolic link"
                : reason == EISDIR || reason == ENXIO ? "not a regular file"
                                                      : std::strerror(reason);
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "not a regular file";
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (::ftruncate(fd, 0) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "w");
    if (file == nullptr) {
        error = std::strerror(errno);
        ::close(fd);
    }
    return file;
}
