#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string SizeText(std::size_t bytes) {
    if (bytes % (1024u * 1024u) == 0) return std::to_string(bytes / (1024u * 1024u)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

bool PlatformReadFile(const std::string& nativeName, std::string& content, std::string& error,
                      std::size_t maxBytes) {
    content.clear();
    // O_NONBLOCK: opening a pipe without a writer would otherwise wait for ever.
    int fd = ::open(nativeName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = errno == ENOENT ? "no such file" : std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        error = "larger than " + SizeText(maxBytes);
        return false;
    }
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            content.clear();
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        // A file that grows while it is read is held to the same cap.
        if (content.size() + static_cast<std::size_t>(got) > maxBytes) {
            error = "larger than " + SizeText(maxBytes);
            content.clear();
            ::close(fd);
            return false;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

bool PlatformStampFile(const std::string& nativeName, PlatformFileStamp& stamp, std::string& error) {
    error.clear();
    struct stat st;
    if (::stat(nativeName.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.file = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool PlatformIsRegularFile(const std::string& nativeName) {
    struct stat st;
    return ::stat(nativeName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
