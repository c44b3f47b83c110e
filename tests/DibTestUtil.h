// tests/DibTestUtil.h
//
// What the bitmap tests share: BMP files built byte by byte and a decoder of their pixels
// that owes nothing to the program's, scratch files, a 32-bit canvas whose pixels can be
// read back, and checks that name the pixel or byte that differs.
#pragma once

#include "graphics/Dib.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A BMP file in the form this program writes, unless a field says otherwise. Pixels of a
// palette image use only the first biClrUsed colours when that is set.
struct BmpShape {
    int width = 3, height = 2, bitCount = 24;
    uint32_t clrUsed = 0;
    uint32_t tableEntries = ~0u;  // entries stored; ~0u: as many as the depth gives
    uint32_t gap = 0;             // bytes between the colour table and the pixels
    bool topDown = false;
};
Bytes MakeBmp(const BmpShape& shape);
// MakeBmp(shape) two rows high with run-length codes for pixels (RLE8 at 8 bits, RLE4 at 4).
Bytes MakeRle(BmpShape shape, const Bytes& codes);
// Little-endian fields; bytes past the end read as zero.
uint32_t Le32(const Bytes& bytes, size_t at);
void Put(Bytes& bytes, size_t at, int size, uint32_t value);
// The colour of pixel (x, y), y from the top, of an uncompressed BMP whose colour table
// is the 1024 bytes after the info header.
COLORREF PixelOf(const Bytes& bmp, int x, int y);

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
// Nothing when the image is not saved.
Bytes SaveBytes(CDib& dib);

// A memory device context with a top-down 32-bit DIB section, cleared to the sentinel.
class Canvas : public CMemoryDC {
public:
    static constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
    Canvas(int width, int height);
    ~Canvas() override { SelectObject(m_hDC, m_hOldBitmap); }
    // Inside `area` the BMP's pixels from `origin` on, each `scale` times; elsewhere the sentinel.
    ::testing::AssertionResult Shows(const Bytes& bmp, RECT area, int scale = 1, POINT origin = {0, 0}) const;

private:
    int m_width, m_height;
    CBitmap m_bitmap;
    uint32_t* m_pixels = nullptr;
    HGDIOBJ m_hOldBitmap;
};

// Every pixel of the expected BMP is the same in the actual one.
::testing::AssertionResult SamePicture(const Bytes& expected, const Bytes& actual);
// Drawn at (1, 1), the image shows the BMP's picture and touches nothing around it.
::testing::AssertionResult DrawsAs(CDib& dib, const Bytes& bmp);
// An image read from a damaged file at `position` draws, and `written`, the BMP it wrote,
// holds the file's own pixel bytes, from bfOffBits up to its stated size or its end, then
// zeros; it reads back and is written again the same.
::testing::AssertionResult HeldSafely(CDib& dib, const Bytes& file, size_t position, const Bytes& written);
// Every heap of the process passes the system's validation.
bool HeapsAreSound();
