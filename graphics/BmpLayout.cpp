// graphics/BmpLayout.cpp
#include "BmpLayout.h"

#include <algorithm>

namespace bmp {

const char kErrorNotBmp[] = "Error:Unexpected file type, not a DIB\n";
const char kErrorHeaderSize[] = "Error:OS2 PM BMP Format not supported\n";
const char kErrorTruncatedHeaders[] = "Error:File ends inside the BMP headers\n";
const char kErrorImageSize[] = "Error:Image size not supported\n";
const char kErrorBitCount[] = "Error:Bit count not supported\n";
const char kErrorCompression[] = "Error:Compression not supported\n";
const char kErrorColorCount[] = "Error:More colours than the colour table holds\n";
const char kErrorPixelOffset[] = "Error:Pixel data outside the file\n";
const char kErrorTruncatedPixels[] = "Error:File ends before the last row\n";

namespace {

constexpr uint64_t kMaxRunLengthExpansion = 256;
constexpr uint64_t kRunLengthSlack = 64 * 1024;

uint32_t Little(const uint8_t* bytes, size_t count, size_t offset, size_t size)
{
    uint32_t value = 0;
    for (size_t i = size; i-- > 0;)
        value = (value << 8) | (offset + i < count ? bytes[offset + i] : 0);
    return value;
}

bool SupportedBitCount(uint16_t bitCount)
{
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        return true;
    default:
        return false;
    }
}

// Run-length data comes only at the depth its codes are made for.
bool SupportedCompression(uint32_t compression, uint16_t bitCount)
{
    return compression == kRgb || (compression == kRle8 && bitCount == 8) ||
           (compression == kRle4 && bitCount == 4);
}

}  // namespace

Headers DecodeHeaders(const uint8_t* bytes, size_t count)
{
    Headers h;
    h.type = static_cast<uint16_t>(Little(bytes, count, 0, 2));
    h.fileSize = Little(bytes, count, 2, 4);
    h.offBits = Little(bytes, count, 10, 4);
    h.infoSize = Little(bytes, count, 14, 4);
    h.width = static_cast<int32_t>(Little(bytes, count, 18, 4));
    h.height = static_cast<int32_t>(Little(bytes, count, 22, 4));
    h.bitCount = static_cast<uint16_t>(Little(bytes, count, 28, 2));
    h.compression = Little(bytes, count, 30, 4);
    h.clrUsed = Little(bytes, count, 46, 4);
    return h;
}

uint64_t PackedRowBytes(uint32_t bitCount, uint32_t width)
{
    return (uint64_t{bitCount} * width + 7) / 8;
}

uint64_t AlignedRowBytes(uint32_t bitCount, uint32_t width)
{
    return (uint64_t{bitCount} * width + 31) / 32 * 4;
}

const char* CheckFileType(const uint8_t* fileHeader, size_t count)
{
    return Little(fileHeader, count, 0, 2) == kTypeBM ? nullptr : kErrorNotBmp;
}

const char* PlanPixels(const uint8_t* headers, size_t count, uint64_t extent, PixelPlan& plan)
{
    if (const char* error = CheckFileType(headers, count))
        return error;
    const Headers h = DecodeHeaders(headers, count);
    if (h.infoSize != kInfoHeaderSize)
        return kErrorHeaderSize;
    if (count < kHeadersSize || extent < kHeadersSize)
        return kErrorTruncatedHeaders;

    // Top-down images (negative height) are held as they come; INT_MIN has no magnitude.
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        return kErrorImageSize;
    if (!SupportedBitCount(h.bitCount))
        return kErrorBitCount;
    if (!SupportedCompression(h.compression, h.bitCount))
        return kErrorCompression;
    // The palette is built from at most the entries the depth can index, all of them
    // inside the 256-entry table area; above 8 bits no count beyond that area makes sense.
    const uint32_t tableLimit = h.bitCount <= 8 ? 1u << h.bitCount : kMaxColors;
    if (h.clrUsed > tableLimit)
        return kErrorColorCount;

    // The platform works out row lengths from width times depth in int arithmetic.
    if (uint64_t{h.bitCount} * static_cast<uint32_t>(h.width) > kMaxImageBytes)
        return kErrorImageSize;
    const uint64_t rows = h.height < 0 ? -int64_t{h.height} : h.height;
    const uint64_t aligned = AlignedRowBytes(h.bitCount, static_cast<uint32_t>(h.width));
    if (aligned > kMaxImageBytes / rows)
        return kErrorImageSize;
    const uint64_t rowBytes = aligned * rows;

    // Pixel data can share bytes with the colour table (a short table), never with the
    // headers, and must begin inside the file.
    if (h.offBits < kHeadersSize || h.offBits >= extent)
        return kErrorPixelOffset;
    const uint64_t available = extent - h.offBits;
    // A file size that does not reach past the pixel offset (0 from some writers) says
    // nothing: then the pixel data runs to the end of the file. One reaching beyond the
    // end of the file is cut there.
    const uint64_t stated = h.fileSize > h.offBits ? h.fileSize - h.offBits : available;
    const uint64_t fileBytes = std::min(stated, available);
    if (fileBytes > kMaxImageBytes)
        return kErrorImageSize;

    plan.offset = h.offBits;
    plan.fileBytes = static_cast<uint32_t>(fileBytes);
    plan.compressed = h.compression != kRgb;
    plan.paletteColors = h.bitCount <= 8 ? (h.clrUsed ? h.clrUsed : tableLimit) : 0;
    if (plan.compressed) {
        // Compressed data is held as the bytes it is; its decoded size has no bearing on
        // any buffer of ours.
        if (fileBytes == 0)
            return kErrorTruncatedPixels;
        // Two bytes of run-length code describe at most 255 pixels. An image far larger
        // than its data could describe (small, mostly skipped images aside) would only
        // make the platform allocate for pixels the file does not have.
        if (rowBytes > kMaxRunLengthExpansion * fileBytes + kRunLengthSlack)
            return kErrorImageSize;
        plan.imageBytes = plan.fileBytes;
        plan.arrayBytes = plan.fileBytes;
        return nullptr;
    }
    // Every row must be in the file, the last one without its padding (some writers leave
    // it off). When the stated size is short of the rows, the rest of the array is filled
    // with zeros, so that nothing reads beyond it; the file has shown it holds that much.
    const uint64_t lastRowPadding = aligned - PackedRowBytes(h.bitCount, static_cast<uint32_t>(h.width));
    if (available + lastRowPadding < rowBytes)
        return kErrorTruncatedPixels;
    plan.imageBytes = static_cast<uint32_t>(rowBytes);
    plan.arrayBytes = static_cast<uint32_t>(std::max(fileBytes, rowBytes));
    return nullptr;
}

}  // namespace bmp
