// tools/fuzz/BmpLayoutFuzzer.cpp
//
// libFuzzer target for the BMP header checks, built natively with AddressSanitizer (see
// run-native.sh). For every input it makes the buffers the bitmap reader makes, exactly as
// large as the plan says, copies into them what the reader copies, and touches what
// drawing and writing read; any access outside them is reported by the sanitizer.
#include "graphics/BmpLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The headers come from a buffer of their own, as the reader's two reads fill it.
    std::unique_ptr<uint8_t[]> headers(new uint8_t[bmp::kHeadersSize]());
    const size_t headerBytes = std::min<size_t>(size, bmp::kHeadersSize);
    std::memcpy(headers.get(), data, headerBytes);
    bmp::PixelPlan plan;
    if (bmp::PlanPixels(headers.get(), headerBytes, size, plan))
        return 0;

    // The reader's blocks: the 1024-byte table area filled from after the headers, and the
    // pixel array filled from the offset, the rest zero.
    std::unique_ptr<uint8_t[]> table(new uint8_t[bmp::kColorTableSize]());
    std::memcpy(table.get(), data + bmp::kHeadersSize,
                std::min<size_t>(bmp::kColorTableSize, size - bmp::kHeadersSize));
    Require(plan.offset <= size && plan.fileBytes <= size - plan.offset);
    std::unique_ptr<uint8_t[]> bits(new uint8_t[plan.arrayBytes]);
    std::memcpy(bits.get(), data + plan.offset, plan.fileBytes);
    std::memset(bits.get() + plan.fileBytes, 0, plan.arrayBytes - plan.fileBytes);
    // Never more memory than the file holds, bar the padding of one row.
    Require(plan.arrayBytes <= size + 3);

    // What drawing and writing read: imageBytes of the array, the palette's entries.
    Require(plan.paletteColors <= bmp::kMaxColors);
    unsigned sum = 0;
    for (uint32_t i = 0; i < plan.imageBytes; ++i)
        sum += bits[i];
    for (uint32_t i = 0; i < 4 * plan.paletteColors; ++i)
        sum += table[i];

    // The bitmap class writes uncompressed rows with 32-bit row arithmetic: for every
    // accepted image it must give the same size as the 64-bit plan.
    const bmp::Headers h = bmp::DecodeHeaders(headers.get(), headerBytes);
    if (!plan.compressed) {
        const uint32_t rows = h.height < 0 ? 0u - static_cast<uint32_t>(h.height) : h.height;
        const uint32_t aligned = (h.bitCount * static_cast<uint32_t>(h.width) + 31) / 32 * 4;
        Require(static_cast<uint64_t>(aligned) * rows == plan.imageBytes);
        Require(aligned * rows == plan.imageBytes);
    }
    return sum == 0xFFFFFFFF;
}
