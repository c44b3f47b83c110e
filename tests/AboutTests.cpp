// tests/AboutTests.cpp
//
// The bitmap background checked by the pixels it draws and its colour answers per control
// kind, and the About box: what it shows, default button and focus following the real
// pointer over its round OK button, dragging, and how it ends.
#include "BackgroundTestResources.h"
#include "TestUtil.h"
#include "about/AboutDlg.h"
#include "graphics/BackgroundDialog.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

namespace {

// A dialog of the given kind: WM_APP sets its bitmap (wParam) and mode (lParam) on the
// dialog's own thread, its drags are recorded instead of carried out, its OK is counted.
template <class Dialog> class CProbe : public Dialog {
public:
    using Dialog::Dialog;
    void OnOK() override { ++m_oks, Dialog::OnOK(); }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        return m == WM_APP ? this->SetBitmap(UINT(w), int(l))
                           : m == WM_NCLBUTTONDOWN ? (m_drag = {w, l}, 0) : Dialog::WindowProc(m, w, l);
    }
    int m_oks = 0;
    std::pair<WPARAM, LPARAM> m_drag;
};

// Sizes the borderless dialog's client area and has it erase a black canvas (black is
// nothing it draws); the canvas's pixels row by row (as 0xRRGGBB), none when it did not erase.
std::vector<DWORD> Erased(HWND dialog, int width, int height)
{
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP canvas = CreateBitmap(width, height, 1, 32, std::vector<DWORD>(size_t(width * height)).data());
    const HGDIOBJ old = SelectObject(dc, canvas);
    std::vector<DWORD> pixels(size_t(width * height));
    EXPECT_TRUE(SendMessageA(dialog, WM_ERASEBKGND, WPARAM(dc), 0) && GetBitmapBits(canvas, 4 * width * height, pixels.data()));
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return pixels;
}

// The test image's pixel at column x, row y from the top, as the canvas holds it.
constexpr DWORD Gradient(int x, int y) { return 6u * x << 16 | 6u * y << 8 | 128; }

// How the dialog answers a colour request from the control (0: the dialog itself):
// "hollow" (the hollow brush, a transparent background and the text colour the request
// came with), "own" (a brush of its own on an opaque background) or "mixed".
std::string Answer(HWND dialog, UINT message, int control)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT brush = SendMessageA(dialog, message, WPARAM(dc), LPARAM(control ? GetDlgItem(dialog, control) : dialog));
    const bool hollow = brush == LRESULT(GetStockObject(NULL_BRUSH));
    const int mode = GetBkMode(dc), textKept = GetTextColor(dc) == RGB(1, 2, 3);
    DeleteDC(dc);
    return hollow && mode == TRANSPARENT && textKept ? "hollow" : !hollow && mode == OPAQUE ? "own" : "mixed";
}

// Each mode erasing a client area of the given size: the pixels named, and how many tiles'
// corners (the image's top-left pixel) show. Without an image (an id that names none) the
// dialog erases as usual; tiles repeat the image from the top-left corner, also for modes
// the dialog does not know; stretching covers the whole area; the centred image lies over
// the ordinary background, its offset truncated toward zero. Over an image, buttons and
// static texts let it show through; a trackbar (which asks as a static), every other kind
// and every control without an image keep their colours. An 8-bit image whose palette maps
// no system entries (true colour) is not repainted when the dialog gains the palette.
TEST(BackgroundDialogTest, EachModePlacesTheImageAndOnlyButtonsAndStaticsAreHollowOverIt)
{
    const DWORD sys = GetSysColor(COLOR_3DFACE), face = GetRValue(sys) << 16 | GetGValue(sys) << 8 | GetBValue(sys);
    // Pixels named by column, row and colour.
    const std::vector<std::array<DWORD, 3>> tiles = {{80, 40, Gradient(0, 0)}, {45, 10, Gradient(5, 10)},
                                                     {99, 59, Gradient(19, 19)}};
    const struct { UINT image; int mode, width, height, corners; decltype(tiles) pixels; } rows[] = {
        {4242, CBackgroundDialog::BkTile, 100, 60, 0, {{50, 30, face}}},
        {IDB_TEST_GRADIENT, CBackgroundDialog::BkTile, 100, 60, 6, tiles},  // 3 x 2 tiles, the edge ones clipped
        {IDB_TEST_GRADIENT, 3, 100, 60, 6, tiles},
        {IDB_TEST_GRADIENT, -1, 100, 60, 6, tiles},
        {IDB_TEST_GRADIENT, CBackgroundDialog::BkStretch, 80, 120, 6,
         {{0, 0, Gradient(0, 0)}, {79, 119, Gradient(39, 39)}, {40, 60, Gradient(20, 20)}}},
        // (101 - 40) / 2 = 30, (60 - 40) / 2 = 10; then (31 - 40) / 2 = -4, not -5
        {IDB_TEST_GRADIENT, CBackgroundDialog::BkCenter, 101, 60, 1, {{30, 10, Gradient(0, 0)}, {29, 10, face}, {100, 59, face}}},
        {IDB_TEST_GRADIENT, CBackgroundDialog::BkCenter, 31, 60, 0, {{0, 10, Gradient(4, 0)}}},
    };
    const struct { UINT message; int control; bool hollow; } answers[] = {
        {WM_CTLCOLORBTN, IDC_TEST_BUTTON, true}, {WM_CTLCOLORSTATIC, IDC_TEST_STATIC, true}, {WM_CTLCOLORMSGBOX, 0, false},
        {WM_CTLCOLOREDIT, IDC_TEST_EDIT, false}, {WM_CTLCOLORSTATIC, IDC_TEST_TRACKBAR, false}, {WM_CTLCOLORDLG, 0, false},
        {WM_CTLCOLORLISTBOX, 0, false}, {WM_CTLCOLORSCROLLBAR, 0, false}};
    InitCommonControls();  // the trackbar's class
    for (UINT missing : {4242u, UINT(IDD_TEST_SHORT)})  // a template that is not there, or shorter than its header
        EXPECT_EQ(-1, CBackgroundDialog(missing).DoModal()) << missing;
    RunWithScript("", [] { return CProbe<CBackgroundDialog>(IDD_TEST_BACKGROUND).DoModal(); }, [&](HWND dialog) {
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message() << "mode " << row.mode << ", " << row.width << " x " << row.height);
            const bool image = SendMessageA(dialog, WM_APP, row.image, row.mode) != 0;
            for (const auto& a : answers)
                EXPECT_EQ(a.hollow && image ? "hollow" : "own", Answer(dialog, a.message, a.control)) << &a - answers;
            const std::vector<DWORD> pixels = Erased(dialog, row.width, row.height);
            EXPECT_EQ(row.corners, std::count(pixels.begin(), pixels.end(), Gradient(0, 0)));
            for (auto [x, y, colour] : row.pixels)
                EXPECT_EQ(colour, pixels[y * row.width + x]) << x << ", " << y;
        }
        ASSERT_TRUE(SendMessageA(dialog, WM_APP, IDB_TEST_PALETTE, CBackgroundDialog::BkTile) && ValidateRect(dialog, nullptr));
        EXPECT_TRUE(!SendMessageA(dialog, WM_QUERYNEWPALETTE, 0, 0) && !GetUpdateRect(dialog, nullptr, FALSE));
    });
}

//--- The About box -----------------------------------------------------------------------

// Memory sizes keep their unit boundaries, past 32 bits neither capped nor wrapped. The box
// shows the machine's whole memory, the version and the links' short texts, with the focus
// on its first tab stop; its links let the bitmap show through. Under the real pointer the
// round OK button (not its corners, which lie outside its region) becomes the default and
// takes the focus; over the surface the invisible owner-drawn button is the default. A
// press on the surface drags the box as a caption would; Escape ends it through OK, with
// Cancel as its result.
TEST(AboutBoxTest, ShowsItsFiguresFollowsThePointerDragsAndEndsThroughOk)
{
    for (auto [bytes, text] : {std::pair{1024ull, "1024 Bytes"}, {1025, "1 KB"}, {1048576, "1024 KB"}, {1048577, "1 MB"},
                               {2097151, "1 MB"}, {5ull << 30, "5120 MB"}})
        EXPECT_STREQ(text, CAboutDlg::FormatMemorySize(bytes)) << bytes;
    EXPECT_STREQ("Total physical memory: 2 MB\nAvailable physical memory: 1 KB\nTotal paging memory: 3 Bytes\n"
                 "Available paging memory: 4 MB", CAboutDlg::FormatMemorySummary({2u << 20, 1500, 3, (4u << 20) + 1}));
    MEMORYSTATUSEX memory = {sizeof(memory), 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    CProbe<CAboutDlg> about;
    EXPECT_EQ(IDCANCEL, RunWithScript("", [&] { return about.DoModal(); }, [&](HWND box) {
        const std::string text = WindowText(GetDlgItem(box, IDC_MEMORY)), total(CAboutDlg::FormatMemorySize(memory.ullTotalPhys));
        EXPECT_EQ(0u, text.find("Total physical memory: " + total + "\n")) << text;
        const std::string paging(CAboutDlg::FormatMemorySize(memory.ullTotalPageFile));
        EXPECT_NE(std::string::npos, text.find("\nTotal paging memory: " + paging + "\n")) << text;
        EXPECT_EQ("1.06 autovane@brindlework.example www.brindlework.example", WindowText(GetDlgItem(box, IDC_VERSION)) + " " +
                  WindowText(GetDlgItem(box, IDC_EMAIL_LINK)) + " " + WindowText(GetDlgItem(box, IDC_WEB_LINK)));
        EXPECT_EQ(GetDlgItem(box, IDC_ABOUT_FOCUS), FocusOf(box));
        EXPECT_EQ("hollow hollow", Answer(box, WM_CTLCOLORSTATIC, IDC_EMAIL_LINK) + " " + Answer(box, WM_CTLCOLORSTATIC, IDC_WEB_LINK));
        // The label is made to take the pointer, as the surface does not.
        const HWND ok = GetDlgItem(box, IDOK), label = FindWindowExA(box, nullptr, "Static", "E-mail:");
        SetWindowLongA(label, GWL_STYLE, GetWindowLongA(label, GWL_STYLE) | SS_NOTIFY);
        for (auto [over, at] : {std::pair{ok, POINT{20, 20}}, {ok, {2, 2}}, {ok, {20, 38}}, {label, {2, 2}}, {ok, {20, 20}},
                                {ok, {37, 37}}})  // on OK where x is 20
            EXPECT_TRUE(MovePointerUntil(over, at, [&, at = at] {
                return SendMessageA(box, DM_GETDEFID, 0, 0) == MAKELRESULT(at.x == 20 ? IDOK : IDC_NOFOCUS, DC_HASDEFID) &&
                       (FocusOf(box) == ok) == (at.x == 20);
            })) << at.x << ", " << at.y;
        SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
        SyncWith(box);
        EXPECT_EQ(std::make_pair(WPARAM{HTCAPTION}, LPARAM{MAKELPARAM(12, 34)}), about.m_drag);
        PressKey(box, VK_ESCAPE);
        EXPECT_TRUE(!IsWindowVisible(box) && about.m_oks == 1) << about.m_oks;
    }));
}

}  // namespace
