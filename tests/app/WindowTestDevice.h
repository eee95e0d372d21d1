// The recording test device in place of the window's sound card, and what it was given.
#pragma once

#include "app/TMainForm.h"
#include "support/TestWaveOutDevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Puts a test device in place of the sound card; the window owns it.
inline TestWaveOutDevice* UseTestDevice(TMainForm& form,
                                        TestWaveOutDevice::Pace pace = TestWaveOutDevice::Pace::Instant) {
    TestWaveOutDevice::Options options;
    options.WritePace = pace;
    auto device = std::make_unique<TestWaveOutDevice>(options);
    TestWaveOutDevice* kept = device.get();
    EXPECT_TRUE(form.Player.SetDevice(std::move(device)));
    return kept;
}

// Every value the device was given, in order.
inline std::vector<int16_t> Heard(const TestWaveOutDevice& device) {
    std::vector<int16_t> all;
    for (const auto& b : device.Buffers()) all.insert(all.end(), b.begin(), b.end());
    return all;
}
