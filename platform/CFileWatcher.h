// Velmora platform layer: notice when files are saved, without waiting for it.
//
// A watcher follows a set of files (names of this system, see NativePath) and
// says once when some of them were written, created, deleted or replaced by a
// rename, as editors save. Their folders are followed, so a file replaced by a
// new one, or made later, is still seen. A save is reported only once the files
// have been quiet for QUIET_MS, so an editor that writes in several steps gives
// one report. Changed is one non-blocking check, cheap enough for every frame.
//
//     CFileWatcher watcher;
//     watcher.Watch({"/game/data/level.ini"}, error);
//     ... every frame: if (watcher.Changed(SDL_GetTicks())) reload();
//
// Linux follows folders with inotify; Windows compares the files' times at most
// every POLL_MS (windows/CFileWatcher.cpp).
#ifndef VELMORA_PLATFORM_CFILEWATCHER_H
#define VELMORA_PLATFORM_CFILEWATCHER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFileWatcher {
public:
    static constexpr std::uint32_t QUIET_MS = 200;  // a save is over after this long without a change
    static constexpr std::uint32_t POLL_MS = 100;   // where times are compared: how often
    static constexpr std::size_t MAX_FOLDERS = 64;  // folders followed at most; more are left out

    CFileWatcher();
    ~CFileWatcher();
    CFileWatcher(const CFileWatcher&) = delete;
    CFileWatcher& operator=(const CFileWatcher&) = delete;

    // From now on follows exactly these files; a change seen already and not yet
    // reported stays pending. False, with the reason, when some cannot be followed
    // (the others still are).
    bool Watch(const std::vector<std::string>& files, std::string& error);
    // True once after a burst of changes, when it has been quiet for QUIET_MS;
    // `nowMs` is any clock in milliseconds that does not go back.
    bool Changed(std::uint32_t nowMs);

private:
    // A change seen now; then whether the last burst is over, reported once.
    void Saw(std::uint32_t nowMs) { pending = true, lastChangeMs = nowMs; }
    bool Settled(std::uint32_t nowMs) {
        if (!pending || nowMs - lastChangeMs < QUIET_MS) {
            return false;
        }
        pending = false;
        return true;
    }

    struct System;                   // what the operating system needs
    std::unique_ptr<System> system;
    bool pending = false;            // a change not yet reported
    std::uint32_t lastChangeMs = 0;  // when the last change was seen
};

#endif
