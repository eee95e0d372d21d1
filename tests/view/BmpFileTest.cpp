#include "view/BmpFile.h"
#include "FileSizeLimit.h"
#include "signal/FileErrors.h"
#include "view/TBitmap32.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

class BmpFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orvane_bmp_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

} // namespace

TEST_F(BmpFileTest, SmallPictureByteByByte) {
    TBitmap32 b;
    b.SetSize(2, 2);
    b.SetPixelClipped(0, 0, 0x11223344u); // top left
    b.SetPixelClipped(1, 0, 0xAABBCCDDu);
    b.SetPixelClipped(0, 1, 0x01020304u); // bottom left
    b.SetPixelClipped(1, 1, 0xFF000000u);
    const fs::path file = dir_ / "Spectr_a.wav.bmp";
    b.SaveToFile(file.string());

    // clang-format off
    const std::vector<uint8_t> expected = {
        'B', 'M', 70, 0, 0, 0,                            // file size 54 + 16
        0, 0, 0, 0,                                       // reserved
        54, 0, 0, 0,                                      // pixel offset
        40, 0, 0, 0,                                      // info header size
        2, 0, 0, 0,                                       // width
        0xFE, 0xFF, 0xFF, 0xFF,                           // height -2: rows top to bottom
        1, 0,                                             // planes
        32, 0,                                            // bits per pixel
        0, 0, 0, 0,                                       // no compression
        16, 0, 0, 0,                                      // pixel bytes
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   // resolutions and colour counts
        0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0xAA,   // top row: blue, green, red, alpha
        0x04, 0x03, 0x02, 0x01, 0x00, 0x00, 0x00, 0xFF,   // bottom row
    };
    // clang-format on
    EXPECT_EQ(ReadBytes(file), expected);
}

TEST_F(BmpFileTest, SizesOfASpectrogramPicture) {
    TBitmap32 b;
    b.SetSize(49, 512);
    b.Clear(kOpaqueBlack);
    const fs::path file = dir_ / "big.bmp";
    b.SaveToFile(file.string());
    const std::vector<uint8_t> bytes = ReadBytes(file);
    ASSERT_EQ(bytes.size(), 54u + 49u * 512u * 4u);
    EXPECT_EQ(U32At(bytes, 2), 54u + 49u * 512u * 4u);
    EXPECT_EQ(U32At(bytes, 18), 49u);
    EXPECT_EQ(static_cast<int32_t>(U32At(bytes, 22)), -512);
    EXPECT_EQ(U32At(bytes, 34), 49u * 512u * 4u);
    EXPECT_EQ(U32At(bytes, bytes.size() - 4), kOpaqueBlack);
}

TEST_F(BmpFileTest, EmptyPictureAndOverwrite) {
    const fs::path file = dir_ / "pic.bmp";
    { std::ofstream(file) << "an older and longer file that is replaced entirely by the new picture"; }
    const TBitmap32 empty;
    empty.SaveToFile(file.string());
    const std::vector<uint8_t> bytes = ReadBytes(file);
    ASSERT_EQ(bytes.size(), 54u);
    EXPECT_EQ(U32At(bytes, 2), 54u);
    EXPECT_EQ(U32At(bytes, 18), 0u);
    EXPECT_EQ(U32At(bytes, 22), 0u);
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(dir_)) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1u); // no temporary file left beside it
}

TEST_F(BmpFileTest, HeaderRefusesPicturesTooLargeForTheFormat) {
    EXPECT_NO_THROW(BuildBmpHeader(16384, 16384));
    EXPECT_THROW(BuildBmpHeader(65536, 16384), std::length_error);
    EXPECT_THROW(BuildBmpHeader(-1, 3), std::length_error);
}

TEST_F(BmpFileTest, MissingFolderReportsCreateError) {
    TBitmap32 b;
    b.SetSize(1, 1);
    const std::string target = (dir_ / "no such folder" / "x.bmp").string();
    try {
        b.SaveToFile(target);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + target + "\". ", 0), 0u) << e.what();
    }
}

TEST_F(BmpFileTest, FailedSaveLeavesTheOldFileIntact) {
    const fs::path file = dir_ / "keep.bmp";
    { std::ofstream(file) << "old picture"; }
    fs::permissions(file, fs::perms::owner_read);
    if (::access(file.c_str(), W_OK) == 0) GTEST_SKIP() << "the file stays writable (running as root)";
    TBitmap32 b;
    b.SetSize(3, 3);
    EXPECT_THROW(b.SaveToFile(file.string()), EFCreateError);
    const std::vector<uint8_t> bytes = ReadBytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old picture");
}

// A write that fails midway through the temporary file (here: the process's file-size limit, which
// also binds root) raises the write error and leaves the old file and no temporary behind.
TEST_F(BmpFileTest, FailureMidwayLeavesTheOldFileIntact) {
    const fs::path file = dir_ / "keep.bmp";
    { std::ofstream(file) << "old picture"; }
    TBitmap32 b;
    b.SetSize(64, 64);

    bool threw = false;
    {
        const FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.Set());
        try {
            b.SaveToFile(file.string());
        } catch (const EFWriteError& e) {
            threw = true;
            EXPECT_EQ(std::string(e.what()).rfind("Cannot write file \"" + file.string() + "\". ", 0), 0u)
                << e.what();
        }
    }

    EXPECT_TRUE(threw);
    const std::vector<uint8_t> bytes = ReadBytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old picture");
    size_t entries = 0;
    for (auto it = fs::directory_iterator(dir_); it != fs::directory_iterator(); ++it) ++entries;
    EXPECT_EQ(entries, 1u);
}

// A write that fails midway (a full device) must report the failure, not success.
TEST_F(BmpFileTest, WriteFailureOnAFullDeviceIsReported) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    TBitmap32 b;
    b.SetSize(64, 64);
    EXPECT_THROW(b.SaveToFile("/dev/full"), EFWriteError);
}
