// tests/DibDrawTests.cpp
//
// Drawing, checked by the pixels that arrive in a memory canvas; run-length data; filling
// from bitmap resources and bitmap objects; and row alignment.
#include "DibTestResources.h"
#include "DibTestUtil.h"

#include <gtest/gtest.h>

namespace {

// The three drawing operations on a 5 x 4 image: each fills the canvas area, at the given
// scale, from the image pixels starting at the given one, and leaves the rest alone.
struct DrawOp {
    const char* what;
    void (*draw)(CDib&, CDC&);
    RECT area;
    int scale;
    POINT origin;
};
const DrawOp kDrawOps[] = {
    {"Draw at (1, 1)", [](CDib& dib, CDC& dc) { dib.Draw(&dc, 1, 1); }, {1, 1, 6, 5}, 1, {0, 0}},
    {"StretchDraw to twice the size", [](CDib& dib, CDC& dc) { dib.StretchDraw(&dc, 1, 1, 10, 8); },
     {1, 1, 11, 9}, 2, {0, 0}},
    {"DrawRegion of the source's left and bottom edges",
     [](CDib& dib, CDC& dc) { dib.DrawRegion(&dc, RECT{1, 2, 3, 4}, RECT{1, 1, 4, 3}); }, {1, 2, 3, 4}, 1, {1, 1}},
};

// With an 8-bit image (palette), a 24-bit one and none (0 bits).
TEST(DibDrawTest, TheDrawingOperationsPutEachPixelInPlaceAndTheDeviceBack)
{
    for (int bits : {0, 8, 24})
        for (bool topDown : {false, true})
            for (const DrawOp& op : kDrawOps) {
                SCOPED_TRACE(testing::Message() << op.what << ", " << bits << (topDown ? " bits top-down" : " bits"));
                const Bytes bmp = MakeBmp(BmpShape{5, 4, bits ? bits : 8, 0, ~0u, 0, topDown});
                CDib dib;
                ASSERT_TRUE(!bits || LoadBytes(dib, bmp));
                Canvas canvas(12, 10);
                const HGDIOBJ palette = GetCurrentObject(canvas.DC(), OBJ_PAL);
                SetStretchBltMode(canvas.DC(), WHITEONBLACK);
                op.draw(dib, canvas.DC());
                EXPECT_EQ(bits == 8 ? COLORONCOLOR : WHITEONBLACK, GetStretchBltMode(canvas.DC()));
                EXPECT_EQ(palette, GetCurrentObject(canvas.DC(), OBJ_PAL));
                EXPECT_TRUE(bits || dib.DrawRegion(&canvas.DC(), op.area, op.area) == 0) << "lines set";
                for (int y = 0; y < 10; ++y)
                    for (int x = 0; x < 12; ++x) {
                        const int sx = op.origin.x + (x - op.area.left) / op.scale;
                        const int sy = op.origin.y + (y - op.area.top) / op.scale;
                        ASSERT_EQ(bits && PtInRect(&op.area, POINT{x, y}) ? PixelOf(bmp, sx, sy) : Canvas::kSentinel,
                                  canvas.Pixel(x, y)) << x << "," << y;
                    }
            }
}

// 4 x 2 pixels at 8 bits: bottom row 5 5 7 7, top row 9 9 9 9.
TEST(DibDrawTest, RunLengthDataDrawsAndIsWrittenAsItCame)
{
    const Bytes bmp = MakeRle(BmpShape{4, 2, 8}, {2, 5, 2, 7, 0, 0, 4, 9, 0, 1});
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, bmp));
    Canvas canvas(4, 2);
    dib.Draw(&canvas.DC(), 0, 0);
    auto color = [&](int i) { return RGB(bmp[56 + 4 * i], bmp[55 + 4 * i], bmp[54 + 4 * i]); };
    const COLORREF expected[2][4] = {{color(9), color(9), color(9), color(9)},
                                     {color(5), color(5), color(7), color(7)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(expected[y][x], canvas.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(bmp, SaveBytes(dib));
}

Bytes ResourceBytes(int id)
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    return Bytes(data, data + SizeofResource(nullptr, resource));
}

TEST(DibResourceTest, HoldsShallowImagesAtTheirDepthAndDrawsAndWritesTheirPixels)
{
    const int cases[][2] = {{IDB_TEST_DEPTH1, 1},   {IDB_TEST_DEPTH4, 4},   {IDB_TEST_DEPTH8, 8},
                            {IDB_TEST_DEPTH16, 24}, {IDB_TEST_DEPTH24, 24}, {IDB_TEST_DEPTH32, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        const Bytes file = ResourceBytes(c[0]);
        CDib dib;
        ASSERT_TRUE(dib.LoadFromResource(MAKEINTRESOURCEA(c[0])));
        EXPECT_EQ(c[1], dib.GetBitCount());
        EXPECT_EQ(c[1] <= 8, dib.GetPalette() != nullptr);
        ExpectDrawn(dib, file);
        ExpectSamePicture(file, SaveBytes(dib));
    }
}

TEST(DibResourceTest, FailedLoadsAndSavesKeepTheImageAndABadBitmapEmptiesIt)
{
    CDib dib;
    ASSERT_TRUE(dib.LoadFromResource(MAKEINTRESOURCEA(IDB_TEST_DEPTH8)));
    const BYTE* bits = dib.GetBits();
    EXPECT_FALSE(dib.Load("C:\\no\\such\\dir\\picture.bmp"));
    EXPECT_FALSE(dib.Save("C:\\no\\such\\dir\\picture.bmp"));
    EXPECT_FALSE(dib.LoadFromResource(MAKEINTRESOURCEA(9999)));
    EXPECT_FALSE(dib.LoadFromResource("NOSUCHBITMAP"));
    EXPECT_EQ(bits, dib.GetBits());
    CBitmap notABitmap;
    notABitmap.Attach(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_FALSE(dib.CreateFromBitmap(nullptr, &notABitmap));
    EXPECT_TRUE(!dib.GetBits() && !dib.GetInfo()) << "the object is not empty";
    EXPECT_NE(nullptr, dib.GetPalette()) << "the earlier palette stays";
}

// A derived 4-bit image holding rows packed to whole bytes, as AlignRows expects them.
class PackedDib : public CDib {
public:
    PackedDib(const Bytes& bmp, DWORD packed, DWORD aligned)
    {
        m_pInfo = reinterpret_cast<BITMAPINFO*>(new BYTE[40 + 64]);
        std::copy_n(bmp.begin() + 14, 40 + 64, reinterpret_cast<BYTE*>(m_pInfo));
        m_pBits = new BYTE[aligned * GetHeight()]();
        for (int row = 0; row < GetHeight(); ++row)
            std::copy_n(bmp.begin() + 118 + aligned * row, packed, m_pBits + packed * row);
    }
};

TEST(DibAlignRowsTest, SpreadsPackedRowsOutInPlaceOnceAndBeforeWriting)
{
    const Bytes bmp = MakeBmp(BmpShape{3, 4, 4});  // 2 bytes used of 4 in a row
    PackedDib dib(bmp, 2, 4);
    ASSERT_TRUE(dib.AlignRows());
    ASSERT_TRUE(dib.AlignRows());
    ExpectDrawn(dib, bmp);
    PackedDib written(bmp, 2, 4);
    const Bytes saved = SaveBytes(written);
    EXPECT_EQ(bmp.size(), saved.size());
    ExpectSamePicture(bmp, saved);
}

}  // namespace
