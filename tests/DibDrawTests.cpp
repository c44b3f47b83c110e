// tests/DibDrawTests.cpp
//
// Drawing, checked by the pixels that arrive in a memory canvas; filling from bitmap
// resources and bitmap objects; row alignment; and the virtual operations a derived class
// can replace.
#include "DibTestResources.h"
#include "DibTestUtil.h"
#include "graphics/Dib.h"

#include <gtest/gtest.h>

namespace {

BOOL LoadBytes(CDib& dib, const Bytes& bytes)
{
    ScratchFile file("draw.bmp");
    file.Store(bytes);
    return dib.Load(file.Path());
}

Bytes ResourceBytes(int id)
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    return Bytes(data, data + SizeofResource(nullptr, resource));
}

void ExpectDrawn(Canvas& canvas, const BmpSpec& spec, int left, int top)
{
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x)
            ASSERT_EQ(ExpectedColor(spec, x, y), canvas.Pixel(left + x, top + y))
                << "pixel " << x << "," << y;
}

TEST(DibDrawTest, DrawsEveryDepthAtNaturalSize)
{
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits" << (topDown ? ", top-down" : ""));
            BmpSpec spec;
            spec.width = 5;
            spec.height = 3;
            spec.bitCount = bits;
            spec.topDown = topDown;
            CDib dib;
            ASSERT_TRUE(LoadBytes(dib, MakeBmp(spec)));
            Canvas canvas(8, 6);
            dib.Draw(&canvas.DC(), 2, 1);
            ExpectDrawn(canvas, spec, 2, 1);
            EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(1, 1));
            EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(7, 1));
            EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(2, 0));
            EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(2, 4));
        }
}

TEST(DibDrawTest, StretchDrawScalesIntoTheRectangle)
{
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, MakeBmp(spec)));
    Canvas canvas(6, 6);
    dib.StretchDraw(&canvas.DC(), 1, 1, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(ExpectedColor(spec, x / 2, y / 2), canvas.Pixel(1 + x, 1 + y)) << x << "," << y;
    EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(5, 5));
}

TEST(DibDrawTest, DrawRegionCopiesTheSourceRegionAtOneToOne)
{
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        BmpSpec spec;
        spec.width = 5;
        spec.height = 4;
        spec.topDown = topDown;
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, MakeBmp(spec)));
        Canvas canvas(4, 4);
        const RECT source = {1, 1, 4, 3};  // only its left and bottom edges count
        const RECT dest = {1, 2, 3, 4};
        EXPECT_NE(0, dib.DrawRegion(&canvas.DC(), dest, source));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(ExpectedColor(spec, 1 + x, 1 + y), canvas.Pixel(1 + x, 2 + y)) << x << "," << y;
        EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(3, 2));
        EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(1, 1));
    }
}

TEST(DibDrawTest, WithoutAnImageNothingIsDrawn)
{
    CDib dib;
    Canvas canvas(2, 2);
    const RECT rect = {0, 0, 2, 2};
    EXPECT_EQ(0, dib.DrawRegion(&canvas.DC(), rect, rect));
    dib.StretchDraw(&canvas.DC(), 0, 0, 2, 2);
    dib.Draw(&canvas.DC(), 0, 0);
    EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(0, 0));
    EXPECT_EQ(Canvas::kSentinel, canvas.Pixel(1, 1));
}

TEST(DibDrawTest, APaletteImageSetsColorOnColorAndPutsThePaletteBack)
{
    BmpSpec palette;
    palette.bitCount = 8;
    BmpSpec trueColor;
    for (const BmpSpec& spec : {palette, trueColor}) {
        SCOPED_TRACE(testing::Message() << spec.bitCount << " bits");
        CDib dib;
        ASSERT_TRUE(LoadBytes(dib, MakeBmp(spec)));
        Canvas canvas(4, 4);
        HGDIOBJ before = GetCurrentObject(canvas.DC(), OBJ_PAL);
        SetStretchBltMode(canvas.DC(), HALFTONE);
        dib.Draw(&canvas.DC(), 0, 0);
        EXPECT_EQ(spec.bitCount <= 8 ? COLORONCOLOR : HALFTONE, GetStretchBltMode(canvas.DC()));
        EXPECT_EQ(before, GetCurrentObject(canvas.DC(), OBJ_PAL));
        SetStretchBltMode(canvas.DC(), HALFTONE);
        const RECT rect = {0, 0, 3, 2};
        dib.DrawRegion(&canvas.DC(), rect, rect);
        EXPECT_EQ(spec.bitCount <= 8 ? COLORONCOLOR : HALFTONE, GetStretchBltMode(canvas.DC()));
        EXPECT_EQ(before, GetCurrentObject(canvas.DC(), OBJ_PAL));
        ExpectDrawn(canvas, spec, 0, 0);
    }
}

// 4 x 2 pixels at 8 bits: bottom row 5 5 7 7, top row 9 9 9 9.
TEST(DibDrawTest, RunLengthDataDrawsAndIsWrittenAsItCame)
{
    BmpSpec spec;
    spec.width = 4;
    spec.height = 2;
    spec.bitCount = 8;
    Bytes bmp = MakeBmp(spec);
    const Bytes rle = {2, 5, 2, 7, 0, 0, 4, 9, 0, 1};
    bmp.resize(1078);
    bmp.insert(bmp.end(), rle.begin(), rle.end());
    WriteLE32(bmp, 2, static_cast<uint32_t>(bmp.size()));
    WriteLE32(bmp, 30, 1);  // BI_RLE8
    WriteLE32(bmp, 34, static_cast<uint32_t>(rle.size()));
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, bmp));
    EXPECT_TRUE(dib.AlignRows());
    Canvas canvas(4, 2);
    dib.Draw(&canvas.DC(), 0, 0);
    auto color = [&](int index) { return RGB(bmp[56 + 4 * index], bmp[55 + 4 * index], bmp[54 + 4 * index]); };
    EXPECT_EQ(color(9), canvas.Pixel(0, 0));
    EXPECT_EQ(color(9), canvas.Pixel(3, 0));
    EXPECT_EQ(color(5), canvas.Pixel(1, 1));
    EXPECT_EQ(color(7), canvas.Pixel(2, 1));
    ScratchFile saved("rle.bmp");
    ASSERT_TRUE(dib.Save(saved.Path()));
    EXPECT_EQ(bmp, saved.Contents());
}

TEST(DibResourceTest, HoldsShallowImagesAtTheirDepthAndDeepOnesAtTwentyFourBits)
{
    const struct {
        int id;
        WORD heldBits;
    } cases[] = {
        {IDB_TEST_DEPTH1, 1}, {IDB_TEST_DEPTH4, 4}, {IDB_TEST_DEPTH8, 8},
        {IDB_TEST_DEPTH16, 24}, {IDB_TEST_DEPTH24, 24}, {IDB_TEST_DEPTH32, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        CDib resource;
        ASSERT_TRUE(resource.LoadFromResource(MAKEINTRESOURCEA(c.id)));
        EXPECT_EQ(c.heldBits, resource.GetBitCount());
        EXPECT_EQ(c.heldBits <= 8, resource.GetPalette() != nullptr);
        EXPECT_EQ(0u, resource.GetInfo()->bmiHeader.biCompression);

        // The same picture read from the BMP file draws the same pixels.
        CDib file;
        ASSERT_TRUE(LoadBytes(file, ResourceBytes(c.id)));
        Canvas fromResource(5, 2);
        Canvas fromFile(5, 2);
        resource.Draw(&fromResource.DC(), 0, 0);
        file.Draw(&fromFile.DC(), 0, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < resource.GetWidth(); ++x)
                EXPECT_EQ(fromFile.Pixel(x, y), fromResource.Pixel(x, y)) << x << "," << y;
    }
}

TEST(DibResourceTest, WritesTheRowsThePlatformGaveUnmoved)
{
    // 3 pixels at 24 bits: 9 bytes used of 12 in a row, the case a row move would spoil.
    const Bytes bmp = ResourceBytes(IDB_TEST_DEPTH24);
    CDib dib;
    ASSERT_TRUE(dib.LoadFromResource(MAKEINTRESOURCEA(IDB_TEST_DEPTH24)));
    ScratchFile saved("resource.bmp");
    ASSERT_TRUE(dib.Save(saved.Path()));
    const Bytes written = saved.Contents();
    ASSERT_EQ(bmp.size(), written.size());
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.end()), Bytes(written.begin() + 54, written.end()));
}

TEST(DibResourceTest, AMissingResourceLeavesTheEarlierImage)
{
    CDib dib;
    ASSERT_TRUE(dib.LoadFromResource(MAKEINTRESOURCEA(IDB_TEST_DEPTH24)));
    BYTE* bits = dib.GetBits();
    EXPECT_FALSE(dib.LoadFromResource(MAKEINTRESOURCEA(9999)));
    EXPECT_FALSE(dib.LoadFromResource("NOSUCHBITMAP"));
    EXPECT_EQ(bits, dib.GetBits());
}

TEST(DibCreateFromBitmapTest, ANonBitmapFailsAndEmptiesTheObject)
{
    CDib dib;
    ASSERT_TRUE(dib.LoadFromResource(MAKEINTRESOURCEA(IDB_TEST_DEPTH8)));
    CBitmap notABitmap;
    notABitmap.Attach(CreateSolidBrush(RGB(1, 2, 3)));
    Canvas canvas(1, 1);
    EXPECT_FALSE(dib.CreateFromBitmap(&canvas.DC(), &notABitmap));
    EXPECT_EQ(nullptr, dib.GetBits());
    EXPECT_EQ(nullptr, dib.GetInfo());
    EXPECT_NE(nullptr, dib.GetPalette()) << "the earlier palette stays";
}

// A derived image that holds rows packed to whole bytes, as AlignRows expects them.
class PackedDib : public CDib {
public:
    void HoldPacked(const BmpSpec& spec, const Bytes& packedRows)
    {
        FreeImage();
        m_pInfo = reinterpret_cast<BITMAPINFO*>(new BYTE[sizeof(BITMAPINFOHEADER)]());
        m_pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        m_pInfo->bmiHeader.biWidth = spec.width;
        m_pInfo->bmiHeader.biHeight = spec.height;
        m_pInfo->bmiHeader.biPlanes = 1;
        m_pInfo->bmiHeader.biBitCount = static_cast<WORD>(spec.bitCount);
        const DWORD size = AlignedRowBytes(spec.bitCount, spec.width) * spec.height;
        m_pBits = new BYTE[size]();
        std::copy(packedRows.begin(), packedRows.end(), m_pBits);
        m_bRowsAligned = FALSE;
    }
};

TEST(DibAlignRowsTest, SpreadsPackedRowsOutInPlaceOnce)
{
    BmpSpec spec;
    spec.width = 3;
    spec.height = 4;
    const Bytes bmp = MakeBmp(spec);
    Bytes packed;
    for (int row = 0; row < spec.height; ++row)
        packed.insert(packed.end(), bmp.begin() + 54 + 12 * row, bmp.begin() + 54 + 12 * row + 9);
    PackedDib dib;
    dib.HoldPacked(spec, packed);
    ASSERT_TRUE(dib.AlignRows());
    for (int row = 0; row < spec.height; ++row)
        EXPECT_TRUE(std::equal(bmp.begin() + 54 + 12 * row, bmp.begin() + 54 + 12 * row + 9,
                               dib.GetBits() + 12 * row)) << "row " << row;
    const Bytes aligned(dib.GetBits(), dib.GetBits() + 48);
    ASSERT_TRUE(dib.AlignRows());
    EXPECT_EQ(aligned, Bytes(dib.GetBits(), dib.GetBits() + 48)) << "a second call moves nothing";

    PackedDib written;
    written.HoldPacked(spec, packed);
    ScratchFile file("aligned.bmp");
    ASSERT_TRUE(written.Save(file.Path()));
    const Bytes saved = file.Contents();
    ASSERT_EQ(bmp.size(), saved.size());
    for (int row = 0; row < spec.height; ++row)
        EXPECT_TRUE(std::equal(bmp.begin() + 54 + 12 * row, bmp.begin() + 54 + 12 * row + 9,
                               saved.begin() + 54 + 12 * row)) << "row " << row;
}

// Draw, Load and Save reach the replaceable operations through the virtual table.
class RecordingDib : public CDib {
public:
    void StretchDraw(CDC*, int x, int y, int cx, int cy) override { stretched = {x, y, cx, cy}; }
    BOOL Read(CFile* pFile) override { return CDib::Read(pFile) ? 7 : 0; }
    BOOL Write(CFile*) override { return 9; }

    RECT stretched = {};
};

TEST(DibVirtualTest, DrawLoadAndSaveGoThroughTheReplaceableOperations)
{
    BmpSpec spec;
    spec.width = 4;
    spec.height = 3;
    ScratchFile file("virtual.bmp");
    file.Store(MakeBmp(spec));
    RecordingDib dib;
    EXPECT_EQ(7, dib.Load(file.Path()));
    EXPECT_EQ(9, dib.Save(file.Path()));
    dib.Draw(nullptr, 6, 7);
    EXPECT_EQ(6, dib.stretched.left);
    EXPECT_EQ(7, dib.stretched.top);
    EXPECT_EQ(4, dib.stretched.right);
    EXPECT_EQ(3, dib.stretched.bottom);
}

}  // namespace
