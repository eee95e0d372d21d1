#include "view/PictureFile.h"

#include "view/PngFile.h"

#include <algorithm>
#include <cctype>

PictureFormat PictureFormatOf(const std::string& fileName) {
    constexpr std::string_view kPng = ".png";
    if (fileName.size() < kPng.size()) return PictureFormat::Bmp;
    const bool png = std::equal(kPng.begin(), kPng.end(), fileName.end() - kPng.size(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
    return png ? PictureFormat::Png : PictureFormat::Bmp;
}

void SavePicture(const TBitmap32& picture, const std::string& fileName) {
    if (PictureFormatOf(fileName) == PictureFormat::Png)
        WritePngFile(fileName, picture.Bits(), picture.Width(), picture.Height());
    else
        picture.SaveToFile(fileName);
}
