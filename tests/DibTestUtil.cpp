// tests/DibTestUtil.cpp
#include "DibTestUtil.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

Bytes MakeBmp(const BmpShape& shape)
{
    const uint32_t bits = shape.bitCount;
    const uint32_t entries = shape.tableEntries != ~0u ? shape.tableEntries : bits <= 8 ? 1u << bits : 0;
    const uint32_t offBits = 54 + 4 * entries + shape.gap;
    const uint32_t row = (bits * shape.width + 31) / 32 * 4;
    Bytes bytes(offBits + row * shape.height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    const uint32_t fields[][3] = {{2, 4, static_cast<uint32_t>(bytes.size())}, {10, 4, offBits}, {14, 4, 40},
                                  {18, 4, static_cast<uint32_t>(shape.width)},
                                  {22, 4, static_cast<uint32_t>(shape.topDown ? -shape.height : shape.height)},
                                  {26, 2, 1}, {28, 2, bits}, {38, 4, 2835}, {42, 4, 2835}, {46, 4, shape.clrUsed}};
    for (const auto& f : fields)
        Put(bytes, f[0], static_cast<int>(f[1]), f[2]);
    for (uint32_t k = 0; k < entries; ++k)
        Put(bytes, 54 + 4 * k, 4, (k * 7 & 0xFF) | (255 - k) << 8 | (k * 3 + 1) << 16);
    // Pixel values follow a pattern of row and column; padding stays zero.
    const uint32_t colors = shape.clrUsed ? shape.clrUsed : bits <= 8 ? 1u << bits : 1;
    for (uint32_t r = 0; r < static_cast<uint32_t>(shape.height); ++r)
        for (uint32_t x = 0; x < static_cast<uint32_t>(shape.width); ++x)
            for (uint32_t k = 0; k < (bits + 7) / 8; ++k) {
                const uint32_t value = (r * 31 + (x * 4 + k) * 7 + 1) & 0xFF;
                bytes[offBits + r * row + x * bits / 8 + k] |=
                    bits <= 8 ? static_cast<uint8_t>(value % colors << (8 - bits - x * bits % 8)) : value;
            }
    return bytes;
}

Bytes MakeRle(BmpShape shape, const Bytes& codes)
{
    shape.height = 2;
    Bytes bytes = MakeBmp(shape);
    bytes.resize(Le32(bytes, 10));
    bytes.insert(bytes.end(), codes.begin(), codes.end());
    Put(bytes, 2, 4, static_cast<uint32_t>(bytes.size()));
    Put(bytes, 30, 4, shape.bitCount == 8 ? 1 : 2);
    Put(bytes, 34, 4, static_cast<uint32_t>(codes.size()));
    return bytes;
}

uint32_t Le32(const Bytes& bytes, size_t at)
{
    return at + 4 <= bytes.size() ? bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24 : 0;
}

void Put(Bytes& bytes, size_t at, int size, uint32_t value)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

COLORREF PixelOf(const Bytes& bmp, int x, int y)
{
    auto at = [&](size_t i) -> uint32_t { return i < bmp.size() ? bmp[i] : 0; };
    const uint32_t bits = at(28);
    const int32_t height = static_cast<int32_t>(Le32(bmp, 22));
    const uint32_t row = height < 0 ? y : height - 1 - y;
    const size_t p = Le32(bmp, 10) + row * ((bits * Le32(bmp, 18) + 31) / 32 * 4);
    size_t q = p + bits / 8 * x;  // blue, green and red from here, or the colour table entry
    if (bits <= 8)
        q = 54 + 4 * ((at(p + x * bits / 8) >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1));
    if (bits != 16)
        return RGB(at(q + 2), at(q + 1), at(q));
    const uint32_t v = at(p + 2 * x) | at(p + 2 * x + 1) << 8;
    auto expand = [](uint32_t five) { return static_cast<BYTE>(five << 3 | five >> 2); };
    return RGB(expand(v >> 10 & 31), expand(v >> 5 & 31), expand(v & 31));
}

ScratchFile::ScratchFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    m_path = std::string(dir) + "autovane-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

void ScratchFile::Store(const Bytes& bytes) const
{
    std::ofstream(m_path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ScratchFile::Contents() const
{
    std::ifstream in(m_path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

BOOL LoadBytes(CDib& dib, const Bytes& bytes)
{
    ScratchFile file("load.bmp");
    file.Store(bytes);
    return dib.Load(file.Path());
}

Bytes SaveBytes(CDib& dib)
{
    ScratchFile file("save.bmp");
    return dib.Save(file.Path()) ? file.Contents() : Bytes();
}

Canvas::Canvas(int width, int height) : CMemoryDC(nullptr), m_width(width), m_height(height)
{
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    m_bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_pixels = static_cast<uint32_t*>(bits);
    m_hOldBitmap = SelectObject(m_hDC, m_bitmap);
    std::fill_n(m_pixels, width * height, GetRValue(kSentinel) << 16 | GetGValue(kSentinel) << 8 | GetBValue(kSentinel));
}

AssertionResult Canvas::Shows(const Bytes& bmp, RECT area, int scale, POINT origin) const
{
    GdiFlush();
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const COLORREF expected = PtInRect(&area, POINT{x, y})
                                          ? PixelOf(bmp, origin.x + (x - area.left) / scale, origin.y + (y - area.top) / scale)
                                          : kSentinel;
            const uint32_t v = m_pixels[y * m_width + x];
            if (RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF) != expected)
                return AssertionFailure() << "canvas pixel " << x << "," << y << " is 0x" << std::hex << v
                                          << ", not 0x" << expected << " (COLORREF)";
        }
    return AssertionSuccess();
}

AssertionResult SamePicture(const Bytes& expected, const Bytes& actual)
{
    for (int y = 0; y < std::abs(static_cast<int>(Le32(expected, 22))); ++y)
        for (int x = 0; x < static_cast<int>(Le32(expected, 18)); ++x)
            if (PixelOf(expected, x, y) != PixelOf(actual, x, y))
                return AssertionFailure() << "pixel " << x << "," << y << " is 0x" << std::hex << PixelOf(actual, x, y)
                                          << ", not 0x" << PixelOf(expected, x, y);
    return AssertionSuccess();
}

AssertionResult DrawsAs(CDib& dib, const Bytes& bmp)
{
    const int width = static_cast<int>(Le32(bmp, 18));
    const int height = std::abs(static_cast<int>(Le32(bmp, 22)));
    Canvas canvas(width + 2, height + 2);
    dib.Draw(&canvas, 1, 1);
    return canvas.Shows(bmp, RECT{1, 1, width + 1, height + 1});
}

AssertionResult HeldSafely(CDib& dib, const Bytes& file, size_t position, const Bytes& written)
{
    Canvas canvas(8, 8);
    dib.Draw(&canvas, 0, 0);
    dib.DrawRegion(&canvas, RECT{0, 0, 8, 8}, RECT{0, 0, 8, 8});
    const uint32_t offBits = Le32(file, position + 10), fileSize = Le32(file, position + 2);
    const uint64_t available = file.size() - position - offBits;
    const uint64_t fromFile = std::min<uint64_t>(fileSize > offBits ? fileSize - offBits : available, available);
    const uint32_t writtenOffset = Le32(written, 10);
    for (size_t k = 0; writtenOffset + k < written.size(); ++k)
        if (written[writtenOffset + k] != (k < fromFile ? file[position + offBits + k] : 0))
            return AssertionFailure() << "pixel byte " << k << " is not the file's";
    CDib again;
    if (!LoadBytes(again, written))
        return AssertionFailure() << "our own file is refused";
    if (SaveBytes(again) != written)
        return AssertionFailure() << "a second write differs";
    return AssertionSuccess();
}

bool HeapsAreSound()
{
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    return std::all_of(heaps, heaps + count, [](HANDLE heap) { return HeapValidate(heap, 0, nullptr) != FALSE; });
}
