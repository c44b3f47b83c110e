// graphics/BmpLayout.h
//
// The checks and size arithmetic of reading a BMP file, apart from any file or drawing
// call, so that they can be exercised on their own. A BMP file is untrusted input: from
// its two headers and the number of bytes the file holds, PlanPixels either says where
// the pixel data lies and how large every buffer must be, or gives the reason the file
// cannot be held. Every size is worked out in 64 bits and kept below 2 GB, and no buffer
// it asks for is larger than the file itself (plus the padding of one row).
#pragma once

#include <cstddef>
#include <cstdint>

namespace bmp {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr uint32_t kMaxColors = 256;
constexpr uint32_t kColorTableSize = 4 * kMaxColors;
// Sizes beyond this do not fit the platform's int-sized image arithmetic.
constexpr uint64_t kMaxImageBytes = 0x7FFFFFFF;

constexpr uint16_t kTypeBM = 0x4D42;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

// Why a file was refused: not a BMP, a header form other than the 40-byte one, and then
// the damage that would make the image unsafe to hold, draw or write.
extern const char kErrorNotBmp[];
extern const char kErrorHeaderSize[];
extern const char kErrorTruncatedHeaders[];
extern const char kErrorImageSize[];
extern const char kErrorBitCount[];
extern const char kErrorCompression[];
extern const char kErrorColorCount[];
extern const char kErrorPixelOffset[];
extern const char kErrorTruncatedPixels[];

// The header fields the reader looks at, decoded from the little-endian file bytes.
struct Headers {
    uint16_t type;
    uint32_t fileSize;
    uint32_t offBits;
    uint32_t infoSize;
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t clrUsed;
};

// Bytes past `count` read as zero.
Headers DecodeHeaders(const uint8_t* bytes, size_t count);

// Row lengths of `width` pixels of `bitCount` bits: packed to whole bytes, and filled out
// to a multiple of 4 bytes as DIB and BMP rows are.
uint64_t PackedRowBytes(uint32_t bitCount, uint32_t width);
uint64_t AlignedRowBytes(uint32_t bitCount, uint32_t width);

// Where the pixels of an accepted file are and what they need.
struct PixelPlan {
    uint32_t offset;         // of the pixel data, from the file header's first byte
    uint32_t fileBytes;      // pixel bytes to read from there
    uint32_t arrayBytes;     // size of the pixel array: at least fileBytes and imageBytes
    uint32_t imageBytes;     // what drawing and writing use: every row, or the compressed data
    uint32_t paletteColors;  // palette entries taken from the colour table (0 above 8 bits)
    bool compressed;
};

// Null when the type is "BM"; `count` is how many of the 14 bytes the file gave.
const char* CheckFileType(const uint8_t* fileHeader, size_t count);

// `headers` holds `count` bytes (at most kHeadersSize) read from the start of the BMP;
// `extent` is the number of bytes from that start to the end of the file. Null and the
// plan, or the reason the file is refused.
const char* PlanPixels(const uint8_t* headers, size_t count, uint64_t extent, PixelPlan& plan);

}  // namespace bmp
