#include "engine/CRecorder.h"
#include "engine/CReplay.h"
#include "engine/EventText.h"
#include "support/CFileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

static const std::string HEADER = std::string(CRecorder::HEADER) + "\n";

TEST(EventText, RecordedKindsSurviveTheRoundTripAndAnythingElseIsRefused) {
    SDL_Event event;
    // Key down (space with left shift), key up, focus, mouse motion, button, quit, resize;
    // a gamepad's stick, D-pad, button pressed and released.
    for (const char* text : {"2 1 65 32 1 32", "3 0 9 27 0 0", "1 0 4", "4 0 640 12 -3 7", "6 3 0 5 6", "12",
                             "16 1024 768", "7 0 0 -32768", "7 1 3 32767", "9 0 0 8", "10 0 7 1", "11 0 0 0"}) {
        ASSERT_TRUE(EventFromText(text, event)) << text;
        EXPECT_TRUE(EventIsRecorded(event));
        EXPECT_EQ(EventToText(event), text);
    }
    event.type = SDL_VIDEOEXPOSE;
    EXPECT_FALSE(EventIsRecorded(event));
    for (const char* text : {"", "x", "2", "2 1 40 100 0", "2 1 40 100 0 100 9", "2 1 40 99999 0 100", "2 1 40 323 0 0",
                             "2 1 40 100 0 99999999999999999999999", "2 1 40 1e2 0 0", "17", "12 x", "16 0 768",
                             "16 nan 5", "4 1 -5 2 3 4 5", "258", "-1", "7 0 0 32768", "7 -1 0 0", "7 0 0",
                             "9 0 0 256", "10 0 300 1", "11 0 0 0 0", "8 0 0 1 1"})
        EXPECT_FALSE(EventFromText(text, event)) << '"' << text << '"';
}

TEST(Recording, HeldKeysComeBackInTheOrderAskedAndAQuestionNeverAskedIsNotHeld) {
    CTempDir folder;
    CReplay replay;
    std::string error;
    ASSERT_TRUE(replay.Load(folder.Write("keys.rec", HEADER + "f 16\nk 100 1\nk 97 0\nk 100 0\nf 16\n"), error));
    size_t cursor = 0;
    for (const auto& [key, held] : std::vector<std::pair<SDLKey, bool>>{
             {SDLK_d, true}, {SDLK_s, false}, {SDLK_d, false}, {SDLK_a, false}, {SDLK_d, false}})
        EXPECT_EQ(replay.KeyHeld(1, key, cursor), held) << key;
    for (long frame : {-1, 0, 2})
        EXPECT_FALSE(replay.KeyHeld(frame, SDLK_d, cursor = 0)) << frame;
}

TEST(Recording, DamagedHostileOrForeignFilesAreRefusedAndKeepTheFramesBeforeTheDamage) {
    CTempDir folder;
    const std::string fifo = folder.File("fifo.rec"), huge = folder.Write("huge.rec", "");
    std::filesystem::resize_file(huge, 65 << 20);  // sparse: larger than any file the game reads
    const std::string no = "cannot open the recording", foreign = "is not a recording", d = "damaged at line ";
    using Case = std::tuple<std::string, std::string, long>;  // file, error ("" if none), frames kept
    std::vector<Case> cases = {
        {folder.File("missing.rec"), no, 0}, {folder.Path(), no, 0}, {huge, no, 0},
        {folder.Write("png.rec", "\x89PNG\r\n\x1a\n garbage"), foreign, 0},
        {folder.Write("utf16.rec", std::string("q\0u\0i\0l\0l\0\n\0", 12)), foreign, 0},
        {folder.Write("cut.rec", HEADER + "f 16\ne 2 1 40 100 0 100\nf 16\ne 2 1 4"), d + "5", 2},
        {folder.Write("crlf.rec", "quillfen-recording 1\r\nf 16\r\nk 100 1\r\nf 17\r\n"), "", 2},
        {folder.Write("tail.rec", HEADER + "f 16\ne 12\nk 100 1\n"), "", 1},  // a frame that never ended
        {folder.Write("long.rec", HEADER + "f 16\ne 2 " + std::string(1 << 20, '1') + "\n"), d + "3", 1},
        {folder.Write("blank.rec", HEADER + "f 16\n\nf 16\n"), d + "3", 1},
        {folder.Write("back.rec", HEADER + "f 16\nloaded 2\nloaded 2\n"), d + "4", 1},  // loadings go forward
    };
    for (const std::string& bad : std::vector<std::string>{
             "f -1", "f 3600001", "f 99999999999999999999", "f nan", "f 16 17", "seed -3", "seed 4294967296",
             "loaded x", "loaded -2", "zap 1", "k 323 1", "k -1 0", "k 100 2", "k 100", "e 2 1 40 100 0 100 nan",
             "f 1\x01", std::string("f\0 1", 4)})
        cases.push_back({folder.Write("bad" + std::to_string(cases.size()), HEADER + "f 1\n" + bad), d + "3", 1});
#ifndef _WIN32
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cases.push_back({fifo, no, 0});
    cases.push_back({"/dev/zero", no, 0});
#endif
    std::string endless = HEADER;
    for (int i = 0; i <= 2000000; ++i)
        endless += "f 0\n";
    cases.push_back({folder.Write("endless.rec", endless), d + "2000002", 2000000});  // frames beyond a bound
    for (const auto& [file, expected, frames] : cases) {
        CReplay replay;
        std::string error;
        EXPECT_EQ(replay.Load(file, error), expected.empty()) << file;
        EXPECT_NE(error.find(expected), std::string::npos) << file << ": " << error;
        EXPECT_EQ(replay.FrameCount(), frames) << file;
    }
}

#ifndef _WIN32
TEST(Recording, APipeIsRefusedAndAFullDiskStopsTheRecordingWithTheirReasons) {
    CTempDir folder;
    ASSERT_EQ(mkfifo(folder.File("pipe.rec").c_str(), 0600), 0);  // nobody reads: opening it would block
    CRecorder pipe(folder.File("pipe.rec"));
    EXPECT_FALSE(pipe.IsOpen());
    EXPECT_EQ(pipe.Error(), "not a regular file");
    CRecorder recorder(folder.File("full.rec"));
    {
        CFileSizeLimit full(HEADER.size() + 10 * 5);  // ten frames of "f 16\n"
        for (int frame = 0; frame < 11; ++frame) {
            EXPECT_TRUE(recorder.IsOpen()) << frame;
            recorder.EndFrame(16);
        }
    }
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_EQ(recorder.Error(), "File too large");
    EXPECT_FALSE(recorder.Close());
}
#endif
