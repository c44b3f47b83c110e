// tests/DibTests.cpp
//
// The bitmap class against BMP files built byte by byte and a decoder of their pixels that
// owes nothing to the program's: every depth read, drawn and written, damaged and cut-short
// files, bitmap resources, and randomly damaged files (DibMutationTest, run on its own under
// Wine's heap checking). Then the file class against the real file system, and the GDI
// wrappers' ownership and selection guards against real GDI objects.
#include "graphics/Dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace testing;

// Little-endian fields; bytes past the end read as zero.
uint32_t Le32(const Bytes& bmp, size_t at)
{
    return at + 4 <= bmp.size() ? bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | uint32_t{bmp[at + 3]} << 24 : 0;
}
void Put(Bytes& bytes, size_t at, int size, uint32_t value)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = uint8_t(value >> (8 * i));
}

// A BMP file in the form this program writes, unless a field says otherwise. Pixels of a
// palette image use only the first biClrUsed colours when that is set.
struct Shape {
    int width = 3, height = 2, bitCount = 24;  // a negative height stores the rows top-down
    uint32_t clrUsed = 0, tableEntries = ~0u, gap = 0;  // entries stored (~0u: the depth's); bytes before the pixels
    Bytes codes = {};  // run-length data in place of the pixels: RLE8 at 8 bits, RLE4 at 4
};
Bytes MakeBmp(const Shape& shape)
{
    const uint32_t bits = shape.bitCount, depthColors = bits <= 8 ? 1u << bits : 0;
    const uint32_t colors = shape.clrUsed ? shape.clrUsed : depthColors;
    const uint32_t entries = shape.tableEntries != ~0u ? shape.tableEntries : depthColors;
    const uint32_t offBits = 54 + 4 * entries + shape.gap, compression = shape.codes.empty() ? 0 : bits == 8 ? 1 : 2;
    const uint32_t rows = std::abs(shape.height), rowBytes = (bits * shape.width + 31) / 32 * 4;
    Bytes bmp(offBits + (shape.codes.empty() ? rowBytes * rows : shape.codes.size()), 0);
    const uint32_t fields[][3] = {{0, 2, 0x4D42}, {2, 4, uint32_t(bmp.size())}, {10, 4, offBits}, {14, 4, 40},
                                  {18, 4, uint32_t(shape.width)}, {22, 4, uint32_t(shape.height)}, {26, 2, 1},
                                  {28, 2, bits}, {30, 4, compression}, {34, 4, uint32_t(shape.codes.size())},
                                  {46, 4, shape.clrUsed}};
    for (const auto& [at, fieldSize, value] : fields)
        Put(bmp, at, int(fieldSize), value);
    for (uint32_t k = 0; k < entries; ++k)
        Put(bmp, 54 + 4 * k, 4, (k * 7 & 0xFF) | (255 - k) << 8 | (k * 3 + 1) << 16);
    std::copy(shape.codes.begin(), shape.codes.end(), bmp.begin() + offBits);
    // Pixel values follow a pattern of row and column; padding stays zero.
    for (uint32_t row = 0; shape.codes.empty() && row < rows; ++row)
        for (uint32_t x = 0; x < uint32_t(shape.width); ++x)
            for (uint32_t k = 0; k < (bits + 7) / 8; ++k) {
                const uint32_t value = ((row * 31 + (x * 4 + k) * 7 + 1) & 0xFF) % (bits <= 8 ? colors : 256);
                const uint32_t shift = bits <= 8 ? 8 - bits - x * bits % 8 : 0;
                bmp[offBits + row * rowBytes + x * bits / 8 + k] |= uint8_t(value << shift);
            }
    return bmp;
}

// The colour of pixel (x, y), y from the top, of an uncompressed BMP whose colour table is
// the 1024 bytes after the info header, as 0xRRGGBB.
uint32_t PixelOf(const Bytes& bmp, int x, int y)
{
    auto at = [&](size_t i) -> uint32_t { return i < bmp.size() ? bmp[i] : 0; };
    const int bits = int(at(28)), height = int(Le32(bmp, 22)), rowBytes = (bits * Le32(bmp, 18) + 31) / 32 * 4;
    const size_t first = Le32(bmp, 10) + (height < 0 ? y : height - 1 - y) * rowBytes + x * bits / 8;
    // At 16 bits, five bits each of red, green and blue, widened to eight.
    auto five = [v = at(first) | at(first + 1) << 8](int bit) { return (v >> bit & 31) << 3 | (v >> bit & 31) >> 2; };
    const size_t colour = bits > 8 ? first : 54 + 4 * (at(first) >> (8 - bits - x * bits % 8) & ((1u << bits) - 1));
    return bits == 16 ? five(10) << 16 | five(5) << 8 | five(0)
                      : at(colour + 2) << 16 | at(colour + 1) << 8 | at(colour);
}

// Files in the temporary directory, one set per process, as the suite's programs may run at once.
const std::string kTemp = std::string(getenv("TEMP")) + "\\dib-" + std::to_string(GetCurrentProcessId()) + "-";
void Store(const std::string& path, const Bytes& bmp)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
}
Bytes Contents(const std::string& path)
{
    return Bytes(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}
BOOL LoadBytes(CDib& dib, const Bytes& bytes)
{
    Store(kTemp + "load.bmp", bytes);
    return dib.Load((kTemp + "load.bmp").c_str());
}
// Nothing when the image is not saved.
Bytes SaveBytes(CDib& dib)
{
    return dib.Save((kTemp + "save.bmp").c_str()) ? Contents(kTemp + "save.bmp") : Bytes();
}

// A memory device context drawing into a top-down 32-bit DIB section of 0x123456 pixels.
// The section is the first base, so that it is deleted after the context that selects it.
struct Canvas : CBitmap, CMemoryDC {
    Canvas(int width, int height) : CMemoryDC(nullptr)
    {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        CBitmap::Attach(
            CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pixels), nullptr, 0));
        std::fill_n(m_pixels, width * height, 0x123456);
        SelectObject(m_hDC, m_hObject);
    }
    uint32_t* m_pixels = nullptr;
};

// Drawn whole at (1, 1), at twice its size there, and in part at (2, 1) (from column 1 and
// the top row: the source rectangle gives only its left and bottom edges, and its top is
// not the part's), the image shows the BMP's pixels and leaves the rest of the canvas alone.
// The device's palette goes back, and its stretch mode stays unless the image has a palette.
AssertionResult DrawsAs(CDib& dib, const Bytes& bmp)
{
    const int columns = int(Le32(bmp, 18)), rows = std::abs(int(Le32(bmp, 22))), width = 2 * columns + 2;
    const RECT part = {2, 1, columns + 1, rows};
    const struct { const char* name; RECT area; int scale; std::function<void(CDC*)> draw; } drawings[] = {
        {"whole", {1, 1, columns + 1, rows + 1}, 1, [&](CDC* dc) { dib.Draw(dc, 1, 1); }},
        {"twice", {1, 1, 2 * columns + 1, 2 * rows + 1}, 2,
         [&](CDC* dc) { dib.StretchDraw(dc, 1, 1, 2 * columns, 2 * rows); }},
        {"part", part, 1, [&](CDC* dc) { dib.DrawRegion(dc, part, RECT{1, 0, columns + 1, rows - 1}); }}};
    for (const auto& [name, area, scale, draw] : drawings) {
        Canvas canvas(width, 2 * rows + 2);
        SetStretchBltMode(canvas, WHITEONBLACK);
        draw(&canvas);
        GdiFlush();
        for (int y = 0; y < 2 * rows + 2; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t drawn = canvas.m_pixels[y * width + x] & 0xFFFFFF;
                const uint32_t expected =
                    PtInRect(&area, {x, y}) ? PixelOf(bmp, (x - 1) / scale, (y - 1) / scale) : 0x123456;
                if (drawn != expected)
                    return AssertionFailure() << "drawing " << name << ": pixel " << x << "," << y << " is 0x"
                                              << std::hex << drawn << ", not 0x" << expected;
            }
        if (GetCurrentObject(canvas, OBJ_PAL) != GetStockObject(DEFAULT_PALETTE) ||
            GetStretchBltMode(canvas) != (dib.GetPalette() ? COLORONCOLOR : WHITEONBLACK))
            return AssertionFailure() << "drawing " << name << " changed the device's palette or stretch mode";
    }
    return AssertionSuccess();
}

// Read from `position` of a real file holding `bmp`, a refused file leaves the object empty
// and draws nothing (`loads` -1: either answer will do). An accepted one draws, and the BMP
// it writes after the file's end holds the file's own pixel bytes, from bfOffBits up to its
// stated size or its end, then zeros; that reads back and is written again the same.
AssertionResult HeldSafely(const Bytes& bmp, size_t position, int loads = -1, CDib&& dib = CDib())
{
    Bytes bytes(position, 0x5A);
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    Store(kTemp + "read.bmp", bytes);
    CFile file;
    file.Open((kTemp + "read.bmp").c_str(), CFile::modeReadWrite);
    file.Seek(LONGLONG(position), CFile::begin);
    const BOOL read = dib.Read(&file);
    file.Seek(0, CFile::end);
    const BOOL wrote = dib.Write(&file);
    file.Close();
    Canvas canvas(8, 8);
    dib.Draw(&canvas, 0, 0);
    const int drawnRows = dib.DrawRegion(&canvas, RECT{0, 0, 8, 8}, RECT{0, 0, 8, 8});
    if (read != wrote || (loads >= 0 && read != loads))
        return AssertionFailure() << "read " << read << ", wrote " << wrote;
    if (!read)
        return dib.GetInfo() || dib.GetBits() || drawnRows ? AssertionFailure() << "a refused file left an image"
                                                           : AssertionSuccess();
    const Bytes contents = Contents(kTemp + "read.bmp");
    const Bytes written(contents.begin() + ptrdiff_t(bytes.size()), contents.end());
    const uint32_t offBits = Le32(bmp, 10), fileSize = Le32(bmp, 2), available = uint32_t(bmp.size() - offBits);
    const uint32_t fromFile = std::min(fileSize > offBits ? fileSize - offBits : available, available);
    for (size_t k = 0; Le32(written, 10) + k < written.size(); ++k)
        if (written[Le32(written, 10) + k] != (k < fromFile ? bmp[offBits + k] : 0))
            return AssertionFailure() << "pixel byte " << k << " is not the file's";
    return LoadBytes(dib, written) && SaveBytes(dib) == written
               ? AssertionSuccess() : AssertionFailure() << "our own file does not read back and write the same";
}

// No fill of the class leaves rows packed to whole bytes; a derived class may, and says so
// by clearing the flag.
struct PackedDib : CDib { using CDib::m_bRowsAligned; };

// Each depth bottom-up 1 pixel wide and top-down 5 wide, then files in forms this program
// does not write, whose picture it keeps and writes in its own form, and run-length data,
// drawn as the same pixels and written as it came. Every uncompressed file states a
// biSizeImage, which the writer sets to 0; run-length data needs its length there. Rows
// packed to whole bytes are spread out in place before writing, and once only: aligning
// again moves nothing. Run-length data has no rows to move.
TEST(DibFileTest, FilesOfEveryDepthAndWriterDrawAndWriteTheirPicture)
{
    std::vector<Shape> shapes = {
        // A gap before the pixels, a short colour table, biClrUsed below the depth's, one colour.
        {5, 3, 8, 0, ~0u, 10}, {5, 3, 8, 3, 3}, {5, 3, 8, 16}, {9, 2, 1, 1, 1},
        // Run-length data of the same pixels: encoded runs and absolute runs.
        {4, 2, 8, 0, ~0u, 0, {1, 1, 1, 29, 1, 57, 1, 85, 0, 0, 0, 4, 32, 60, 88, 116, 0, 1}},
        {4, 2, 4, 0, ~0u, 0, {2, 0x1D, 2, 0x95, 0, 0, 0, 4, 0x0C, 0x84, 0, 1}}};
    for (int bits : {1, 4, 8, 16, 24, 32})
        shapes.insert(shapes.end(), {{1, 3, bits}, {5, -3, bits}});
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(testing::Message() << shape.bitCount << " bits, " << shape.width << " wide, gap " << shape.gap);
        Bytes bmp = MakeBmp(shape);
        Put(bmp, 34, 4, shape.codes.empty() ? 12345 : uint32_t(shape.codes.size()));
        const Bytes picture = MakeBmp({shape.width, shape.height, shape.bitCount, shape.clrUsed, shape.tableEntries});
        PackedDib dib, written;
        ASSERT_TRUE(LoadBytes(dib, bmp));
        const UINT colors = shape.clrUsed ? shape.clrUsed : shape.bitCount <= 8 ? 1u << shape.bitCount : 0;
        PALETTEENTRY held[257] = {};
        EXPECT_EQ(colors, dib.GetPalette() ? GetPaletteEntries(*dib.GetPalette(), 0, 257, held) : 0);
        for (UINT i = 0; i < colors; ++i)
            EXPECT_EQ(Le32(bmp, 54 + 4 * i) & 0xFFFFFF, RGB(held[i].peBlue, held[i].peGreen, held[i].peRed)) << i;
        // Written with the depth's whole table and no gap. The table holds the file's 1024
        // bytes after the info header, whatever they are, and zeros past its end.
        Bytes expected = MakeBmp({shape.width, shape.height, shape.bitCount, shape.clrUsed, ~0u, 0, shape.codes});
        for (size_t i = 54; i < Le32(expected, 10); ++i)
            expected[i] = i < bmp.size() ? bmp[i] : 0;
        EXPECT_EQ(expected, SaveBytes(dib));
        const size_t packed = (shape.bitCount * shape.width + 7) / 8, aligned = (packed + 3) / 4 * 4;
        for (size_t row = 1; shape.codes.empty() && row < size_t(std::abs(shape.height)); ++row)
            std::copy_n(dib.GetBits() + aligned * row, packed, dib.GetBits() + packed * row);
        dib.m_bRowsAligned = FALSE;
        ASSERT_TRUE(LoadBytes(written, SaveBytes(dib)) && dib.AlignRows());
        EXPECT_TRUE(DrawsAs(dib, picture)) << "packed rows aligned in place";
        EXPECT_TRUE(DrawsAs(written, picture)) << "packed rows written";
    }
}

// Changes to an 8-bit 5 x 3 image: headers, 1024 bytes of table from offset 54, pixels
// from 1078, rows of 8 bytes (5 used), 1102 bytes in all.
// Each change is an offset, a size (2 or 4; 0 for none) and a value.
const struct Damage { const char* what; bool loads; uint32_t edits[3][3]; } kDamage[] = {
    {"bfType", false, {{0, 2, 0x4142}}}, {"biSize 12", false, {{14, 4, 12}}}, {"biBitCount 2", false, {{28, 2, 2}}},
    {"bfSize at the pixels", true, {{2, 4, 1078}}}, {"bfSize short of the rows", true, {{2, 4, 1088}}},
    {"bfSize far beyond the end", true, {{2, 4, 0xFFFFFFFF}}},
    {"bfOffBits inside the headers", false, {{10, 4, 53}}}, {"bfOffBits at the table", true, {{10, 4, 54}}},
    {"width 0", false, {{18, 4, 0}}}, {"height 0", false, {{22, 4, 0}}}, {"bit fields", false, {{30, 4, 3}}},
    {"width x height past 2 GB", false, {{18, 4, 0x10000}, {22, 4, 0x10000}}},
    {"RLE8 at 8 bits", true, {{30, 4, 1}}}, {"RLE4 at 8 bits", false, {{30, 4, 2}}},
    {"RLE8 rows far beyond its data", false, {{30, 4, 1}, {22, 4, 0x100000}}},
    // The colours used against what the table can hold: all of the depth's, and no more.
    {"biClrUsed 256", true, {{46, 4, 256}}}, {"4 bits, biClrUsed 17", false, {{28, 2, 4}, {46, 4, 17}}},
    {"24 bits, biClrUsed 256", true, {{28, 2, 24}, {46, 4, 256}, {10, 4, 54}}},
    {"24 bits, biClrUsed 257", false, {{28, 2, 24}, {46, 4, 257}, {10, 4, 54}}},
};

// A refused file leaves the object empty, even after an earlier image; an accepted one is
// held safely. Every prefix of the valid file is refused until the last row's five used
// bytes are in (1078 + 2 * 8 + 5). Each is read a few bytes into the file.
TEST(DibFileTest, DamagedAndCutShortFilesAreRefusedLeavingNothingOrHeldSafely)
{
    const Bytes valid = MakeBmp({5, 3, 8});
    for (const Damage& damage : kDamage) {
        Bytes bytes = valid;
        for (const auto& [at, size, value] : damage.edits)
            Put(bytes, at, int(size), value);
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, valid));
        EXPECT_TRUE(HeldSafely(bytes, &damage - kDamage, damage.loads, std::move(dib))) << damage.what;
    }
    for (size_t size = 0; size <= valid.size(); ++size)
        EXPECT_TRUE(HeldSafely(Bytes(valid.begin(), valid.begin() + size), size % 3, size >= 1099)) << size << " bytes";
}

// Each resource is also stored as its file's bytes, which tell what it shows; images deeper
// than 8 bits are held at 24, and written so. Failed loads and saves keep the image; a bitmap
// object that is not one empties it, keeping the palette.
TEST(DibResourceTest, HoldsShallowImagesAtTheirDepthAndFailuresKeepTheImage)
{
    CDib dib, written;
    for (int depth : {1, 4, 16, 24, 32, 8}) {
        SCOPED_TRACE(depth);
        const LPCSTR id = MAKEINTRESOURCEA(9100 + depth);  // as the resource script numbers them
        HRSRC resource = FindResourceA(nullptr, id, MAKEINTRESOURCEA(10));  // RT_RCDATA
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
        const Bytes file(data, data + SizeofResource(nullptr, resource));
        ASSERT_TRUE(dib.LoadFromResource(id));
        EXPECT_EQ(depth <= 8 ? depth : 24, dib.GetBitCount());
        EXPECT_TRUE(DrawsAs(dib, file));
        ASSERT_TRUE(LoadBytes(written, SaveBytes(dib)));
        EXPECT_TRUE(DrawsAs(written, file)) << "written";
    }
    const BYTE* bits = dib.GetBits();
    EXPECT_FALSE(dib.Load("C:\\no\\such\\dir\\picture.bmp") || dib.Save("C:\\no\\such\\dir\\picture.bmp") ||
                 dib.LoadFromResource(MAKEINTRESOURCEA(9999)) || dib.LoadFromResource("NOSUCHBITMAP"));
    EXPECT_EQ(bits, dib.GetBits());
    CBitmap notABitmap;
    notABitmap.Attach(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_TRUE(!dib.CreateFromBitmap(nullptr, &notABitmap) && !dib.GetBits() && !dib.GetInfo() && dib.GetPalette());
}

// Randomly damaged BMP files, each read at a random position of a real file, must be held
// safely. Run under Wine's heap checking, an overrun of any block shows up in the output.
// AUTOVANE_DIB_MUTATIONS sets the number of files; the sequence is fixed, so that a failure
// comes back, and a longer run goes on past a shorter one's files.
TEST(DibMutationTest, DamagedFilesAreRefusedOrHeldSafely)
{
    const char* setting = getenv("AUTOVANE_DIB_MUTATIONS");
    const unsigned long mutations = setting ? strtoul(setting, nullptr, 10) : 3000;
    const Shape seeds[] = {{33, 2, 1}, {5, 3, 4, 5}, {4, 3, 8}, {3, 2, 16}, {5, -3, 24}, {2, 2, 32}, {7, -1, 8, 16},
                           {4, 2, 8, 0, ~0u, 0, {2, 5, 2, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}},
                           {4, 2, 4, 0, ~0u, 0, {4, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 1}}};
    std::mt19937 random(20240611);
    auto below = [&random](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    for (unsigned long mutation = 0; mutation < mutations; ++mutation) {
        Bytes bytes = MakeBmp(seeds[below(std::size(seeds))]);
        for (size_t changes = 1 + below(4); changes > 0; --changes) {
            const uint32_t size = uint32_t(bytes.size()), kind = below(4);
            // Values that tend to break arithmetic, for a header field.
            const uint32_t values[] = {0, 1, 2, 4, 8, 16, 24, 32, 40, 54, 255, 256, 257, 1078, size, size - 1, size + 1,
                                       0x7FFFFFFF, 0x80000000, 0x80000001, 0xFFFFFFFF, 0x10000, uint32_t(below(65536))};
            if (kind == 0 && size > 0)  // a byte anywhere, most often in the headers
                bytes[below(2) ? below(54) % size : below(size)] = uint8_t(below(256));
            else if (kind == 1 && size >= 54)  // a header field, from the file size to biClrUsed
                Put(bytes, 2 + 4 * below(12), 4, values[below(std::size(values))]);
            else  // cut short, or more bytes at the end
                bytes.resize(kind == 2 ? below(size + 1) : size + below(80), uint8_t(below(256)));
        }
        ASSERT_TRUE(HeldSafely(bytes, below(4) ? 0 : below(64))) << "mutation " << mutation;
    }
}

// Failures to open give their cause: a missing folder, a missing file, and a file open
// here, which is not shared. Reads and seeks answer what they did; failures of an open
// file throw the cause with the system's error. Close can come twice, and lets the file go.
TEST(FileTest, OpenFailsWithoutAnExceptionAndFailuresOfAnOpenFileThrow)
{
    const std::string path = kTemp + "file.bin";
    Store(path, Bytes(6, '0'));
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    const std::pair<std::string, int> opens[] = {{"C:\\no\\such\\dir\\file.bin", CFileException::badPath},
                                                 {path + ".missing", CFileException::fileNotFound},
                                                 {path, CFileException::sharingViolation}};
    for (const auto& [name, cause] : opens) {
        CFileException error(CFileException::none, 0);
        EXPECT_EQ(cause, CFile().Open(name.c_str(), CFile::modeRead, &error) ? -1 : error.m_cause) << name;
    }
    EXPECT_EQ(6u, file.Read(Bytes(8).data(), 8)) << "a read past the end gets what there is";
    EXPECT_EQ(5u, file.Seek(-1, CFile::end));
    using Failure = std::pair<int, LONG>;  // the cause and the system's error; none when nothing is thrown
    auto thrown = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const CFileException& error) {
            return Failure(error.m_cause, error.m_lOsError);
        }
        return Failure(CFileException::none, NO_ERROR);
    };
    EXPECT_EQ(Failure(CFileException::accessDenied, ERROR_ACCESS_DENIED), thrown([&] { file.Write("a", 1); }));
    EXPECT_EQ(Failure(CFileException::badSeek, ERROR_NEGATIVE_SEEK), thrown([&] { file.Seek(-10, CFile::begin); }));
    file.Close();
    file.Close();
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead)) << "Close let the file go";
}

// An object owns what is attached and deletes it on a second Attach and when it goes;
// FromHandle hands out one wrapper per handle that does not own it (none for no handle), as
// SelectPalette does for the earlier palette. The selection guards select, and put the brush
// back when they go (the palette going back is seen by every drawing of a palette image).
TEST(GdiTest, ObjectsOwnWhatIsAttachedAndSelectionsGoBack)
{
    const HGDIOBJ first = CreateSolidBrush(RGB(1, 2, 3)), second = CreateSolidBrush(RGB(7, 8, 9));
    CMemoryDC dc(nullptr);
    LOGPALETTE logPalette = {0x300, 1, {{10, 20, 30, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&logPalette));
    {
        CBrush owner;
        ASSERT_TRUE(owner.Attach(first) && owner.Attach(second));
        EXPECT_EQ(0u, GetObjectType(first)) << "a second Attach deletes the first brush";
        CGdiObject* borrowed = CGdiObject::FromHandle(second);
        EXPECT_TRUE(borrowed && borrowed != &owner && borrowed == CGdiObject::FromHandle(second));
        EXPECT_FALSE(CGdiObject::FromHandle(nullptr));
        CPaletteSelection paletteSelection(dc, palette, FALSE, TRUE);
        CObjectSelection brushSelection(dc, owner);
        EXPECT_TRUE(palette.m_hObject == GetCurrentObject(dc, OBJ_PAL) && second == GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetCurrentObject(dc, OBJ_BRUSH)) << "the context's own brush went back";
    EXPECT_EQ(0u, GetObjectType(second)) << "the destructor deleted the brush";
    CPalette* previous = dc.SelectPalette(&palette, FALSE);
    ASSERT_TRUE(previous && previous->m_hObject == GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(palette.m_hObject, dc.SelectPalette(previous, FALSE)->m_hObject);
}

}  // namespace
