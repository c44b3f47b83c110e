// tests/DibFileTests.cpp
//
// Reading and writing BMP files: the sizes written, files inside larger files,
// byte-for-byte round trips, files from other writers, palettes, and the answers to
// damaged and hostile headers and to every cut-short file.
#include "DibTestUtil.h"

#include <gtest/gtest.h>

namespace {

// Each example read from inside a larger file (37 bytes in, with bytes beyond its stated
// size) and written after it: the sizes written, whatever biSizeImage the file gave.
TEST(DibWriteTest, ReadsAndWritesAtTheFilesPositionWithTheSizesOfTheHeader)
{
    const uint32_t cases[][5] = {{1, 2, 24, 62, 54}, {33, 1, 1, 70, 62}};
    for (const auto& c : cases) {
        const Bytes bmp = MakeBmp(BmpShape{int(c[0]), int(c[1]), int(c[2])});
        Bytes stored = bmp;
        Put(stored, 34, 4, c[3] - c[4]);  // biSizeImage
        stored.insert(stored.begin(), 37, 0xAB);
        stored.resize(stored.size() + 20, 0xCD);
        ScratchFile scratch("inside.bin");
        scratch.Store(stored);
        CDib dib, empty;
        {
            CFile file;
            ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeReadWrite));
            file.Seek(37, CFile::begin);
            ASSERT_TRUE(dib.Read(&file));
            file.Seek(static_cast<LONGLONG>(37 + bmp.size()), CFile::begin);
            EXPECT_TRUE(dib.Write(&file));
            EXPECT_FALSE(empty.Write(&file));
        }
        const Bytes contents = scratch.Contents();
        ASSERT_EQ(37 + 2 * bmp.size(), contents.size());
        const Bytes saved(contents.begin() + 37 + bmp.size(), contents.end());
        EXPECT_EQ(std::make_pair(c[3], c[4]), std::make_pair(ReadLE32(saved, 2), ReadLE32(saved, 10)));
        EXPECT_EQ(bmp, saved);
        EXPECT_EQ(0u, dib.GetInfo()->bmiHeader.biSizeImage);
    }
}

// The palette holds that many colours, the first of the file's colour table.
void ExpectPalette(const CDib& dib, const Bytes& bmp, UINT count)
{
    ASSERT_EQ(count != 0, dib.GetPalette() != nullptr);
    PALETTEENTRY entries[257] = {};
    ASSERT_EQ(count, count ? GetPaletteEntries(*dib.GetPalette(), 0, 257, entries) : 0);
    for (UINT i = 0; i < count; ++i)
        ASSERT_EQ(RGB(bmp[56 + 4 * i], bmp[55 + 4 * i], bmp[54 + 4 * i]),
                  RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue)) << "palette entry " << i;
}

TEST(DibWriteTest, EveryDepthAndRowPaddingDrawsAndRoundTripsByteForByte)
{
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (int width = 1; width <= 5; ++width)
            for (bool topDown : {false, true}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, width " << width << (topDown ? " top-down" : ""));
                const Bytes original = MakeBmp(BmpShape{width, 3, bits, 0, ~0u, 0, topDown});
                CDib dib;
                ASSERT_TRUE(LoadBytes(dib, original));
                ExpectPalette(dib, original, bits <= 8 ? 1u << bits : 0);
                ExpectDrawn(dib, original);
                EXPECT_EQ(original, SaveBytes(dib));
                EXPECT_EQ(original, SaveBytes(dib)) << "a second write";
            }
}

TEST(DibReadTest, FilesOfOtherWritersDrawAndWriteTheSamePicture)
{
    const struct {
        const char* what;
        BmpShape shape;
        size_t cut;  // bytes left off the end
        UINT palette;
    } cases[] = {
        {"a gap before the pixels", {5, 3, 8, 0, ~0u, 10}, 0, 256},
        {"a short colour table", {5, 3, 8, 3, 3}, 0, 3},
        {"biClrUsed below the depth's colours", {5, 3, 8, 16}, 0, 16},
        {"a one-colour palette", {9, 2, 1, 1, 1}, 0, 1},
        {"the last row without its padding", {5, 3, 24}, 1, 0},
        {"top-down with a gap", {4, 3, 4, 0, ~0u, 3, true}, 0, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bmp = MakeBmp(c.shape);
        bmp.resize(bmp.size() - c.cut);
        Put(bmp, 2, 4, static_cast<uint32_t>(bmp.size()));
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, bmp));
        ExpectPalette(dib, bmp, c.palette);
        ExpectDrawn(dib, bmp);
        ExpectSamePicture(bmp, SaveBytes(dib));
    }
}

// Changes to an 8-bit 5 x 3 image: headers, 1024 bytes of table from offset 54, pixels
// from 1078, rows of 8 bytes (5 used), 1102 bytes in all.
struct Damage {
    const char* what;
    bool loads;
    uint32_t edits[3][3];  // offset, size (2 or 4; 0 for none), value
};
const Damage kDamage[] = {
    {"bfType", false, {{0, 2, 0x4142}}},
    {"biSize 12", false, {{14, 4, 12}}},
    {"bfSize 0", true, {{2, 4, 0}}},
    {"bfSize inside the headers", true, {{2, 4, 20}}},
    {"bfSize short of the rows", true, {{2, 4, 1088}}},
    {"bfSize far beyond the end", true, {{2, 4, 0xFFFFFFFF}}},
    {"bfOffBits inside the headers", false, {{10, 4, 53}}},
    {"bfOffBits at the table", true, {{10, 4, 54}}},
    {"bfOffBits at the end", false, {{10, 4, 1102}}},
    {"bfOffBits leaving too few rows", false, {{10, 4, 1090}}},
    {"bfOffBits far beyond the end", false, {{10, 4, 0xFFFFFFF0}}},
    {"width 0", false, {{18, 4, 0}}},
    {"width -1", false, {{18, 4, 0xFFFFFFFF}}},
    {"width whose bits overflow 32 bits", false, {{18, 4, 0x20000001}}},
    {"width beyond the file", false, {{18, 4, 9}}},
    {"height 0", false, {{22, 4, 0}}},
    {"height INT_MIN", false, {{22, 4, 0x80000000}}},
    {"height -3 (top-down)", true, {{22, 4, 0xFFFFFFFD}}},
    {"height -INT_MAX", false, {{22, 4, 0x80000001}}},
    {"width x height past 2 GB", false, {{18, 4, 0x10000}, {22, 4, 0x10000}}},
    {"biBitCount 2", false, {{28, 2, 2}}},
    {"biBitCount 64", false, {{28, 2, 64}}},
    {"biBitCount 4", true, {{28, 2, 4}}},
    {"biBitCount 24 beyond the file", false, {{28, 2, 24}}},
    {"biBitCount 32 from the table", true, {{28, 2, 32}, {10, 4, 54}}},
    {"RLE8 at 8 bits", true, {{30, 4, 1}}},
    {"RLE4 at 4 bits", true, {{30, 4, 2}, {28, 2, 4}}},
    {"RLE4 at 8 bits", false, {{30, 4, 2}}},
    {"RLE8 rows far beyond its data", false, {{30, 4, 1}, {22, 4, 0x100000}}},
    {"bit fields", false, {{30, 4, 3}}},
    {"compression 0xFFFFFFFF", false, {{30, 4, 0xFFFFFFFF}}},
    {"biSizeImage huge", true, {{34, 4, 0xFFFFFFFF}}},
    {"biClrUsed 256", true, {{46, 4, 256}}},
    {"biClrUsed 257", false, {{46, 4, 257}}},
    {"1 bit, biClrUsed 3", false, {{28, 2, 1}, {46, 4, 3}}},
    {"4 bits, biClrUsed 16", true, {{28, 2, 4}, {46, 4, 16}}},
    {"4 bits, biClrUsed 17", false, {{28, 2, 4}, {46, 4, 17}}},
    {"24 bits, biClrUsed 256", true, {{28, 2, 24}, {46, 4, 256}, {10, 4, 54}}},
    {"24 bits, biClrUsed 257", false, {{28, 2, 24}, {46, 4, 257}, {10, 4, 54}}},
};

TEST(DibHostileHeaderTest, RefusesLeavingNothingOrHoldsAnImageThatDrawsAndWrites)
{
    const Bytes valid = MakeBmp(BmpShape{5, 3, 8});
    ASSERT_EQ(1102u, valid.size());
    for (const Damage& d : kDamage) {
        SCOPED_TRACE(d.what);
        Bytes bytes = valid;
        for (const auto& e : d.edits)
            Put(bytes, e[0], static_cast<int>(e[1]), e[2]);
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, valid));
        ASSERT_EQ(d.loads, LoadBytes(dib, bytes));
        if (d.loads)
            ExpectHeldSafely(dib, bytes, 0);
        else
            EXPECT_TRUE(!dib.GetInfo() && !dib.GetBits()) << "the object is not empty";
    }
    EXPECT_TRUE(HeapsAreSound());
}

TEST(DibTruncationTest, EveryPrefixIsRefusedUntilTheRowsAreThere)
{
    const Bytes valid = MakeBmp(BmpShape{5, 3, 8});
    // Complete once the last row's five used bytes are in: 1078 + 2 * 8 + 5.
    for (size_t n = 0; n <= valid.size(); ++n) {
        SCOPED_TRACE(testing::Message() << n << " bytes");
        CDib dib;
        const BOOL loaded = LoadBytes(dib, Bytes(valid.begin(), valid.begin() + n));
        ASSERT_EQ(n >= 1099, loaded != FALSE);
        EXPECT_TRUE(loaded ? SaveBytes(dib) == valid : !dib.GetInfo() && !dib.GetBits());
    }
    EXPECT_TRUE(HeapsAreSound());
}

}  // namespace
