// tests/DibFileTests.cpp
//
// Reading and writing BMP files: the sizes written, byte-for-byte round trips, files at an
// offset inside a larger file, palettes, and the answers to damaged and hostile headers.
#include "DibTestUtil.h"
#include "graphics/Dib.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

BOOL LoadBytes(CDib& dib, const Bytes& bytes)
{
    ScratchFile file("load.bmp");
    file.Store(bytes);
    return dib.Load(file.Path());
}

Bytes SaveBytes(CDib& dib)
{
    ScratchFile file("save.bmp");
    EXPECT_TRUE(dib.Save(file.Path()));
    return file.Contents();
}

void ExpectEmpty(const CDib& dib)
{
    EXPECT_EQ(nullptr, dib.GetInfo());
    EXPECT_EQ(nullptr, dib.GetBits());
    EXPECT_EQ(nullptr, dib.GetColorTable());
}

TEST(DibRowLengthTest, PacksToBytesAndAlignsToFourBytes)
{
    const struct {
        DWORD bits, width, packed, aligned;
    } cases[] = {
        {1, 1, 1, 4}, {1, 8, 1, 4}, {1, 9, 2, 4}, {1, 33, 5, 8}, {4, 3, 2, 4}, {4, 9, 5, 8},
        {8, 5, 5, 8}, {16, 3, 6, 8}, {24, 1, 3, 4}, {24, 4, 12, 12}, {32, 1, 4, 4}, {24, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits x " << c.width);
        EXPECT_EQ(c.packed, CDib::PackedRowBytes(c.bits, c.width));
        EXPECT_EQ(c.aligned, CDib::AlignedRowBytes(c.bits, c.width));
    }
}

TEST(DibWriteTest, TwentyFourBitsOneByTwo)
{
    BmpSpec spec;
    spec.width = 1;
    spec.height = 2;
    spec.sizeImage = 8;
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, MakeBmp(spec)));
    const Bytes saved = SaveBytes(dib);
    ASSERT_EQ(62u, saved.size());
    EXPECT_EQ(62u, ReadLE32(saved, 2));
    EXPECT_EQ(54u, ReadLE32(saved, 10));
    EXPECT_EQ(0u, ReadLE32(saved, 34)) << "biSizeImage in the file";
    EXPECT_EQ(0u, dib.GetInfo()->bmiHeader.biSizeImage) << "biSizeImage held";
    spec.sizeImage = 0;
    EXPECT_EQ(MakeBmp(spec), saved);
}

TEST(DibWriteTest, OneBitThirtyThreeByOne)
{
    BmpSpec spec;
    spec.width = 33;
    spec.height = 1;
    spec.bitCount = 1;
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, MakeBmp(spec)));
    const Bytes saved = SaveBytes(dib);
    ASSERT_EQ(70u, saved.size());
    EXPECT_EQ(70u, ReadLE32(saved, 2));
    EXPECT_EQ(62u, ReadLE32(saved, 10));
    EXPECT_EQ(MakeBmp(spec), saved);
}

TEST(DibWriteTest, RoundTripsEveryDepthAndRowPaddingByteForByte)
{
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (int width = 1; width <= 5; ++width)
            for (bool topDown : {false, true}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, width " << width
                                                << (topDown ? ", top-down" : ""));
                BmpSpec spec;
                spec.width = width;
                spec.height = 3;
                spec.bitCount = bits;
                spec.topDown = topDown;
                const Bytes original = MakeBmp(spec);
                CDib dib;
                ASSERT_TRUE(LoadBytes(dib, original));
                EXPECT_EQ(original, SaveBytes(dib));
                EXPECT_EQ(original, SaveBytes(dib)) << "a second write";
            }
}

TEST(DibWriteTest, WritesAtTheFilesPositionAndNothingWithoutAnImage)
{
    const Bytes bmp = MakeBmp(BmpSpec());
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, bmp));
    ScratchFile scratch("at.bmp");
    {
        CFile file;
        ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeCreate | CFile::modeWrite));
        file.Write("prefix", 6);
        EXPECT_TRUE(dib.Write(&file));
        CDib empty;
        EXPECT_FALSE(empty.Write(&file));
    }
    Bytes expected(bmp);
    expected.insert(expected.begin(), {'p', 'r', 'e', 'f', 'i', 'x'});
    EXPECT_EQ(expected, scratch.Contents());
}

TEST(DibReadTest, ReadsFromTheFilesPositionAndStopsAtTheStatedSize)
{
    const Bytes bmp = MakeBmp(BmpSpec());
    Bytes file(37 + bmp.size() + 20, 0xCD);
    std::fill_n(file.begin(), 37, 0xAB);
    std::copy(bmp.begin(), bmp.end(), file.begin() + 37);
    ScratchFile scratch("inside.bin");
    scratch.Store(file);
    CDib dib;
    {
        CFile in;
        ASSERT_TRUE(in.Open(scratch.Path(), CFile::modeRead));
        in.Seek(37, CFile::begin);
        ASSERT_TRUE(dib.Read(&in));
    }
    EXPECT_EQ(bmp, SaveBytes(dib));
}

TEST(DibReadTest, TwentyFourBitTableAreaHoldsTheBytesAfterTheHeader)
{
    BmpSpec spec;
    spec.width = 20;
    spec.height = 20;
    const Bytes bmp = MakeBmp(spec);
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, bmp));
    EXPECT_EQ(nullptr, dib.GetPalette());
    const BYTE* table = reinterpret_cast<const BYTE*>(dib.GetColorTable());
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.begin() + 54 + 1024), Bytes(table, table + 1024));
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.end()), Bytes(dib.GetBits(), dib.GetBits() + 60 * 20));
}

TEST(DibReadTest, OrdinaryVariantsLoadAndWriteInTheStandardForm)
{
    BmpSpec standard;
    standard.width = 5;
    standard.height = 3;
    standard.bitCount = 8;
    standard.clrUsed = 3;

    BmpSpec gap = standard;
    gap.gap = 10;
    BmpSpec shortTable = standard;
    shortTable.tableEntries = 3;
    for (const BmpSpec& variant : {gap, shortTable}) {
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, MakeBmp(variant)));
        const Bytes saved = SaveBytes(dib);
        const Bytes expected = MakeBmp(standard);
        ASSERT_EQ(expected.size(), saved.size());
        // The written table holds 256 entries, only the first 3 of which the file had.
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 54 + 12, saved.begin()));
        EXPECT_TRUE(std::equal(expected.begin() + 1078, expected.end(), saved.begin() + 1078));
    }
}

TEST(DibReadTest, LastRowWithoutItsPaddingLoads)
{
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    Bytes bmp = MakeBmp(spec);
    bmp.resize(bmp.size() - 1);  // 15 of the last row's 16 bytes
    WriteLE32(bmp, 2, static_cast<uint32_t>(bmp.size()));
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, bmp));
    EXPECT_EQ(MakeBmp(spec), SaveBytes(dib));
}

TEST(DibReadTest, PaletteHoldsTheColourCountOfTableColours)
{
    const struct {
        int bits;
        uint32_t clrUsed;
        uint32_t tableEntries;
        int paletteEntries;
        WORD depthEntries;  // GetColorTableEntries
        DWORD colors;       // GetNumColors
    } cases[] = {
        {8, 16, ~0u, 16, 256, 16}, {8, 0, ~0u, 256, 256, 256}, {4, 0, ~0u, 16, 16, 16},
        {1, 0, ~0u, 2, 2, 2}, {1, 1, 1, 1, 2, 1}, {8, 256, ~0u, 256, 256, 256},
        {16, 0, ~0u, 0, 0, 65536}, {24, 7, ~0u, 0, 0, 7}, {24, 0, ~0u, 0, 0, 1u << 24},
        {32, 0, ~0u, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, biClrUsed " << c.clrUsed);
        BmpSpec spec;
        spec.bitCount = c.bits;
        spec.clrUsed = c.clrUsed;
        spec.tableEntries = c.tableEntries;
        const Bytes bmp = MakeBmp(spec);
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, bmp));
        EXPECT_EQ(c.depthEntries, dib.GetColorTableEntries());
        EXPECT_EQ(c.colors, dib.GetNumColors());
        if (c.paletteEntries == 0) {
            EXPECT_EQ(nullptr, dib.GetPalette());
            continue;
        }
        ASSERT_NE(nullptr, dib.GetPalette());
        PALETTEENTRY entries[257] = {};
        ASSERT_EQ(static_cast<UINT>(c.paletteEntries),
                  GetPaletteEntries(*dib.GetPalette(), 0, 257, entries));
        for (int i = 0; i < c.paletteEntries; ++i) {
            const uint8_t* quad = &bmp[54 + 4 * i];
            ASSERT_EQ(RGB(quad[2], quad[1], quad[0]),
                      RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue)) << i;
        }
    }
}

TEST(DibReadTest, NotABmpOrAnotherHeaderFormLeavesTheObjectEmpty)
{
    Bytes notBm = MakeBmp(BmpSpec());
    notBm[1] = 'A';
    Bytes os2 = MakeBmp(BmpSpec());
    WriteLE32(os2, 14, 12);
    Bytes v5 = MakeBmp(BmpSpec());
    WriteLE32(v5, 14, 124);
    for (const Bytes& bytes : {notBm, os2, v5}) {
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, MakeBmp(BmpSpec())));
        EXPECT_FALSE(LoadBytes(dib, bytes));
        ExpectEmpty(dib);
    }
}

TEST(DibReadTest, LoadOfAMissingFileLeavesTheImage)
{
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, MakeBmp(BmpSpec())));
    BYTE* bits = dib.GetBits();
    EXPECT_FALSE(dib.Load("C:\\no\\such\\dir\\picture.bmp"));
    EXPECT_EQ(bits, dib.GetBits());
    EXPECT_FALSE(dib.Save("C:\\no\\such\\dir\\picture.bmp"));
}

// An 8-bit 5 x 3 image: headers, 1024 bytes of table from offset 54, pixels from 1078,
// rows of 8 bytes (5 used), 1102 bytes in all.
struct Damage {
    const char* what;
    size_t offset;
    int size;  // 2 or 4
    uint32_t value;
    bool loads;
};

const Damage kDamage[] = {
    {"bfType", 0, 2, 0x4142, false},
    {"biSize 12", 14, 4, 12, false},
    {"biSize 0", 14, 4, 0, false},
    {"biSize 108", 14, 4, 108, false},
    {"bfSize 0", 2, 4, 0, true},
    {"bfSize inside the headers", 2, 4, 20, true},
    {"bfSize at bfOffBits", 2, 4, 1078, true},
    {"bfSize short of the rows", 2, 4, 1088, true},
    {"bfSize far beyond the end", 2, 4, 0xFFFFFFFF, true},
    {"bfOffBits 0", 10, 4, 0, false},
    {"bfOffBits inside the headers", 10, 4, 53, false},
    {"bfOffBits at the table", 10, 4, 54, true},
    {"bfOffBits at the end", 10, 4, 1102, false},
    {"bfOffBits leaving too few rows", 10, 4, 1090, false},
    {"bfOffBits far beyond the end", 10, 4, 0xFFFFFFF0, false},
    {"width 0", 18, 4, 0, false},
    {"width -1", 18, 4, 0xFFFFFFFF, false},
    {"width INT_MAX", 18, 4, 0x7FFFFFFF, false},
    {"width whose bits overflow 32 bits", 18, 4, 0x20000001, false},
    {"width beyond the file", 18, 4, 9, false},
    {"height 0", 22, 4, 0, false},
    {"height INT_MIN", 22, 4, 0x80000000, false},
    {"height INT_MAX", 22, 4, 0x7FFFFFFF, false},
    {"height -3 (top-down)", 22, 4, static_cast<uint32_t>(-3), true},
    {"height -INT_MAX", 22, 4, 0x80000001, false},
    {"biPlanes 0", 26, 2, 0, true},
    {"biBitCount 0", 28, 2, 0, false},
    {"biBitCount 2", 28, 2, 2, false},
    {"biBitCount 15", 28, 2, 15, false},
    {"biBitCount 64", 28, 2, 64, false},
    {"biBitCount 0xFFFF", 28, 2, 0xFFFF, false},
    {"biBitCount 4", 28, 2, 4, true},
    {"biBitCount 24 beyond the file", 28, 2, 24, false},
    {"RLE8 at 8 bits", 30, 4, 1, true},
    {"RLE4 at 8 bits", 30, 4, 2, false},
    {"bit fields", 30, 4, 3, false},
    {"JPEG", 30, 4, 4, false},
    {"compression 0xFFFFFFFF", 30, 4, 0xFFFFFFFF, false},
    {"biSizeImage huge", 34, 4, 0xFFFFFFFF, true},
    {"biClrUsed 256", 46, 4, 256, true},
    {"biClrUsed 257", 46, 4, 257, false},
    {"biClrUsed 0xFFFFFFFF", 46, 4, 0xFFFFFFFF, false},
};

TEST(DibHostileHeaderTest, RefusesOrHoldsAnImageThatDrawsAndWrites)
{
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.bitCount = 8;
    const Bytes valid = MakeBmp(spec);
    ASSERT_EQ(1102u, valid.size());
    for (const Damage& d : kDamage) {
        SCOPED_TRACE(d.what);
        Bytes bytes = valid;
        if (d.size == 2)
            WriteLE16(bytes, d.offset, static_cast<uint16_t>(d.value));
        else
            WriteLE32(bytes, d.offset, d.value);
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, valid));
        ASSERT_EQ(d.loads, LoadBytes(dib, bytes));
        if (!d.loads) {
            ExpectEmpty(dib);
            continue;
        }
        Canvas canvas(8, 8);
        dib.Draw(&canvas.DC(), 0, 0);
        const Bytes saved = SaveBytes(dib);
        CDib again;
        ASSERT_TRUE(LoadBytes(again, saved));
        EXPECT_EQ(saved, SaveBytes(again));
    }
}

TEST(DibHostileHeaderTest, PixelsBeyondAShortStatedSizeAreZero)
{
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.bitCount = 8;
    Bytes bytes = MakeBmp(spec);
    WriteLE32(bytes, 2, 1078 + 10);
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, bytes));
    const Bytes saved = SaveBytes(dib);
    ASSERT_EQ(bytes.size(), saved.size());
    EXPECT_TRUE(std::equal(bytes.begin() + 1078, bytes.begin() + 1088, saved.begin() + 1078));
    EXPECT_EQ(Bytes(14, 0), Bytes(saved.begin() + 1088, saved.end()));
}

TEST(DibHostileHeaderTest, ClrUsedBeyondTheDepthIsRefused)
{
    BmpSpec spec;
    spec.bitCount = 1;
    spec.clrUsed = 3;
    CDib dib;
    EXPECT_FALSE(LoadBytes(dib, MakeBmp(spec)));
    spec.bitCount = 4;
    spec.clrUsed = 16;
    EXPECT_TRUE(LoadBytes(dib, MakeBmp(spec)));
    spec.clrUsed = 17;
    EXPECT_FALSE(LoadBytes(dib, MakeBmp(spec)));
}

TEST(DibTruncationTest, EveryPrefixIsRefusedUntilTheRowsAreThere)
{
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.bitCount = 8;
    const Bytes valid = MakeBmp(spec);
    // Complete once the last row's five used bytes are in: 1078 + 2 * 8 + 5.
    const size_t complete = 1099;
    for (size_t n = 0; n <= valid.size(); ++n) {
        SCOPED_TRACE(testing::Message() << n << " bytes");
        CDib dib;
        const BOOL loaded = LoadBytes(dib, Bytes(valid.begin(), valid.begin() + n));
        ASSERT_EQ(n >= complete, loaded != FALSE);
        if (loaded)
            EXPECT_EQ(valid, SaveBytes(dib));
        else
            ExpectEmpty(dib);
    }
}

}  // namespace
