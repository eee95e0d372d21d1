// Playback of stores with more than two channels: every buffer holds whole frames, so that every value
// of the copy reaches the device in order, buffer after buffer, looped and once; a copy that ends inside
// a frame is played to its last whole frame, and a loop starts again with the first channel.
#include "PlaybackRig.h"

#include "audio/PlaybackFormat.h"

#include <gtest/gtest.h>

namespace {

using namespace playbacktest;

struct Layout {
    uint16_t Channels;
    int32_t Rate;
    int32_t Values; // not a whole number of frames: the last frame is cut short
    int32_t BufferBytes;
};

// Buffers that 1024-byte units would end inside a frame: 16384 bytes are 2730 frames of 3 channels and
// two values; 28672 bytes are 2867.2 frames of 5; 16384 bytes are 1365.33 frames of 6.
const Layout kLayouts[] = {
    {3, 44100, 20000, 16386},
    {5, 44100, 30001, 28680},
    {6, 22050, 12004, 16392},
};

// Each value tells its channel and frame, so that a shift between channels cannot go unseen.
SignalStore FramedStore(const Layout& l) {
    return MakeStore(l.Values, l.Channels, l.Rate,
                     [&](int32_t i) { return (i % l.Channels) * 5000 + (i / l.Channels) % 4000 - 15000; });
}

class WholeFrames : public ::testing::TestWithParam<Layout> {};

} // namespace

TEST_P(WholeFrames, BufferSizeIsAWholeNumberOfFramesNearSixtyFourMilliseconds) {
    const Layout& l = GetParam();
    EXPECT_EQ(PlayBufferBytesFor(l.Channels, l.Rate), l.BufferBytes);
}

TEST_P(WholeFrames, LoopedPlaybackDeliversEveryValueInOrderOverManyBuffers) {
    const Layout& l = GetParam();
    Rig rig(Gated());
    rig.Play(FramedStore(l), true);
    ASSERT_TRUE(rig.PlayBuffersThenStop(11));

    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    const size_t playable = copy.size() - copy.size() % l.Channels;
    const auto buffers = rig.device->Buffers();
    ASSERT_GE(buffers.size(), 12u);
    for (const auto& b : buffers) ASSERT_EQ(b.size() * 2, size_t(l.BufferBytes)); // nothing cut off
    const std::vector<int16_t> heard = rig.Heard();
    ASSERT_GT(heard.size(), 3 * playable); // the copy came round several times
    for (size_t k = 0; k < heard.size(); ++k) ASSERT_EQ(heard[k], copy[k % playable]) << k;

    const auto moves = rig.log.Moves();
    ASSERT_FALSE(moves.empty());
    for (const auto& [position, size] : moves) {
        EXPECT_EQ(size, int32_t(playable));
        EXPECT_EQ(position % l.Channels, 0);
    }
}

TEST_P(WholeFrames, PlayOnceEndsWithTheLastWholeFrameAndSilence) {
    const Layout& l = GetParam();
    Rig rig;
    rig.Play(FramedStore(l), false);
    ASSERT_TRUE(rig.WaitIdle());

    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    const size_t playable = copy.size() - copy.size() % l.Channels;
    const std::vector<int16_t> heard = rig.Heard();
    const size_t bufferValues = size_t(l.BufferBytes) / 2;
    ASSERT_EQ(heard.size(), (playable + bufferValues - 1) / bufferValues * bufferValues);
    for (size_t k = 0; k < playable; ++k) ASSERT_EQ(heard[k], copy[k]) << k;
    for (size_t k = playable; k < heard.size(); ++k) ASSERT_EQ(heard[k], 0) << k;
    // The fade-out of the copy's end lands on the last values played, not on the ones left out.
    EXPECT_EQ(copy[playable - 1], 0);
}

INSTANTIATE_TEST_SUITE_P(, WholeFrames, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::to_string(info.param.Channels) + "Channels"; });

TEST(PlaybackFrames, BuffersHoldWholeFramesForEveryChannelCountAndRate) {
    for (uint16_t channels = 1; channels <= 12; ++channels)
        for (int32_t rate : {1, 8000, 11025, 22050, 44100, 48000, 96000, 192000}) {
            const int32_t bytes = PlayBufferBytesFor(channels, rate);
            EXPECT_EQ(bytes % (2 * channels), 0) << channels << " channels at " << rate;
            EXPECT_GE(bytes, 2048) << channels << " channels at " << rate;
        }
}

TEST(PlaybackFrames, ACopyShorterThanOneFrameDoesNotPlay) {
    Rig rig;
    rig.Play(Ramp(1200, 1500, 8000), false);
    EXPECT_TRUE(rig.player->PlaybackIdle());
    EXPECT_EQ(rig.device->OpenCount(), 0);
}
