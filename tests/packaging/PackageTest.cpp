// The Debian package of this build, made with CPack into a temporary folder and unpacked there with
// dpkg-deb (nothing is installed on the machine), and the installation under a prefix. Where lintian
// and appstreamcli are installed (make test installs them), the package passes both.
#include "../cli/CliRun.h"
#include "../signal/WavBytes.h"

#include "ProgramInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::Quote;
using clitest::RunCommand;

namespace {

const std::string kBuild = ORVANE_BINARY_DIR;
const std::string kAppId = ORVANE_APP_ID;
const std::string kDocDir = "usr/share/doc/" ORVANE_PACKAGE_NAME "/";

// The package, built once for the whole suite.
struct BuiltPackage {
    wavtest::TempDir Dir;
    std::string Deb;     // path of the .deb, empty when CPack failed
    std::string Root;    // where it was unpacked
    std::string Failure; // what CPack or dpkg-deb said when they failed

    BuiltPackage() {
        const CliRun cpack = RunCommand("cpack -G DEB --config " + Quote(kBuild + "/CPackConfig.cmake") +
                                            " -B " + Quote(Dir.File("out")),
                                        Dir.File("cpack.txt"));
        for (const auto& entry : fs::directory_iterator(Dir.File("out")))
            if (entry.path().extension() == ".deb") Deb = entry.path().string();
        if (cpack.ExitCode != 0 || Deb.empty()) {
            Failure = cpack.Out + cpack.Err;
            return;
        }
        Root = Dir.File("root");
        const CliRun unpack = RunCommand("dpkg-deb -x " + Quote(Deb) + " " + Quote(Root), Dir.File("x.txt"));
        if (unpack.ExitCode != 0) Failure = unpack.Err;
    }
};

// One package for all checks: each test of a program runs in a process of its own, and building the
// package takes seconds.
class Package : public ::testing::Test {
protected:
    std::string Unpacked(const std::string& path) const { return built.Root + "/" + path; }
    std::string Field(const std::string& name) const {
        const CliRun run =
            RunCommand("dpkg-deb -f " + Quote(built.Deb) + " " + name, built.Dir.File("f.txt"));
        return run.Out.empty() ? run.Out : run.Out.substr(0, run.Out.size() - 1);
    }
    CliRun Run(const std::string& commandLine) const {
        return RunCommand(commandLine, built.Dir.File("e.txt"));
    }

    void ExpectFilesWhereADebianSystemLooksForThem() const;
    void ExpectEveryFileUnderUsr() const;
    void ExpectTheRuntimeLibrariesOnlyAsDependencies() const;
    void ExpectUnpackedProgramsToTellTheirVersion() const;
    void ExpectADesktopEntryThatOpensWavFiles() const;
    void ExpectIconsOfTheirSizes() const;
    void ExpectAManualPageThatNamesEveryOption() const;
    void ExpectACopyrightFileMadeFromTheLicence() const;
    void ExpectAChangelogOfThisVersion() const;
    void ExpectMetainfoOfTheApplication() const;

    const BuiltPackage built;
};

std::string TextOf(const std::string& path) {
    const wavtest::Bytes bytes = wavtest::ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

bool OnPath(const std::string& program) {
    wavtest::TempDir dir;
    return RunCommand("command -v " + Quote(program), dir.File("e.txt")).ExitCode == 0;
}

// The lines of appstreamcli's report that are errors, warnings or information, not pedantic notes.
std::vector<std::string> AppStreamComplaints(const std::string& report) {
    std::vector<std::string> complaints;
    for (const std::string& line : Lines(report)) {
        const std::string text = line.substr(std::min(line.find_first_not_of(' '), line.size()));
        if (text.starts_with("E: ") || text.starts_with("W: ") || text.starts_with("I: "))
            complaints.push_back(line);
    }
    return complaints;
}

std::string PngSize(const std::string& path) {
    const wavtest::Bytes b = wavtest::ReadFile(path);
    if (b.size() < 24 || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return "not a PNG";
    const auto field = [&](size_t at) {
        return std::to_string(b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
    };
    return field(16) + "x" + field(20);
}

// The words of orvane-cli --help that name commands, options and operations.
std::vector<std::string> HelpOptions() {
    wavtest::TempDir dir;
    const std::string help = clitest::RunCli("--help", dir.File("e.txt")).Out;
    std::vector<std::string> options;
    for (size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
        const size_t end = help.find_first_of(" ,|\n", at);
        options.push_back(help.substr(at, end - at));
    }
    return options;
}

} // namespace

void Package::ExpectFilesWhereADebianSystemLooksForThem() const {
    for (const std::string& path : std::vector<std::string>{
             "usr/bin/orvane", "usr/bin/orvane-cli", "usr/share/applications/" + kAppId + ".desktop",
             "usr/share/metainfo/" + kAppId + ".metainfo.xml",
             "usr/share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
             "usr/share/icons/hicolor/48x48/apps/" + kAppId + ".png",
             "usr/share/icons/hicolor/128x128/apps/" + kAppId + ".png",
             "usr/share/icons/hicolor/256x256/apps/" + kAppId + ".png", "usr/share/man/man1/orvane-cli.1.gz",
             "usr/share/man/man1/orvane.1.gz", kDocDir + "copyright", kDocDir + "changelog.gz"}) {
        struct stat info {};
        ASSERT_EQ(::stat(Unpacked(path).c_str(), &info), 0) << path;
        EXPECT_TRUE(S_ISREG(info.st_mode)) << path;
        EXPECT_GT(info.st_size, 0) << path;
        const unsigned expectedMode = path.starts_with("usr/bin/") ? 0755 : 0644;
        EXPECT_EQ(info.st_mode & 0777, expectedMode) << path;
    }
}

void Package::ExpectEveryFileUnderUsr() const {
    const CliRun list = Run("dpkg-deb -c " + Quote(built.Deb) + " | awk '{print $6}'");
    ASSERT_EQ(list.ExitCode, 0);
    size_t files = 0;
    for (size_t at = 0; at < list.Out.size(); at = list.Out.find('\n', at) + 1, ++files) {
        const std::string path = list.Out.substr(at, list.Out.find('\n', at) - at);
        EXPECT_TRUE(path == "./" || path.starts_with("./usr/")) << path;
        EXPECT_EQ(path.find("/usr/local"), std::string::npos) << path;
    }
    EXPECT_GT(files, 12u);
}

void Package::ExpectTheRuntimeLibrariesOnlyAsDependencies() const {
    EXPECT_EQ(Field("Package"), ORVANE_PACKAGE_NAME);
    EXPECT_EQ(Field("Version"), std::string(kOrvaneVersion));
    EXPECT_EQ(Field("Architecture") + "\n", Run("dpkg --print-architecture").Out);
    const std::string depends = Field("Depends");
    for (const char* runtime :
         {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libportaudio2", "libpng16-16", "libc6"})
        EXPECT_NE(depends.find(runtime), std::string::npos) << runtime << " missing in: " << depends;
    EXPECT_EQ(depends.find("-dev"), std::string::npos) << depends;
}

void Package::ExpectUnpackedProgramsToTellTheirVersion() const {
    const std::string version = " (Orvane+) " + std::string(kOrvaneVersion) + "\n";
    const CliRun cli = Run(Quote(Unpacked("usr/bin/orvane-cli")) + " --version");
    EXPECT_EQ(cli.ExitCode, 0);
    EXPECT_EQ(cli.Out, "orvane-cli" + version);
    // The window program answers before it would need a display.
    const CliRun window = Run("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                              Quote(Unpacked("usr/bin/orvane")) + " --version");
    EXPECT_EQ(window.ExitCode, 0);
    EXPECT_EQ(window.Out, "orvane" + version);
}

void Package::ExpectADesktopEntryThatOpensWavFiles() const {
    const std::string entry = Unpacked("usr/share/applications/" + kAppId + ".desktop");
    const std::string text = TextOf(entry);
    for (const std::string& line :
         std::vector<std::string>{"\nMimeType=audio/x-wav;audio/wav;\n", "\nExec=orvane %f\n",
                                  "\nIcon=" + kAppId + "\n", "\nType=Application\n", "\nName=Orvane+\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    const CliRun validate = Run("desktop-file-validate " + Quote(entry));
    EXPECT_EQ(validate.ExitCode, 0) << validate.Out;
    EXPECT_EQ(validate.Out, "");
}

void Package::ExpectIconsOfTheirSizes() const {
    for (const std::string size : {"48", "128", "256"})
        EXPECT_EQ(
            PngSize(Unpacked("usr/share/icons/hicolor/" + size + "x" + size + "/apps/" + kAppId + ".png")),
            size + "x" + size);
    const std::string svg = TextOf(Unpacked("usr/share/icons/hicolor/scalable/apps/" + kAppId + ".svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
}

// The manual page renders without a warning and documents every option of --help.
void Package::ExpectAManualPageThatNamesEveryOption() const {
    const std::string page = Unpacked("usr/share/man/man1/orvane-cli.1.gz");
    const CliRun warnings = Run("gzip -dc " + Quote(page) + " | groff -man -ww -z -Tutf8 2>&1");
    EXPECT_EQ(warnings.ExitCode, 0);
    EXPECT_EQ(warnings.Out, "");
    const CliRun text = Run("gzip -dc " + Quote(page) + " | groff -man -Tascii -P-cbou");
    ASSERT_EQ(text.ExitCode, 0);
    EXPECT_NE(text.Out.find("orvane-cli - spectrograms"), std::string::npos) << text.Out;
    const std::vector<std::string> options = HelpOptions();
    EXPECT_GE(options.size(), 10u);
    for (const std::string& option : options) EXPECT_NE(text.Out.find(option), std::string::npos) << option;
}

// The copyright file in Debian's machine-readable format: the holder and the permission text of the
// project's LICENSE, line for line, and the maintainer as the upstream contact.
void Package::ExpectACopyrightFileMadeFromTheLicence() const {
    const std::string copyright = TextOf(Unpacked(kDocDir + "copyright"));
    EXPECT_EQ(
        copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0),
        0u)
        << copyright;
    EXPECT_NE(copyright.find("\nUpstream-Contact: " + Field("Maintainer") + "\n"), std::string::npos)
        << copyright;
    const std::string licence = TextOf(ORVANE_LICENSE_PATH);
    const std::string mark = "\nCopyright (c) ";
    const size_t holderAt = licence.find(mark);
    ASSERT_NE(holderAt, std::string::npos) << licence;
    const size_t holderEnd = licence.find('\n', holderAt + 1);
    const std::string holder = licence.substr(holderAt + mark.size(), holderEnd - holderAt - mark.size());
    EXPECT_NE(copyright.find("\nFiles: *\nCopyright: " + holder + "\nLicense: Expat\n"), std::string::npos)
        << copyright;
    std::string paragraph = "\n\nLicense: Expat\n";
    for (const std::string& line : Lines(licence.substr(holderEnd + 2)))
        paragraph += line.empty() ? " .\n" : " " + line + "\n";
    EXPECT_TRUE(copyright.ends_with(paragraph)) << copyright;
}

// changelog.gz: compressed without a file name or time stamp, its newest entry this version, signed by
// the package's maintainer, in a form dpkg reads.
void Package::ExpectAChangelogOfThisVersion() const {
    const std::string path = Unpacked(kDocDir + "changelog.gz");
    const wavtest::Bytes gz = wavtest::ReadFile(path);
    ASSERT_GE(gz.size(), 10u);
    EXPECT_EQ(gz[3] & 0x08, 0) << "a file name in the gzip header";
    EXPECT_EQ(gz[4] | gz[5] | gz[6] | gz[7], 0) << "a time stamp in the gzip header";
    const std::string parse = "gzip -dc " + Quote(path) + " | dpkg-parsechangelog -l - -S ";
    const CliRun version = Run(parse + "Version");
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, std::string(kOrvaneVersion) + "\n");
    EXPECT_EQ(Run(parse + "Source").Out, std::string(ORVANE_PACKAGE_NAME) + "\n");
    EXPECT_EQ(Run(parse + "Maintainer").Out, Field("Maintainer") + "\n");
}

// The AppStream metainfo names the application by the id of its desktop entry and icons, its licences
// and both commands.
void Package::ExpectMetainfoOfTheApplication() const {
    const std::string text = TextOf(Unpacked("usr/share/metainfo/" + kAppId + ".metainfo.xml"));
    for (const std::string& element : std::vector<std::string>{
             "<id>" + kAppId + "</id>", "<launchable type=\"desktop-id\">" + kAppId + ".desktop</launchable>",
             "<metadata_license>CC0-1.0</metadata_license>", "<project_license>MIT</project_license>",
             "<binary>orvane</binary>", "<binary>orvane-cli</binary>"})
        EXPECT_NE(text.find(element), std::string::npos) << element;
}

TEST_F(Package, HoldsWhatADebianSystemExpects) {
    ASSERT_TRUE(built.Failure.empty()) << built.Failure;
    ExpectFilesWhereADebianSystemLooksForThem();
    ExpectEveryFileUnderUsr();
    ExpectTheRuntimeLibrariesOnlyAsDependencies();
    ExpectUnpackedProgramsToTellTheirVersion();
    ExpectADesktopEntryThatOpensWavFiles();
    ExpectIconsOfTheirSizes();
    ExpectAManualPageThatNamesEveryOption();
    ExpectACopyrightFileMadeFromTheLicence();
    ExpectAChangelogOfThisVersion();
    ExpectMetainfoOfTheApplication();
}

// No error and no warning; and none of the hardening tags, which lintian shows only as information
// (bindnow, fortified functions) or warnings (relro, PIE).
TEST_F(Package, PassesLintian) {
    ASSERT_TRUE(built.Failure.empty()) << built.Failure;
    if (!OnPath("lintian")) GTEST_SKIP() << "lintian is not installed";
    const CliRun lintian = Run("lintian --display-info --fail-on error,warning " + Quote(built.Deb));
    EXPECT_EQ(lintian.ExitCode, 0) << lintian.Out << lintian.Err;
    for (const std::string& line : Lines(lintian.Out)) {
        EXPECT_FALSE(line.starts_with("E: ") || line.starts_with("W: ")) << line;
#ifdef ORVANE_PACKAGE_UNFORTIFIED
        if (line.find(" hardening-no-fortify-functions") != std::string::npos) continue;
#endif
        EXPECT_EQ(line.find(" hardening-"), std::string::npos) << line;
    }
}

// The installed metainfo, alone and with the desktop entry and icons beside it, passes AppStream's
// validation with pedantic notes at most (offline: nothing in it needs the network).
TEST_F(Package, MetainfoPassesAppStreamValidation) {
    ASSERT_TRUE(built.Failure.empty()) << built.Failure;
    if (!OnPath("appstreamcli")) GTEST_SKIP() << "appstreamcli is not installed";
    const CliRun validate = Run("appstreamcli validate --no-net " +
                                Quote(Unpacked("usr/share/metainfo/" + kAppId + ".metainfo.xml")));
    EXPECT_EQ(validate.ExitCode, 0) << validate.Out;
    EXPECT_EQ(AppStreamComplaints(validate.Out), std::vector<std::string>{}) << validate.Out;
    const CliRun tree = Run("appstreamcli validate-tree --no-net " + Quote(built.Root));
    EXPECT_EQ(tree.ExitCode, 0) << tree.Out;
    EXPECT_EQ(AppStreamComplaints(tree.Out), std::vector<std::string>{}) << tree.Out;
}

TEST(Install, PrefixHoldsProgramsPagesAndDesktopFiles) {
    wavtest::TempDir dir;
    const CliRun install = RunCommand(
        "cmake --install " + Quote(kBuild) + " --prefix " + Quote(dir.File("p")), dir.File("e.txt"));
    ASSERT_EQ(install.ExitCode, 0) << install.Err;
    for (const std::string& path : std::vector<std::string>{
             "bin/orvane-cli", "bin/orvane", "share/man/man1/orvane-cli.1.gz",
             "share/applications/" + kAppId + ".desktop", "share/metainfo/" + kAppId + ".metainfo.xml",
             "share/icons/hicolor/48x48/apps/" + kAppId + ".png",
             "share/doc/" ORVANE_PACKAGE_NAME "/copyright"})
        EXPECT_TRUE(fs::is_regular_file(dir.File("p/") + path)) << path;
    const CliRun version = RunCommand(Quote(dir.File("p/bin/orvane-cli")) + " --version", dir.File("e.txt"));
    EXPECT_EQ(version.ExitCode, 0);
}
