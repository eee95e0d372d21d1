// Where a save lands and what it refuses, for both writers (the WAV file and the BMP picture): a symbolic
// link is followed and stays a link, a file the user may not write is refused and left alone, a
// writable file in a read-only folder is written in place, every other file is replaced by a rename
// that keeps its permission bits, and a failed write leaves the old file as it was. Every save runs in
// a child process as an ordinary user that owns the test's folder ("nobody" when the tests run as
// root, since root ignores mode bits).
#include "ChildProcess.h"
#include "SaveWriters.h"

#include "signal/ReplacingFile.h"
#include "signal/WavBytes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace wavtest;
namespace fs = std::filesystem;

namespace {

// Small files: about 2000 bytes each.
const std::vector<Writer> kWriters = WritersOfAbout(2000);

enum class Expect {
    Replaced, // new contents under a new inode, the old permission bits
    InPlace,  // new contents in the same inode
    Created,  // a new file of mode 0644
    Refused,  // a creation error with Reason; nothing changed
    NotSaved, // a write error; nothing changed
};

// What a case builds in its folder: the name handed to the writer, the file that holds (or would hold)
// the data, and the links that must stay as they are.
struct Scene {
    std::string SavePath;
    std::string DataPath;
    std::vector<std::string> Links;
};

struct Case {
    const char* Name;
    std::function<Scene(const fs::path& dir)> Build;
    Expect Outcome;
    const char* Reason = ""; // the system's text of a refusal
    rlim_t FileSizeLimit = RLIM_INFINITY;
};

std::string Write(const fs::path& path, size_t size, fs::perms mode = fs::perms(0644)) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'o');
    fs::permissions(path, mode);
    return path.string();
}

std::string Link(const fs::path& link, const std::string& text) {
    fs::create_symlink(text, link);
    return link.string();
}

fs::path Folder(const fs::path& path, fs::perms mode = fs::perms(0755)) {
    fs::create_directories(path);
    fs::permissions(path, mode);
    return path;
}

constexpr auto kReadOnlyFolder = fs::perms(0555);
constexpr size_t kLargerThanNew = 9000; // the old file is longer than either writer's output
constexpr size_t kSmallerThanNew = 100;

const Case kCases[] = {
    {"RelativeLinkToAFile",
     [](const fs::path& d) {
         return Scene{
             Link(d / "link", "data"), Write(d / "data", kSmallerThanNew, fs::perms(0640)), {"link"}};
     },
     Expect::Replaced},
    {"AbsoluteLinkIntoAnotherFolder",
     [](const fs::path& d) {
         const std::string data = Write(Folder(d / "elsewhere") / "data", kLargerThanNew);
         return Scene{Link(d / "link", data), data, {"link"}};
     },
     Expect::Replaced},
    {"ChainOfRelativeLinksTakenFromEachLinksFolder",
     [](const fs::path& d) {
         Folder(d / "sub");
         Link(d / "sub" / "second", "../data");
         return Scene{
             Link(d / "first", "sub/second"), Write(d / "data", kSmallerThanNew), {"first", "sub/second"}};
     },
     Expect::Replaced},
    {"LinkToAMissingFileCreatesIt",
     [](const fs::path& d) {
         return Scene{Link(d / "link", "new"), (d / "new").string(), {"link"}};
     },
     Expect::Created},
    {"LinkLoopIsRefused",
     [](const fs::path& d) {
         Link(d / "b", "a");
         return Scene{Link(d / "a", "b"), (d / "a").string(), {"a", "b"}};
     },
     Expect::Refused, "Too many levels of symbolic links"},
    {"ReadOnlyFileIsRefused",
     [](const fs::path& d) {
         const std::string data = Write(d / "data", kSmallerThanNew, fs::perms(0444));
         return Scene{data, data, {}};
     },
     Expect::Refused, "Permission denied"},
    {"ReadOnlyFileBehindALinkIsRefused",
     [](const fs::path& d) {
         return Scene{
             Link(d / "link", "data"), Write(d / "data", kSmallerThanNew, fs::perms(0444)), {"link"}};
     },
     Expect::Refused, "Permission denied"},
    {"WritableFileInAReadOnlyFolderIsWrittenInPlaceAndCut",
     [](const fs::path& d) {
         Folder(d / "ro");
         const std::string data = Write(d / "ro" / "data", kLargerThanNew, fs::perms(0604));
         Folder(d / "ro", kReadOnlyFolder);
         return Scene{data, data, {}};
     },
     Expect::InPlace},
    {"LinkIntoAReadOnlyFolderWritesItsTargetInPlace",
     [](const fs::path& d) {
         Folder(d / "ro");
         const std::string data = Write(d / "ro" / "data", kSmallerThanNew);
         Folder(d / "ro", kReadOnlyFolder);
         return Scene{Link(d / "link", "ro/data"), data, {"link"}};
     },
     Expect::InPlace},
    {"NewFileInAReadOnlyFolderIsRefused",
     [](const fs::path& d) {
         return Scene{(Folder(d / "ro", kReadOnlyFolder) / "new").string(), (d / "ro" / "new").string(), {}};
     },
     Expect::Refused, "Permission denied"},
    {"FileSizeLimitKeepsTheOldFileWhenReplacing",
     [](const fs::path& d) {
         return Scene{Link(d / "link", "data"), Write(d / "data", kSmallerThanNew), {"link"}};
     },
     Expect::NotSaved, "", 300},
    {"FileSizeLimitKeepsTheOldFileInPlace",
     [](const fs::path& d) {
         Folder(d / "ro");
         const std::string data = Write(d / "ro" / "data", kSmallerThanNew);
         Folder(d / "ro", kReadOnlyFolder);
         return Scene{data, data, {}};
     },
     Expect::NotSaved, "", 300},
    {"NewFileInAMissingFolderIsRefused",
     [](const fs::path& d) {
         return Scene{(d / "nowhere" / "new").string(), (d / "nowhere" / "new").string(), {}};
     },
     Expect::Refused, "No such file or directory"},
    {"FolderIsRefused",
     [](const fs::path& d) {
         const std::string folder = Folder(d / "folder").string();
         return Scene{folder, folder, {}};
     },
     Expect::Refused, "Is a directory"},
    {"PathThroughAFileIsRefused",
     [](const fs::path& d) {
         const std::string data = Write(d / "data", kSmallerThanNew);
         return Scene{data + "/new", data, {}};
     },
     Expect::Refused, "Not a directory"},
    {"LinkToAFullDeviceIsAWriteError",
     [](const fs::path& d) {
         return Scene{Link(d / "link", "/dev/full"), "/dev/full", {"link"}};
     },
     Expect::NotSaved},
};

// Gives the whole folder to the user the saves run as ("nobody" under root), links included.
void HandToOrdinaryUser(const fs::path& dir) {
    if (::geteuid() != 0) return;
    const auto give = [](const fs::path& p) { return ::lchown(p.c_str(), kNobodyUid, kNobodyGid) == 0; };
    ASSERT_TRUE(give(dir));
    for (const auto& entry : fs::recursive_directory_iterator(dir)) ASSERT_TRUE(give(entry.path()));
}

void MakeWritableAgain(const fs::path& dir) {
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (!entry.is_symlink() && entry.is_directory()) fs::permissions(entry.path(), fs::perms::owner_all);
}

struct FileState {
    bool Exists = false;
    ino_t Inode = 0;
    mode_t Mode = 0;
    Bytes Contents;
};

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return state;
    state.Exists = true;
    state.Inode = st.st_ino;
    state.Mode = st.st_mode & 07777;
    if (S_ISREG(st.st_mode)) state.Contents = ReadFile(path);
    return state;
}

void ExpectUnchanged(const FileState& before, const FileState& after) {
    EXPECT_EQ(after.Exists, before.Exists);
    EXPECT_EQ(after.Inode, before.Inode);
    EXPECT_EQ(after.Contents, before.Contents);
    EXPECT_EQ(after.Mode, before.Mode);
}

// Names of the files left in the folder that the writers use as temporary names.
std::vector<std::string> TemporaryFilesIn(const fs::path& dir) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().filename().string().starts_with(".")) found.push_back(entry.path().string());
    return found;
}

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.Name;
}

class SaveTargets : public ::testing::TestWithParam<std::tuple<Writer, Case>> {};

} // namespace

TEST_P(SaveTargets, LandWhereTheNameLeadsAndRefuseWhatTheUserMayNotWrite) {
    const auto& [writer, c] = GetParam();
    TempDir reference;
    ASSERT_EQ(writer.Save(reference.File("new")), kSaved);
    const Bytes newContents = ReadFile(reference.File("new"));

    TempDir dir;
    const Scene scene = c.Build(dir.Path());
    HandToOrdinaryUser(dir.Path());
    std::map<std::string, fs::path> linkTexts;
    for (const auto& link : scene.Links) linkTexts[link] = fs::read_symlink(dir.Path() / link);
    const FileState before = StateOf(scene.DataPath);

    const std::string outcome = RunAsOrdinaryUser([&] {
        if (c.FileSizeLimit != RLIM_INFINITY) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{c.FileSizeLimit, c.FileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("no file-size limit");
        }
        return writer.Save(scene.SavePath);
    });
    if (outcome == kNoOrdinaryUser) GTEST_SKIP() << outcome;
    const FileState after = StateOf(scene.DataPath);

    switch (c.Outcome) {
    case Expect::Replaced:
    case Expect::InPlace:
        EXPECT_EQ(outcome, kSaved);
        EXPECT_EQ(after.Contents, newContents);
        EXPECT_EQ(after.Mode, before.Mode);
        // A replacement keeps the old file whole until the rename; writing in place gives that up and
        // is only for folders where no replacement can be made.
        if (c.Outcome == Expect::InPlace)
            EXPECT_EQ(after.Inode, before.Inode);
        else
            EXPECT_NE(after.Inode, before.Inode);
        break;
    case Expect::Created:
        EXPECT_EQ(outcome, kSaved);
        EXPECT_FALSE(before.Exists);
        EXPECT_EQ(after.Contents, newContents);
        EXPECT_EQ(after.Mode, 0644u);
        break;
    case Expect::Refused:
        EXPECT_EQ(outcome, "Cannot create file \"" + scene.SavePath + "\". " + c.Reason);
        ExpectUnchanged(before, after);
        break;
    case Expect::NotSaved:
        EXPECT_EQ(outcome, kNotSaved);
        ExpectUnchanged(before, after);
        break;
    }
    for (const auto& [link, text] : linkTexts) {
        EXPECT_TRUE(fs::is_symlink(dir.Path() / link)) << link;
        EXPECT_EQ(fs::read_symlink(dir.Path() / link), text) << link;
    }
    EXPECT_EQ(TemporaryFilesIn(dir.Path()), std::vector<std::string>{});
    MakeWritableAgain(dir.Path());
}

INSTANTIATE_TEST_SUITE_P(, SaveTargets,
                         ::testing::Combine(::testing::ValuesIn(kWriters), ::testing::ValuesIn(kCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).Name) + "_" +
                                    std::get<1>(info.param).Name;
                         });

// ReplacingFile::WriteProblem foresees, without changing anything, every refusal of the writers above
// with the same reason, and sees no problem where they write (a full device or a file-size limit shows
// only while writing).
class SaveTargetProblem : public ::testing::TestWithParam<Case> {};

TEST_P(SaveTargetProblem, IsTheReasonTheWritersRefuseWith) {
    const Case& c = GetParam();
    TempDir dir;
    const Scene scene = c.Build(dir.Path());
    HandToOrdinaryUser(dir.Path());
    const FileState before = StateOf(scene.DataPath);
    const std::string problem = RunAsOrdinaryUser([&] {
        const int err = ReplacingFile::WriteProblem(scene.SavePath);
        return err == 0 ? std::string("none") : std::string(std::strerror(err));
    });
    if (problem == kNoOrdinaryUser) GTEST_SKIP() << problem;
    EXPECT_EQ(problem, c.Outcome == Expect::Refused ? std::string(c.Reason) : "none");
    ExpectUnchanged(before, StateOf(scene.DataPath));
    EXPECT_EQ(TemporaryFilesIn(dir.Path()), std::vector<std::string>{});
    MakeWritableAgain(dir.Path());
}

INSTANTIATE_TEST_SUITE_P(, SaveTargetProblem, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Replacing a file that belongs to another user keeps its owner and group, as the rights of the saver
// allow: only root may give a file away, so this runs as root only.
TEST(SaveOwnership, ReplacementKeepsTheOwnerGroupAndBitsOfTheOldFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    TempDir dir;
    const std::string data = Write(dir.Path() / "theirs", kSmallerThanNew, fs::perms(0660));
    ASSERT_EQ(::chown(data.c_str(), kNobodyUid, kNobodyGid), 0);
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.Name);
        const ino_t oldInode = StateOf(data).Inode;
        ASSERT_EQ(writer.Save(data), kSaved);
        struct stat st {};
        ASSERT_EQ(::stat(data.c_str(), &st), 0);
        EXPECT_NE(st.st_ino, oldInode);
        EXPECT_EQ(st.st_uid, kNobodyUid);
        EXPECT_EQ(st.st_gid, kNobodyGid);
        EXPECT_EQ(st.st_mode & 07777, 0660u);
    }
}
