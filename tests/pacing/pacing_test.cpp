/*
 * Tarvenloft tests - frame pacing on the library's real timer.
 *
 * The library's timers need its display system, so this program runs under
 * a private X display (CTest starts it with xvfb-run). It installs the
 * program's own two timer callbacks through CSetup and measures frames
 * paced with timeWait: their wall time, and the processor time the waiting
 * costs.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "setup.h"
#include "timing.h"

using std::chrono::steady_clock;

static double pacingSeconds(steady_clock::time_point t)
{
    return std::chrono::duration<double>(steady_clock::now() - t).count();
}

static double pacingProcessorSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Busy work standing in for drawing a frame.
static void pacingWork(double dSeconds)
{
    auto t = steady_clock::now();
    while (pacingSeconds(t) < dSeconds)
    {
    }
}

class PacingTest : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        setup.Init();
        setup.Timers();
    }
    void SetUp() override
    {
        timeWait();  // start on a fresh tick
        iSecond = 0;
    }
};

TEST_F(PacingTest, HundredTwentyFramesTakeTwoSecondsAndLittleProcessor)
{
    double dCpu = pacingProcessorSeconds();
    auto t = steady_clock::now();
    for (int i = 0; i < 120; i++)
    {
        timeWait();
    }
    double dWall = pacingSeconds(t);
    double dShare = (pacingProcessorSeconds() - dCpu) / dWall;
    printf("120 frames: %.3f s wall, %.1f %% of one core\n", dWall, dShare * 100.0);
    RecordProperty("wall_ms", (int)(dWall * 1000));
    EXPECT_GT(dWall, 1.95);
    EXPECT_LT(dWall, 2.10);
    EXPECT_LT(dShare, 0.10);
}

TEST_F(PacingTest, FiveMillisecondFramesRunAtSixty)
{
    auto t = steady_clock::now();
    for (int i = 0; i < 60; i++)
    {
        pacingWork(0.005);
        timeWait();
    }
    double dWall = pacingSeconds(t);
    printf("60 frames of 5 ms work: %.3f s\n", dWall);
    EXPECT_GT(dWall, 0.97);
    EXPECT_LT(dWall, 1.08);
}

// Frames of 40 ms run at about 25 per second, and fast frames after them get no catch-up burst.
TEST_F(PacingTest, LateFramesAreNotCaughtUp)
{
    auto t = steady_clock::now();
    for (int i = 0; i < 25; i++)
    {
        pacingWork(0.040);
        timeWait();
    }
    double dSlow = pacingSeconds(t);
    t = steady_clock::now();
    for (int i = 0; i < 30; i++)
    {
        timeWait();
    }
    double dFast = pacingSeconds(t);
    printf("25 frames of 40 ms: %.3f s; 30 frames after them: %.3f s\n", dSlow, dFast);
    EXPECT_GT(dSlow, 1.0);
    EXPECT_LT(dSlow, 1.25);
    EXPECT_GT(dFast, 29 * (1.0 / 60.0) - 0.01);  // at most the first returns at once
}

TEST_F(PacingTest, SecondMarkComesOnceInSixtyFrames)
{
    int iMarks = 0;
    for (int i = 0; i < 180; i++)
    {
        timeWait();
        if (timeCheck())
            iMarks++;
    }
    EXPECT_GE(iMarks, 2);
    EXPECT_LE(iMarks, 4);
}

TEST_F(PacingTest, StandbyOfSixtyLastsAboutOneSecond)
{
    auto t = steady_clock::now();
    timeStandby(60);
    double dWall = pacingSeconds(t);
    EXPECT_GT(dWall, 0.95);
    EXPECT_LT(dWall, 1.08);
}
