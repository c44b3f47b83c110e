// tests/DibFileTests.cpp
//
// BMP files read and written: every depth byte for byte, files of other writers, and the
// answers to damaged headers and to every cut-short file.
#include "DibTestUtil.h"

namespace {

// Each depth bottom-up 1 pixel wide and top-down 5 wide, then files in forms this
// program does not write, whose picture it keeps. Every file states a biSizeImage, which
// the writer sets to 0, in its file and in the header it holds.
TEST(DibFileTest, FilesOfEveryDepthAndWriterDrawAndWriteTheirPicture)
{
    struct Picture {
        BmpShape shape;
        size_t cut;  // bytes left off the end
        UINT palette;
    };
    std::vector<Picture> pictures;
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (int width : {1, 5})
            pictures.push_back({{width, 3, bits, 0, ~0u, 0, width == 5}, 0, bits <= 8 ? 1u << bits : 0});
    pictures.insert(pictures.end(), {{{5, 3, 8, 0, ~0u, 10}, 0, 256},  // a gap before the pixels
                                     {{5, 3, 8, 3, 3}, 0, 3},           // a short colour table
                                     {{5, 3, 8, 16}, 0, 16},            // biClrUsed below the depth's
                                     {{9, 2, 1, 1, 1}, 0, 1},           // a one-colour palette
                                     {{5, 3, 24}, 1, 0},                // the last row without padding
                                     {{4, 3, 4, 0, ~0u, 3, true}, 0, 16}});
    for (const Picture& p : pictures) {
        SCOPED_TRACE(testing::Message() << p.shape.bitCount << " bits, " << p.shape.width << " wide, palette "
                                        << p.palette << ", table " << p.shape.tableEntries << ", gap " << p.shape.gap);
        Bytes bmp = MakeBmp(p.shape);
        bmp.resize(bmp.size() - p.cut);
        Put(bmp, 2, 4, static_cast<uint32_t>(bmp.size()));
        Bytes stored = bmp;
        Put(stored, 34, 4, 12345);
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, stored));
        ASSERT_EQ(p.palette != 0, dib.GetPalette() != nullptr);
        PALETTEENTRY entries[257] = {};
        EXPECT_EQ(p.palette, p.palette ? GetPaletteEntries(*dib.GetPalette(), 0, 257, entries) : 0);
        for (UINT i = 0; i < p.palette; ++i)
            EXPECT_EQ(RGB(bmp[56 + 4 * i], bmp[55 + 4 * i], bmp[54 + 4 * i]),
                      RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue)) << "palette entry " << i;
        EXPECT_TRUE(DrawsAs(dib, bmp));
        const Bytes saved = SaveBytes(dib);
        EXPECT_TRUE(SamePicture(bmp, saved));
        if (p.cut == 0 && p.shape.gap == 0 && p.shape.tableEntries == ~0u) {
            EXPECT_EQ(bmp, saved);
        }
        EXPECT_EQ(0u, dib.GetInfo()->bmiHeader.biSizeImage);
        EXPECT_EQ(saved, SaveBytes(dib)) << "a second write";
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

// A refused file leaves the object empty, even after an earlier image; an accepted one
// is held safely. Every prefix of the valid file is refused until the last row's five
// used bytes are in (1078 + 2 * 8 + 5).
TEST(DibFileTest, DamagedAndCutShortFilesAreRefusedLeavingNothingOrHeldSafely)
{
    const Bytes valid = MakeBmp({5, 3, 8});
    ASSERT_EQ(1102u, valid.size());
    for (const Damage& d : kDamage) {
        SCOPED_TRACE(d.what);
        Bytes bytes = valid;
        for (const auto& e : d.edits)
            Put(bytes, e[0], static_cast<int>(e[1]), e[2]);
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, valid));
        EXPECT_EQ(d.loads, LoadBytes(dib, bytes));
        EXPECT_TRUE(d.loads ? HeldSafely(dib, bytes, 0, SaveBytes(dib)) : testing::AssertionResult(!dib.GetInfo() && !dib.GetBits()));
    }
    for (size_t n = 0; n <= valid.size(); ++n) {
        CDib dib;
        const BOOL loaded = LoadBytes(dib, Bytes(valid.begin(), valid.begin() + n));
        ASSERT_EQ(n >= 1099, loaded != FALSE) << n << " bytes";
        EXPECT_TRUE(loaded ? SaveBytes(dib) == valid : !dib.GetInfo() && !dib.GetBits()) << n << " bytes";
    }
    EXPECT_TRUE(HeapsAreSound());
}

}  // namespace
