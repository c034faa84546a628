/*
 * Tarvenloft tests - frame pacing with the counters driven by the test.
 *
 * The library's own timer needs a display system, so these tests stand in
 * for the timer thread with a thread of their own; the pacing test on the
 * library's real timer runs under a private X display (tests/pacing).
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "timing.h"

using std::chrono::milliseconds;
using std::chrono::steady_clock;

class TimingTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        iWait = 0;
        iSecond = 0;
    }
    void TearDown() override
    {
        bRun = false;
        if (ticker.joinable())
            ticker.join();
        iWait = 0;
        iSecond = 0;
    }
    // Calls timeIncrease every iPeriod milliseconds, iTicks times (forever when negative).
    void StartTicker(int iPeriod, int iTicks)
    {
        bRun = true;
        ticker = std::thread(
            [this, iPeriod, iTicks]
            {
                for (int i = 0; bRun && (iTicks < 0 || i < iTicks); i++)
                {
                    std::this_thread::sleep_for(milliseconds(iPeriod));
                    timeIncrease();
                }
            });
    }
    std::atomic<bool> bRun{false};
    std::thread ticker;
};

static double timeMillisecondsSince(steady_clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(steady_clock::now() - t).count();
}

TEST_F(TimingTest, WaitReturnsAtOnceAndDropsPiledUpTicks)
{
    for (int i = 0; i < 7; i++)
        timeIncrease();
    auto t = steady_clock::now();
    timeWait();
    EXPECT_LT(timeMillisecondsSince(t), 5.0);
    EXPECT_EQ(iWait, 0);  // reset, not decreased: no catch-up frames
}

TEST_F(TimingTest, WaitBlocksUntilTheNextTick)
{
    StartTicker(60, 1);
    auto t = steady_clock::now();
    timeWait();
    double dWaited = timeMillisecondsSince(t);
    EXPECT_GE(dWaited, 55.0);
    EXPECT_LT(dWaited, 1000.0);  // generous: a loaded machine may be slow to run either thread
    EXPECT_EQ(iWait, 0);
}

TEST_F(TimingTest, SlowFramesRunAtThePaceOfTheirWork)
{
    StartTicker(5, -1);
    auto t = steady_clock::now();
    for (int i = 0; i < 10; i++)
    {
        std::this_thread::sleep_for(milliseconds(20));  // each frame outlasts several ticks
        timeWait();
    }
    double dTotal = timeMillisecondsSince(t);
    // Each wait returned at once: ten frames of 20 ms work, not ten frames plus ten waits.
    EXPECT_LT(dTotal, 10 * 20.0 + 150.0);
}

TEST_F(TimingTest, CheckReportsOncePerRunOfSeconds)
{
    EXPECT_FALSE(timeCheck());
    timeSecondIncrease();
    timeSecondIncrease();
    timeSecondIncrease();
    EXPECT_TRUE(timeCheck());
    EXPECT_FALSE(timeCheck());
    EXPECT_EQ(iSecond, 0);
    timeSecondIncrease();
    EXPECT_TRUE(timeCheck());
}

TEST_F(TimingTest, StandbyOfNothingReturnsAtOnce)
{
    auto t = steady_clock::now();
    timeStandby(0);
    timeStandby(-5);
    EXPECT_LT(timeMillisecondsSince(t), 5.0);
}

TEST_F(TimingTest, StandbyWaitsForThatManyTicks)
{
    StartTicker(20, -1);
    auto t = steady_clock::now();
    timeStandby(5);
    double dWaited = timeMillisecondsSince(t);
    EXPECT_GE(dWaited, 4 * 20.0 - 5.0);  // the first wait may return at once
    EXPECT_LT(dWaited, 6 * 20.0 + 400.0);
}
