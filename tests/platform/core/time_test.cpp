#include <host.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <ctime>

namespace {

class VirtualClock : public ::testing::Test {
protected:
    void TearDown() override { host::SetVirtualClock({}); }
};

TEST_F(VirtualClock, DrivesTimeGetTimeAndClockUntilRemoved) {
    uint32_t now = 1000;
    host::SetVirtualClock([&now] { return now; });
    EXPECT_EQ(timeGetTime(), 1000u);
    EXPECT_EQ(clock(), 1000);
    now = 0xFFFFFFFFu;
    EXPECT_EQ(timeGetTime(), 0xFFFFFFFFu);
    now = 5;  // DWORD milliseconds wrap as on Windows
    EXPECT_EQ(timeGetTime() - 0xFFFFFFFFu, 6u);

    // A virtual time that this process cannot have reached on the real clock: 20 days.
    constexpr uint32_t kTwentyDaysMs = 20u * 24 * 3600 * 1000;
    now = kTwentyDaysMs;
    EXPECT_EQ(clock(), static_cast<clock_t>(kTwentyDaysMs));
    host::SetVirtualClock({});
    EXPECT_LT(clock(), static_cast<clock_t>(kTwentyDaysMs));
}

TEST(RealClock, ClockCountsWallMillisecondsFromProcessStart) {
    clock_t before = clock();
    DWORD ticksBefore = timeGetTime();
    Sleep(30);
    // Wall time, not processor time: sleeping advances it, in milliseconds.
    EXPECT_GE(clock() - before, 30);
    EXPECT_GE(timeGetTime() - ticksBefore, 30u);
    // Counted from the start of this process, not from an epoch, and per second as on Windows.
    EXPECT_LT(clock(), 24 * 3600 * 1000);
    EXPECT_EQ(CLOCKS_PER_SEC, 1000);
}

}  // namespace
