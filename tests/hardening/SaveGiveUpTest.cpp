// Giving up the files being written (ReplacingFile::GiveUpWhen, what orvane-cli does on SIGINT, SIGTERM
// and SIGHUP): a replacement stops at its next write or before its rename and leaves the target as it
// was and no temporary file; a file written in place is left untouched before its first byte and
// written to its end after it, so that it never holds a mix of old and new contents. Each case runs in a
// child process as an ordinary user, so that a read-only folder makes the writes go in place.
#include "ChildProcess.h"

#include "signal/ReplacingFile.h"
#include "signal/WavBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace wavtest;
namespace fs = std::filesystem;

namespace {

const std::string kOld(5000, 'o');
const std::string kFirst(3000, 'a');
const std::string kSecond(1000, 'b');

enum class Moment { BeforeTheFirstWrite, AfterTheFirstWrite, BeforeTheCommit, Never };
enum class Left { Old, New, Nothing };

struct GiveUpCase {
    const char* Name;
    bool Existing;
    bool ReadOnlyFolder; // a writable file in a read-only folder is written in place
    Moment GiveUp;
    const char* Calls; // whether the first write, the second write and the commit succeeded
    Left Target;
};

void PrintTo(const GiveUpCase& c, std::ostream* out) {
    *out << c.Name;
}

// Writes kFirst and kSecond to `path`, setting the flag at the case's moment; answers which calls
// succeeded and the last error, e.g. "110 Operation canceled".
std::string WriteGivingUp(const std::string& path, Moment moment) {
    std::atomic<bool> giveUp{moment == Moment::BeforeTheFirstWrite};
    ReplacingFile::GiveUpWhen(&giveUp);
    ReplacingFile file(path, kFirst.size() + kSecond.size());
    const bool first = file.Write(kFirst.data(), kFirst.size());
    if (moment == Moment::AfterTheFirstWrite) giveUp = true;
    const bool second = file.Write(kSecond.data(), kSecond.size());
    if (moment == Moment::BeforeTheCommit) giveUp = true;
    const bool committed = first && second && file.Commit();
    if (!committed) file.Discard();
    return std::string(first ? "1" : "0") + (second ? "1" : "0") + (committed ? "1" : "0") + " " +
           std::strerror(file.LastError());
}

class SaveGiveUp : public ::testing::TestWithParam<GiveUpCase> {};

} // namespace

TEST_P(SaveGiveUp, LeavesTheTargetWholeAndNoTemporaryFile) {
    const GiveUpCase& c = GetParam();
    TempDir dir;
    const fs::path folder = dir.Path() / "folder";
    fs::create_directory(folder);
    const std::string target = (folder / "data").string();
    if (c.Existing) std::ofstream(target) << kOld;
    if (::geteuid() == 0)
        for (const fs::path& p : {dir.Path(), folder, fs::path(target)}) {
            if (fs::exists(p)) {
                ASSERT_EQ(::chown(p.c_str(), kNobodyUid, kNobodyGid), 0);
            }
        }
    if (c.ReadOnlyFolder) fs::permissions(folder, fs::perms(0555));

    const std::string calls = RunAsOrdinaryUser([&] { return WriteGivingUp(target, c.GiveUp); });
    if (calls == kNoOrdinaryUser) GTEST_SKIP() << calls;
    EXPECT_EQ(calls, c.Calls);
    fs::permissions(folder, fs::perms::owner_all);
    switch (c.Target) {
    case Left::Old:
        EXPECT_EQ(ReadFile(target), Bytes(kOld.begin(), kOld.end()));
        break;
    case Left::New: {
        const std::string written = kFirst + kSecond;
        EXPECT_EQ(ReadFile(target), Bytes(written.begin(), written.end()));
        break;
    }
    case Left::Nothing:
        EXPECT_FALSE(fs::exists(target));
        break;
    }
    std::vector<std::string> hidden;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with(".")) hidden.push_back(entry.path().filename());
    EXPECT_EQ(hidden, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    , SaveGiveUp,
    ::testing::Values(GiveUpCase{"ReplacementBeforeItsFirstByte", true, false, Moment::BeforeTheFirstWrite,
                                 "000 Operation canceled", Left::Old},
                      GiveUpCase{"ReplacementMidway", true, false, Moment::AfterTheFirstWrite,
                                 "100 Operation canceled", Left::Old},
                      GiveUpCase{"ReplacementBeforeItsRename", true, false, Moment::BeforeTheCommit,
                                 "110 Operation canceled", Left::Old},
                      GiveUpCase{"NewFileMidway", false, false, Moment::AfterTheFirstWrite,
                                 "100 Operation canceled", Left::Nothing},
                      GiveUpCase{"InPlaceBeforeItsFirstByte", true, true, Moment::BeforeTheFirstWrite,
                                 "000 Operation canceled", Left::Old},
                      GiveUpCase{"InPlaceOnceStartedIsFinished", true, true, Moment::AfterTheFirstWrite,
                                 "111 Success", Left::New},
                      GiveUpCase{"ReplacementNeverGivenUp", true, false, Moment::Never, "111 Success",
                                 Left::New}),
    [](const auto& info) { return std::string(info.param.Name); });
