// The recording reader over a fuzzed file. Every event it accepts must survive
// the recorder's text form unchanged, or a replay would differ from the run.
#include "CFuzzFolder.h"

#include "engine/CReplay.h"
#include "engine/EventText.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CFuzzFolder::Enter();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CReplay replay;
    std::string error;
    replay.Load(CFuzzFolder::Write("fuzz.rec", data, size), error);
    for (long frame = 0; replay.HasFrame(frame); ++frame) {
        for (std::size_t i = 0; i < replay.EventCount(frame); ++i) {
            const std::string text = EventToText(replay.Event(frame, i));
            SDL_Event again;
            if (!EventFromText(text, again) || EventToText(again) != text)
                (std::fprintf(stderr, "event does not survive its text form: %s\n", text.c_str()), std::abort());
        }
        std::size_t cursor = 0;
        for (int key = 0; key < SDLK_LAST; key += 37) replay.KeyHeld(frame, static_cast<SDLKey>(key), cursor);
        (void)replay.Duration(frame);
    }
    return 0;
}
