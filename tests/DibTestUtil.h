// tests/DibTestUtil.h
//
// What the bitmap tests share: BMP files built byte by byte, a small independent decoder
// of such files, scratch files, a 32-bit memory canvas whose pixels can be read back, and
// the checks of pictures and of what a damaged file may be written as.
#pragma once

#include "graphics/Dib.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A BMP file in the form this program writes, unless a field says otherwise. Pixels of a
// palette image use only the first biClrUsed colours when that is set.
struct BmpShape {
    int width = 3;
    int height = 2;
    int bitCount = 24;
    uint32_t clrUsed = 0;
    uint32_t tableEntries = ~0u;  // entries stored; ~0u: as many as the depth gives
    uint32_t gap = 0;             // bytes between the colour table and the pixels
    bool topDown = false;
};
Bytes MakeBmp(const BmpShape& shape);
// MakeBmp(shape) two rows high with its pixels replaced by run-length codes (BI_RLE8 at
// 8 bits, BI_RLE4 at 4).
Bytes MakeRle(BmpShape shape, const Bytes& codes);

inline uint32_t ReadLE32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
// Stores the low `size` bytes of the value, little-endian.
inline void Put(Bytes& bytes, size_t at, int size, uint32_t value)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The colour pixel (x, y) of an uncompressed BMP shows, y counted from the top; the colour
// table is the 1024 bytes after the info header, and bytes past the end read as zero.
COLORREF PixelOf(const Bytes& bmp, int x, int y);
// Every pixel of the expected BMP's picture is the same in the actual one.
void ExpectSamePicture(const Bytes& expected, const Bytes& actual);
// Draws the image at (1, 1) and compares the whole canvas with the BMP's picture.
void ExpectDrawn(CDib& dib, const Bytes& bmp);
// An image read from a damaged file at `position` draws, and writes the file's own pixel
// bytes, from bfOffBits up to its stated size or its end, then zeros where the file had
// fewer than the rows need; what it writes reads back and is written again the same.
void ExpectHeldSafely(CDib& dib, const Bytes& file, size_t position);
// Every heap of the process passes the system's validation.
bool HeapsAreSound();

// A file in the temporary directory, deleted when the object goes.
class ScratchFile {
public:
    explicit ScratchFile(const char* name);
    ~ScratchFile() { DeleteFileA(m_path.c_str()); }
    const char* Path() const { return m_path.c_str(); }
    void Store(const Bytes& bytes) const;
    Bytes Contents() const;

private:
    std::string m_path;
};
BOOL LoadBytes(CDib& dib, const Bytes& bytes);
Bytes SaveBytes(CDib& dib);

// A top-down 32-bit DIB section selected into a memory device context, cleared to a
// sentinel colour.
class Canvas {
public:
    static constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
    Canvas(int width, int height);
    ~Canvas() { SelectObject(m_dc, m_hOldBitmap); DeleteDC(m_dc.Detach()); }
    CDC& DC() { return m_dc; }
    COLORREF Pixel(int x, int y) const;

private:
    int m_width;
    CDC m_dc;
    CBitmap m_bitmap;
    uint32_t* m_pixels = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
};
