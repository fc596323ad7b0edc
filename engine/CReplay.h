#pragma once

#include <SDL/SDL.h>

#include <cstddef>
#include <string>
#include <vector>

// A recorded run read back from a file: per frame the events to dispatch, the
// answers to whether a key was held and the frame's duration, plus the random
// seed and the frames at which loading (and each reload) completed. A damaged file keeps the frames
// before the damage.
class CReplay
{
public:
    // Reads the file; `error` says what was wrong when the file is missing or
    // unreadable, not a recording, or damaged (then the frames read so far are kept).
    bool Load(const std::string& fileName, std::string& error);

    long FrameCount() const { return static_cast<long>(frames.size()); }
    bool HasFrame(long frame) const { return frame >= 0 && frame < FrameCount(); }
    // The frame's duration in ms; 0 for a frame the recording lacks.
    int Duration(long frame) const { return HasFrame(frame) ? frames[static_cast<size_t>(frame)].duration : 0; }
    // The frame's events in the order they were dispatched (none for a frame the
    // recording lacks); `index` below the count.
    size_t EventCount(long frame) const;
    const SDL_Event& Event(long frame, size_t index) const;
    // What the recorded run answered when the frame asked whether `key` was held:
    // the first answer for `key` at or after `cursor` (an index among the frame's
    // answers), which moves past it. A question the recording lacks is "not held".
    bool KeyHeld(long frame, SDLKey key, size_t& cursor) const;

    unsigned int seed = 0;
    bool hasSeed = false;
    // The frames at which the recorded run saw each loading complete: the first
    // loading, then every reload, in order.
    std::vector<long> loadedFrames;

private:
    struct Frame
    {
        Uint32 eventsEnd;  // index into events just past the frame's last
        Uint32 keysEnd;    // index into keys just past the frame's last
        int duration;      // ms
    };
    struct KeyAnswer
    {
        SDLKey key;
        bool held;
    };

    // The record of one line; false when the line is damaged.
    bool ReadLine(std::string_view line);

    std::vector<Frame> frames;
    std::vector<SDL_Event> events;  // of every frame, in order
    std::vector<KeyAnswer> keys;    // of every frame, in order
};
