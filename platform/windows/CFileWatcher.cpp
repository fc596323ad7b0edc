// Windows: the files' last write times (and whether they exist) are compared at
// most every POLL_MS; a difference is a change. Nothing but a few stat calls.
#include "platform/CFileWatcher.h"

#include <windows.h>

#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

namespace {
// The file's write time in 100 ns steps and its size; zeros when it does not
// exist. The C library's times have whole seconds only: two saves in one second
// would look alike.
using FileStamp = std::pair<std::uint64_t, std::uint64_t>;
FileStamp Stamp(const std::filesystem::path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file.wstring().c_str(), GetFileExInfoStandard, &data)) return {0, 0};
    return {(static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}
}  // namespace

struct CFileWatcher::System {
    std::map<std::filesystem::path, FileStamp> stamps;
    std::uint32_t lastPollMs = 0;
};

CFileWatcher::CFileWatcher() : system(new System()) {}

CFileWatcher::~CFileWatcher() = default;

bool CFileWatcher::Watch(const std::vector<std::string>& files, std::string& error) {
    std::map<std::filesystem::path, FileStamp> stamps;
    bool all = true;
    for (const std::string& file : files) {
        const std::filesystem::path path = std::filesystem::u8path(file);
        // As on Linux, a file whose folder is missing cannot be followed.
        std::error_code missing;
        if (!std::filesystem::is_directory(path.parent_path(), missing)) {
            error = "cannot follow " + path.parent_path().u8string() + ": no such folder";
            all = false;
            continue;
        }
        auto before = system->stamps.find(path);
        // A file followed already keeps its old time, so a change made meanwhile is seen.
        stamps[path] = before != system->stamps.end() ? before->second : Stamp(path);
    }
    system->stamps = std::move(stamps);
    return all;
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
