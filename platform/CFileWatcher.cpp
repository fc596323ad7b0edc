#include "platform/CFileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace {
constexpr std::uint32_t EVENTS =
    IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_ATTRIB;

// "dir/name" split at its last '/'; a name without one lies in ".".
std::pair<std::string, std::string> SplitName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}
}  // namespace

struct CFileWatcher::System {
    int fd = -1;                                         // the inotify instance
    std::map<std::string, int> folders;                  // folder -> watch
    std::set<std::pair<int, std::string>> names;         // (watch, file name) followed
};

CFileWatcher::CFileWatcher() : system(new System()) {
    system->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

CFileWatcher::~CFileWatcher() {
    if (system->fd >= 0) {
        close(system->fd);  // drops every watch
    }
}

bool CFileWatcher::Watch(const std::vector<std::string>& files, std::string& error) {
    if (system->fd < 0) {
        error = std::string("inotify: ") + std::strerror(errno);
        return false;
    }
    std::map<std::string, int> folders;
    std::set<std::pair<int, std::string>> names;
    bool complete = true;
    for (const std::string& file : files) {
        const auto [folder, name] = SplitName(file);
        auto known = folders.find(folder);
        if (known == folders.end()) {
            auto before = system->folders.find(folder);
            int watch = before != system->folders.end() ? before->second : -1;
            if (watch < 0 && folders.size() < MAX_FOLDERS) {
                watch = inotify_add_watch(system->fd, folder.c_str(), EVENTS | IN_ONLYDIR);
            }
            if (watch < 0) {
                if (complete) {
                    error = folders.size() < MAX_FOLDERS ? "cannot follow " + folder + ": " + std::strerror(errno)
                                                         : "more than " + std::to_string(MAX_FOLDERS) + " folders";
                }
                complete = false;
                continue;
            }
            known = folders.emplace(folder, watch).first;
        }
        names.emplace(known->second, name);
    }
    for (const auto& [folder, watch] : system->folders) {
        if (folders.count(folder) == 0) {
            inotify_rm_watch(system->fd, watch);
        }
    }
    system->folders = std::move(folders);
    system->names = std::move(names);
    return complete;
}

bool CFileWatcher::Changed(std::uint32_t nowMs) {
    if (system->fd >= 0) {
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t got = read(system->fd, buffer, sizeof buffer);
            if (got <= 0) {
                break;  // EAGAIN: nothing more now
            }
            for (ssize_t at = 0; at < got;) {
                const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                // An overflowed queue may have lost one of ours.
                const bool ours = (event->mask & IN_Q_OVERFLOW) != 0 ||
                                  (event->len > 0 && system->names.count({event->wd, std::string(event->name)}) != 0);
                if (ours) {
                    Saw(nowMs);
                }
            }
        }
    }
    return Settled(nowMs);
}
