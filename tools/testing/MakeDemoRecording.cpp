// quillfen-demo-recording FILE: writes the demo's recording of the shipped level.
//
// A replay is exact given the frame durations and the events, so the demo is
// written rather than played: frames of 16 ms, a loading screen and a pause screen
// long enough to be seen (and photographed) in a paced replay, ESC, then the
// route of the shipped level's own test from the spawn point to the star door,
// then frames enough for the end screen's five seconds.
#include "engine/CRecorder.h"
#include "engine/EventText.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <map>
#include <vector>

namespace
{
const int FRAME_MS = 16;
const int LOADING_FRAMES = 120;  // about 2 s of loading screen
const int PAUSE_FRAMES = 190;    // about 3 s of pause screen
const int TAIL_FRAMES = 700;     // after the last key: the way into the door and the end screen
const unsigned int SEED = 1;     // the route never meets the chest, the only user of chance

struct Step
{
    int frame;  // from the first running frame
    SDLKey key;
    bool down;
};

// The shipped level's route (tests/game/ShippedLevelTest.cpp): to the bump, then
// over the raft and up the lift to the star door.
const std::vector<Step> ROUTE = {
    {0, SDLK_d, true}, {56, SDLK_d, false},
    {115, SDLK_d, true}, {116, SDLK_SPACE, true}, {117, SDLK_SPACE, false},
    {183, SDLK_SPACE, true}, {184, SDLK_SPACE, false},
    {300, SDLK_SPACE, true}, {301, SDLK_SPACE, false},
    {398, SDLK_d, false},
    {460, SDLK_d, true}, {461, SDLK_SPACE, true}, {462, SDLK_SPACE, false},
    {540, SDLK_d, false},
    {600, SDLK_d, true}, {640, SDLK_d, false},
    {668, SDLK_d, true}, {690, SDLK_d, false},
    {975, SDLK_d, true}, {1010, SDLK_d, false},
    {1100, SDLK_d, true}, {1128, SDLK_d, false},
    {1195, SDLK_d, true}, {1196, SDLK_SPACE, true}, {1197, SDLK_SPACE, false},
    {1485, SDLK_SPACE, true}, {1486, SDLK_SPACE, false},
};

// The X key codes SDL reports as scancodes, so that the file reads like a recorded run.
Uint8 Scancode(SDLKey key)
{
    switch (key)
    {
    case SDLK_ESCAPE: return 9;
    case SDLK_a: return 38;
    case SDLK_s: return 39;
    case SDLK_d: return 40;
    case SDLK_SPACE: return 65;
    default: return 0;
    }
}

SDL_Event Key(SDLKey key, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = Scancode(key);
    event.key.keysym.sym = key;
    return event;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out)
    {
        std::perror(argv[1]);
        return 1;
    }

    const int running = LOADING_FRAMES + PAUSE_FRAMES;
    std::map<int, std::vector<SDL_Event>> events;
    events[running].push_back(Key(SDLK_ESCAPE, true));
    events[running + 1].push_back(Key(SDLK_ESCAPE, false));
    int last = 0;
    for (const Step& step : ROUTE)
    {
        events[running + step.frame].push_back(Key(step.key, step.down));
        last = running + step.frame;
    }

    // The game's recordings name the game, as the ones it writes itself do.
    std::fprintf(out, "quillfen-recording 1\nseed %u\n", SEED);
    for (int frame = 0; frame <= last + TAIL_FRAMES; ++frame)
    {
        if (frame == LOADING_FRAMES)
            std::fprintf(out, "loaded %d\n", frame);
        for (const SDL_Event& event : events[frame])
            std::fprintf(out, "e %s\n", EventToText(event).c_str());
        std::fprintf(out, "f %d\n", FRAME_MS);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
