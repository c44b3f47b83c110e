// tests/AboutTests.cpp
//
// The bitmap background checked by the pixels it draws, its colour answers per control
// kind, and the About box: memory figures, links, the round OK button, focus and default
// button following the pointer, dragging, and how it ends.
#include "BackgroundTestResources.h"
#include "DialogTestUtil.h"
#include "about/AboutDlg.h"
#include "graphics/BackgroundDialog.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace {

constexpr UINT WM_TEST_SET_BITMAP = WM_APP + 1;

// The background dialog on a test template; the test thread changes its bitmap through a
// message, so that the dialog object is touched only by its own thread.
class CBackgroundProbe : public CBackgroundDialog {
public:
    CBackgroundProbe() : CBackgroundDialog(IDD_TEST_BACKGROUND) {}
    LRESULT OnSetBitmap(WPARAM id, LPARAM mode) { return SetBitmap(static_cast<UINT>(id), static_cast<int>(mode)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBackgroundProbe, CBackgroundDialog)
    ON_MESSAGE(WM_TEST_SET_BITMAP, &CBackgroundProbe::OnSetBitmap)
END_MESSAGE_MAP()

// A 24-bit canvas the test reads back pixel by pixel, prefilled with a colour no bitmap
// or dialog uses.
class Canvas {
public:
    static constexpr COLORREF kSentinel = RGB(1, 254, 3);

    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < width * height; ++i)
            m_bits[i] = 0x01FE03;  // kSentinel as BGRX
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Where the gradient's top-left pixel landed: the corners of the drawn tiles.
    int CountTileCorners() const
    {
        int corners = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                corners += At(x, y) == RGB(0, 0, 128);
        return corners;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

COLORREF Gradient(int x, int y)
{
    return RGB(6 * x, 6 * y, 128);
}

// Sizes the borderless dialog's client area and erases it onto a fresh canvas.
LRESULT EraseOnto(HWND dialog, const Canvas& canvas, int width, int height)
{
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return SendMessageA(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
}

void RunBackground(const std::function<void(HWND)>& script)
{
    static const bool commonControls = [] {
        InitCommonControls();
        return true;
    }();
    (void)commonControls;
    RunWithScript("", [] { return CBackgroundProbe().DoModal(); }, script);
}

TEST(BackgroundDialogTest, WithoutABitmapTheDialogErasesAndColoursAsUsual)
{
    RunBackground([](HWND dialog) {
        Canvas canvas(100, 60);
        EXPECT_NE(0, EraseOnto(dialog, canvas, 100, 60));
        EXPECT_EQ(GetSysColor(COLOR_3DFACE), canvas.At(50, 30));
        EXPECT_FALSE(SendMessageA(dialog, WM_TEST_SET_BITMAP, 4242, CBackgroundDialog::BkTile));
        Canvas again(100, 60);
        EraseOnto(dialog, again, 100, 60);
        EXPECT_EQ(GetSysColor(COLOR_3DFACE), again.At(50, 30));
        const HBRUSH hollow = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        EXPECT_NE(reinterpret_cast<LRESULT>(hollow),
                  SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_TEST_STATIC))));
    });
}

TEST(BackgroundDialogTest, TilesRepeatTheImageFromTheTopLeftCorner)
{
    RunBackground([](HWND dialog) {
        for (int mode : {0, 3, -1}) {
            SCOPED_TRACE(mode);
            ASSERT_TRUE(SendMessageA(dialog, WM_TEST_SET_BITMAP, IDB_TEST_GRADIENT, mode));
            Canvas canvas(100, 60);
            EXPECT_EQ(TRUE, EraseOnto(dialog, canvas, 100, 60));
            EXPECT_EQ(6, canvas.CountTileCorners());  // 3 x 2 tiles, edge tiles clipped
            EXPECT_EQ(Gradient(0, 0), canvas.At(80, 40));
            EXPECT_EQ(Gradient(5, 10), canvas.At(45, 10));
            EXPECT_EQ(Gradient(19, 19), canvas.At(99, 59));
        }
    });
}

TEST(BackgroundDialogTest, StretchCoversTheWholeClientArea)
{
    RunBackground([](HWND dialog) {
        ASSERT_TRUE(SendMessageA(dialog, WM_TEST_SET_BITMAP, IDB_TEST_GRADIENT, CBackgroundDialog::BkStretch));
        Canvas canvas(80, 120);
        EXPECT_EQ(TRUE, EraseOnto(dialog, canvas, 80, 120));
        EXPECT_EQ(Gradient(0, 0), canvas.At(0, 0));
        EXPECT_EQ(Gradient(39, 39), canvas.At(79, 119));
        EXPECT_EQ(Gradient(20, 20), canvas.At(40, 60));
    });
}

TEST(BackgroundDialogTest, CentreDrawsOverTheOrdinaryBackgroundAndTruncatesTowardZero)
{
    RunBackground([](HWND dialog) {
        ASSERT_TRUE(SendMessageA(dialog, WM_TEST_SET_BITMAP, IDB_TEST_GRADIENT, CBackgroundDialog::BkCenter));
        Canvas wide(101, 60);
        EXPECT_EQ(TRUE, EraseOnto(dialog, wide, 101, 60));
        EXPECT_EQ(Gradient(0, 0), wide.At(30, 10));  // (101 - 40) / 2 = 30, (60 - 40) / 2 = 10
        EXPECT_EQ(GetSysColor(COLOR_3DFACE), wide.At(29, 10));
        EXPECT_EQ(GetSysColor(COLOR_3DFACE), wide.At(100, 59));

        Canvas narrow(31, 60);
        EraseOnto(dialog, narrow, 31, 60);
        EXPECT_EQ(Gradient(4, 0), narrow.At(0, 10));  // (31 - 40) / 2 = -4, not -5
    });
}

TEST(BackgroundDialogTest, ButtonsAndStaticsAreTransparentOverTheImageAndTheRestKeepTheirColours)
{
    RunBackground([](HWND dialog) {
        ASSERT_TRUE(SendMessageA(dialog, WM_TEST_SET_BITMAP, IDB_TEST_GRADIENT, CBackgroundDialog::BkTile));
        const LRESULT hollow = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        const struct {
            UINT message;
            int control;  // 0: the dialog itself
            bool transparent;
        } cases[] = {
            {WM_CTLCOLORBTN, IDC_TEST_BUTTON, true},       {WM_CTLCOLORSTATIC, IDC_TEST_STATIC, true},
            {WM_CTLCOLORSTATIC, IDC_TEST_TRACKBAR, false}, {WM_CTLCOLOREDIT, IDC_TEST_EDIT, false},
            {WM_CTLCOLORLISTBOX, IDC_TEST_LIST, false},    {WM_CTLCOLORSCROLLBAR, IDC_TEST_SCROLL, false},
            {WM_CTLCOLORDLG, 0, false},                    {WM_CTLCOLORMSGBOX, 0, false},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << std::hex << c.message << " " << std::dec << c.control);
            HWND control = c.control ? GetDlgItem(dialog, c.control) : dialog;
            ASSERT_NE(nullptr, control);
            Canvas canvas(1, 1);
            SetBkMode(canvas.Dc(), OPAQUE);
            const LRESULT brush = SendMessageA(dialog, c.message, reinterpret_cast<WPARAM>(canvas.Dc()),
                                               reinterpret_cast<LPARAM>(control));
            EXPECT_EQ(c.transparent, brush == hollow);
            EXPECT_EQ(c.transparent ? TRANSPARENT : OPAQUE, GetBkMode(canvas.Dc()));
        }
    });
}

TEST(BackgroundDialogTest, APaletteThatMapsNothingDoesNotRepaint)
{
    // On a true-colour display realising a palette changes no system entries.
    RunBackground([](HWND dialog) {
        ASSERT_TRUE(SendMessageA(dialog, WM_TEST_SET_BITMAP, IDB_TEST_PALETTE, CBackgroundDialog::BkTile));
        ValidateRect(dialog, nullptr);
        EXPECT_EQ(FALSE, SendMessageA(dialog, WM_QUERYNEWPALETTE, 0, 0));
        EXPECT_FALSE(GetUpdateRect(dialog, nullptr, FALSE));
    });
}

//--- The About box -----------------------------------------------------------------------

TEST(AboutBoxTest, MemorySizesKeepTheirBoundaries)
{
    const struct {
        ULONGLONG bytes;
        const char* text;
    } cases[] = {
        {0, "0 Bytes"},          {1024, "1024 Bytes"},     {1025, "1 KB"},
        {1048576, "1024 KB"},    {1048577, "1 MB"},        {2097151, "1 MB"},
        {0xFFFFFFFFull, "4095 MB"}, {5ull << 30, "5120 MB"},  // past 32 bits: neither capped nor wrapped
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, CAboutDlg::FormatMemorySize(c.bytes)) << c.bytes;

    EXPECT_STREQ("Total physical memory: 2 MB\nAvailable physical memory: 1 KB\n"
                 "Total paging memory: 3 Bytes\nAvailable paging memory: 4 MB",
                 CAboutDlg::FormatMemorySummary({2u << 20, 1500, 3, (4u << 20) + 1}));
}

TEST(AboutBoxTest, LargeMachinesShowTheirWholeMemory)
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    const MemoryCounts counts = CAboutDlg::ReadMemoryCounts();
    EXPECT_EQ(status.ullTotalPhys, counts.totalPhys);
    EXPECT_EQ(status.ullTotalPageFile, counts.totalPageFile);
}

// The About box with its drags recorded instead of carried out, and its OK counted.
class CAboutProbe : public CAboutDlg {
public:
    void OnOK() override
    {
        ++m_oks;
        CAboutDlg::OnOK();
    }
    LRESULT OnNcLButtonDown(WPARAM hit, LPARAM point)
    {
        m_dragHit = hit;
        m_dragPoint = point;
        return 0;
    }
    int m_oks = 0;
    WPARAM m_dragHit = 0;
    LPARAM m_dragPoint = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAboutProbe, CAboutDlg)
    ON_MESSAGE(WM_NCLBUTTONDOWN, &CAboutProbe::OnNcLButtonDown)
END_MESSAGE_MAP()

bool IsAbout(HWND hWnd)
{
    return GetDlgItem(hWnd, IDC_WEB_LINK) != nullptr;
}

TEST(AboutBoxTest, ShowsVersionMemoryAndLinkTextsWhileTheLinksKeepTheirUrls)
{
    CAboutProbe about;
    RunWithScript("", [&] { return about.DoModal(); }, [](HWND box) {
        ASSERT_TRUE(IsAbout(box));
        EXPECT_EQ("1.06", WindowText(GetDlgItem(box, IDC_VERSION)));
        const std::string memory = WindowText(GetDlgItem(box, IDC_MEMORY));
        EXPECT_EQ(0u, memory.find("Total physical memory: "));
        EXPECT_EQ(3, std::count(memory.begin(), memory.end(), '\n'));
        EXPECT_EQ("autovane@brindlework.example", WindowText(GetDlgItem(box, IDC_EMAIL_LINK)));
        EXPECT_EQ("www.brindlework.example", WindowText(GetDlgItem(box, IDC_WEB_LINK)));
        // The first tab stop, the invisible owner-drawn button, has the focus.
        EXPECT_EQ(GetDlgItem(box, IDC_ABOUT_FOCUS), FocusOf(box));
    });
}

TEST(AboutBoxTest, TheLinksDrawOverTheBitmapWithoutTheirOwnColours)
{
    CAboutProbe about;
    RunWithScript("", [&] { return about.DoModal(); }, [](HWND box) {
        for (int id : {IDC_WEB_LINK, IDC_EMAIL_LINK}) {
            Canvas canvas(1, 1);
            SetTextColor(canvas.Dc(), RGB(1, 2, 3));
            const LRESULT brush = SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
                                               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
            EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), brush) << id;
            EXPECT_EQ(RGB(1, 2, 3), GetTextColor(canvas.Dc())) << id;
            EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.Dc())) << id;
        }
    });
}

TEST(AboutBoxTest, TheOkButtonIsRoundAndTheFocusFollowsThePointer)
{
    CAboutProbe about;
    RunWithScript("", [&] { return about.DoModal(); }, [](HWND box) {
        HWND ok = GetDlgItem(box, IDOK);
        RECT rect;
        GetWindowRect(ok, &rect);
        EXPECT_EQ(40, rect.right - rect.left);
        EXPECT_EQ(40, rect.bottom - rect.top);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(ok, region);
        ASSERT_NE(ERROR, kind) << "the button has no region";
        EXPECT_TRUE(PtInRegion(region, 20, 20));
        EXPECT_FALSE(PtInRegion(region, 2, 2));
        EXPECT_FALSE(PtInRegion(region, 37, 37));
        DeleteObject(region);

        SendMessageA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(ok), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(MAKELRESULT(IDOK, DC_HASDEFID), SendMessageA(box, DM_GETDEFID, 0, 0));
        EXPECT_EQ(ok, FocusOf(box));
        SendMessageA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(box), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(MAKELRESULT(IDC_NOFOCUS, DC_HASDEFID), SendMessageA(box, DM_GETDEFID, 0, 0));
        // The dialog takes the focus and the dialog manager hands it on to a control it
        // keeps; the OK button no longer has it.
        EXPECT_NE(ok, FocusOf(box));
    });
}

TEST(AboutBoxTest, APressOnTheSurfaceDragsTheBoxAsItsCaptionWould)
{
    CAboutProbe about;
    RunWithScript("", [&] { return about.DoModal(); }, [&](HWND box) {
        SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
        SyncWith(box);
        EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), about.m_dragHit);
        EXPECT_EQ(MAKELPARAM(12, 34), about.m_dragPoint);
    });
}

TEST(AboutBoxTest, EscapeEndsTheBoxThroughOkWithCancelAsResult)
{
    CAboutProbe about;
    const INT_PTR result = RunWithScript("", [&] { return about.DoModal(); }, [](HWND box) {
        PressKey(box, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(1, about.m_oks);
}

}  // namespace
