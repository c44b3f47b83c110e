// tests/HyperLinkTests.cpp
//
// The link control on real static controls of real dialogs under Wine: attachment,
// sizing, colours by state, the hand cursor, and opening through the shell and through
// the .htm command, checked at the program that the URL actually starts.
#include "HyperLinkTests.h"
#include "LinkTestSupport.h"
#include "RegistryTestUtil.h"
#include "TestMain.h"
#include "about/HyperLink.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kScheme = "autovanetest";
// A scheme nothing is registered for, so that the shell fails to open it.
const std::string kUnknownUrl = "autovanenone:page";

// Reaches the protected steps of opening, for the status boundary.
class CTestLink : public CHyperLink {
public:
    using CHyperLink::CHyperLink;
    using CHyperLink::OnOpenResult;
    using CHyperLink::OpenWithHtmCommand;
};

// The one tool a link's own tooltip holds.
struct LinkTool {
    int count = 0;
    UINT_PTR id = 0;
    RECT rect = {0, 0, 0, 0};
    std::string text;
};

LinkTool ToolOf(HWND link)
{
    struct Search {
        HWND link;
        LinkTool tool;
    } search = {link, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* search = reinterpret_cast<Search*>(param);
            char className[64] = "";
            GetClassNameA(window, className, sizeof(className));
            if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0)
                return TRUE;
            char text[512] = "";
            TOOLINFOA info = {};
            info.cbSize = TTTOOLINFOA_V1_SIZE;
            info.lpszText = text;
            if (!SendMessageA(window, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&info)) || info.hwnd != search->link)
                return TRUE;
            search->tool.count = static_cast<int>(SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0));
            search->tool.id = info.uId;
            search->tool.rect = info.rect;
            search->tool.text = text;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.tool;
}

std::string TextOf(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The text colour the link sets when its parent passes the request on.
COLORREF LinkColour(CLinkDialog& dialog, HWND link)
{
    const ColourAnswer answer = AskParentForColours(dialog.m_hWnd, link);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), answer.brush);
    EXPECT_EQ(TRANSPARENT, answer.backgroundMode);
    return answer.text;
}

SIZE TextExtentWithOwnFont(HWND control)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const std::string text = TextOf(control);
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent;
}

SIZE BordersOf(HWND control)
{
    RECT window;
    RECT client;
    GetWindowRect(control, &window);
    GetClientRect(control, &client);
    return {(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
}

LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(x, y);
}

void MoveMouseInto(HWND link)
{
    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(2, 2));
}

void MoveMouseOutOf(HWND link)
{
    SendMessageA(link, WM_MOUSEMOVE, 0, ClientPoint(-5, 2));
}

void Click(HWND link)
{
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(2, 2));
    SendMessageA(link, WM_LBUTTONUP, 0, ClientPoint(2, 2));
}

// Every reason of the table, and codes outside it.
const struct {
    int code;
    const char* reason;
} kReasons[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
    {1, "Unknown Error (1) occurred."},
    {4, "Unknown Error (4) occurred."},
    {-7, "Unknown Error (-7) occurred."},
};

std::string ExpectedMessage(const std::string& reason)
{
    return "Cannot execute link.\n\nReason: Cannot open link:\n\n" + reason;
}

// What the shell itself answers for a URL, with the classes root as it stands.
int ShellStatusFor(const std::string& url)
{
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOW)));
}

// Every test has its own classes root with the test scheme opening the recorder.
class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override { m_classes.RegisterScheme(kScheme, CLinkRecorder::Command("\"%1\"")); }

    CScratchClassesRoot m_classes;
    CLinkRecorder m_recorder;
};

//--- Attachment ----------------------------------------------------------------------------

TEST_F(HyperLinkTest, TakesTheTemplateTextAsUrlAndTooltipWithAnUnderlinedFontCopy)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_LEFT);
        HFONT templateFont = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        LOGFONTA before;
        ASSERT_EQ(static_cast<int>(sizeof(before)), GetObjectA(templateFont, sizeof(before), &before));
        ASSERT_EQ(0, before.lfUnderline);

        d.Bind(link, IDC_LINK_LEFT);
        HFONT linkFont = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        EXPECT_NE(templateFont, linkFont);
        LOGFONTA after;
        ASSERT_EQ(static_cast<int>(sizeof(after)), GetObjectA(linkFont, sizeof(after), &after));
        EXPECT_EQ(1, after.lfUnderline);
        EXPECT_EQ(before.lfHeight, after.lfHeight);
        EXPECT_EQ(before.lfWeight, after.lfWeight);
        EXPECT_EQ(before.lfItalic, after.lfItalic);
        EXPECT_EQ(before.lfCharSet, after.lfCharSet);
        EXPECT_STREQ(before.lfFaceName, after.lfFaceName);

        EXPECT_EQ("autovanetest:left", TextOf(control));
        const LinkTool tool = ToolOf(control);
        EXPECT_EQ(1, tool.count);
        EXPECT_EQ(1u, tool.id);
        EXPECT_EQ("autovanetest:left", tool.text);
        RECT client;
        GetClientRect(control, &client);
        EXPECT_TRUE(EqualRect(&client, &tool.rect)) << "the tool is the client area after sizing";
    });
}

TEST_F(HyperLinkTest, WithoutTheUnderlineFlagTheFontCopyIsPlain)
{
    CHyperLink link(HLF_DEFAULT & ~HLF_UNDERLINE);
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        LOGFONTA font;
        ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(d.Item(IDC_LINK_LEFT), WM_GETFONT, 0, 0)),
                               sizeof(font), &font));
        EXPECT_EQ(0, font.lfUnderline);
    });
}

TEST_F(HyperLinkTest, EmptyTemplateTextGivesAnEmptyUrlAndStaysEmpty)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_EMPTY);
        EXPECT_EQ("", TextOf(d.Item(IDC_LINK_EMPTY)));
        EXPECT_EQ("", ToolOf(d.Item(IDC_LINK_EMPTY)).text);
    });
}

TEST_F(HyperLinkTest, PresetUrlFillsAnEmptyTextAndLeavesAGivenTextAlone)
{
    CHyperLink intoEmpty(HLF_DEFAULT, "autovanetest:preset");
    CHyperLink overText(HLF_DEFAULT, "autovanetest:other");
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(intoEmpty, IDC_LINK_EMPTY);
        d.Bind(overText, IDC_LINK_LEFT);
        EXPECT_EQ("autovanetest:preset", TextOf(d.Item(IDC_LINK_EMPTY)));
        EXPECT_EQ("autovanetest:left", TextOf(d.Item(IDC_LINK_LEFT)));
        EXPECT_EQ("autovanetest:other", ToolOf(d.Item(IDC_LINK_LEFT)).text);
    });
}

TEST_F(HyperLinkTest, StaticWithoutFontKeepsItsTemplateSizeForGood)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_NOFONT);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_LEFT);
        const RECT before = RectInParent(control);
        d.Bind(link, IDC_LINK_LEFT);
        EXPECT_EQ(nullptr, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT after = RectInParent(control);
        EXPECT_TRUE(EqualRect(&before, &after));

        link.SetLinkText("x");
        after = RectInParent(control);
        EXPECT_TRUE(EqualRect(&before, &after));
        EXPECT_EQ("x", TextOf(control));
    });
}

TEST_F(HyperLinkTest, TheLinkTakesTheMouseWhereAPlainLabelLetsItThrough)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        auto centreOf = [](HWND window) {
            RECT rect;
            GetWindowRect(window, &rect);
            return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        };
        EXPECT_EQ(d.Item(IDC_LINK_LEFT), WindowFromPoint(centreOf(d.Item(IDC_LINK_LEFT))));
        EXPECT_EQ(d.m_hWnd, WindowFromPoint(centreOf(d.Item(IDC_PLAIN_LABEL))));
    });
}

//--- Sizing --------------------------------------------------------------------------------

TEST_F(HyperLinkTest, LeftAlignedKeepsItsTopLeftCornerAndFitsTextPlusBorders)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_LEFT);
        const RECT before = RectInParent(control);
        d.Bind(link, IDC_LINK_LEFT);
        const SIZE text = TextExtentWithOwnFont(control);
        const SIZE borders = BordersOf(control);
        EXPECT_GT(borders.cx, 0) << "the template gives this one a border";
        const RECT after = RectInParent(control);
        EXPECT_EQ(before.left, after.left);
        EXPECT_EQ(before.top, after.top);
        EXPECT_EQ(text.cx + borders.cx, after.right - after.left);
        EXPECT_EQ(text.cy + borders.cy, after.bottom - after.top);
        EXPECT_LT(after.right, before.right) << "the template is wider than its text";
    });
}

TEST_F(HyperLinkTest, RightAlignedKeepsItsTopRightCorner)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_RIGHT);
        const RECT before = RectInParent(control);
        d.Bind(link, IDC_LINK_RIGHT);
        const SIZE text = TextExtentWithOwnFont(control);
        const RECT after = RectInParent(control);
        EXPECT_EQ(before.right, after.right);
        EXPECT_EQ(before.top, after.top);
        EXPECT_EQ(before.right - text.cx, after.left);
        EXPECT_EQ(before.top + text.cy, after.bottom);
    });
}

TEST_F(HyperLinkTest, CentredKeepsItsHorizontalCentre)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_CENTER);
        const RECT before = RectInParent(control);
        d.Bind(link, IDC_LINK_CENTER);
        const SIZE text = TextExtentWithOwnFont(control);
        const int shrink = ((before.right - before.left) - text.cx) / 2;
        const RECT after = RectInParent(control);
        EXPECT_EQ(before.left + shrink, after.left);
        EXPECT_EQ(before.right - shrink, after.right);
        EXPECT_EQ(before.top, after.top);
        EXPECT_EQ(before.top + text.cy, after.bottom);
    });
}

TEST_F(HyperLinkTest, CentreImageKeepsItsVerticalCentre)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_CENTERIMAGE);
        const RECT before = RectInParent(control);
        d.Bind(link, IDC_LINK_CENTERIMAGE);
        const SIZE text = TextExtentWithOwnFont(control);
        const int shrink = ((before.bottom - before.top) - text.cy) / 2;
        ASSERT_GT(shrink, 0) << "the template is taller than its text";
        const RECT after = RectInParent(control);
        EXPECT_EQ(before.top + shrink, after.top);
        EXPECT_EQ(before.bottom - shrink, after.bottom);
        EXPECT_EQ(before.left, after.left);
        EXPECT_EQ(before.left + text.cx, after.right);
    });
}

TEST_F(HyperLinkTest, WithoutAutosizeTheTemplateSizeStays)
{
    CHyperLink link(HLF_DEFAULT & ~HLF_AUTOSIZE);
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        const RECT before = RectInParent(d.Item(IDC_LINK_LEFT));
        d.Bind(link, IDC_LINK_LEFT);
        const RECT after = RectInParent(d.Item(IDC_LINK_LEFT));
        EXPECT_TRUE(EqualRect(&before, &after));
    });
}

TEST_F(HyperLinkTest, SetLinkTextRefitsTheTextButKeepsUrlAndTooltip)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        HWND control = d.Item(IDC_LINK_LEFT);
        d.Bind(link, IDC_LINK_LEFT);
        const RECT before = RectInParent(control);
        link.SetLinkText("short");
        EXPECT_EQ("short", TextOf(control));
        EXPECT_TRUE(IsWindowVisible(control));
        const RECT after = RectInParent(control);
        EXPECT_EQ(before.left, after.left);
        EXPECT_EQ(TextExtentWithOwnFont(control).cx + BordersOf(control).cx, after.right - after.left);
        EXPECT_LT(after.right, before.right);
        EXPECT_EQ("autovanetest:left", ToolOf(control).text);

        Click(control);
        const std::vector<std::string> runs = m_recorder.Runs(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(" \"autovanetest:left\"", runs[0]) << "the click opens the URL, not the text";
    });
}

TEST(HyperLinkWindowlessTest, SetLinkTextWithoutWindowDoesNothing)
{
    CHyperLink link;
    link.SetLinkText("nothing");
    EXPECT_EQ(nullptr, link.m_hWnd);
}

//--- Colours -------------------------------------------------------------------------------

TEST_F(HyperLinkTest, ColoursFollowHoverFocusAndVisitedState)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, control)) << "fresh";

        MoveMouseInto(control);
        EXPECT_EQ(control, GetCapture());
        EXPECT_EQ(RGB(255, 0, 0), LinkColour(d, control)) << "hovering";
        SendMessageA(control, WM_MOUSEMOVE, 0, ClientPoint(1, 1));
        EXPECT_EQ(RGB(255, 0, 0), LinkColour(d, control)) << "a move inside changes nothing";
        MoveMouseOutOf(control);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, control)) << "left again";

        SetFocus(control);
        EXPECT_EQ(RGB(0, 128, 128), LinkColour(d, control)) << "focused";
        MoveMouseInto(control);
        EXPECT_EQ(RGB(255, 0, 0), LinkColour(d, control)) << "hover wins over active";
        MoveMouseOutOf(control);

        Click(control);
        ASSERT_EQ(1u, m_recorder.Runs(1).size());
        EXPECT_EQ(RGB(0, 128, 128), LinkColour(d, control)) << "active wins over followed";
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(RGB(128, 0, 128), LinkColour(d, control)) << "followed";
        MoveMouseInto(control);
        EXPECT_EQ(RGB(255, 0, 0), LinkColour(d, control)) << "hover wins over followed";
        MoveMouseOutOf(control);
    });
}

TEST_F(HyperLinkTest, LosingFocusClearsHoverButKeepsTheCapture)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        SetFocus(control);
        MoveMouseInto(control);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, control));
        EXPECT_EQ(control, GetCapture());
        SendMessageA(control, WM_MOUSEMOVE, 0, ClientPoint(1, 1));
        EXPECT_EQ(RGB(255, 0, 0), LinkColour(d, control)) << "the next move enters again";
        MoveMouseOutOf(control);
        EXPECT_EQ(nullptr, GetCapture());
    });
}

TEST_F(HyperLinkTest, FlagsTurnTheHoverAndActiveColoursOff)
{
    CHyperLink noHover(HLF_DEFAULT & ~HLF_HOVERCOLOR);
    CHyperLink noActive(HLF_DEFAULT | HLF_NOACTIVECOLOR);
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(noHover, IDC_LINK_LEFT);
        d.Bind(noActive, IDC_LINK_RIGHT);
        MoveMouseInto(d.Item(IDC_LINK_LEFT));
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, d.Item(IDC_LINK_LEFT)));
        MoveMouseOutOf(d.Item(IDC_LINK_LEFT));
        SetFocus(d.Item(IDC_LINK_RIGHT));
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, d.Item(IDC_LINK_RIGHT)));
    });
}

TEST_F(HyperLinkTest, FittingAShownLinkLeavesNoShiftedCopyOfItsText)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        SetFocus(d.Item(IDC_OTHER));
        HWND control = d.Item(IDC_LINK_CENTER);
        d.Bind(link, IDC_LINK_CENTER);
        const int shown = CountShownPixels(control, RGB(0, 0, 255));
        EXPECT_GT(shown, 20);
        EXPECT_EQ(CountDrawnPixels(control, RGB(0, 0, 255)), shown);
    });
}

TEST_F(HyperLinkTest, TheTextIsDrawnInTheStateColour)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_GT(CountDrawnPixels(control, RGB(0, 0, 255)), 20);
        EXPECT_EQ(0, CountDrawnPixels(control, RGB(255, 0, 0)));
        MoveMouseInto(control);
        EXPECT_GT(CountDrawnPixels(control, RGB(255, 0, 0)), 20);
        EXPECT_EQ(0, CountDrawnPixels(control, RGB(0, 0, 255)));
        if (const char* hold = getenv("AUTOVANE_HOLD_MS")) {
            // For a look at the screen: hover on the left, focus on the right, visited
            // in the middle.
            static CHyperLink focused, visited;
            d.Bind(focused, IDC_LINK_RIGHT);
            d.Bind(visited, IDC_LINK_CENTER);
            Click(d.Item(IDC_LINK_CENTER));
            m_recorder.Runs(1);
            SetForegroundWindow(d.m_hWnd);
            SetFocus(d.Item(IDC_LINK_RIGHT));
            RECT over;
            GetWindowRect(control, &over);
            SetCursorPos(over.left + 4, over.top + 4);
            MoveMouseInto(control);
            PumpMessages(static_cast<DWORD>(atoi(hold)));
        }
        MoveMouseOutOf(control);
    });
}

//--- Opening -------------------------------------------------------------------------------

TEST_F(HyperLinkTest, PressAndReleaseOpenOnceOnTheRelease)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(2, 2));
        EXPECT_EQ(control, GetFocus()) << "the press takes the focus";
        EXPECT_TRUE(m_recorder.Runs(0).empty()) << "nothing opens on the press";
        SendMessageA(control, WM_LBUTTONUP, 0, ClientPoint(2, 2));
        const std::vector<std::string> runs = m_recorder.Runs(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(" \"autovanetest:left\"", runs[0]);
    });
}

TEST_F(HyperLinkTest, OpenOnPressOpensOnThePressOnly)
{
    CHyperLink link(HLF_DEFAULT | HLF_OPENONPRESS);
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_RIGHT);
        Click(d.Item(IDC_LINK_RIGHT));
        const std::vector<std::string> runs = m_recorder.Runs(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(" \"autovanetest:right\"", runs[0]);
    });
}

TEST_F(HyperLinkTest, WithoutFocusOnClickAPressLeavesTheFocusButMakesTheLinkActive)
{
    CHyperLink link(HLF_DEFAULT & ~HLF_FOCUSONCLICK);
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        SetFocus(d.Item(IDC_OTHER));
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(2, 2));
        EXPECT_EQ(d.Item(IDC_OTHER), GetFocus());
        EXPECT_EQ(RGB(0, 128, 128), LinkColour(d, control));
        SendMessageA(control, WM_LBUTTONUP, 0, ClientPoint(2, 2));
        EXPECT_EQ(1u, m_recorder.Runs(1).size());
    });
}

TEST_F(HyperLinkTest, ReleaseWithoutPressOrFocusOpensNothing)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        SetFocus(d.Item(IDC_OTHER));
        SendMessageA(d.Item(IDC_LINK_LEFT), WM_LBUTTONUP, 0, ClientPoint(2, 2));
        EXPECT_TRUE(m_recorder.Runs(0).empty());
    });
}

TEST_F(HyperLinkTest, SpaceOpensTheFocusedLinkAndOtherKeysDoNot)
{
    CHyperLink link;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_CENTER);
        HWND control = d.Item(IDC_LINK_CENTER);
        SetFocus(control);
        SendMessageA(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        SendMessageA(control, WM_KEYDOWN, 'A', 0x001E0001);
        EXPECT_TRUE(m_recorder.Runs(0).empty());
        SendMessageA(control, WM_KEYDOWN, VK_SPACE, 0x00390001);
        const std::vector<std::string> runs = m_recorder.Runs(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(" \"autovanetest:center\"", runs[0]);
    });
}

TEST_F(HyperLinkTest, AFailedOpenReportsTheShellStatusAndLeavesTheLinkUnvisited)
{
    const int shellStatus = ShellStatusFor(kUnknownUrl);
    ASSERT_LE(shellStatus, 32);
    CHyperLink link(HLF_DEFAULT, kUnknownUrl.c_str());
    CMessageBoxAnswerer boxes;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        Click(control);
        ASSERT_EQ(1u, boxes.Boxes().size());
        const MessageBoxRecord& box = boxes.Boxes()[0];
        const auto known = std::find_if(std::begin(kReasons), std::end(kReasons),
                                        [&](const auto& c) { return c.code == shellStatus; });
        ASSERT_NE(std::end(kReasons), known) << "shell status " << shellStatus;
        EXPECT_EQ(ExpectedMessage(known->reason), box.text);
        EXPECT_STREQ(AfxGetApp()->m_strAppName, box.caption.c_str());
        EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
        EXPECT_EQ(LoadIcon(nullptr, IDI_EXCLAMATION), box.icon);
        EXPECT_EQ(d.m_hWnd, box.owner);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, control)) << "not visited";
        Click(control);
        EXPECT_EQ(2u, boxes.Boxes().size()) << "the link stays usable";
    });
    EXPECT_TRUE(m_recorder.Runs(0).empty());
}

TEST_F(HyperLinkTest, WhenTheShellFailsTheHtmCommandOpensTheLinkWithoutMessage)
{
    m_classes.RegisterHtmCommand(CLinkRecorder::Command("\"%1\""));
    CHyperLink link(HLF_DEFAULT, kUnknownUrl.c_str());
    CMessageBoxAnswerer boxes;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(link, IDC_LINK_LEFT);
        HWND control = d.Item(IDC_LINK_LEFT);
        Click(control);
        const std::vector<std::string> runs = m_recorder.Runs(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ("  " + kUnknownUrl, runs[0]);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(RGB(128, 0, 128), LinkColour(d, control));
    });
    EXPECT_TRUE(boxes.Boxes().empty());
}

//--- The status boundary ---------------------------------------------------------------------

TEST_F(HyperLinkTest, StatusThirtyTwoFailsWithItsReasonAndThirtyThreeSucceeds)
{
    CTestLink failed;
    CTestLink opened;
    CMessageBoxAnswerer boxes;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(failed, IDC_LINK_LEFT);
        d.Bind(opened, IDC_LINK_RIGHT);
        // Nothing registered for .htm: the fallback hands back what the shell said.
        EXPECT_EQ(32, CTestLink::OpenWithHtmCommand(kUnknownUrl.c_str(), SW_SHOW, 32));
        failed.OnOpenResult(32);
        opened.OnOpenResult(33);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(RGB(0, 0, 255), LinkColour(d, d.Item(IDC_LINK_LEFT)));
        EXPECT_EQ(RGB(128, 0, 128), LinkColour(d, d.Item(IDC_LINK_RIGHT)));
    });
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(ExpectedMessage("The specified dynamic-link library was not found."), boxes.Boxes()[0].text);
}

TEST_F(HyperLinkTest, TheShellsSuccessIsReturnedAsIs)
{
    const int status = CHyperLink::OpenUrl("autovanetest:direct", SW_SHOW);
    EXPECT_GT(status, 32);
    const std::vector<std::string> runs = m_recorder.Runs(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(" \"autovanetest:direct\"", runs[0]);
}

//--- The .htm fallback -----------------------------------------------------------------------

TEST_F(HyperLinkTest, QuotedPlaceholderIsCutWithWhatFollows)
{
    m_classes.RegisterHtmCommand(CLinkRecorder::Command("\"%1\" --dropped"));
    EXPECT_GT(CHyperLink::OpenUrl(kUnknownUrl.c_str(), SW_SHOW), 32);
    EXPECT_EQ(std::vector<std::string>{"  " + kUnknownUrl}, m_recorder.Runs(1));
}

TEST_F(HyperLinkTest, BarePlaceholderIsCutWithWhatFollows)
{
    m_classes.RegisterHtmCommand(CLinkRecorder::Command("%1 --dropped"));
    EXPECT_GT(CHyperLink::OpenUrl(kUnknownUrl.c_str(), SW_SHOW), 32);
    EXPECT_EQ(std::vector<std::string>{"  " + kUnknownUrl}, m_recorder.Runs(1));
}

TEST_F(HyperLinkTest, CommandWithoutPlaceholderGetsABlankAndTheUrl)
{
    m_classes.RegisterHtmCommand(CLinkRecorder::Command(""));
    EXPECT_GT(CHyperLink::OpenUrl(kUnknownUrl.c_str(), SW_SHOW), 32);
    EXPECT_EQ(std::vector<std::string>{" " + kUnknownUrl}, m_recorder.Runs(1));
}

// Each case must give the shell's own status and start nothing.
class HtmLookupFailureTest : public HyperLinkTest {
protected:
    void ExpectShellStatusAndNoRun(const std::string& url)
    {
        const int shellStatus = ShellStatusFor(url);
        ASSERT_LE(shellStatus, 32);
        EXPECT_EQ(shellStatus, CHyperLink::OpenUrl(url.c_str(), SW_SHOW));
        EXPECT_TRUE(m_recorder.Runs(0).empty());
    }
};

TEST_F(HtmLookupFailureTest, NothingRegisteredForHtm)
{
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, HtmClassWithoutCommandKey)
{
    m_classes.SetDefault(".htm", "AutovaneTest.htmfile");
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, EmptyRegisteredCommand)
{
    m_classes.RegisterHtmCommand("");
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, EmptyHtmClassName)
{
    m_classes.SetDefault(".htm", "");
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, CommandLongerThanItsBuffer)
{
    // A working command, padded past 260 bytes: a cut-off copy would still run.
    m_classes.RegisterHtmCommand(CLinkRecorder::Command(std::string(300 - CLinkRecorder::Command("").size(), 'p')));
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, ClassNameLongerThanItsBuffer)
{
    m_classes.SetDefault(".htm", std::string(300, 'c'));
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, CommandStoredWithoutTerminatingZero)
{
    m_classes.RegisterHtmCommand("");
    const std::string command =
        CLinkRecorder::Command(std::string(MAX_PATH - CLinkRecorder::Command("").size() - 1, 'p'));
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), command.size());
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "AutovaneTest.htmfile\\shell\\open\\command", 0,
                                           KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.data()),
                                            static_cast<DWORD>(command.size())));
    RegCloseKey(key);
    ExpectShellStatusAndNoRun(kUnknownUrl);
}

TEST_F(HtmLookupFailureTest, UrlTooLongForTheCommandBuffer)
{
    m_classes.RegisterHtmCommand(CLinkRecorder::Command("\"%1\""));
    // The command is cut before the quoted placeholder, after its blank.
    const std::string prefix = CLinkRecorder::Command("") + "  ";
    // One byte more than the command buffer holds with its terminating zero.
    const std::string url = kUnknownUrl + std::string(2 * MAX_PATH - prefix.size() - kUnknownUrl.size(), 'u');
    ExpectShellStatusAndNoRun(url);
}

TEST_F(HyperLinkTest, UrlThatJustFitsTheCommandBufferRuns)
{
    m_classes.RegisterHtmCommand(CLinkRecorder::Command("\"%1\""));
    const std::string prefix = CLinkRecorder::Command("") + "  ";
    const std::string url = kUnknownUrl + std::string(2 * MAX_PATH - 1 - prefix.size() - kUnknownUrl.size(), 'u');
    EXPECT_GT(CHyperLink::OpenUrl(url.c_str(), SW_SHOW), 32);
    EXPECT_EQ(std::vector<std::string>{"  " + url}, m_recorder.Runs(1));
}

//--- Reading a default value -----------------------------------------------------------------

class ReadDefaultValueTest : public ::testing::Test {
protected:
    static constexpr const char* kRoot = "Software\\AutovaneTests\\Defaults";
    void SetUp() override { DeleteRegTree(HKEY_CURRENT_USER, kRoot); }
    void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, kRoot); }
    static HKEY Root()
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }
};

TEST_F(ReadDefaultValueTest, ReadsIntoTheBufferThatNamedTheKey)
{
    SetRegString(HKEY_CURRENT_USER, (std::string(kRoot) + "\\.htm").c_str(), "", "htmlfile");
    HKEY root = Root();
    char buffer[2 * MAX_PATH] = ".htm";
    EXPECT_EQ(ERROR_SUCCESS, CHyperLink::ReadDefaultValue(root, buffer, buffer, sizeof(buffer)));
    EXPECT_STREQ("htmlfile", buffer);
    RegCloseKey(root);
}

TEST_F(ReadDefaultValueTest, MissingKeyGivesTheOpenStatusAndLeavesTheBuffer)
{
    HKEY root = Root();
    char buffer[16];
    memset(buffer, 0xbd, sizeof(buffer));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, CHyperLink::ReadDefaultValue(root, "missing", buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(sizeof(buffer), '\xbd'), std::string(buffer, sizeof(buffer)));
    RegCloseKey(root);
}

TEST_F(ReadDefaultValueTest, TheLongestValueFitsAndOneMoreFails)
{
    const std::string key = std::string(kRoot) + "\\value";
    HKEY root = Root();
    char buffer[2 * MAX_PATH];

    SetRegString(HKEY_CURRENT_USER, key.c_str(), "", std::string(MAX_PATH - 1, 'v'));
    EXPECT_EQ(ERROR_SUCCESS, CHyperLink::ReadDefaultValue(root, "value", buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(MAX_PATH - 1, 'v'), buffer);

    SetRegString(HKEY_CURRENT_USER, key.c_str(), "", std::string(MAX_PATH, 'w'));
    memset(buffer, 0xbd, sizeof(buffer));
    EXPECT_NE(ERROR_SUCCESS, CHyperLink::ReadDefaultValue(root, "value", buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(sizeof(buffer), '\xbd'), std::string(buffer, sizeof(buffer)));
    RegCloseKey(root);
}

TEST_F(ReadDefaultValueTest, ResultBufferTooSmallFailsAndLeavesTheBuffer)
{
    SetRegString(HKEY_CURRENT_USER, (std::string(kRoot) + "\\value").c_str(), "", "twelve chars");
    HKEY root = Root();
    char buffer[13];
    memset(buffer, 0xbd, sizeof(buffer));
    EXPECT_EQ(ERROR_MORE_DATA, CHyperLink::ReadDefaultValue(root, "value", buffer, 12));
    EXPECT_EQ(std::string(sizeof(buffer), '\xbd'), std::string(buffer, sizeof(buffer)));
    EXPECT_EQ(ERROR_SUCCESS, CHyperLink::ReadDefaultValue(root, "value", buffer, 13));
    EXPECT_STREQ("twelve chars", buffer);
    RegCloseKey(root);
}

//--- Reasons ---------------------------------------------------------------------------------

TEST(ReportOpenErrorTest, EveryCodeNamesItsReason)
{
    CMessageBoxAnswerer boxes;
    for (const auto& c : kReasons)
        CHyperLink::ReportOpenError(c.code);
    ASSERT_EQ(std::size(kReasons), boxes.Boxes().size());
    for (size_t i = 0; i < std::size(kReasons); ++i) {
        SCOPED_TRACE(kReasons[i].code);
        const MessageBoxRecord& box = boxes.Boxes()[i];
        EXPECT_EQ(ExpectedMessage(kReasons[i].reason), box.text);
        EXPECT_STREQ(AfxGetApp()->m_strAppName, box.caption.c_str());
        EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
        EXPECT_EQ(LoadIcon(nullptr, IDI_EXCLAMATION), box.icon);
    }
}

//--- The hand cursor -------------------------------------------------------------------------

// The mask and colour bits of a cursor, to tell cursors apart by their look.
std::vector<BYTE> CursorImage(HCURSOR cursor)
{
    std::vector<BYTE> image;
    ICONINFO info = {};
    if (!cursor || !GetIconInfo(cursor, &info))
        return image;
    for (HBITMAP bitmap : {info.hbmMask, info.hbmColor}) {
        if (!bitmap)
            continue;
        BITMAP description = {};
        GetObjectA(bitmap, sizeof(description), &description);
        std::vector<BYTE> bits(static_cast<size_t>(description.bmWidthBytes) * description.bmHeight);
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        image.insert(image.end(), bits.begin(), bits.end());
        DeleteObject(bitmap);
    }
    return image;
}

std::string HelpViewerPath()
{
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\winhlp32.exe";
}

// The cursor a link sets over itself, or null when it declines to set one.
HCURSOR CursorSetBy(HWND link)
{
    SetCursor(nullptr);
    const LRESULT handled = SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return handled ? GetCursor() : nullptr;
}

// In a fresh process: a link that does not want the hand loads none; the next links load
// it once and share it; it looks like the expected source's cursor ("viewer": this
// program's cursor 106, standing in for the help viewer's; "system": the system hand).
// Exit codes: 0 as expected, 1 hand loaded despite the flag, 2 no hand, 3 loaded twice,
// 4 wrong image, 5 not the shared system cursor, 6 the system hand although the viewer
// has one.
TEST_CHILD(hand_cursor)
{
    const bool fromViewer = argc > 0 && std::string(argv[0]) == "viewer";
    int result = 0;
    CHyperLink noHand(HLF_DEFAULT | HLF_NOHANDCURSOR);
    CHyperLink first;
    CHyperLink second;
    CLinkDialog dialog(IDD_LINK_TEST);
    dialog.Run([&](CLinkDialog& d) {
        d.Bind(noHand, IDC_LINK_LEFT);
        if (CursorSetBy(d.Item(IDC_LINK_LEFT))) {
            result = 1;
            return;
        }
        d.Bind(first, IDC_LINK_RIGHT);
        HCURSOR hand = CursorSetBy(d.Item(IDC_LINK_RIGHT));
        if (!hand || CursorSetBy(d.Item(IDC_LINK_LEFT)) != hand) {
            result = 2;
            return;
        }
        d.Bind(second, IDC_LINK_CENTER);
        if (CursorSetBy(d.Item(IDC_LINK_CENTER)) != hand || CursorSetBy(d.Item(IDC_LINK_RIGHT)) != hand) {
            result = 3;
            return;
        }
        HCURSOR expected = fromViewer ? LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_TEST_HAND))
                                      : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
        if (fromViewer && CursorImage(hand) == CursorImage(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))))
            result = 6;
        else if (CursorImage(hand).empty() || CursorImage(hand) != CursorImage(expected))
            result = 4;
        else if (!fromViewer && hand != expected)
            result = 5;
    });
    return result;
}

// The help viewer stands in as a copy of this program, which carries cursor 106.
class HandCursorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (GetFileAttributesA(HelpViewerPath().c_str()) != INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "the system has a help viewer of its own";
    }
    void TearDown() override
    {
        if (m_bPlacedViewer)
            DeleteFileA(HelpViewerPath().c_str());
    }
    bool m_bPlacedViewer = false;
};

TEST_F(HandCursorTest, CopiedFromTheHelpViewerOnceForEveryLink)
{
    ASSERT_TRUE(CopyFileA(ThisExecutablePath().c_str(), HelpViewerPath().c_str(), TRUE));
    m_bPlacedViewer = true;
    EXPECT_EQ(0, RunProcess("\"" + ThisExecutablePath() + "\" --child hand_cursor viewer"));
}

TEST_F(HandCursorTest, TheSystemHandWhereThereIsNoHelpViewer)
{
    EXPECT_EQ(0, RunProcess("\"" + ThisExecutablePath() + "\" --child hand_cursor system"));
}

}  // namespace
