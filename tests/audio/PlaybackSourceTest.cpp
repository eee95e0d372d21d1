// Playback of a source made while it plays (Listen's demodulated audio): what reaches the device and the
// cursor, a loop that starts the source again, and Halt, which ends the thread without a report and lets
// go of the source before it returns.
#include "PlaybackRig.h"

#include "audio/PlaySource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

using namespace playbacktest;
using Log = std::vector<std::string>;

// The values 1 ... length, its cursor the count of values given; `released` is set when it is destroyed.
class CountingSource final : public PlaySource {
public:
    CountingSource(int32_t length, std::atomic<bool>* released = nullptr)
        : length_(length), released_(released) {}
    ~CountingSource() override {
        if (released_ != nullptr) released_->store(true);
    }
    size_t Fill(std::span<int16_t> buffer) override {
        size_t n = 0;
        for (; n < buffer.size() && next_ < length_; ++n) buffer[n] = int16_t(++next_);
        return n;
    }
    void Rewind() override { next_ = 0; }
    PlayCursorPlace Cursor() const override { return {next_, length_}; }

private:
    int32_t length_;
    int32_t next_ = 0;
    std::atomic<bool>* released_;
};

} // namespace

// Played once, every value then silence to the end of the buffer, the cursor at the source's place, the
// reports of a copy's playback; looped, the source starts again right after its last value.
TEST(PlaybackSource, PlaysOnceToItsEndOrLoopsWithoutAGap) {
    for (const bool loop : {false, true}) {
        Rig rig(Gated());
        rig.player->SetLoop(loop);
        rig.player->StartStream(std::make_unique<CountingSource>(2500), 1, 8000); // 1024 values a buffer
        EXPECT_TRUE(rig.player->PlaysSource());
        if (loop) {
            ASSERT_TRUE(rig.PlayBuffersThenStop(5));
        } else {
            rig.device->AllowWrites(1000);
            ASSERT_TRUE(rig.WaitIdle());
        }
        const std::vector<int16_t> heard = rig.Heard();
        ASSERT_EQ(heard.size(), loop ? 6u * 1024 : 3u * 1024) << loop;
        for (size_t i = 0; i < heard.size(); ++i) {
            const int expected = loop || i < 2500 ? int(i % 2500) + 1 : 0;
            ASSERT_EQ(heard[i], expected) << i << (loop ? " looped" : " once");
        }
        const auto moves = rig.log.Moves();
        ASSERT_GE(moves.size(), 3u);
        EXPECT_EQ(moves[0], std::make_pair(1024, 2500));
        EXPECT_EQ(moves[2], std::make_pair(loop ? 572 : 2500, 2500));
        if (!loop) {
            EXPECT_EQ(rig.log.Entries(), (Log{"status: Playing Test Output", "cursor shown",
                                              "status: Stopped", "cursor hidden", "buttons up"}));
        }
    }
}

// Halt mid-play: the thread has ended and the source is gone when it returns, the device closed without
// playing out what it holds, nothing is reported, and a copy played next is the copy, not the old source.
TEST(PlaybackSource, HaltEndsAtOnceWithoutAReportAndReleasesTheSource) {
    Rig rig(Gated());
    std::atomic<bool> released{false};
    // Looped, the source never ends by itself, however long the halt takes to come.
    rig.player->SetLoop(true);
    rig.player->StartStream(std::make_unique<CountingSource>(100000, &released), 1, 8000);
    ASSERT_TRUE(rig.device->WaitForWrites(1, 5s));
    rig.log.Clear();
    std::thread gate([&] { rig.device->AllowWrites(1000000); });
    rig.player->Halt();
    gate.join();
    rig.player->SetLoop(false);
    EXPECT_TRUE(rig.player->PlaybackIdle());
    EXPECT_TRUE(released.load());
    EXPECT_FALSE(rig.player->PlaysSource());
    EXPECT_TRUE(rig.log.Entries().empty());
    EXPECT_EQ(rig.device->ResetCount(), 0); // dropped, not played out
    EXPECT_EQ(rig.device->CloseCount(), 1);

    rig.Play(Ramp(1500), false);
    ASSERT_TRUE(rig.WaitIdle());
    const std::vector<int16_t> heard = rig.Heard();
    EXPECT_EQ(heard.back(), 0);
    EXPECT_EQ(rig.log.Entries().back(), "buttons up");
}
