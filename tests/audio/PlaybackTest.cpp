// The playback module with the recording test device: which copies play, what reaches the device
// (fades, buffers, loops, the fade-out stop, the end of a play-once), the copy's refresh, the texts
// and button releases of every failure, and the cursor reports.
#include "PlaybackRig.h"

#include "audio/Playback.h"
#include "audio/PlaybackFades.h"
#include "support/TestWaveOutDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

namespace {

using namespace playbacktest;
using namespace std::chrono_literals;
using Log = std::vector<std::string>;

} // namespace

TEST(Playback, CopiesShorterThan1000ValuesDoNotPlay) {
    Rig rig;
    rig.Play(Ramp(999), false);
    EXPECT_TRUE(rig.player->PlaybackIdle());
    EXPECT_EQ(rig.device->OpenCount(), 0);
    EXPECT_TRUE(rig.log.Entries().empty()); // no text, the pressed button stays down

    rig.player->MarkCopyStale();
    rig.Play(Ramp(1000), false);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.device->OpenCount(), 1);
    EXPECT_EQ(rig.log.Entries(), (Log{"status: Playing Test Output", "cursor shown", "status: Stopped",
                                      "cursor hidden", "buttons up"}));
}

TEST(Playback, PlayOnceIsHeardToTheEndAndTheRestOfTheLastBufferIsSilent) {
    Rig rig;
    const SignalStore store = Ramp(2500); // 1024 values per buffer at 8000 Hz mono
    rig.Play(store, false);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.player->PlayBufferBytes(), 2048);
    const auto buffers = rig.device->Buffers();
    ASSERT_EQ(buffers.size(), 3u);
    for (const auto& b : buffers) EXPECT_EQ(b.size(), 1024u);

    const std::vector<int16_t> heard = rig.Heard();
    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    ASSERT_EQ(copy.size(), 2500u);
    for (size_t i = 0; i < 2500; ++i) ASSERT_EQ(heard[i], copy[i]) << i;
    for (size_t i = 2500; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
    EXPECT_EQ(rig.device->ResetCount(), 1);
    EXPECT_EQ(rig.device->CloseCount(), 1);
    EXPECT_EQ(rig.log.Entries().back(), "buttons up");
    EXPECT_FALSE(rig.player->DeviceError());
}

TEST(Playback, StartFadesTheCopysEndsOnceAndASecondStartSoundsTheSame) {
    Rig rig;
    const SignalStore store = MakeStore(1800, 1, 8000, [](int32_t) { return 16000; });
    rig.Play(store, false);
    ASSERT_TRUE(rig.WaitIdle());
    const std::vector<int16_t> first = rig.Heard();

    const auto& table = PlayFadeTable();
    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    for (size_t i = 0; i < 250; ++i) {
        EXPECT_EQ(copy[i], std::lrint(16000.0 * double(table[i]))) << i;
        EXPECT_EQ(copy[1550 + i], std::lrint(16000.0 * double(table[250 + i]))) << i;
    }
    for (size_t i = 250; i < 1550; ++i) ASSERT_EQ(copy[i], 16000) << i;

    // The copy is not stale: the second start reuses it without fading it again.
    EXPECT_FALSE(rig.player->RefreshCopy(store));
    rig.player->StartPlayback(1, 8000);
    ASSERT_TRUE(rig.WaitIdle());
    const std::vector<int16_t> both = rig.Heard();
    ASSERT_EQ(both.size(), 2 * first.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), both.begin() + std::ptrdiff_t(first.size())));
}

TEST(Playback, CopyIsRefreshedAfterAnEditAndReusedOtherwise) {
    Rig rig;
    SignalStore store = Ramp(3000);
    EXPECT_TRUE(rig.player->IsCopyStale());
    EXPECT_TRUE(rig.player->RefreshCopy(store));
    EXPECT_FALSE(rig.player->IsCopyStale());

    // An edit without a new spectrogram preparation: the copy stays as it was.
    store.Samples[1000] = -7;
    EXPECT_FALSE(rig.player->RefreshCopy(store));
    EXPECT_EQ(rig.player->PlaybackCopy()[1000], 2000);

    // The preparation after the edit marks it stale; the next refresh takes the edited store.
    rig.player->MarkCopyStale();
    EXPECT_TRUE(rig.player->RefreshCopy(store));
    EXPECT_EQ(rig.player->PlaybackCopy()[1000], -7);

    // A store whose ValueCount claims more than it holds is copied only as far as it goes.
    store.ValueCount = 5000;
    rig.player->MarkCopyStale();
    EXPECT_TRUE(rig.player->RefreshCopy(store));
    EXPECT_EQ(rig.player->PlaybackCopy().size(), 3000u);
}

TEST(Playback, CopyIsNotRefreshedWhilePlaying) {
    Rig rig(Gated());
    SignalStore store = Ramp(5000);
    rig.Play(store, true);
    ASSERT_TRUE(rig.device->WaitForWrites(1, 5s));
    store.Samples[3000] = 1;
    rig.player->MarkCopyStale();
    EXPECT_FALSE(rig.player->RefreshCopy(store));
    EXPECT_EQ(rig.player->PlaybackCopy()[3000], 4000);
    // A second start while playing is refused and leaves the playback alone.
    rig.player->StartPlayback(1, 8000);
    EXPECT_EQ(rig.device->OpenCount(), 1);
    rig.player->StopPlayback(false);
    rig.device->AllowWrites(100);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_TRUE(rig.player->RefreshCopy(store));
    EXPECT_EQ(rig.player->PlaybackCopy()[3000], 1);
}

TEST(Playback, FadeOutStopWritesOneRampedAndOneSilentBufferThenStops) {
    Rig rig(Gated());
    const SignalStore store = MakeStore(20000, 1, 8000, [](int32_t i) { return i % 2 ? 30000 : -30000; });
    rig.Play(store, true);
    ASSERT_TRUE(rig.device->WaitForWrites(1, 5s));
    rig.device->AllowWrites(1);
    ASSERT_TRUE(rig.device->WaitForWrites(2, 5s)); // buffer 0 written and returned, buffer 1 waiting
    rig.player->StopPlayback(true);
    rig.device->AllowWrites(1000);
    ASSERT_TRUE(rig.WaitIdle());

    const auto buffers = rig.device->Buffers();
    ASSERT_EQ(buffers.size(), 4u); // two full buffers, the ramp, the silence
    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    std::vector<float> ramp;
    BuildFadeOutRamp(ramp, 2048);
    for (size_t i = 0; i < 1024; ++i) {
        const int16_t full = copy[2048 + i];
        EXPECT_EQ(buffers[2][i], int16_t(std::trunc(double(full) * double(ramp[1024 + i])))) << i;
    }
    EXPECT_EQ(buffers[2][0], copy[2048]);      // starts at full level
    EXPECT_EQ(std::abs(buffers[2][1023]), 29); // ends at 2/2048 of it: 30000 / 1024, truncated
    for (int16_t v : buffers[3]) ASSERT_EQ(v, 0);
    EXPECT_EQ(rig.device->ResetCount(), 1);
    EXPECT_EQ(rig.log.Entries().back(), "buttons up");
}

TEST(Playback, ASecondFadeRequestDuringTheFadeDoesNotRestartIt) {
    Rig rig(Gated());
    rig.Play(MakeStore(20000, 1, 8000, [](int32_t) { return 10000; }), true);
    ASSERT_TRUE(rig.device->WaitForWrites(1, 5s));
    rig.player->StopPlayback(true);
    rig.device->AllowWrites(1);
    ASSERT_TRUE(rig.device->WaitForWrites(2, 5s)); // the ramp
    rig.player->StopPlayback(true);
    rig.device->AllowWrites(1000);
    ASSERT_TRUE(rig.WaitIdle());
    const auto buffers = rig.device->Buffers();
    ASSERT_EQ(buffers.size(), 3u);
    for (int16_t v : buffers[2]) ASSERT_EQ(v, 0);
}

TEST(Playback, StopWithoutFadeEndsAfterTheBufferBeingFilled) {
    Rig rig(Gated());
    rig.Play(Ramp(20000), true);
    rig.device->AllowWrites(2);
    ASSERT_TRUE(rig.device->WaitForWrites(3, 5s));
    rig.player->StopPlayback(false);
    rig.device->AllowWrites(1000);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.device->WriteCount(), 3u);
    const std::vector<int16_t> heard = rig.Heard();
    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), copy.begin())); // no ramp, no silence
    EXPECT_EQ(rig.log.Entries(), (Log{"status: Playing Test Output", "cursor shown", "status: Stopped",
                                      "cursor hidden", "buttons up"}));
}

TEST(Playback, LoopWrapsFromTheLastValueToTheFirstWithoutAGap) {
    Rig rig(Gated());
    rig.Play(Ramp(1500, 2, 4000), true); // 1024 values per buffer
    ASSERT_TRUE(rig.PlayBuffersThenStop(5));

    const std::vector<int16_t> heard = rig.Heard();
    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    ASSERT_GE(heard.size(), 6u * 1024);
    for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], copy[i % 1500]) << i;
    EXPECT_EQ(rig.device->LastFormat().Channels, 2);
    EXPECT_EQ(rig.device->LastFormat().SamplesPerSec, 4000u);
}

TEST(Playback, LoopFlagSwitchedDuringPlaybackDecidesAtTheCopysEnd) {
    Rig rig(Gated());
    rig.Play(Ramp(1500), false);
    ASSERT_TRUE(rig.device->WaitForWrites(1, 5s));
    rig.player->SetLoop(true); // the loop button pressed while playing once
    rig.device->AllowWrites(3);
    ASSERT_TRUE(rig.device->WaitForWrites(4, 5s));
    EXPECT_FALSE(rig.player->PlaybackIdle());
    rig.player->SetLoop(false); // and released again: ends at the copy's next end
    rig.device->AllowWrites(1000);
    ASSERT_TRUE(rig.WaitIdle());
    const std::vector<int16_t> heard = rig.Heard();
    const std::vector<int16_t>& copy = rig.player->PlaybackCopy();
    size_t i = 0;
    for (; i < heard.size() && (i < 4500 || i % 1500 != 0); ++i) ASSERT_EQ(heard[i], copy[i % 1500]) << i;
    for (; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
    EXPECT_EQ(heard.size() % 1024, 0u);
}

TEST(Playback, CursorReportsFollowThePlayPosition) {
    Rig rig(Gated());
    rig.Play(Ramp(96000, 1, 48000), true); // 3072 values per buffer
    ASSERT_TRUE(rig.PlayBuffersThenStop(40));
    const auto moves = rig.log.Moves();
    ASSERT_GE(moves.size(), 41u);
    for (size_t k = 0; k < moves.size(); ++k) {
        EXPECT_EQ(moves[k].first, int32_t((k + 1) * 3072 % 96000)) << k;
        EXPECT_EQ(moves[k].second, 96000);
    }
}

TEST(Playback, EveryFailureHasItsTextReleasesTheButtonsAndLeavesPlaybackIdle) {
    struct Case {
        const char* Text;
        TestWaveOutDevice::Options Options;
        int Opens;
    };
    TestWaveOutDevice::Options noDevice, refuses, noOpen;
    noDevice.Present = false;
    refuses.SupportsFormat = false;
    noOpen.Opens = false;
    for (const Case& c : {Case{" Device Error", noDevice, 0}, Case{" Unsupported Format", refuses, 0},
                          Case{" Can Not Play", noOpen, 0}}) {
        SCOPED_TRACE(c.Text);
        Rig rig(c.Options);
        rig.Play(Ramp(5000), false);
        ASSERT_TRUE(rig.log.WaitFor("buttons up"));
        ASSERT_TRUE(rig.WaitIdle());
        Log expected{std::string("status:") + c.Text, "buttons up"};
        // The device's name is shown as soon as its check succeeds; the thread reports the rest.
        if (c.Options.Present) expected.insert(expected.begin(), "status: Playing Test Output");
        EXPECT_EQ(rig.log.Entries(), expected);
        EXPECT_EQ(rig.device->OpenCount(), c.Opens);
        EXPECT_EQ(rig.device->WriteCount(), 0u);
    }
}

TEST(Playback, DeviceErrorMakesStopRequestsDoNothingUntilAStartSucceeds) {
    TestWaveOutDevice::Options noDevice;
    noDevice.Present = false;
    Rig rig(noDevice);
    EXPECT_TRUE(rig.player->DeviceError()); // none succeeded yet
    rig.Play(Ramp(5000), false);
    EXPECT_TRUE(rig.player->DeviceError());
    rig.player->StopPlayback(true);
    EXPECT_TRUE(rig.player->PlaybackIdle());

    auto working = std::make_unique<TestWaveOutDevice>();
    TestWaveOutDevice* next = working.get();
    ASSERT_TRUE(rig.player->SetDevice(std::move(working)));
    rig.device = next;
    rig.player->StartPlayback(1, 8000);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_FALSE(rig.player->DeviceError());
}

TEST(Playback, RatesBelowOneAreRefusedAsUnsupportedWithoutTouchingTheDevice) {
    for (int32_t rate : {0, -48000}) {
        Rig rig;
        rig.Play(Ramp(5000, 1, rate), false);
        EXPECT_TRUE(rig.player->PlaybackIdle());
        EXPECT_EQ(rig.log.Entries(), (Log{"status: Unsupported Format", "buttons up"}));
        EXPECT_EQ(rig.device->OpenCount(), 0);
    }
}

TEST(Playback, AFailedWriteEndsPlaybackWithADeviceError) {
    TestWaveOutDevice::Options failing;
    failing.FailingWrite = 2;
    Rig rig(failing);
    rig.Play(Ramp(50000), true);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.device->WriteCount(), 2u);
    EXPECT_EQ(rig.device->CloseCount(), 1);
    EXPECT_EQ(rig.log.Entries(), (Log{"status: Playing Test Output", "cursor shown", "status: Device Error",
                                      "cursor hidden", "buttons up"}));
}

TEST(Playback, RepeatedStartsEachGetAFreshThreadAndDevice) {
    Rig rig;
    const SignalStore store = Ramp(3000);
    rig.player->RefreshCopy(store);
    for (int round = 0; round < 5; ++round) {
        rig.player->StartPlayback(1, 8000);
        ASSERT_TRUE(rig.WaitIdle());
    }
    EXPECT_EQ(rig.device->OpenCount(), 5);
    EXPECT_EQ(rig.device->CloseCount(), 5);
    EXPECT_EQ(rig.device->WriteCount(), 15u);
    EXPECT_TRUE(rig.log.WaitFor("buttons up", 5));
}

TEST(Playback, DestroyingAPlayingModuleStopsAndJoinsItsThread) {
    TestWaveOutDevice::Options realTime;
    realTime.WritePace = Pace::RealTime;
    Rig rig(realTime);
    rig.Play(Ramp(80000), true); // ten seconds of sound at 8000 Hz
    ASSERT_TRUE(rig.device->WaitForWrites(2, 5s));
    const auto start = std::chrono::steady_clock::now();
    rig.player.reset(); // the device goes with it, after the thread has closed it
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s); // not the ten seconds of sound
    EXPECT_EQ(rig.log.Entries(), (Log{"status: Playing Test Output", "cursor shown", "status: Stopped",
                                      "cursor hidden", "buttons up"}));
}
