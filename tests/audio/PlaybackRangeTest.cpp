// Playback of a part of the copy: from a first frame to the copy's end or to an end frame, once or in a
// loop that starts again at the first frame, with the cursor reporting positions in the whole copy; and
// the times that become those frames.
#include "PlaybackRig.h"

#include "audio/PlayRange.h"

#include <gtest/gtest.h>

namespace {

using namespace playbacktest;

struct RangeCase {
    const char* Name;
    uint16_t Channels;
    PlayRange Range;
    bool Loop;
    int32_t ExpectedFrom; // values
    int32_t ExpectedTo;
};

// 12000 values: 12000 frames of one channel, 6000 of two.
const RangeCase kRanges[] = {
    {"FromAFrameToTheEnd", 1, {3000, std::nullopt}, false, 3000, 12000},
    {"AMarkedRangeOnce", 1, {2500, 7000}, false, 2500, 7000},
    {"AMarkedRangeLooped", 1, {2500, 4100}, true, 2500, 4100},
    {"TwoChannelsKeepWholeFrames", 2, {1001, 2000}, false, 2002, 4000},
    {"TwoChannelsLooped", 2, {4500, 5000}, true, 9000, 10000},
    {"AStartPastTheEndPlaysTheLastFrame", 2, {9000, std::nullopt}, false, 11998, 12000},
    {"AnEndBeforeTheStartPlaysOneFrame", 1, {500, 100}, false, 500, 501},
};

class PlayedRange : public ::testing::TestWithParam<RangeCase> {};

} // namespace

TEST_P(PlayedRange, PlaysTheRangesValuesAndReportsPositionsInTheCopy) {
    const RangeCase& c = GetParam();
    Rig rig(Gated());
    const SignalStore store = Ramp(12000, c.Channels);
    rig.player->RefreshCopy(store);
    rig.player->SetLoop(c.Loop);
    rig.player->StartPlayback(c.Channels, store.SampleRate, c.Range);
    if (c.Loop) {
        ASSERT_TRUE(rig.PlayBuffersThenStop(6));
    } else {
        rig.device->AllowWrites(1000);
        ASSERT_TRUE(rig.WaitIdle());
    }

    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    const std::vector<int16_t> heard = rig.Heard();
    const size_t length = size_t(c.ExpectedTo - c.ExpectedFrom);
    ASSERT_GE(heard.size(), length);
    const size_t played = c.Loop ? heard.size() : length;
    for (size_t k = 0; k < played; ++k) ASSERT_EQ(heard[k], copy[size_t(c.ExpectedFrom) + k % length]) << k;
    for (size_t k = played; k < heard.size(); ++k) ASSERT_EQ(heard[k], 0) << k; // a play-once ends silent
    if (c.Loop) {
        EXPECT_GT(heard.size(), 2 * length); // the range came round more than once
    }

    const auto moves = rig.log.Moves();
    ASSERT_FALSE(moves.empty());
    for (const auto& [position, size] : moves) {
        EXPECT_EQ(size, 12000);
        EXPECT_GE(position, c.ExpectedFrom);
        EXPECT_LE(position, c.ExpectedTo);
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, PlayedRange, ::testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PlayRange, TimesBecomeTheNearestFrames) {
    const PlayRange open = PlayRangeForSeconds(1.25, std::nullopt, 8000);
    EXPECT_EQ(open.FirstFrame, 10000);
    EXPECT_FALSE(open.EndFrame.has_value());
    const PlayRange marked = PlayRangeForSeconds(0.10006, 0.35, 10000);
    EXPECT_EQ(marked.FirstFrame, 1001);
    EXPECT_EQ(marked.EndFrame, 3500);
    EXPECT_EQ(PlayRangeForSeconds(-0.5, -0.1, 8000).FirstFrame, 0);
}

TEST(PlayRange, TheDefaultRangeIsTheWholeCopy) {
    Rig rig;
    rig.Play(Ramp(5000, 2), false);
    ASSERT_TRUE(rig.WaitIdle());
    const std::vector<int16_t> heard = rig.Heard();
    ASSERT_GE(heard.size(), 5000u);
    EXPECT_TRUE(
        std::equal(rig.player->PlaybackCopy().begin(), rig.player->PlaybackCopy().end(), heard.begin()));
}
