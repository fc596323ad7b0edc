// Windows: the files' last write times (and whether they exist) are compared at
// most every POLL_MS; a difference is a change. Nothing but a few stat calls.
#include "platform/CFileWatcher.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace {
// The file's write time, or the smallest time when it does not exist.
std::filesystem::file_time_type Stamp(const std::filesystem::path& file) {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(file, error);
    return error ? std::filesystem::file_time_type::min() : time;
}
}  // namespace

struct CFileWatcher::System {
    std::map<std::filesystem::path, std::filesystem::file_time_type> stamps;
    std::uint32_t lastPollMs = 0;
};

CFileWatcher::CFileWatcher() : system(new System()) {}

CFileWatcher::~CFileWatcher() = default;

bool CFileWatcher::Watch(const std::vector<std::string>& files, std::string&) {
    std::map<std::filesystem::path, std::filesystem::file_time_type> stamps;
    for (const std::string& file : files) {
        const std::filesystem::path path = std::filesystem::u8path(file);
        auto before = system->stamps.find(path);
        // A file followed already keeps its old time, so a change made meanwhile is seen.
        stamps[path] = before != system->stamps.end() ? before->second : Stamp(path);
    }
    system->stamps = std::move(stamps);
    return true;
}

bool CFileWatcher::Changed(std::uint32_t nowMs) {
    if (nowMs - system->lastPollMs >= POLL_MS) {
        system->lastPollMs = nowMs;
        for (auto& [path, stamp] : system->stamps) {
            const auto now = Stamp(path);
            if (now != stamp) {
                stamp = now;
                Saw(nowMs);
            }
        }
    }
    return Settled(nowMs);
}
