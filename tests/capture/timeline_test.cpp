#include <gtest/gtest.h>

#include <cstdlib>

#include "tools/capture/timeline.h"

TEST(CaptureTimeline, StartAndDurationRoundToWholeFrames) {
    const CaptureSpan span = SpanOfSeconds(1.5, 2.0, 60, 44100);
    EXPECT_EQ(span.firstFrame, 90);
    EXPECT_EQ(span.frameCount, 120);
    EXPECT_EQ(SpanSoundBegin(span), 66150);
    EXPECT_EQ(SpanSoundEnd(span) - SpanSoundBegin(span), 88200) << "two seconds of sound";

    EXPECT_EQ(SpanOfSeconds(0.0, 0.1, 25, 44100).frameCount, 3) << "2.5 frames round up";
    EXPECT_EQ(SpanOfSeconds(0.0, 0.01, 25, 44100).frameCount, 0) << "a quarter frame is none";
    EXPECT_EQ(SpanOfSeconds(0.03, 1.0, 25, 44100).firstFrame, 1);
}

TEST(CaptureTimeline, FramesFollowTheIntroClockWithoutDrift) {
    // 30 fps does not divide 1000 ms or 44100 sound frames: every frame is
    // still at the exact truncated time, not at a sum of rounded steps.
    EXPECT_EQ(FrameTimeMs(1, 30), 33);
    EXPECT_EQ(FrameTimeMs(2, 30), 66);
    EXPECT_EQ(FrameTimeMs(3, 30), 100);
    EXPECT_EQ(FrameTimeMs(30 * 3600, 30), 3600000);
    EXPECT_EQ(FrameSoundPosition(7, 60, 44100), 5145);
    EXPECT_EQ(FrameSoundPosition(60 * 600, 60, 44100), 44100 * 600);

    // The longest capture the options allow stays in range at the highest rate.
    EXPECT_EQ(FrameTimeMs(1000LL * 86400, 1000), 86400000);
    EXPECT_EQ(FrameSoundPosition(1000LL * 86400, 1000, 44100), 44100LL * 86400);

    for (int fps : {1, 7, 24, 30, 60, 144}) {
        for (std::int64_t n = 0; n < 500; ++n) {
            ASSERT_LE(FrameTimeMs(n, fps), FrameTimeMs(n + 1, fps));
            ASSERT_LT(FrameSoundPosition(n, fps, 44100), FrameSoundPosition(n + 1, fps, 44100));
            // The sound position and the milliseconds name the same moment.
            ASSERT_LE(std::abs(FrameSoundPosition(n, fps, 44100) * 1000 / 44100 - FrameTimeMs(n, fps)), 1);
        }
    }
}

TEST(CaptureTimeline, CapturesThatMeetShareNoSoundAndLeaveNoGap) {
    for (int fps : {24, 30, 60}) {
        const CaptureSpan first = SpanOfSeconds(3.0, 1.7, fps, 44100);
        const CaptureSpan second = SpanOfSeconds(4.7, 2.3, fps, 44100);
        const CaptureSpan whole = SpanOfSeconds(3.0, 4.0, fps, 44100);
        ASSERT_EQ(first.firstFrame + first.frameCount, second.firstFrame) << fps;
        EXPECT_EQ(SpanSoundEnd(first), SpanSoundBegin(second)) << fps;
        EXPECT_EQ(SpanSoundEnd(first) - SpanSoundBegin(first) + SpanSoundEnd(second) - SpanSoundBegin(second),
                  SpanSoundEnd(whole) - SpanSoundBegin(whole))
            << fps;
    }
}
