#include "platform/WorkingDirectory.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

bool PlatformGetWorkingDirectory(std::string& out) {
    std::vector<char> buffer(1024);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            out.assign(buffer.data());
            return true;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool PlatformGetExecutableDirectory(std::string& out) {
    std::vector<char> buffer(1024);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            const std::size_t slash = path.rfind('/');
            if (slash == std::string::npos) return false;
            out = slash == 0 ? "/" : path.substr(0, slash);
            return true;
        }
        if (buffer.size() > (1u << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool PlatformGetUserStateDirectory(const std::string& application, std::string& out, std::string& reason) {
    // Relative values are ignored, as the XDG base directory rules ask.
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (stateHome != nullptr && stateHome[0] == '/') {
        out = std::string(stateHome) + "/" + application;
    } else if (home != nullptr && home[0] == '/') {
        out = std::string(home) + "/.local/state/" + application;
    } else {
        reason = "neither XDG_STATE_HOME nor HOME names an absolute folder";
        return false;
    }
    return true;
}
