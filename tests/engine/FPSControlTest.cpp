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

TEST(FPSControl, DelaysAShortFrameToTheBudgetAndLeavesALongOneAlone)
{
    FakeClock clock;
    CFPSControl control = clock.Make();

    clock.now += 5;  // 5 ms of work
    control.FrameEnd();
    ASSERT_EQ(clock.delays, std::vector<Uint32>{11});
    EXPECT_EQ(control.frameTime, 16);

    clock.now += 16;
    control.FrameEnd();
    clock.now += 40;
    control.FrameEnd();
    EXPECT_EQ(clock.delays.size(), 1u);
    EXPECT_EQ(control.frameTime, 40);
}

TEST(FPSControl, FirstFrameMeasuresFromConstruction)
{
    FakeClock clock;
    CFPSControl control = clock.Make();
    clock.now += 250;  // the game's initialisation handler runs before the first frame ends
    control.FrameEnd();
    EXPECT_EQ(control.frameTime, 250);
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

TEST(FPSControl, UncappedControllerNeverWaits)
{
    FakeClock clock;
    CFPSControl control = clock.Make();
    control.limitEnabled = false;
    clock.now += 1;
    control.FrameEnd();
    EXPECT_TRUE(clock.delays.empty());
    EXPECT_EQ(control.frameTime, 1);
}
