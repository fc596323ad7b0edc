#include "platform/WorkingDirectory.h"

#include <unistd.h>

#include <cerrno>
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
