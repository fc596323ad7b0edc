#include "engine/CRecorder.h"
#include "engine/CReplay.h"
#include "engine/EventText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
SDL_Event Key(Uint8 type, SDLKey sym, SDLMod mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = 40;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    event.key.keysym.unicode = static_cast<Uint16>(sym);
    return event;
}
} // namespace

TEST(EventText, EveryRecordedKindSurvivesTheRoundTrip)
{
    SDL_Event events[7]{};
    events[0] = Key(SDL_KEYDOWN, SDLK_SPACE, KMOD_LSHIFT);
    events[1] = Key(SDL_KEYUP, SDLK_ESCAPE);
    events[2].type = SDL_ACTIVEEVENT;
    events[2].active.gain = 0;
    events[2].active.state = SDL_APPACTIVE;
    events[3].type = SDL_MOUSEMOTION;
    events[3].motion.x = 640;
    events[3].motion.y = 12;
    events[3].motion.xrel = -3;
    events[3].motion.yrel = 7;
    events[4].type = SDL_MOUSEBUTTONUP;
    events[4].button.button = SDL_BUTTON_RIGHT;
    events[4].button.x = 5;
    events[4].button.y = 6;
    events[5].type = SDL_QUIT;
    events[6].type = SDL_VIDEORESIZE;
    events[6].resize.w = 1024;
    events[6].resize.h = 768;

    for (const SDL_Event& event : events)
    {
        ASSERT_TRUE(EventIsRecorded(event));
        SDL_Event back;
        ASSERT_TRUE(EventFromText(EventToText(event), back)) << EventToText(event);
        EXPECT_EQ(EventToText(back), EventToText(event));
    }
    SDL_Event back;
    ASSERT_TRUE(EventFromText(EventToText(events[0]), back));
    EXPECT_EQ(back.key.keysym.sym, SDLK_SPACE);
    EXPECT_EQ(back.key.keysym.mod, KMOD_LSHIFT);
    ASSERT_TRUE(EventFromText(EventToText(events[3]), back));
    EXPECT_EQ(back.motion.xrel, -3);
}

TEST(EventText, RefusesTextThatIsNotACompleteEvent)
{
    SDL_Event event;
    for (const char* text : {"", "x", "2", "2 1 40 100 0", "2 1 40 100 0 100 9", "2 1 40 99999 0 100",
                             "17", "12 x", "16 0 768", "4 1 -5 2 3 4 5"})
        EXPECT_FALSE(EventFromText(text, event)) << '"' << text << '"';
    SDL_Event expose{};
    expose.type = SDL_VIDEOEXPOSE;
    EXPECT_FALSE(EventIsRecorded(expose));
}

TEST(Recording, AReplayReadsBackWhatTheRecorderWrote)
{
    CTempDir folder;
    const std::string file = folder.File("run.rec");
    {
        CRecorder recorder(file);
        ASSERT_TRUE(recorder.IsOpen());
        recorder.EndFrame(250);
        recorder.WriteSeed(4242);
        recorder.WriteLoaded(1);
        recorder.WriteEvent(Key(SDL_KEYDOWN, SDLK_ESCAPE));
        SDL_Event expose{};
        expose.type = SDL_VIDEOEXPOSE;
        recorder.WriteEvent(expose);  // reaches no handler: not recorded
        recorder.WriteEvent(Key(SDL_KEYUP, SDLK_ESCAPE));
        recorder.EndFrame(16);
        recorder.EndFrame(17);
    }
    CReplay replay;
    std::string error;
    ASSERT_TRUE(replay.Load(file, error)) << error;
    EXPECT_TRUE(replay.hasSeed);
    EXPECT_EQ(replay.seed, 4242u);
    EXPECT_EQ(replay.loadedFrame, 1);
    ASSERT_EQ(replay.FrameCount(), 3);
    EXPECT_EQ(replay.GetFrame(0).duration, 250);
    EXPECT_TRUE(replay.GetFrame(0).events.empty());
    ASSERT_EQ(replay.GetFrame(1).events.size(), 2u);
    EXPECT_EQ(replay.GetFrame(1).events[0].type, SDL_KEYDOWN);
    EXPECT_EQ(replay.GetFrame(1).events[1].key.keysym.sym, SDLK_ESCAPE);
    EXPECT_EQ(replay.GetFrame(2).duration, 17);
    EXPECT_FALSE(replay.HasFrame(3));
}

TEST(Recording, DamagedOrForeignFilesAreReportedAndKeepTheFramesBeforeTheDamage)
{
    CTempDir folder;
    CReplay replay;
    std::string error;

    EXPECT_FALSE(replay.Load(folder.File("missing.rec"), error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);

    EXPECT_FALSE(replay.Load(folder.Write("png.rec", "\x89PNG\r\n\x1a\n garbage"), error));
    EXPECT_NE(error.find("is not a recording"), std::string::npos);
    EXPECT_EQ(replay.FrameCount(), 0);

    const std::string header = std::string(CRecorder::HEADER) + "\n";
    EXPECT_FALSE(replay.Load(folder.Write("cut.rec", header + "f 16\ne 2 1 40 100 0 100\nf 16\ne 2 1 4"), error));
    EXPECT_NE(error.find("damaged at line 5"), std::string::npos) << error;
    EXPECT_EQ(replay.FrameCount(), 2);

    for (const char* bad : {"f -1\n", "f 99999999999\n", "seed -3\n", "loaded x\n", "zap 1\n", "f 16 17\n"})
    {
        EXPECT_FALSE(replay.Load(folder.Write("bad.rec", header + bad), error)) << bad;
        EXPECT_NE(error.find("damaged at line 2"), std::string::npos) << bad;
    }

    // Events of a frame that never completed are dropped, not an error.
    EXPECT_TRUE(replay.Load(folder.Write("tail.rec", header + "f 16\ne 12\n"), error)) << error;
    EXPECT_EQ(replay.FrameCount(), 1);
}
