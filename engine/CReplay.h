#pragma once

#include <SDL/SDL.h>

#include <string>
#include <vector>

// A recorded run read back from a file: per frame the events to dispatch and
// the frame's duration, plus the random seed and the frame at which loading
// completed. A damaged file keeps the frames before the damage.
class CReplay
{
public:
    struct Frame
    {
        std::vector<SDL_Event> events;  // in the order they were dispatched
        int duration = 0;               // ms
    };

    // Reads the file; `error` says what was wrong when the file is missing,
    // not a recording, or damaged (then the frames read so far are kept).
    bool Load(const std::string& fileName, std::string& error);

    bool HasFrame(long frame) const { return frame >= 0 && frame < static_cast<long>(frames.size()); }
    const Frame& GetFrame(long frame) const { return frames[static_cast<size_t>(frame)]; }
    long FrameCount() const { return static_cast<long>(frames.size()); }

    unsigned int seed = 0;
    bool hasSeed = false;
    long loadedFrame = -1;  // -1: the recording never saw loading complete

private:
    std::vector<Frame> frames;
};
