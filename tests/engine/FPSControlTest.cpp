#include "engine/CFPSControl.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

TEST(FPSControl, WaitsOutTheRestOfASixteenMillisecondFrameOnlyWhenCapped) {
    // Capped, ms of work since the controller was made (initialisation included), ms waited, ms measured.
    using Case = std::tuple<bool, Uint32, std::vector<Uint32>, int>;
    for (const auto& [capped, work, delay, frameTime] :
         std::vector<Case>{{true, 5, {11}, 16}, {true, 16, {}, 16}, {true, 250, {}, 250}, {false, 1, {}, 1}}) {
        Uint32 now = 1000;
        std::vector<Uint32> delays;
        CFPSControl control([&] { return now; }, [&](Uint32 ms) { delays.push_back(ms); now += ms; });
        control.limitEnabled = capped;
        now += work;
        control.FrameEnd();
        EXPECT_EQ(delays, delay) << work;
        EXPECT_EQ(control.frameTime, frameTime) << work;
    }
}

TEST(FPSControl, MeasuresTheRateOncePerWindowOfASecond) {
    Uint32 now = 1000;
    CFPSControl control([&] { return now; }, [&](Uint32 ms) { now += ms; });
    for (int i = 0; i < 60; ++i) {
        now += 16;
        control.FrameEnd();
    }
    EXPECT_EQ(control.fps, 0.0) << "no window of a second has completed yet";
    EXPECT_EQ(control.frameCount, 60);

    now += 44;  // frame 61 closes a window of 1004 ms
    control.FrameEnd();
    EXPECT_NEAR(control.fps, 1000.0 * 61 / 1004, 1e-9);
    EXPECT_EQ(control.frameCount, 0);
    EXPECT_EQ(control.measureStart, now);
}
