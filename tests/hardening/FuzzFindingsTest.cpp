// Replays the fuzz target's seed corpus and every input it ever found a fault with (fuzz/regressions)
// through the reader, with the rules the fuzz target checks.
#include "fuzz/WavReadInvariants.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(FuzzFindings, EverySeedAndRegressionInputKeepsTheReadersRules) {
    const std::filesystem::path fuzz = std::filesystem::path(ORVANE_SOURCE_DIR) / "fuzz";
    auto files = FilesIn(fuzz / "corpus");
    ASSERT_GE(files.size(), 10u) << "the seed corpus is missing";
    const auto regressions = FilesIn(fuzz / "regressions");
    files.insert(files.end(), regressions.begin(), regressions.end());

    size_t decoded = 0;
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        SignalStore store;
        const WavReadResult result = ReadWavFile(store, file.string());
        EXPECT_EQ(WavReadViolation(store, result, std::filesystem::file_size(file)), "");
        if (!result.Fallback) ++decoded;
    }
    // The seeds hold valid files as well as damaged ones; both kinds must reach the reader.
    EXPECT_GT(decoded, 0u);
    EXPECT_LT(decoded, files.size());
}
