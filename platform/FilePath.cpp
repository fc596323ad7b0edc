#include "platform/FilePath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// The entry of `directory` ("" for the current directory) whose name equals
// `component` without regard to ASCII case; the smallest such name in byte order,
// so that the choice does not depend on the order readdir reports. Empty if none.
std::string FindNoCase(const std::string& directory, const std::string& component) {
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) return std::string();
    std::string best;
    bool found = false;
    while (struct dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (EqualsNoCase(name, component) && (!found || name < best)) {
            best = name;
            found = true;
        }
    }
    ::closedir(dir);
    return best;
}

// The component as this system spells names: each byte of a stored name is one
// Latin-1 character, and names here are UTF-8.
std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

// The entry of `directory` ("" or ending with '/') that stands for `component`:
// its own bytes, then without regard to case, then the same for its UTF-8
// spelling. Empty if none.
std::string Resolve(const std::string& directory, const std::string& component) {
    if (Exists(directory + component)) return component;
    std::string match = FindNoCase(directory, component);
    const std::string utf8 = Latin1ToUtf8(component);
    if (!match.empty() || utf8 == component) return match;
    return Exists(directory + utf8) ? utf8 : FindNoCase(directory, utf8);
}

}  // namespace

bool IsAbsolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return true;
    return path.size() >= 2 && path[1] == ':';
}

std::string NativePath(const std::string& storedPath) {
    std::string path = storedPath;
    // Drive-letter form: the drive is dropped and the rest is taken from the root.
    if (path.size() >= 2 && path[1] == ':') {
        path = path.substr(2);
        if (path.empty() || (path[0] != '\\' && path[0] != '/')) path.insert(0, 1, '/');
    }
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (path.empty() || Exists(path)) return path;

    // Resolve component by component without regard to case.
    const bool absolute = path[0] == '/';
    std::vector<std::string> components;
    std::size_t start = absolute ? 1 : 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        components.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }

    std::string result = absolute ? "/" : "";
    bool resolving = true;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        std::string chosen = component;
        if (resolving && !component.empty() && component != "." && component != "..") {
            chosen = Resolve(result, component);
            if (chosen.empty()) {
                chosen = component;
                resolving = false;  // keep the rest as given
            }
        }
        result += chosen;
        if (i + 1 < components.size()) result += '/';
    }
    return result;
}

bool PlatformPathExists(const std::string& nativePath) {
    return Exists(nativePath);
}

bool PlatformMakeDirectories(const std::string& nativePath, std::string& error) {
    if (nativePath.empty()) {
        error = "empty folder name";
        return false;
    }
    // Each prefix ending before a '/' in turn, then the whole name.
    for (std::size_t end = nativePath.find('/', 1);; end = nativePath.find('/', end + 1)) {
        const std::string prefix = nativePath.substr(0, end);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            error = std::strerror(errno);
            return false;
        }
        if (end == std::string::npos) break;
    }
    struct stat st;
    if (::stat(nativePath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "not a folder";
        return false;
    }
    return true;
}

std::string PlatformRealPath(const std::string& nativePath) {
    char resolved[PATH_MAX];
    if (::realpath(nativePath.c_str(), resolved) == nullptr) return std::string();
    return resolved;
}
