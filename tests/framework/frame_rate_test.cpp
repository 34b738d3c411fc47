// The frame-rate counter against a virtual clock.
#include <gtest/gtest.h>

#include <host.h>

#include "framework/text_font.h"

TEST(FrameRate, ZeroUntilASecondHasPassedThenFramesPerSecond) {
    uint32_t now = 0;
    host::SetVirtualClock([&now] { return now; });
    FrameCount = LastTick = FpsTick = FrameMilliseconds = 0;
    Fps = 0;

    for (uint32_t tick : {0u, 500u, 1000u}) {
        now = tick;
        UpdateFps();
    }
    // Exactly one second is not more than one second.
    EXPECT_EQ(Fps, 0.0f);
    EXPECT_EQ(FrameCount, 3);
    EXPECT_EQ(FrameMilliseconds, 500);

    now = 1001;
    UpdateFps();
    EXPECT_FLOAT_EQ(Fps, 4000.0f / 1001.0f);
    EXPECT_EQ(FrameCount, 0);
    EXPECT_EQ(FpsTick, 1001);
    EXPECT_EQ(FrameMilliseconds, 1);

    now = 1501;
    UpdateFps();
    EXPECT_FLOAT_EQ(Fps, 4000.0f / 1001.0f);
    EXPECT_EQ(FrameMilliseconds, 500);
    now = 2003;
    UpdateFps();
    EXPECT_FLOAT_EQ(Fps, 2000.0f / 1002.0f);
    EXPECT_EQ(LastTick, 2003);
    host::SetVirtualClock(nullptr);
}
