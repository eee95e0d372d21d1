// Reading a recording when memory runs out: the failure reaches the caller as std::bad_alloc (the
// window's general error report), the store is left empty but consistent, and the file is not touched.
#include "AllocationFailure.h"
#include "Recordings.h"

#include "signal/WavBytes.h"
#include "signal/WavReader.h"

#include <gtest/gtest.h>

using namespace wavtest;

TEST(ReadFailure, OutOfMemoryForTheValuesLeavesAConsistentEmptyStoreAndTheFileIntact) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "operator new is not replaced in this build";
    TempDir dir;
    std::vector<int16_t> values(400000);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int16_t>(i * 7);
    const std::string path = WriteRecording(dir.File("big.wav"), values);
    const Bytes file = ReadFile(path);

    SignalStore store;
    ReadWavFile(store, WriteRecording(dir.File("small.wav"), {1, 2, 3, 4}));
    ASSERT_EQ(store.ValueCount, 4);

    std::vector<std::string> texts;
    {
        FailAllocationsFrom failing(values.size()); // the 800000-byte array cannot be had
        EXPECT_THROW(ReadWavFile(store, path, [&](const std::string& t) { texts.push_back(t); }),
                     std::bad_alloc);
    }
    EXPECT_EQ(texts, std::vector<std::string>{" Read wav File..."});
    EXPECT_EQ(store.FileName, path);
    EXPECT_EQ(store.ValueCount, 0);
    EXPECT_TRUE(store.Samples.empty());
    EXPECT_EQ(ReadFile(path), file);

    // With memory back the same file reads completely.
    const WavReadResult again = ReadWavFile(store, path);
    EXPECT_EQ(again.Status, " Bytes : 800000 16 Bit Data");
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()), values);
}

// The file vanishes (with its folder) between "Open..." and "Reload" or "Save": the reload reports
// " ERROR: File Access." and keeps the store, the save raises the creation error and creates nothing.
TEST(ReadFailure, VanishedFileAndFolderKeepTheStore) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "sub");
    const std::string path = WriteRecording(dir.File("sub/rec.wav"), {5, 6, 7, 8, 9, 10});
    SignalStore store;
    ReadWavFile(store, path);
    std::filesystem::remove_all(dir.Path() / "sub");

    const WavReadResult reload = ReadWavFile(store, path);
    EXPECT_EQ(reload.Status, " ERROR: File Access.");
    EXPECT_FALSE(reload.StoreReplaced);
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()),
              (std::vector<int16_t>{5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(store.ChannelCount, 2);
}
