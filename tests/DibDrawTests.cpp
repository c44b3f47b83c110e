// tests/DibDrawTests.cpp
//
// Drawing, checked by the pixels that arrive in a memory canvas; run-length data; filling
// from bitmap resources and bitmap objects; and rows packed to whole bytes.
#include "DibTestResources.h"
#include "DibTestUtil.h"

#include <algorithm>

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
                const Bytes bmp = MakeBmp({5, 4, bits ? bits : 8, 0, ~0u, 0, topDown});
                CDib dib;
                ASSERT_TRUE(!bits || LoadBytes(dib, bmp));
                Canvas canvas(12, 10);
                const HGDIOBJ palette = GetCurrentObject(canvas, OBJ_PAL);
                SetStretchBltMode(canvas, WHITEONBLACK);
                op.draw(dib, canvas);
                EXPECT_EQ(bits == 8 ? COLORONCOLOR : WHITEONBLACK, GetStretchBltMode(canvas));
                EXPECT_EQ(palette, GetCurrentObject(canvas, OBJ_PAL));
                EXPECT_TRUE(bits || dib.DrawRegion(&canvas, op.area, op.area) == 0) << "lines set";
                EXPECT_TRUE(canvas.Shows(bmp, bits ? op.area : RECT{}, op.scale, op.origin));
            }
}

// 4 x 2 pixels at 8 bits: bottom row 5 5 7 7, top row 9 9 9 9.
TEST(DibDrawTest, RunLengthDataDrawsAndIsWrittenAsItCame)
{
    const Bytes rle = MakeRle({4, 2, 8}, {2, 5, 2, 7, 0, 0, 4, 9, 0, 1});
    Bytes plain = MakeBmp({4, 2, 8});
    const uint8_t pixels[] = {5, 5, 7, 7, 9, 9, 9, 9};
    std::copy(std::begin(pixels), std::end(pixels), plain.begin() + 1078);
    CDib dib;
    ASSERT_TRUE(LoadBytes(dib, rle));
    EXPECT_TRUE(DrawsAs(dib, plain));
    EXPECT_EQ(rle, SaveBytes(dib));
}

// Each resource is also stored as its file's bytes, which tell what it shows.
TEST(DibResourceTest, HoldsShallowImagesAtTheirDepthAndDrawsAndWritesTheirPixels)
{
    const int cases[][2] = {{IDB_TEST_DEPTH1, 1},   {IDB_TEST_DEPTH4, 4},   {IDB_TEST_DEPTH8, 8},
                            {IDB_TEST_DEPTH16, 24}, {IDB_TEST_DEPTH24, 24}, {IDB_TEST_DEPTH32, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(c[0]), MAKEINTRESOURCEA(10));  // RT_RCDATA
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
        const Bytes file(data, data + SizeofResource(nullptr, resource));
        CDib dib;
        ASSERT_TRUE(dib.LoadFromResource(MAKEINTRESOURCEA(c[0])));
        EXPECT_EQ(c[1], dib.GetBitCount());
        EXPECT_EQ(c[1] <= 8, dib.GetPalette() != nullptr);
        EXPECT_TRUE(DrawsAs(dib, file));
        EXPECT_TRUE(SamePicture(file, SaveBytes(dib)));
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

// No fill of the class leaves rows packed to whole bytes; a derived class may, and says
// so by clearing the flag.
class PackedDib : public CDib {
public:
    // The rows of a 4-bit image 3 pixels wide: 2 bytes used of 4.
    void PackRows()
    {
        for (int row = 1; row < GetHeight(); ++row)
            std::copy_n(GetBits() + 4 * row, 2, GetBits() + 2 * row);
        m_bRowsAligned = FALSE;
    }
};

TEST(DibAlignRowsTest, SpreadsPackedRowsOutInPlaceOnceAndBeforeWriting)
{
    const Bytes bmp = MakeBmp({3, 4, 4});
    PackedDib dib, written;
    ASSERT_TRUE(LoadBytes(dib, bmp) && LoadBytes(written, bmp));
    dib.PackRows();
    ASSERT_TRUE(dib.AlignRows());
    ASSERT_TRUE(dib.AlignRows());
    EXPECT_TRUE(DrawsAs(dib, bmp));
    written.PackRows();
    const Bytes saved = SaveBytes(written);
    EXPECT_EQ(bmp.size(), saved.size());
    EXPECT_TRUE(SamePicture(bmp, saved));
}

}  // namespace
