// The recording reader over a fuzzed file. Every event it accepts must come out
// of the recorder's text form and back unchanged, or a replay would differ.
#include "CFuzzFolder.h"

#include "engine/CReplay.h"
#include "engine/EventText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    CFuzzFolder::Enter(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file = CFuzzFolder::Write("fuzz.rec", data, size);
    CReplay replay;
    std::string error;
    replay.Load(file, error);
    for (long frame = 0; replay.HasFrame(frame); ++frame)
    {
        for (const SDL_Event& event : replay.GetFrame(frame).events)
        {
            const std::string text = EventToText(event);
            SDL_Event again;
            if (!EventFromText(text, again) || EventToText(again) != text)
            {
                std::fprintf(stderr, "event does not survive its text form: %s\n", text.c_str());
                std::abort();
            }
        }
    }
    return 0;
}
