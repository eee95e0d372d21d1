// Saving where the file cannot be created: a folder that vanished after the file was opened raises the
// creation error with the path and the reason, keeps the saving text in panel 0 and the store. (Folders
// and files the user may not write: SaveTargetTest.)
#include "Recordings.h"

#include "signal/WavBytes.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>

using namespace wavtest;

namespace {

// Saves and returns the creation error's message followed by the panel-0 texts, one per line.
std::string SaveAndDescribe(const SignalStore& store, const std::string& fileName,
                            const std::string& startDir) {
    std::string texts;
    std::string message = "no creation error";
    try {
        SaveSignal(store, fileName, startDir, [&](const std::string& t) { texts += "\n" + t; });
    } catch (const EFCreateError& e) {
        message = e.what();
    }
    return message + texts;
}

} // namespace

TEST(SaveFailure, VanishedFolderRaisesForSaveAndQuickSaveAndKeepsTheStore) {
    TempDir dir;
    const auto folder = dir.Path() / "recordings";
    std::filesystem::create_directory(folder);
    SignalStore store;
    const std::string path = (folder / "rec.wav").string();
    ReadWavFile(store, WriteRecording(path, {3, 1, 4, 1, 5, 9}));
    std::filesystem::remove_all(folder);

    EXPECT_EQ(SaveAndDescribe(store, store.FileName, folder.string()),
              "Cannot create file \"" + path + "\". No such file or directory\n Saving rec.wav...");
    EXPECT_EQ(SaveAndDescribe(store, "", folder.string()),
              "Cannot create file \"" + (folder / "DemoSample.wav").string() +
                  "\". No such file or directory\n Saving DemoSample.wav...");
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()),
              (std::vector<int16_t>{3, 1, 4, 1, 5, 9}));
    EXPECT_FALSE(std::filesystem::exists(folder));
}
