#include "engine/CFPSControl.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A hand-driven clock: the test says how long each frame's work takes.
struct FakeClock
{
    Uint32 now = 1000;
    std::vector<Uint32> delays;

    CFPSControl Make()
    {
        return CFPSControl([this] { return now; }, [this](Uint32 ms) { delays.push_back(ms); now += ms; });
    }
};
} // namespace

TEST(FPSControl, WaitsOutTheRestOfASixteenMillisecondFrameOnlyWhenCapped)
{
    struct Case
    {
        bool capped;
        Uint32 work;                // ms since the controller was made, the game's initialisation included
        std::vector<Uint32> delay;  // ms waited
        int frameTime;              // ms measured
    };
    for (const Case& c : std::vector<Case>{
             {true, 5, {11}, 16}, {true, 16, {}, 16}, {true, 250, {}, 250}, {false, 1, {}, 1}})
    {
        FakeClock clock;
        CFPSControl control = clock.Make();
        control.limitEnabled = c.capped;
        clock.now += c.work;
        control.FrameEnd();
        EXPECT_EQ(clock.delays, c.delay) << c.work;
        EXPECT_EQ(control.frameTime, c.frameTime) << c.work;
    }
}

TEST(FPSControl, MeasuresTheRateOncePerWindowOfASecond)
{
    FakeClock clock;
    CFPSControl control = clock.Make();
    for (int i = 0; i < 60; ++i)
    {
        clock.now += 16;
        control.FrameEnd();
    }
    EXPECT_EQ(control.fps, 0.0) << "no window of a second has completed yet";
    EXPECT_EQ(control.frameCount, 60);

    clock.now += 44;  // frame 61 closes a window of 1004 ms
    control.FrameEnd();
    EXPECT_NEAR(control.fps, 1000.0 * 61 / 1004, 1e-9);
    EXPECT_EQ(control.frameCount, 0);
    EXPECT_EQ(control.measureStart, clock.now);
}
