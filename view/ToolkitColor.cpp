#include "view/ToolkitColor.h"

TColor32 ColorToPixel(TColor colour, const SystemColorLookup& systemColors) {
    if (IsSystemColor(colour)) colour = systemColors ? systemColors(colour & 0xFFu) : clBlack;
    const auto red = static_cast<uint8_t>(colour);
    const auto green = static_cast<uint8_t>(colour >> 8);
    const auto blue = static_cast<uint8_t>(colour >> 16);
    return Color32(red, green, blue, 255);
}
