#include "view/TBitmap32.h"

#include "signal/LargeMemory.h"
#include "view/BmpFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// Large blocks are mapped for huge pages (signal/LargeMemory.h), the others come from malloc.
struct FreePixels {
    size_t Bytes = 0;
    void operator()(TColor32* p) const {
        if (large_memory::Maps(Bytes))
            large_memory::Unmap(p, Bytes);
        else
            std::free(p);
    }
};

} // namespace

struct TBitmap32::PixelBlock {
    std::unique_ptr<TColor32, FreePixels> Data;
};

namespace {

int32_t NonNegative(int32_t size) {
    return std::max(size, int32_t{0});
}

size_t CheckedCount(int32_t width, int32_t height) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    // No allocator can provide a block larger than the address difference type.
    if (count > static_cast<size_t>(std::numeric_limits<ptrdiff_t>::max()) / sizeof(TColor32))
        throw ESurfaceAllocError();
    return count;
}

} // namespace

TBitmap32::TBitmap32() = default;
TBitmap32::~TBitmap32() = default;

TBitmap32::TBitmap32(TBitmap32&& other) noexcept
    : pixels_(std::move(other.pixels_)), width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)), drawMode_(other.drawMode_), masterAlpha_(other.masterAlpha_),
      resampler_(other.resampler_), onChange_(std::move(other.onChange_)) {}

TBitmap32& TBitmap32::operator=(TBitmap32&& other) noexcept {
    if (this != &other) {
        pixels_ = std::move(other.pixels_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        drawMode_ = other.drawMode_;
        masterAlpha_ = other.masterAlpha_;
        resampler_ = other.resampler_;
        onChange_ = std::move(other.onChange_);
    }
    return *this;
}

// Zeroed memory comes from calloc or a mapping (fresh zero pages, or a spare block cleared).
std::shared_ptr<TBitmap32::PixelBlock> TBitmap32::AllocateZeroed(size_t count) {
    return Allocate(count, true);
}

std::shared_ptr<TBitmap32::PixelBlock> TBitmap32::AllocateUninitialised(size_t count) {
    return Allocate(count, false);
}

std::shared_ptr<TBitmap32::PixelBlock> TBitmap32::Allocate(size_t count, bool zeroed) {
    if (count == 0) return nullptr;
    const size_t bytes = count * sizeof(TColor32);
    void* memory = !large_memory::Maps(bytes)
                       ? (zeroed ? std::calloc(count, sizeof(TColor32)) : std::malloc(bytes))
                   : zeroed ? large_memory::Map(bytes)
                            : large_memory::MapUninitialised(bytes);
    std::unique_ptr<TColor32, FreePixels> data(static_cast<TColor32*>(memory), FreePixels{bytes});
    if (!data) throw ESurfaceAllocError();
    auto block = std::make_shared<PixelBlock>();
    block->Data = std::move(data);
    return block;
}

void TBitmap32::TakePixels(std::shared_ptr<PixelBlock> block, int32_t width, int32_t height) {
    pixels_ = std::move(block);
    width_ = width;
    height_ = height;
}

void TBitmap32::Detach() {
    if (!pixels_ || pixels_.use_count() == 1) return;
    auto own = AllocateUninitialised(PixelCount());
    std::memcpy(own->Data.get(), pixels_->Data.get(), PixelCount() * sizeof(TColor32));
    pixels_ = std::move(own);
}

TColor32* TBitmap32::MutableBits() {
    Detach();
    return pixels_ ? pixels_->Data.get() : nullptr;
}

void TBitmap32::SetWidth(int32_t width) {
    SetSize(width, height_);
}
void TBitmap32::SetHeight(int32_t height) {
    SetSize(width_, height);
}

namespace {

// Copies the rows and columns both sizes have in common.
void CopyOverlap(const TColor32* from, int32_t fromWidth, int32_t fromHeight, TColor32* to, int32_t toWidth,
                 int32_t toHeight) {
    if (!from || !to) return;
    const auto columns = static_cast<size_t>(std::min(fromWidth, toWidth));
    const int32_t rows = std::min(fromHeight, toHeight);
    for (int32_t y = 0; y < rows; ++y)
        std::memcpy(to + static_cast<size_t>(y) * static_cast<size_t>(toWidth),
                    from + static_cast<size_t>(y) * static_cast<size_t>(fromWidth),
                    columns * sizeof(TColor32));
}

} // namespace

bool TBitmap32::TrySetSize(int32_t width, int32_t height) {
    width = NonNegative(width);
    height = NonNegative(height);
    if (width == width_ && height == height_) return true;
    std::shared_ptr<PixelBlock> block;
    try {
        block = AllocateZeroed(CheckedCount(width, height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    CopyOverlap(Bits(), width_, height_, block ? block->Data.get() : nullptr, width, height);
    TakePixels(std::move(block), width, height);
    Changed();
    return true;
}

void TBitmap32::SetSize(int32_t width, int32_t height) {
    if (!TrySetSize(width, height)) throw ESurfaceAllocError();
}

TPixelAccess TBitmap32::ResizeForOverwrite(int32_t width, int32_t height) {
    width = NonNegative(width);
    height = NonNegative(height);
    const bool sameSize = width == width_ && height == height_;
    if (!sameSize || (pixels_ && pixels_.use_count() > 1))
        TakePixels(AllocateUninitialised(CheckedCount(width, height)), width, height);
    return {pixels_ ? pixels_->Data.get() : nullptr, width_, height_};
}

const TColor32* TBitmap32::Bits() const {
    return pixels_ ? pixels_->Data.get() : nullptr;
}

TPixelAccess TBitmap32::WritablePixels() {
    return {MutableBits(), width_, height_};
}

TColor32 TBitmap32::Pixel(int32_t x, int32_t y) const {
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width_) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_))
        return 0;
    return Bits()[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void TBitmap32::SetPixelClipped(int32_t x, int32_t y, TColor32 colour) {
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width_) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_))
        return;
    MutableBits()[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = colour;
}

void TBitmap32::Clear(TColor32 colour) {
    FillRect(0, 0, width_, height_, colour);
    if (Empty()) Changed(); // FillRect skips the notification when there is nothing to fill
}

void TBitmap32::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 colour) {
    x1 = std::max(x1, int32_t{0});
    y1 = std::max(y1, int32_t{0});
    x2 = std::min(x2, width_);
    y2 = std::min(y2, height_);
    if (x1 >= x2 || y1 >= y2) return;
    const bool whole = x1 == 0 && y1 == 0 && x2 == width_ && y2 == height_;
    // A fill of the whole surface needs no copy of shared pixels it is about to overwrite.
    TColor32* bits = whole ? ResizeForOverwrite(width_, height_).Bits : MutableBits();
    for (int32_t y = y1; y < y2; ++y) {
        TColor32* row = bits + static_cast<size_t>(y) * static_cast<size_t>(width_);
        std::fill(row + x1, row + x2, colour);
    }
    Changed();
}

void TBitmap32::Assign(const TBitmap32& source) {
    if (&source != this) {
        pixels_ = source.pixels_;
        width_ = source.width_;
        height_ = source.height_;
        drawMode_ = source.drawMode_;
        masterAlpha_ = source.masterAlpha_;
        resampler_ = source.resampler_;
    }
    Changed();
}

void TBitmap32::SetResamplerClassName(std::string_view className) {
    if (className == kNearestResamplerName)
        resampler_ = TResamplerKind::Nearest;
    else if (className == kLinearResamplerName)
        resampler_ = TResamplerKind::Linear;
    else
        throw std::invalid_argument("Unknown resampler class \"" + std::string(className) + "\"");
}

std::string_view TBitmap32::ResamplerClassName() const {
    return resampler_ == TResamplerKind::Linear ? kLinearResamplerName : kNearestResamplerName;
}

TFloatRect TBitmap32::BoundsRect() const {
    return {0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_)};
}

void TBitmap32::SaveToFile(const std::string& fileName) const {
    WriteBmpFile(fileName, Bits(), width_, height_);
}

void TBitmap32::SetOnChange(ChangeHandler handler) {
    onChange_ = std::move(handler);
}

void TBitmap32::Changed() {
    if (onChange_) onChange_();
}

bool TBitmap32::SharesPixelsWith(const TBitmap32& other) const {
    return pixels_ != nullptr && pixels_ == other.pixels_;
}
