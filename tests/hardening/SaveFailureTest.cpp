// Saving where the file cannot be created: a read-only folder and a folder that vanished after the
// file was opened. Each raises the creation error with the path and the reason, keeps the saving text
// in panel 0 and leaves every file as it was.
#include "ChildProcess.h"
#include "Recordings.h"

#include "signal/WavBytes.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace wavtest;

namespace {

constexpr uid_t kNobody = 65534;

SignalStore StoreOf(const std::vector<int16_t>& values) {
    SignalStore store;
    store.Samples.assign(values.begin(), values.end());
    store.ValueCount = static_cast<int32_t>(values.size());
    store.FileName = "kept.wav";
    return store;
}

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

size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

} // namespace

// Root ignores folder permissions, so as root the save runs in a child that has become "nobody".
TEST(SaveFailure, ReadOnlyFolderRaisesAndKeepsTheOldFile) {
    TempDir dir;
    const Bytes old(100, 0x11);
    const std::string target = dir.Write("keep.wav", old);
    std::filesystem::permissions(
        dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                        std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                        std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    const SignalStore store = StoreOf({1, 2, 3, 4});
    const auto save = [&] {
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            return std::string("no setuid");
        if (::access(dir.Path().c_str(), W_OK) == 0) return std::string("folder writable");
        return SaveAndDescribe(store, target, dir.Path().string());
    };
    const std::string outcome = ::geteuid() == 0 ? RunInChild(save) : save();
    if (outcome == "no setuid" || outcome == "folder writable") GTEST_SKIP() << outcome;

    EXPECT_EQ(outcome, "Cannot create file \"" + target + "\". Permission denied\n Saving keep.wav...");
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

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
