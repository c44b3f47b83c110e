// tests/DibTestUtil.h
//
// What the bitmap tests share: BMP files built byte by byte with a known pattern, the
// colour each pixel of such a file must come out in, scratch files, and a 32-bit memory
// canvas whose pixels can be read back after drawing.
#pragma once

#include "platform/Gdi.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A BMP file in the form this program writes, unless a field says otherwise.
struct BmpSpec {
    int width = 3;
    int height = 2;
    int bitCount = 24;
    uint32_t clrUsed = 0;
    uint32_t tableEntries = ~0u;  // entries stored; ~0u: as many as the depth gives
    uint32_t gap = 0;             // bytes between the colour table and the pixels
    uint32_t sizeImage = 0;
    bool topDown = false;
};

Bytes MakeBmp(const BmpSpec& spec);
// The colour a pixel of MakeBmp(spec) shows, as drawn into a 32-bit surface; (x, y) with y
// counted from the top of the picture.
COLORREF ExpectedColor(const BmpSpec& spec, int x, int y);

uint32_t ReadLE32(const Bytes& bytes, size_t offset);
void WriteLE32(Bytes& bytes, size_t offset, uint32_t value);
void WriteLE16(Bytes& bytes, size_t offset, uint16_t value);

// A file in the temporary directory, deleted when the object goes.
class ScratchFile {
public:
    explicit ScratchFile(const char* name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const char* Path() const { return m_path.c_str(); }
    void Store(const Bytes& bytes) const;
    Bytes Contents() const;

private:
    std::string m_path;
};

// A top-down 32-bit DIB section selected into a memory device context, cleared to a
// sentinel colour.
class Canvas {
public:
    static constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);

    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CDC& DC() { return m_dc; }
    COLORREF Pixel(int x, int y) const;

private:
    int m_width;
    CDC m_dc;
    CBitmap m_bitmap;
    uint32_t* m_pixels = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
};
