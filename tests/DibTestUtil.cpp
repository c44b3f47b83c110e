// tests/DibTestUtil.cpp
#include "DibTestUtil.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

uint32_t AlignedRow(const BmpSpec& spec)
{
    return (spec.bitCount * spec.width + 31) / 32 * 4;
}

uint32_t TableEntries(const BmpSpec& spec)
{
    if (spec.tableEntries != ~0u)
        return spec.tableEntries;
    return spec.bitCount <= 8 ? 1u << spec.bitCount : 0;
}

// Pixel byte i of stored row r (rows as stored, first row first); padding stays zero.
uint8_t PatternByte(int row, uint32_t i)
{
    return static_cast<uint8_t>(row * 31 + i * 7 + 1);
}

RGBQUAD TableColor(uint32_t index)
{
    return RGBQUAD{static_cast<BYTE>(index * 7), static_cast<BYTE>(255 - index),
                   static_cast<BYTE>(index * 3 + 1), 0};
}

}  // namespace

Bytes MakeBmp(const BmpSpec& spec)
{
    const uint32_t entries = TableEntries(spec);
    const uint32_t offBits = 54 + 4 * entries + spec.gap;
    const uint32_t row = AlignedRow(spec);
    const uint32_t rows = static_cast<uint32_t>(spec.height < 0 ? -spec.height : spec.height);
    Bytes bytes(offBits + row * rows, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    WriteLE32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    WriteLE32(bytes, 10, offBits);
    WriteLE32(bytes, 14, 40);
    WriteLE32(bytes, 18, static_cast<uint32_t>(spec.width));
    WriteLE32(bytes, 22, static_cast<uint32_t>(spec.topDown ? -spec.height : spec.height));
    WriteLE16(bytes, 26, 1);
    WriteLE16(bytes, 28, static_cast<uint16_t>(spec.bitCount));
    WriteLE32(bytes, 34, spec.sizeImage);
    WriteLE32(bytes, 38, 2835);
    WriteLE32(bytes, 42, 2835);
    WriteLE32(bytes, 46, spec.clrUsed);
    for (uint32_t k = 0; k < entries; ++k) {
        const RGBQUAD color = TableColor(k);
        std::memcpy(&bytes[54 + 4 * k], &color, 4);
    }
    const uint32_t used = (spec.bitCount * spec.width + 7) / 8;
    for (uint32_t r = 0; r < rows; ++r)
        for (uint32_t i = 0; i < used; ++i)
            bytes[offBits + r * row + i] = PatternByte(r, i);
    // Bits of the last used byte beyond the width are padding too.
    const int spare = (8 - spec.bitCount * spec.width % 8) % 8;
    for (uint32_t r = 0; r < rows; ++r)
        bytes[offBits + r * row + used - 1] &= static_cast<uint8_t>(0xFF << spare);
    return bytes;
}

COLORREF ExpectedColor(const BmpSpec& spec, int x, int y)
{
    // Stored rows run bottom-up unless the file is top-down.
    const int row = spec.topDown ? y : spec.height - 1 - y;
    auto byteAt = [&](uint32_t i) { return PatternByte(row, i); };
    switch (spec.bitCount) {
    case 1:
    case 4:
    case 8: {
        const uint32_t bit = static_cast<uint32_t>(x * spec.bitCount);
        const uint32_t index = (byteAt(bit / 8) >> (8 - spec.bitCount - bit % 8)) &
                               ((1u << spec.bitCount) - 1);
        const RGBQUAD c = TableColor(index);
        return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    case 16: {
        const uint32_t v = byteAt(2 * x) | (byteAt(2 * x + 1) << 8);
        auto expand = [](uint32_t five) { return static_cast<BYTE>((five << 3) | (five >> 2)); };
        return RGB(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
    }
    case 24:
        return RGB(byteAt(3 * x + 2), byteAt(3 * x + 1), byteAt(3 * x));
    default:
        return RGB(byteAt(4 * x + 2), byteAt(4 * x + 1), byteAt(4 * x));
    }
}

uint32_t ReadLE32(const Bytes& bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void WriteLE32(Bytes& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteLE16(Bytes& bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

ScratchFile::ScratchFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    m_path = std::string(dir) + "autovane-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

ScratchFile::~ScratchFile()
{
    DeleteFileA(m_path.c_str());
}

void ScratchFile::Store(const Bytes& bytes) const
{
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + m_path);
}

Bytes ScratchFile::Contents() const
{
    std::ifstream in(m_path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Canvas::Canvas(int width, int height) : m_width(width)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_pixels = static_cast<uint32_t*>(bits);
    m_dc.Attach(CreateCompatibleDC(nullptr));
    m_hOldBitmap = SelectObject(m_dc, m_bitmap);
    const uint32_t sentinel = (GetRValue(kSentinel) << 16) | (GetGValue(kSentinel) << 8) | GetBValue(kSentinel);
    for (int i = 0; i < width * height; ++i)
        m_pixels[i] = sentinel;
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_hOldBitmap);
    DeleteDC(m_dc.Detach());
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    const uint32_t v = m_pixels[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}
