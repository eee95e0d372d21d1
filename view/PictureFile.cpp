#include "view/PictureFile.h"

#include "view/PngFile.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// Whether the name ends in `extension` (lower case), in any case.
bool EndsIn(const std::string& fileName, std::string_view extension) {
    if (fileName.size() < extension.size()) return false;
    return std::equal(extension.begin(), extension.end(), fileName.end() - std::ptrdiff_t(extension.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

PictureFormat PictureFormatOf(const std::string& fileName) {
    return EndsIn(fileName, ".png") ? PictureFormat::Png : PictureFormat::Bmp;
}

std::optional<PictureFormat> PictureFormatNamed(const std::string& fileName) {
    if (EndsIn(fileName, ".png")) return PictureFormat::Png;
    if (EndsIn(fileName, ".bmp")) return PictureFormat::Bmp;
    return std::nullopt;
}

void SavePicture(const TBitmap32& picture, const std::string& fileName) {
    if (PictureFormatOf(fileName) == PictureFormat::Png)
        WritePngFile(fileName, picture.Bits(), picture.Width(), picture.Height());
    else
        picture.SaveToFile(fileName);
}
