// The PNG writer and the choice of format by file name: every PNG is read back with libpng's reader
// and compared with the BMP of the same picture.
#include "FileSizeLimit.h"
#include "PngDecode.h"

#include "../signal/WavBytes.h"

#include "signal/FileErrors.h"
#include "view/PictureFile.h"
#include "view/PngFile.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace pngtest;
using wavtest::ReadFile;
using wavtest::TempDir;

namespace {

// A picture of random colours with random alpha bytes (alpha must not reach the PNG).
TBitmap32 RandomPicture(int32_t width, int32_t height, uint32_t seed) {
    TBitmap32 picture;
    picture.SetSize(width, height);
    std::mt19937 random(seed);
    TColor32* pixels = picture.WritablePixels().Bits;
    for (size_t i = 0; i < picture.PixelCount(); ++i) pixels[i] = random();
    picture.Changed();
    return picture;
}

// Writes `picture` both ways and compares the PNG's colours with the BMP's pixel bytes.
void ExpectPngShowsTheBmpColours(const TempDir& dir, const TBitmap32& picture, const PngCompression& how) {
    const std::string png = dir.File("p.png");
    const std::string bmp = dir.File("p.bmp");
    WritePngFile(png, picture.Bits(), picture.Width(), picture.Height(), how);
    picture.SaveToFile(bmp);
    const DecodedPng decoded = DecodePng(png);
    ASSERT_TRUE(decoded.Ok);
    EXPECT_TRUE(decoded.Rgb8);
    EXPECT_EQ(decoded.Width, uint32_t(picture.Width()));
    EXPECT_EQ(decoded.Height, uint32_t(picture.Height()));
    const wavtest::Bytes bmpBytes = ReadFile(bmp);
    EXPECT_TRUE(SameColours(decoded, bmpBytes.data() + 54, picture.PixelCount()));
}

class PngSizes : public ::testing::TestWithParam<std::tuple<int32_t, int32_t>> {
protected:
    TempDir dir;
};

} // namespace

// Found by argument-dependent lookup: PngCompression lives in the global namespace.
void PrintTo(const PngCompression& how, std::ostream* out) {
    *out << "level " << how.Level << ", strategy " << how.Strategy << ", filters " << how.Filters;
}

namespace {

class PngCompressions : public ::testing::TestWithParam<PngCompression> {
protected:
    TempDir dir;
};

struct NamedFormat {
    const char* Name;
    PictureFormat Format;
};

void PrintTo(const NamedFormat& named, std::ostream* out) {
    *out << '"' << named.Name << '"';
}

class PictureNames : public ::testing::TestWithParam<NamedFormat> {};

} // namespace

TEST_P(PngSizes, DecodesToTheColoursOfTheBmp) {
    const auto [width, height] = GetParam();
    ExpectPngShowsTheBmpColours(dir, RandomPicture(width, height, uint32_t(width * 31 + height)), {});
}
INSTANTIATE_TEST_SUITE_P(Pictures, PngSizes,
                         ::testing::Values(std::tuple{1, 1}, std::tuple{2, 3}, std::tuple{3, 2},
                                           std::tuple{49, 512}, std::tuple{1021, 7}, std::tuple{5, 999}));

TEST_P(PngCompressions, EverySettingDecodesToTheSameColours) {
    ExpectPngShowsTheBmpColours(dir, RandomPicture(67, 45, 3), GetParam());
}
INSTANTIATE_TEST_SUITE_P(Settings, PngCompressions,
                         ::testing::Values(PngCompression{}, PngCompression{0, 0, 0x08},
                                           PngCompression{6, 0, 0xF8}, PngCompression{9, 1, 0x20},
                                           PngCompression{1, 2, 0x40}, PngCompression{3, 3, 0x80}));

// By default the rows are stored: three bytes a pixel and a filter byte a row, plus the chunks'
// framing. A setting that compresses shrinks a flat picture to a sliver.
TEST(PngFile, StoresThreeBytesAPixelOrCompressesWhenAsked) {
    TempDir dir;
    TBitmap32 picture;
    picture.SetSize(2000, 500);
    picture.Clear(Color32(10, 20, 200));
    const size_t rows = picture.PixelCount() * 3 + 500;
    const std::string stored = dir.File("stored.png");
    WritePngFile(stored, picture.Bits(), picture.Width(), picture.Height());
    EXPECT_GE(ReadFile(stored).size(), rows);
    EXPECT_LE(ReadFile(stored).size(), rows + rows / 100);
    const std::string small = dir.File("small.png");
    WritePngFile(small, picture.Bits(), picture.Width(), picture.Height(), PngCompression{1, 3, 0x10});
    EXPECT_LT(ReadFile(small).size(), rows / 100);
    EXPECT_TRUE(DecodePng(stored).Ok);
    EXPECT_TRUE(DecodePng(small).Ok);
}

TEST(PngFile, ReplacesAnExistingFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string target = dir.Write("old.png", wavtest::Bytes{'o', 'l', 'd'});
    WritePngFile(target, RandomPicture(4, 4, 1).Bits(), 4, 4);
    EXPECT_TRUE(DecodePng(target).Ok);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(PngFile, EmptyPictureIsRefused) {
    TempDir dir;
    const TBitmap32 empty;
    EXPECT_THROW(WritePngFile(dir.File("e.png"), empty.Bits(), 0, 0), std::length_error);
    EXPECT_THROW(SavePicture(empty, dir.File("e.png")), std::length_error);
    EXPECT_FALSE(std::filesystem::exists(dir.File("e.png")));
}

TEST(PngFile, MissingFolderReportsCreateError) {
    TempDir dir;
    const std::string target = dir.File("no such folder/x.png");
    try {
        WritePngFile(target, RandomPicture(2, 2, 1).Bits(), 2, 2);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + target + "\". ", 0), 0u) << e.what();
    }
}

TEST(PngFile, FullDeviceReportsWriteError) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    EXPECT_THROW(WritePngFile("/dev/full", RandomPicture(300, 300, 2).Bits(), 300, 300), EFWriteError);
}

// A write that fails midway (the process's file-size limit, which binds root too) raises the write
// error, keeps the old file and leaves no temporary file beside it.
TEST(PngFile, FailureMidwayKeepsTheOldFile) {
    TempDir dir;
    const std::string target = dir.Write("keep.png", wavtest::Bytes{'o', 'l', 'd'});
    const TBitmap32 picture = RandomPicture(300, 300, 5); // noise: far more than the limit
    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.Set());
        EXPECT_THROW(WritePngFile(target, picture.Bits(), picture.Width(), picture.Height()), EFWriteError);
    }
    EXPECT_EQ(ReadFile(target), (wavtest::Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_P(PictureNames, FormatFollowsTheExtension) {
    EXPECT_EQ(PictureFormatOf(GetParam().Name), GetParam().Format) << GetParam().Name;
}
INSTANTIATE_TEST_SUITE_P(
    Names, PictureNames,
    ::testing::Values(NamedFormat{"a.png", PictureFormat::Png},
                      NamedFormat{"/x/y/Spectr_a.wav.PNG", PictureFormat::Png},
                      NamedFormat{"b.Png", PictureFormat::Png}, NamedFormat{".png", PictureFormat::Png},
                      NamedFormat{"a.bmp", PictureFormat::Bmp}, NamedFormat{"a.png.bmp", PictureFormat::Bmp},
                      NamedFormat{"a.pngx", PictureFormat::Bmp}, NamedFormat{"apng", PictureFormat::Bmp},
                      NamedFormat{"png", PictureFormat::Bmp}, NamedFormat{"", PictureFormat::Bmp}));

TEST(PictureFile, SavesInTheFormatOfTheName) {
    TempDir dir;
    const TBitmap32 picture = RandomPicture(3, 3, 9);
    picture.SaveToFile(dir.File("reference.bmp"));
    const wavtest::Bytes bmp = ReadFile(dir.File("reference.bmp"));
    for (const char* name : {"x.PNG", "y.bmp", "z.dat"}) {
        SavePicture(picture, dir.File(name));
        const wavtest::Bytes bytes = ReadFile(dir.File(name));
        ASSERT_GE(bytes.size(), 4u) << name;
        const bool png = bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G';
        EXPECT_EQ(png, PictureFormatOf(name) == PictureFormat::Png) << name;
        if (!png) {
            EXPECT_EQ(bytes, bmp) << name;
        }
    }
}

// The tallest spectrogram (N = 8388608: 4194304 rows) is far above libpng's default limit of a
// million rows, which the format itself does not have.
TEST(PngFile, TheTallestSpectrogramIsWritten) {
    TempDir dir;
    TBitmap32 picture;
    picture.SetSize(2, 4194304);
    picture.Clear(Color32(1, 2, 3));
    const std::string png = dir.File("tall.png");
    ASSERT_NO_THROW(WritePngFile(png, picture.Bits(), picture.Width(), picture.Height()));
    const wavtest::Bytes bytes = ReadFile(png);
    ASSERT_GT(bytes.size(), 24u);
    const auto field = [&](size_t at) {
        return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 |
               bytes[at + 3];
    };
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ(field(16), 2u);
    EXPECT_EQ(field(20), 4194304u);
}
