// tests/HyperLinkTests.cpp
//
// The link control on static controls of a real dialog under Wine: the dialog runs on the
// test's thread while a script on another drives it, with the real pointer wherever
// hovering matters. HKEY_CLASSES_ROOT is a private key in which the test scheme, and the
// .htm class where a row registers one, open this program as a recorder of the command
// line it was started with. Every process the test starts belongs to one job, so that it
// waits exactly until every run it caused has ended.
#include "DialogTestUtil.h"
#include "HyperLinkTests.h"
#include "RegistryTestUtil.h"
#include "TestMain.h"
#include "about/HyperLink.h"
#include "platform/Dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>

namespace {

// kUnknownUrl: a scheme nothing is registered for, so that the shell fails to open it.
const std::string kRecord = ThisExecutablePath() + ".links.txt", kUnknownUrl = "autovanenone:page";
constexpr COLORREF kLink = RGB(0, 0, 255), kActive = RGB(0, 128, 128), kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

// The command line that starts the recorder, to be followed by arguments.
const std::string kRecorder = "\"" + ThisExecutablePath() + "\" --child record_link ";

// Appends everything after its own name on its command line to the record file.
TEST_CHILD(record_link)
{
    std::ofstream(kRecord, std::ios::app | std::ios::binary) << std::strstr(GetCommandLineA(), "record_link") + 11 << '\n';
    return 0;
}

// A link that takes WM_APP's wParam as the status an open returned.
class CTestLink : public CHyperLink {
public:
    using CHyperLink::CHyperLink;
    using CHyperLink::s_hHandCursor;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        return m == WM_APP ? (OnOpenResult(int(w)), 0) : CHyperLink::WindowProc(m, w, l);
    }
};

// Where a control lies in its dialog's client area, and its centre there.
RECT PlaceOf(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}
POINT CentreOf(HWND control) { const RECT p = PlaceOf(control); return {(p.left + p.right) / 2, (p.top + p.bottom) / 2}; }

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

void Focus(HWND control) { SendMessageA(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE); }

// What the recorder was started with since the last call, a line a run, once every process
// this program started has ended: they all belong to one job, which holds this one alone
// while nothing runs. The first call comes after the first window, with which the desktop's
// own process starts: before the job.
std::string Runs()
{
    static const HANDLE job = CreateJobObjectA(nullptr, nullptr);
    static const bool joined = AssignProcessToJobObject(job, GetCurrentProcess());
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts = {};
    EXPECT_TRUE(joined && WaitFor([&] {
        return QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &counts, sizeof(counts), nullptr) &&
               counts.ActiveProcesses == 1;
    }, 10000)) << counts.ActiveProcesses;
    std::ifstream file(kRecord, std::ios::binary);
    const std::string lines((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close(), DeleteFileA(kRecord.c_str());
    return lines;
}

// One dialog of four links (the unknown scheme with the default flags, the test scheme
// without the hover colour, a URL that just fits the .htm command without the active
// colour, one a byte longer), after one with a link without the hand alone, as in a fresh
// process.
//
// The hand: links without it alone load none; the first other link loads the system's
// (Wine's own help viewer has none). A help viewer with a hand (this program, whose only
// cursor stands in for it) wins, and its copy is not made again.
//
// Each link's size: fitted to its underlined text plus borders, it keeps the edge or centre
// of its alignment (left and top, right and top, horizontal centre, vertical centre).
//
// Every way a link opens or fails. A release or Space opens through the shell, Enter does
// not. Where the shell fails (the unknown scheme), the command registered for
// .htm runs with the URL in place of its placeholder, quoted or bare, or after it; one that
// does not fit, cannot be read or is empty runs nothing. A status above 32 marks the link
// visited; any other, from the shell, from the command's run or handed over as an open's
// result (kStatus), names its reason in one box and leaves the link as it was. Every status
// the shell documents has a reason of its own; a few rows stand for the mapping.
//
// Then the colour of each opened link after each step, with the real pointer on the link or
// off it; a link that holds the mouse capture is hovering. Wine at times puts the pointer
// back where it was a moment before and the link follows it; MovePointerUntil puts it back
// until the state holds.
TEST(HyperLinkTest, LoadsTheHandFitsOpensOrNamesTheReasonAndColoursItsStates)
{
    // A private HKEY_CLASSES_ROOT, in which the test scheme opens the recorder.
    HKEY classes = nullptr;
    ASSERT_EQ(0, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\AutovaneTests\\Classes", &classes));
    ASSERT_EQ(0, RegOverridePredefKey(HKEY_CLASSES_ROOT, classes));
    SetRegString(classes, "autovanetest", "URL Protocol", "");
    SetRegString(classes, "autovanetest\\shell\\open\\command", "", kRecorder + "\"%1\"");
    // The links: L the unknown scheme, R the test scheme, C a URL that just fits, I one byte more;
    // per axis, -1 keeps the low edge, 1 the high edge, 0 the centre.
    const int L = IDC_LINK_LEFT, R = IDC_LINK_RIGHT, C = IDC_LINK_CENTER, I = IDC_LINK_CENTERIMAGE;
    const struct { int id, alignX, alignY; } links[] = {{L, -1, -1}, {R, 1, -1}, {C, 0, -1}, {I, -1, 0}};
    enum Step { kFocusOther, kFocusLink, kEnter, kLeave };
    const struct { Step step; COLORREF colour[3]; } steps[] = {  // for L, R and C once they have opened
        {kFocusOther, {kVisited, kVisited, kVisited}}, {kEnter, {kHover, kVisited, kHover}},
        {kLeave, {kVisited, kVisited, kVisited}},      {kFocusLink, {kActive, kActive, kVisited}},
        {kEnter, {kHover, kActive, kHover}},           {kLeave, {kActive, kActive, kVisited}}};
    enum How { kPress, kSpace, kReturn, kStatus };
    const char* const kNoAssoc = "There is no application associated\nwith the given filename extension.";
    const std::string fits = kUnknownUrl + std::string(2 * MAX_PATH - 2 - kRecorder.size() - kUnknownUrl.size(), 'u');
    // Whether .htm names the class T, T's command (empty without bytes: no command key) and the
    // command's bytes (0: its text and terminating zero) or kStatus's status; the recorder's
    // line (empty: nothing may run) and the box's reason (null: none).
    struct Row { int link; How how; bool htm; std::string command; int bytes; std::string recorded; const char* reason; };
    const Row rows[] = {
        {C, kStatus, false, "", 32, "", "The specified dynamic-link library was not found."},
        {C, kStatus, false, "", -7, "", "Unknown Error (-7) occurred."}, {C, kStatus, false, "", 33, "", {}},
        {R, kReturn, false, "", 0, "", {}}, {L, kPress, false, "", 0, "", kNoAssoc}, {L, kPress, true, "", 0, "", kNoAssoc},
        // The last without a terminating zero (the registry stores one if the last byte is zero).
        {L, kPress, true, "", 1, "", kNoAssoc}, {L, kPress, true, std::string(MAX_PATH + 1, 'p'), MAX_PATH, "", kNoAssoc},
        {I, kPress, true, kRecorder + "\"%1\"", 0, "", kNoAssoc},
        {L, kPress, true, "C:\\autovane-missing.exe %1", 0, "", "The specified file was not found."},
        {L, kSpace, true, kRecorder + "\"%1\" --dropped", 0, "  " + kUnknownUrl + "\n", {}},
        {L, kPress, true, kRecorder + "%1 --dropped", 0, "  " + kUnknownUrl + "\n", {}},
        {L, kPress, true, kRecorder + "--kept", 0, " --kept " + kUnknownUrl + "\n", {}},
        {C, kPress, true, kRecorder + "\"%1\"", 0, "  " + fits + "\n", {}},
        {R, kPress, false, "", 0, " \"autovanetest:right\"\n", {}},
    };
    const std::string said = "Cannot execute link.\n\nReason: Cannot open link:\n\n";
    MessageBoxAnswerer boxes;
    // Every status the shell documents has a reason of its own: none shares one with another
    // or with 4, which is unknown ("Unknown Error (4) occurred.", kept up to its number).
    std::set<std::string> reasons;
    for (int s : {4, 0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32})
        CHyperLink::ReportOpenError(s), reasons.insert(boxes.Seen().back().text.substr(0, boxes.Seen().back().text.find('(')));
    EXPECT_TRUE(reasons.size() == 14 && boxes.Seen().back().icon == "exclamation") << reasons.size();
    CTestLink::s_hHandCursor = nullptr;
    CTestLink noHand(HLF_DEFAULT | HLF_NOHANDCURSOR), unknown(HLF_DEFAULT, kUnknownUrl.c_str()),
        scheme(HLF_DEFAULT & ~HLF_HOVERCOLOR), fitting(HLF_DEFAULT | HLF_NOACTIVECOLOR, fits.c_str()),
        tooLong(HLF_DEFAULT, (fits + "u").c_str());
    // The link without the hand goes on the button, leaving the statics where the template puts them.
    CLinkDialog noHandOnly({{&noHand, IDC_OTHER}});
    std::map<int, RECT> place;
    RunWithScript("Links", [&] { return noHandOnly.DoModal(); }, [&](HWND box) {
        for (int id : {L, R, C, I})
            place[id] = PlaceOf(GetDlgItem(box, id));
    });
    EXPECT_FALSE(CTestLink::s_hHandCursor);
    Runs();
    CLinkDialog dialog({{&unknown, L}, {&scheme, R}, {&fitting, C}, {&tooLong, I}});
    // One axis: the place in the template (low0, high0) and now, the client size, the text's.
    auto fitted = [](int align, LONG low0, LONG high0, LONG low, LONG high, LONG client, LONG text) {
        const LONG shrink = ((high0 - low0) - text) / 2;
        return high - low < high0 - low0 && (align ? (align < 0 ? low == low0 : high == high0) && client == text
                                                   : low == low0 + shrink && high == high0 - shrink);
    };
    RunWithScript("Links", [&] { return dialog.DoModal(); }, [&](HWND box) {
        for (const auto& row : links) {
            const HWND link = GetDlgItem(box, row.id);
            const HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
            RECT text = {}, client;
            TEXTMETRICA metrics;
            DrawTextA(dc, WindowText(link).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            EXPECT_TRUE(GetTextMetricsA(dc, &metrics) && metrics.tmUnderlined) << row.id;
            DeleteDC(dc);
            GetClientRect(link, &client);
            const RECT t = place[row.id], a = PlaceOf(link);
            EXPECT_TRUE(fitted(row.alignX, t.left, t.right, a.left, a.right, client.right, text.right)) << row.id;
            EXPECT_TRUE(fitted(row.alignY, t.top, t.bottom, a.top, a.bottom, client.bottom, text.bottom)) << row.id;
        }
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof(thread);
        CURSORINFO cursor = {};
        cursor.cbSize = sizeof(cursor);
        std::map<int, bool> visited;
        for (const Row& row : rows) {
            SCOPED_TRACE(&row - rows);
            const HWND link = GetDlgItem(box, row.link);
            const size_t before = boxes.Seen().size();
            DeleteRegTree(classes, ".htm"), DeleteRegTree(classes, "T");
            if (row.htm)
                SetRegString(classes, ".htm", "", "T");
            if (row.how != kStatus && (row.bytes || !row.command.empty()))
                SetRegBytes(classes, "T\\shell\\open\\command", "", REG_SZ, row.command.c_str(),
                            row.bytes ? row.bytes : DWORD(row.command.size() + 1));
            row.how == kPress ? SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0) : (Focus(link), 0);
            const WPARAM key = row.how == kStatus ? row.bytes : row.how == kSpace ? VK_SPACE : VK_RETURN;
            SendMessageA(link, row.how == kPress ? WM_LBUTTONUP : row.how == kStatus ? WM_APP : WM_KEYDOWN, key, 0);
            EXPECT_EQ(row.recorded, Runs());
            ASSERT_EQ(before + (row.reason ? 1 : 0), boxes.Seen().size());
            EXPECT_EQ(row.reason ? said + row.reason : "", row.reason ? boxes.Seen().back().text : "");
            Focus(GetDlgItem(box, IDC_OTHER));
            visited[row.link] = visited[row.link] || !row.recorded.empty() || (row.how == kStatus && row.bytes > 32);
            EXPECT_EQ(visited[row.link] ? kVisited : kLink, LinkColour(link));
        }
        SetForegroundWindow(box);  // the pointer's shape is the foreground thread's
        for (int v = 0; v < 3; ++v) {
            const HWND link = GetDlgItem(box, links[v].id);
            for (const auto& step : steps) {
                const bool hovering = step.step == kEnter;
                if (step.step <= kFocusLink)
                    Focus(step.step == kFocusOther ? GetDlgItem(box, IDC_OTHER) : link);
                // Over a link the pointer shows the hand.
                EXPECT_TRUE(MovePointerUntil(box, hovering ? CentreOf(link) : POINT{1, 1}, [&] {
                    return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &thread) &&
                           (thread.hwndCapture == link) == hovering && LinkColour(link) == step.colour[v] &&
                           (!hovering || (GetCursorInfo(&cursor) && cursor.hCursor == CTestLink::s_hHandCursor));
                })) << "link " << v << ", step " << &step - steps << ": " << std::hex << LinkColour(link);
            }
        }
    });
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), CTestLink::s_hHandCursor) << "a stand-in left as the help viewer?";
    // This program, whose only cursor stands in for a help viewer with a hand, takes the
    // place of Wine's own viewer for a moment; the original comes back on every path out of
    // the test. One set aside by a run that died is put back, loudly.
    static const std::string viewer = "C:\\windows\\winhlp32.exe", aside = viewer + ".autovane";
    EXPECT_FALSE(MoveFileExA(aside.c_str(), viewer.c_str(), MOVEFILE_REPLACE_EXISTING)) << "a run that died left " << aside;
    struct Restored {
        bool moved;
        ~Restored() { EXPECT_TRUE(DeleteFileA(viewer.c_str()) && (!moved || MoveFileA(aside.c_str(), viewer.c_str()))); }
    } restored{MoveFileA(viewer.c_str(), aside.c_str()) != FALSE};
    ASSERT_TRUE(CopyFileA(ThisExecutablePath().c_str(), viewer.c_str(), FALSE));
    CTestLink::s_hHandCursor = nullptr;
    CHyperLink::LoadHandCursor();
    const HCURSOR hand = CTestLink::s_hHandCursor;
    CHyperLink::LoadHandCursor();
    EXPECT_TRUE(hand && hand != LoadCursorA(nullptr, IDC_HAND) && hand == CTestLink::s_hHandCursor) << hand;
}

}  // namespace
