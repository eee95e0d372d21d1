// Saving onto a disk without room for the new contents: a replacement fails while it is written beside
// the old file, and a write in place (a writable file in a read-only folder) finds out before it
// overwrites anything, by reserving the room first. Either way the old file stays as it was. The disk is
// a small memory file system mounted in the child's own mount namespace, which needs root; the save
// itself runs as "nobody", for whom the read-only folder counts.
#include "ChildProcess.h"
#include "SaveWriters.h"

#include "cli/CliRun.h"
#include "signal/WavBytes.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace wavtest;
namespace fs = std::filesystem;

namespace {

constexpr size_t kNewBytes = 200000; // three times the disk
constexpr const char* kDiskOptions = "size=64k";

struct Place {
    const char* Name;
    bool ReadOnlyFolder;
};

const Place kPlaces[] = {{"Replacement", false}, {"InPlace", true}};

void PrintTo(const Place& place, std::ostream* out) {
    *out << place.Name;
}

// In the child, as root: a private mount of a small disk at `mountPoint`, with folder/`name` holding
// `old`, all of it given to "nobody". Returns what failed, or "".
std::string PrepareDisk(const fs::path& mountPoint, const Bytes& old, bool readOnlyFolder,
                        const std::string& name = "old") {
    if (::unshare(CLONE_NEWNS) != 0) return "no mount namespace";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return "no private mounts";
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, kDiskOptions) != 0) return "no small disk";
    const fs::path folder = mountPoint / "folder";
    fs::create_directory(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(old.data()), std::streamsize(old.size()));
    for (const fs::path& p : {mountPoint, folder, folder / name})
        if (::chown(p.c_str(), kNobodyUid, kNobodyGid) != 0) return "no chown";
    fs::permissions(folder, readOnlyFolder ? fs::perms(0555) : fs::perms(0755));
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobodyGid) != 0 || ::setuid(kNobodyUid) != 0)
        return "no setuid";
    return "";
}

class FullDisk : public ::testing::TestWithParam<std::tuple<Writer, Place>> {};

} // namespace

TEST_P(FullDisk, FailedSaveLeavesTheOldFile) {
    const auto& [writer, place] = GetParam();
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
    TempDir mountPoint;
    const Bytes old(5000, 0x3C);
    const std::string answer = RunInChild([&] {
        const std::string failed = PrepareDisk(mountPoint.Path(), old, place.ReadOnlyFolder);
        if (!failed.empty()) return "skip: " + failed;
        const fs::path folder = mountPoint.Path() / "folder";
        const std::string outcome = writer.Save((folder / "old").string());
        size_t entries = 0;
        for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it) ++entries;
        return outcome +
               (ReadFile((folder / "old").string()) == old ? ", old file kept" : ", old file lost") + ", " +
               std::to_string(entries) + " file(s)";
    });
    if (answer.starts_with("skip: ")) GTEST_SKIP() << answer;
    EXPECT_EQ(answer, std::string(kNotSaved) + ", old file kept, 1 file(s)");
}

INSTANTIATE_TEST_SUITE_P(, FullDisk,
                         ::testing::Combine(::testing::ValuesIn(WritersOfAbout(kNewBytes)),
                                            ::testing::ValuesIn(kPlaces)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).Name) + std::get<1>(info.param).Name;
                         });

// orvane-cli saving onto the full disk: exit 1 with one line that gives the system's reason, and the old
// file kept.
class FullDiskCli : public ::testing::TestWithParam<std::string> {};

TEST_P(FullDiskCli, SaysTheSystemsReasonAndKeepsTheOldFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
    const std::string command = GetParam();
    TempDir mountPoint;
    const Bytes old(5000, 0x3C);
    const std::string target =
        (mountPoint.Path() / "folder" / (command == "render" ? "old.png" : "old.wav")).string();
    const std::string answer = RunInChild([&] {
        const std::string failed =
            PrepareDisk(mountPoint.Path(), old, false, fs::path(target).filename().string());
        if (!failed.empty()) return "skip: " + failed;
        const std::string demo = std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav";
        // Standard error comes back through the pipe; the disk has no room for it.
        const clitest::CliRun run = clitest::RunCommand(
            "{ " + std::string(ORVANE_CLI_PATH) + " " + command + " " + clitest::Quote(demo) + " " +
                clitest::Quote(target) + " 2>&1 >/dev/null; echo \"exit $?\"; }",
            "/dev/null");
        return run.Out + (ReadFile(target) == old ? "old file kept" : "old file lost");
    });
    if (answer.starts_with("skip: ")) GTEST_SKIP() << answer;
    EXPECT_EQ(answer, "orvane-cli: " + target + ": No space left on device\nexit 1\nold file kept");
}

INSTANTIATE_TEST_SUITE_P(, FullDiskCli, ::testing::Values("edit", "render"),
                         [](const auto& info) { return info.param; });
