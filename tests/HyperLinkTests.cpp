// tests/HyperLinkTests.cpp
//
// The link control on static controls of a real dialog under Wine: the dialog runs on the
// test's thread while a script on another drives it, with the real pointer wherever
// hovering matters. In the machine's classes, which the desktop's shell reads too (the
// test prefix has no .htm class of its own), the test scheme, and the .htm class where a
// row registers one, open this program as a recorder of the command line it was started
// with, and by whom: from Windows Vista on, the desktop's shell starts what a link opens.
// The test waits until every run it caused has ended.
#include "HyperLinkTests.h"
#include "TestUtil.h"
#include "about/HyperLink.h"
#include "platform/Dialog.h"
#include "platform/WinApp.h"

#include <fstream>

namespace {

// The link colours the user sees, written out here so that a changed colour in the program shows.
constexpr COLORREF kLink = RGB(0, 0, 255), kActive = RGB(0, 128, 128);
constexpr COLORREF kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

// kUnknownUrl: a scheme nothing is registered for, so that the shell fails to open it.
const std::string kRecord = ThisExecutablePath() + ".record.txt", kUnknownUrl = "autovanenone:page";
// The command line that starts this program as a recorder of the rest of its command line
// (see TestMain.cpp), to be followed by arguments.
const std::string kRecorder = "\"" + ThisExecutablePath() + "\" --record ";
// A URL that just fills the .htm command's buffer after the recorder, a space and its zero.
const std::string kFits = kUnknownUrl + std::string(2 * MAX_PATH - 2 - kRecorder.size() - kUnknownUrl.size(), 'u');

// How a recorded run ends when the desktop's shell started it.
const std::string kByDesktop = " from explorer.exe\n";

// What a box that names why a link did not open says before the reason.
const std::string kSaid = "Cannot execute link.\n\nReason: Cannot open link:\n\n";

// A link whose shared hand and handling of an open's status the test reaches.
class CTestLink : public CHyperLink {
public:
    using CHyperLink::CHyperLink;
    using CHyperLink::OnOpenResult;
    using CHyperLink::s_hHandCursor;
};

// The links' dialog: each link is bound to its control as the dialog starts.
class CLinkDialog : public CDialog {
public:
    explicit CLinkDialog(std::vector<std::pair<CWnd*, int>> links) : CDialog(IDD_LINK_TEST), m_links(links) {}
    BOOL OnInitDialog() override
    {
        for (auto& [link, id] : m_links)
            EXPECT_TRUE(link->SubclassDlgItem(static_cast<UINT>(id), this)) << id;
        return CDialog::OnInitDialog();
    }
    std::vector<std::pair<CWnd*, int>> m_links;
};

// The text colour a link sets, with the hollow brush and a transparent background, when
// its dialog leaves the colouring to the default; CLR_INVALID when it answers otherwise.
COLORREF LinkColour(HWND link)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    const LRESULT brush = SendMessageA(GetParent(link), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(link));
    const bool hollow = brush == LRESULT(GetStockObject(NULL_BRUSH)) && GetBkMode(dc) == TRANSPARENT;
    const COLORREF colour = hollow ? GetTextColor(dc) : CLR_INVALID;
    DeleteDC(dc);
    return colour;
}

// What the recorder was started with since the last call, a line a run, once no other
// process of this program's name runs: whoever started a run (the desktop's shell too)
// had created its process before the open returned. A run the desktop's shell starts has
// a console window of its own, whose end takes the foreground away: no console host may
// be left either.
std::string Runs()
{
    const std::string name = ThisExecutablePath().substr(ThisExecutablePath().rfind('\\') + 1);
    EXPECT_TRUE(WaitFor([&] {
        int running = 0;
        for (const PROCESSENTRY32& process : Processes())
            running += !_stricmp(process.szExeFile, name.c_str()) || !_stricmp(process.szExeFile, "conhost.exe");
        return running == 1;
    }, 10000));
    std::ifstream file(kRecord, std::ios::binary);
    const std::string lines((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    DeleteFileA(kRecord.c_str());
    return lines;
}

// An open's status above 32 shows nothing; any other names its reason in an exclamation
// box with OK alone, captioned with the program's name. Every status the shell documents has a reason of its own: none shares one with
// another or with 4, which is unknown (the reasons are compared up to the number an unknown
// one names). A link without a window handles a status as one in a dialog does.
TEST(HyperLinkTest, EachFailedOpenNamesAReasonOfItsOwn)
{
    MessageBoxAnswerer boxes;
    CTestLink link;
    link.OnOpenResult(33);
    EXPECT_TRUE(boxes.Seen().empty());
    std::set<std::string> reasons;
    for (int status : {4, 0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32}) {
        link.OnOpenResult(status);
        reasons.insert(boxes.Seen().back().text.substr(0, boxes.Seen().back().text.find('(')));
    }
    EXPECT_EQ(14u, reasons.size());
    link.OnOpenResult(-7);
    EXPECT_EQ("hyperlink_tests | exclamation | OK | " + kSaid + "Unknown Error (-7) occurred.", boxes.Seen().back().Summary());
    AfxMessageBox("", MB_OK | MB_ICONSTOP);  // a box that names its icon keeps it
    EXPECT_EQ("stop", boxes.Seen().back().icon);
}

// One dialog of four links, after one with a link without the hand alone, as in a fresh
// process. The checks come in the order a user meets them: the hand, each link's size,
// opening each link, then the colours of the opened links.
TEST(HyperLinkTest, LoadsTheHandFitsOpensOrNamesTheReasonAndColoursItsStates)
{
    // The hand: links without it alone load none; the first other link loads the system's,
    // as Wine's own help viewer has none. The link without it goes alone on the button.
    CTestLink::s_hHandCursor = nullptr;
    CTestLink noHand(HLF_DEFAULT | HLF_NOHANDCURSOR);
    RunWithScript("Links", [&] { return CLinkDialog({{&noHand, IDC_OTHER}}).DoModal(); }, [](HWND) {});
    EXPECT_FALSE(CTestLink::s_hHandCursor);

    // The links: L the unknown scheme with the default flags, R the test scheme without the
    // hover colour, C a URL that just fits the .htm command without the active colour, I one
    // a byte longer. Per axis, -1 keeps the low edge, 1 the high edge, 0 the centre; the
    // template's place (left, top, width, height in dialog units) is that of HyperLinkTests.rc.
    const int L = IDC_LINK_LEFT, R = IDC_LINK_RIGHT, C = IDC_LINK_CENTER, I = IDC_LINK_CENTERIMAGE;
    const struct { int id, alignX, alignY; RECT units; } links[] = {
        {L, -1, -1, {10, 10, 150, 14}}, {R, 1, -1, {10, 30, 150, 14}},
        {C, 0, -1, {10, 50, 150, 14}},  {I, -1, 0, {10, 70, 150, 21}}};
    CTestLink unknown(HLF_DEFAULT, kUnknownUrl.c_str()), scheme(HLF_DEFAULT & ~HLF_HOVERCOLOR);
    CTestLink fitting(HLF_DEFAULT | HLF_NOACTIVECOLOR, kFits.c_str()), tooLong(HLF_DEFAULT, (kFits + "u").c_str());
    CLinkDialog dialog({{&unknown, L}, {&scheme, R}, {&fitting, C}, {&tooLong, I}});
    // Fitted to its underlined text plus borders, a link keeps the edge or centre of its
    // alignment. One axis: the template's edges, the link's edges now, its client extent and
    // its text's.
    auto fitted = [](int align, LONG low0, LONG high0, LONG low, LONG high, LONG client, LONG text) {
        if (align == 0)
            return low - low0 == ((high0 - low0) - text) / 2 && high0 - high == low - low0;
        return client == text && (align < 0 ? low == low0 : high == high0);
    };

    // Opening: a release or Space opens through the shell, Enter does not. Where the shell
    // fails (the unknown scheme), the command registered for .htm runs with the URL in place
    // of its placeholder, quoted or bare, or after it; one that does not fit (its own buffer
    // or, with the URL, the command's), cannot be read or is empty runs nothing. A status above 32 marks the link visited; any other, from the
    // shell or from the command's run, names its reason in one box and leaves the link as it
    // was. The test scheme opens the recorder.
    const HKEY classes = HKEY_CLASSES_ROOT;
    SetRegString(classes, "autovanetest", "URL Protocol", "");
    SetRegString(classes, "autovanetest\\shell\\open\\command", "", kRecorder + "\"%1\"");
    const char* const kNoAssoc = "There is no application associated\nwith the given filename extension.";
    // What reaches the link after a press; whether .htm names the class T, T's command (empty
    // without bytes: no command key) and its bytes (0: its text and terminating zero); the
    // recorder's line (empty: nothing may run), the box's reason (null: none), the colour after.
    struct Row { int link; UINT message; WPARAM wParam; bool htm; std::string command; DWORD bytes;
                 std::string recorded; const char* reason; COLORREF colour; };
    const Row rows[] = {
        {R, WM_KEYDOWN, VK_RETURN, false, "", 0, "", {}, kLink},
        {L, WM_LBUTTONUP, 0, false, "", 0, "", kNoAssoc, kLink},
        {L, WM_LBUTTONUP, 0, true, "", 0, "", kNoAssoc, kLink},
        // The last without a terminating zero (the registry stores one if the last byte is zero).
        {L, WM_LBUTTONUP, 0, true, "", 1, "", kNoAssoc, kLink},
        {L, WM_LBUTTONUP, 0, true, std::string(MAX_PATH + 1, 'p'), MAX_PATH, "", kNoAssoc, kLink},
        {L, WM_LBUTTONUP, 0, true, kRecorder + std::string(MAX_PATH - kRecorder.size(), 'x'), 0, "", kNoAssoc, kLink},
        {I, WM_LBUTTONUP, 0, true, kRecorder + "\"%1\"", 0, "", kNoAssoc, kLink},
        {L, WM_LBUTTONUP, 0, true, "C:\\autovane-missing.exe %1", 0, "", "The specified file was not found.", kLink},
        {L, WM_KEYDOWN, VK_SPACE, true, kRecorder + "\"%1\" --dropped", 0, "  " + kUnknownUrl + kByDesktop, {}, kVisited},
        {L, WM_LBUTTONUP, 0, true, kRecorder + "%1 --dropped", 0, "  " + kUnknownUrl + kByDesktop, {}, kVisited},
        {L, WM_LBUTTONUP, 0, true, kRecorder + "--kept", 0, " --kept " + kUnknownUrl + kByDesktop, {}, kVisited},
        {C, WM_LBUTTONUP, 0, true, kRecorder + "\"%1\"", 0, "  " + kFits + kByDesktop, {}, kVisited},
        {R, WM_LBUTTONUP, 0, false, "", 0, " \"autovanetest:right\"" + kByDesktop, {}, kVisited},
    };
    MessageBoxAnswerer boxes;

    // The colours of the opened links L, R and C after each step, with the real pointer on
    // the link or off it; a link that holds the mouse capture is hovering. Wine at times puts
    // the pointer back where it was a moment before and the link follows it; MovePointerUntil
    // puts it back until the state holds.
    enum Step { kFocusOther, kFocusLink, kEnter, kLeave };
    const struct { Step step; COLORREF colour[3]; } steps[] = {
        {kFocusOther, {kVisited, kVisited, kVisited}}, {kEnter, {kHover, kVisited, kHover}},
        {kLeave, {kVisited, kVisited, kVisited}},      {kFocusLink, {kActive, kActive, kVisited}},
        {kEnter, {kHover, kActive, kHover}},           {kLeave, {kActive, kActive, kVisited}}};

    RunWithScript("Links", [&] { return dialog.DoModal(); }, [&](HWND box) {
        for (auto row : links) {
            const HWND link = GetDlgItem(box, row.id);
            const HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
            RECT text = {}, client, now;
            TEXTMETRICA metrics;
            DrawTextA(dc, WindowText(link).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            EXPECT_TRUE(GetTextMetricsA(dc, &metrics) && metrics.tmUnderlined) << row.id;
            DeleteDC(dc);
            GetClientRect(link, &client);
            GetWindowRect(link, &now);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&now), 2);
            RECT& t = row.units;
            MapDialogRect(box, &t);  // as the dialog was made: the place and the size
            const LONG right = t.left + t.right, bottom = t.top + t.bottom;
            EXPECT_TRUE(fitted(row.alignX, t.left, right, now.left, now.right, client.right, text.right)) << row.id;
            EXPECT_TRUE(fitted(row.alignY, t.top, bottom, now.top, now.bottom, client.bottom, text.bottom)) << row.id;
        }
        for (const Row& row : rows) {
            SCOPED_TRACE(&row - rows);
            const HWND link = GetDlgItem(box, row.link);
            const size_t before = boxes.Seen().size();
            DeleteRegTree(classes, ".htm");
            DeleteRegTree(classes, "T");
            if (row.htm)
                SetRegString(classes, ".htm", "", "T");
            if (row.bytes || !row.command.empty())
                SetRegBytes(classes, "T\\shell\\open\\command", "", REG_SZ, row.command.c_str(),
                            row.bytes ? row.bytes : DWORD(row.command.size() + 1));
            // A press first makes the link focused and active, as a user's would.
            SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(link, row.message, row.wParam, 0);
            EXPECT_EQ(row.recorded, Runs());
            ASSERT_EQ(before + (row.reason ? 1 : 0), boxes.Seen().size());
            EXPECT_EQ(row.reason ? kSaid + row.reason : "", row.reason ? boxes.Seen().back().text : "");
            Focus(GetDlgItem(box, IDC_OTHER));
            EXPECT_EQ(row.colour, LinkColour(link));
        }
        SetForegroundWindow(box);  // the pointer's shape is the foreground thread's
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof(thread);
        CURSORINFO cursor = {};
        cursor.cbSize = sizeof(cursor);
        for (int v = 0; v < 3; ++v) {
            const HWND link = GetDlgItem(box, links[v].id);
            for (const auto& step : steps) {
                const bool hovering = step.step == kEnter;
                if (step.step <= kFocusLink)
                    Focus(step.step == kFocusOther ? GetDlgItem(box, IDC_OTHER) : link);
                // Over a link the pointer shows the hand.
                EXPECT_TRUE(MovePointerUntil(hovering ? link : box, {1, 1}, [&] {
                    return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &thread) &&
                           (thread.hwndCapture == link) == hovering && LinkColour(link) == step.colour[v] &&
                           (!hovering || (GetCursorInfo(&cursor) && cursor.hCursor == CTestLink::s_hHandCursor));
                })) << "link " << v << ", step " << &step - steps << ": " << std::hex << LinkColour(link);
            }
        }
    });
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), CTestLink::s_hHandCursor) << "a stand-in left as the help viewer?";

    // Before Windows Vista the program that opens a link is started by the link's own.
    const char* const xp = "Software\\Wine\\AppDefaults\\hyperlink_tests.exe";
    SetRegString(HKEY_CURRENT_USER, xp, "Version", "winxp");
    EXPECT_EQ(0u, Program("\"" + ThisExecutablePath() + "\" --open autovanetest:xp").ExitCode());
    EXPECT_EQ(" \"autovanetest:xp\" from hyperlink_tests.exe\n", Runs());
    DeleteRegTree(HKEY_CURRENT_USER, xp);
}

// This program, whose only cursor stands in for a help viewer with a hand, takes the place
// of Wine's own viewer for a moment: its hand wins over the system's and is copied once.
// The original comes back on every path out of the test; one set aside by a run that died
// is put back, loudly.
TEST(HyperLinkTest, TakesTheHelpViewersHandOnce)
{
    static constexpr const char *viewer = "C:\\windows\\winhlp32.exe", *aside = "C:\\windows\\winhlp32.exe.autovane";
    EXPECT_FALSE(MoveFileExA(aside, viewer, MOVEFILE_REPLACE_EXISTING)) << "a run that died left " << aside;
    struct Restored {
        bool moved;
        ~Restored() { EXPECT_TRUE(DeleteFileA(viewer) && (!moved || MoveFileA(aside, viewer))); }
    } restored{MoveFileA(viewer, aside) != FALSE};
    ASSERT_TRUE(CopyFileA(ThisExecutablePath().c_str(), viewer, FALSE));
    CTestLink::s_hHandCursor = nullptr;
    CHyperLink::LoadHandCursor();
    const HCURSOR hand = CTestLink::s_hHandCursor;
    CHyperLink::LoadHandCursor();
    EXPECT_TRUE(hand && hand != LoadCursorA(nullptr, IDC_HAND) && hand == CTestLink::s_hHandCursor) << hand;
}

}  // namespace
