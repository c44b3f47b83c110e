// tests/HyperLinkTests.cpp
//
// The link control on static controls of real dialogs under Wine: the dialog runs on the
// test's thread while a script on another drives it, with the real pointer wherever
// hovering or the cursor matters. HKEY_CLASSES_ROOT is a private key in which the test
// scheme, and the .htm class where a test registers one, open this program as a recorder
// of the command line it was started with. Every process the tests start belongs to one
// job, so that a test waits exactly until every run it caused has ended.
#include "DialogTestUtil.h"
#include "HyperLinkTests.h"
#include "RegistryTestUtil.h"
#include "TestMain.h"
#include "about/HyperLink.h"
#include "platform/Dialog.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
const char* const kClasses = "Software\\AutovaneTests\\Classes";
const std::string kRecord = ThisExecutablePath() + ".links.txt";
// A scheme nothing is registered for, so that the shell fails to open it.
const std::string kUnknownUrl = "autovanenone:page";
constexpr COLORREF kLink = RGB(0, 0, 255), kActive = RGB(0, 128, 128), kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

// The command line that starts the recorder, followed by arguments.
std::string Recorder(const std::string& arguments)
{
    return "\"" + ThisExecutablePath() + "\" --child record_link" + (arguments.empty() ? "" : " " + arguments);
}

// Appends everything after its own name on its command line to the record file.
TEST_CHILD(record_link)
{
    const std::string line = GetCommandLineA();
    std::ofstream(kRecord, std::ios::app | std::ios::binary) << line.substr(line.find("record_link") + 11) << '\n';
    return 0;
}

// How many processes this program and what it started have running.
DWORD ActiveProcesses()
{
    static const HANDLE job = [] {
        // The desktop's own process starts with the first window: before the job exists.
        DestroyWindow(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        const HANDLE created = CreateJobObjectA(nullptr, nullptr);
        return AssignProcessToJobObject(created, GetCurrentProcess()) ? created : nullptr;
    }();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts = {};
    EXPECT_TRUE(QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &counts, sizeof(counts), nullptr));
    return counts.ActiveProcesses;
}

// A link that takes WM_APP's wParam as the status an open returned.
class CTestLink : public CHyperLink {
public:
    using CHyperLink::CHyperLink;
    using CHyperLink::s_hHandCursor;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return message == WM_APP ? (OnOpenResult(static_cast<int>(wParam)), 0) : CHyperLink::WindowProc(message, wParam, lParam);
    }
};

// Where a control lies in its dialog's client area.
RECT PlaceOf(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The links' dialog: each link is bound to its static as the dialog starts, the static's
// place in the template kept; Run drives it with a script from another thread.
class CLinkDialog : public CDialog {
public:
    explicit CLinkDialog(std::vector<std::pair<CWnd*, int>> links) : CDialog(IDD_LINK_TEST), m_links(links) {}
    void Run(const std::function<void(HWND)>& script) { RunWithScript("Links", [this] { return DoModal(); }, script); }
    BOOL OnInitDialog() override
    {
        for (auto& [link, id] : m_links) {
            m_template[id] = PlaceOf(::GetDlgItem(m_hWnd, id));
            EXPECT_TRUE(link->SubclassDlgItem(static_cast<UINT>(id), this)) << id;
        }
        return CDialog::OnInitDialog();
    }
    std::vector<std::pair<CWnd*, int>> m_links;
    std::map<int, RECT> m_template;
};

// The text colour a link sets, with the hollow brush and a transparent background, when
// its dialog leaves the colouring to the default; CLR_INVALID when it answers otherwise.
COLORREF LinkColour(HWND link)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    const LRESULT brush =
        SendMessageA(GetParent(link), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
    const bool hollow = brush == reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)) && GetBkMode(dc) == TRANSPARENT;
    const COLORREF colour = hollow ? GetTextColor(dc) : CLR_INVALID;
    DeleteDC(dc);
    return colour;
}

void Focus(HWND control)
{
    SendMessageA(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRegTree(HKEY_CURRENT_USER, kClasses);
        ASSERT_EQ(0, RegCreateKeyExA(HKEY_CURRENT_USER, kClasses, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_classes, nullptr));
        ASSERT_EQ(0, RegOverridePredefKey(HKEY_CLASSES_ROOT, m_classes));
        SetRegString(m_classes, "autovanetest", "URL Protocol", "");
        Set("autovanetest\\shell\\open\\command", Recorder("\"%1\""));
        DeleteFileA(kRecord.c_str());
        m_active = ActiveProcesses();
    }
    void TearDown() override
    {
        Runs();
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(m_classes);
        DeleteRegTree(HKEY_CURRENT_USER, kClasses);
    }
    void Set(const std::string& key, const std::string& value) { SetRegString(m_classes, key.c_str(), "", value); }
    // What the recorder was started with since the last call, a line a run, once every
    // process started has ended.
    Lines Runs()
    {
        EXPECT_TRUE(WaitFor([&] { return ActiveProcesses() <= m_active; }, 10000));
        Lines lines(1);
        for (std::ifstream file(kRecord, std::ios::binary); std::getline(file, lines.back());)
            lines.emplace_back();
        DeleteFileA(kRecord.c_str());
        return Lines(lines.begin(), lines.end() - 1);
    }

    HKEY m_classes = nullptr;
    DWORD m_active = 0;
};

// Every way a link opens or fails. A release or Space opens through the shell, a press
// or Enter does not. Where the shell fails (the unknown scheme), the command registered
// for .htm runs with the URL in place of its placeholder, quoted or bare, or after it;
// one that does not fit, cannot be read or is empty runs nothing. A status above 32 marks
// the link visited; any other, from the shell, from the command's run or handed over as
// an open's result (kStatus), names its reason in one box and leaves the link as it was.
TEST_F(HyperLinkTest, OpensThroughTheShellOrTheHtmCommandOrNamesTheReason)
{
    enum How { kClick, kSpace, kEnter, kStatus };
    const char* const kNoAssoc = "There is no application associated\nwith the given filename extension.";
    const std::string pad(300, 'p'), prefix = Recorder("") + "  ";  // the command as cut before "%1", with the blank
    const std::string fits = kUnknownUrl + std::string(2 * MAX_PATH - 1 - prefix.size() - kUnknownUrl.size(), 'u');
    const std::string unterminated = Recorder(std::string(MAX_PATH - Recorder("").size() - 1, 'p'));
    // The links: L the unknown scheme, R the test scheme, C a URL that just fits, I one byte more.
    const int L = IDC_LINK_LEFT, R = IDC_LINK_RIGHT, C = IDC_LINK_CENTER, I = IDC_LINK_CENTERIMAGE;
    // The .htm class (null: none), its command ("" without bytes: no command key) and the
    // command's bytes (0: its text and terminating zero) or kStatus's status; the recorder's
    // line (empty: nothing may run) and the box's reason (null: none).
    struct Row { int link; How how; const char* htmClass; std::string command; int bytes; std::string recorded; const char* reason; };
    const Row rows[] = {
        {C, kStatus, nullptr, "", 0, "", "The operating system is out\nof memory or resources."},
        {C, kStatus, nullptr, "", 5, "", "The operating system denied\naccess to the specified file."},
        {C, kStatus, nullptr, "", 8, "", "There was not enough memory to complete the operation."},
        {C, kStatus, nullptr, "", 26, "", "A sharing violation occurred. "},
        {C, kStatus, nullptr, "", 27, "", "The filename association is\nincomplete or invalid."},
        {C, kStatus, nullptr, "", 28, "", "The DDE transaction could not\nbe completed because the request timed out."},
        {C, kStatus, nullptr, "", 29, "", "The DDE transaction failed."},
        {C, kStatus, nullptr, "", 30, "",
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {C, kStatus, nullptr, "", 32, "", "The specified dynamic-link library was not found."},
        {C, kStatus, nullptr, "", 4, "", "Unknown Error (4) occurred."},
        {C, kStatus, nullptr, "", -7, "", "Unknown Error (-7) occurred."},
        {C, kStatus, nullptr, "", 33, "", nullptr},
        {R, kEnter, nullptr, "", 0, "", nullptr},
        {L, kClick, nullptr, "", 0, "", kNoAssoc},
        {L, kClick, "T", "", 0, "", kNoAssoc},
        {L, kClick, "", "", 0, "", kNoAssoc},
        {L, kClick, "T", "", 1, "", kNoAssoc},
        {L, kClick, pad.c_str(), "", 0, "", kNoAssoc},
        {L, kClick, "T", Recorder(pad), 0, "", kNoAssoc},
        // Followed by a byte that is not zero, or the registry would store one with it.
        {L, kClick, "T", unterminated + "p", MAX_PATH, "", kNoAssoc},
        {I, kClick, "T", Recorder("\"%1\""), 0, "", kNoAssoc},
        {L, kClick, "T", "C:\\autovane-missing.exe %1", 0, "", "The specified file was not found."},
        {L, kClick, "T", "C:\\windows\\win.ini %1", 0, "", "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {L, kSpace, "T", Recorder("\"%1\" --dropped"), 0, "  " + kUnknownUrl, nullptr},
        {L, kClick, "T", Recorder("%1 --dropped"), 0, "  " + kUnknownUrl, nullptr},
        {L, kClick, "T", Recorder(""), 0, " " + kUnknownUrl, nullptr},
        {C, kClick, "T", Recorder("\"%1\""), 0, "  " + fits, nullptr},
        {R, kClick, nullptr, "", 0, " \"autovanetest:right\"", nullptr},
        {R, kSpace, nullptr, "", 0, " \"autovanetest:right\"", nullptr},
    };
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), unterminated.size());
    const std::string said =
        std::string(AfxGetApp()->m_strAppName) + " (exclamation, OK): Cannot execute link.\n\nReason: Cannot open link:\n\n";
    CTestLink unknown(HLF_DEFAULT, kUnknownUrl.c_str()), scheme, fitting(HLF_DEFAULT, fits.c_str()),
        tooLong(HLF_DEFAULT, (fits + "u").c_str());
    MessageBoxAnswerer boxes;
    CLinkDialog({{&unknown, L}, {&scheme, R}, {&fitting, C}, {&tooLong, I}}).Run([&](HWND dialog) {
        std::map<int, bool> visited;
        for (size_t i = 0; i < std::size(rows); ++i) {
            SCOPED_TRACE(i);
            const Row& row = rows[i];
            const HWND link = GetDlgItem(dialog, row.link);
            const size_t shown = boxes.Seen().size();
            DeleteRegTree(m_classes, ".htm");
            DeleteRegTree(m_classes, "T");
            if (row.htmClass)
                Set(".htm", row.htmClass);
            if (row.how != kStatus && (row.bytes || !row.command.empty()))
                SetRegBytes(m_classes, (std::string(row.htmClass) + "\\shell\\open\\command").c_str(), "", REG_SZ,
                            row.command.c_str(), row.bytes ? row.bytes : static_cast<DWORD>(row.command.size() + 1));
            if (row.how == kClick) {
                SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                EXPECT_EQ(Lines(), Runs()) << "a press opens nothing";
                SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            } else if (row.how == kStatus) {
                SendMessageA(link, WM_APP, static_cast<WPARAM>(row.bytes), 0);
            } else {
                Focus(link);
                SendMessageA(link, WM_KEYDOWN, row.how == kSpace ? VK_SPACE : VK_RETURN, 0);
            }
            EXPECT_EQ(row.recorded.empty() ? Lines() : Lines{row.recorded}, Runs());
            ASSERT_EQ(shown + (row.reason ? 1 : 0), boxes.Seen().size());
            const SeenMessageBox& box = boxes.Seen().back();
            const std::string seen =
                box.caption + " (" + box.icon + (box.buttons == std::set<int>{IDOK} ? ", OK): " : "): ") + box.text;
            EXPECT_EQ(row.reason ? said + row.reason : "", row.reason ? seen : "");
            visited[row.link] = visited[row.link] || !row.recorded.empty() || (row.how == kStatus && row.bytes > 32);
            Focus(GetDlgItem(dialog, IDC_OTHER));
            EXPECT_EQ(visited[row.link] ? kVisited : kLink, LinkColour(link));
        }
    });
}

// Each link's size: fitted to its underlined text plus borders, it keeps the edge or centre
// of its alignment (left and top, right and top, horizontal centre, vertical centre). Then
// the colour after each step with the default flags, without the hover colour and without
// the active colour, with the real pointer on the link or off it; a link that holds the
// mouse capture is hovering. Wine at times puts the pointer back where it was a moment
// before and the link follows it; MovePointerUntil puts it back until the state holds.
TEST_F(HyperLinkTest, FittedLinksColourHoverFocusAndVisitedState)
{
    // Per axis: -1 keeps the low edge, 1 the high edge, 0 the centre.
    const struct { int id, alignX, alignY; } links[] = {
        {IDC_LINK_LEFT, -1, -1}, {IDC_LINK_RIGHT, 1, -1}, {IDC_LINK_CENTER, 0, -1}, {IDC_LINK_CENTERIMAGE, -1, 0}};
    enum Step { kFocusOther, kFocusLink, kEnter, kLeave, kClick };
    const struct { Step step; COLORREF colour[3]; } steps[] = {
        {kFocusOther, {kLink, kLink, kLink}},    {kEnter, {kHover, kLink, kHover}},   {kLeave, {kLink, kLink, kLink}},
        {kFocusLink, {kActive, kActive, kLink}}, {kEnter, {kHover, kActive, kHover}}, {kLeave, {kActive, kActive, kLink}},
        {kClick, {kActive, kActive, kVisited}},  {kFocusOther, {kVisited, kVisited, kVisited}},
        {kEnter, {kHover, kVisited, kHover}},    {kLeave, {kVisited, kVisited, kVisited}},
    };
    CHyperLink plain, noHover(HLF_DEFAULT & ~HLF_HOVERCOLOR), noActive(HLF_DEFAULT | HLF_NOACTIVECOLOR), image;
    CLinkDialog dialog({{&plain, links[0].id}, {&noHover, links[1].id}, {&noActive, links[2].id}, {&image, links[3].id}});
    // One axis: the place in the template (low0, high0) and now, the client size, the text's.
    auto fits = [](int align, LONG low0, LONG high0, LONG low, LONG high, LONG client, LONG text) {
        const LONG shrink = ((high0 - low0) - text) / 2;
        return high - low < high0 - low0 && (align ? (align < 0 ? low == low0 : high == high0) && client == text
                                                   : low == low0 + shrink && high == high0 - shrink);
    };
    dialog.Run([&](HWND box) {
        for (const auto& row : links) {
            const HWND link = GetDlgItem(box, row.id);
            const HFONT font = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
            LOGFONTA description = {};
            EXPECT_TRUE(GetObjectA(font, sizeof(description), &description) && description.lfUnderline) << row.id;
            const HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, font);
            const std::string text = WindowText(link);
            SIZE size = {};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            DeleteDC(dc);
            RECT client;
            GetClientRect(link, &client);
            const RECT t = dialog.m_template[row.id], a = PlaceOf(link);
            EXPECT_TRUE(fits(row.alignX, t.left, t.right, a.left, a.right, client.right, size.cx)) << row.id;
            EXPECT_TRUE(fits(row.alignY, t.top, t.bottom, a.top, a.bottom, client.bottom, size.cy)) << row.id;
        }
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof(thread);
        for (int v = 0; v < 3; ++v) {
            const HWND link = GetDlgItem(box, links[v].id);
            const POINT centre = {(PlaceOf(link).left + PlaceOf(link).right) / 2, (PlaceOf(link).top + PlaceOf(link).bottom) / 2};
            bool hovering = false;
            for (size_t i = 0; i < std::size(steps); ++i) {
                hovering = steps[i].step == kEnter || (hovering && steps[i].step != kLeave);
                if (steps[i].step == kClick) {
                    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
                    EXPECT_EQ(1u, Runs().size());
                }
                // The run may have taken the focus away for a moment.
                if (steps[i].step == kFocusLink || steps[i].step == kClick || steps[i].step == kFocusOther)
                    Focus(steps[i].step == kFocusOther ? GetDlgItem(box, IDC_OTHER) : link);
                EXPECT_TRUE(MovePointerUntil(box, hovering ? centre : POINT{1, 1}, [&] {
                    return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &thread) &&
                           (thread.hwndCapture == link) == hovering && LinkColour(link) == steps[i].colour[v];
                })) << "link " << v << ", step " << i << ": " << std::hex << LinkColour(link) << (hovering ? ", hovering" : "");
            }
        }
    });
}

// In a fresh process: links without the hand alone load none; the first other link loads
// the help viewer's ("viewer": this program's only cursor standing in) or else the
// system's, which every link then shows under the real pointer, and which is not loaded
// again. Exit codes: 1 loaded despite the flag, 2 not shown or loaded again, 3 the wrong one.
TEST_CHILD(hand_cursor)
{
    CTestLink noHand(HLF_DEFAULT | HLF_NOHANDCURSOR), noHandToo(HLF_DEFAULT | HLF_NOHANDCURSOR), first;
    int result = 0;
    CLinkDialog({{&noHand, IDC_LINK_LEFT}}).Run([&](HWND) { result = CTestLink::s_hHandCursor ? 1 : 0; });
    CLinkDialog({{&noHandToo, IDC_LINK_LEFT}, {&first, IDC_LINK_RIGHT}}).Run([&](HWND dialog) {
        CURSORINFO cursor = {};
        cursor.cbSize = sizeof(cursor);
        for (int id : {IDC_LINK_RIGHT, IDC_LINK_LEFT}) {
            const RECT place = PlaceOf(GetDlgItem(dialog, id));
            if (!result && !MovePointerUntil(dialog, POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2}, [&] {
                    return GetCursorInfo(&cursor) && cursor.hCursor == CTestLink::s_hHandCursor;
                }))
                result = 2;
        }
    });
    const HCURSOR hand = CTestLink::s_hHandCursor;
    CHyperLink::LoadHandCursor();
    if (result || hand != CTestLink::s_hHandCursor)
        return result ? result : 2;
    return (argc > 0 && std::string(argv[0]) == "viewer") == (hand && hand != LoadCursorA(nullptr, IDC_HAND)) ? 0 : 3;
}

TEST(HyperLinkHandTest, LoadedOnceFromTheHelpViewerElseTheSystemHand)
{
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, MAX_PATH);
    // Wine's own help viewer, if any, has no hand: the system's serves. For the stand-in's
    // run it goes aside; finding it aside means a run died with the stand-in in its place.
    const std::string viewer = std::string(directory) + "\\winhlp32.exe", aside = viewer + ".aside";
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(aside.c_str())) << "delete " << viewer << ", rename " << aside;
    const std::string child = "\"" + ThisExecutablePath() + "\" --child hand_cursor ";
    EXPECT_EQ(0, RunProcess(child + "system"));
    // The stand-in goes, and the system's viewer comes back, on every path out of the test.
    const bool moved = MoveFileA(viewer.c_str(), aside.c_str()) != 0;
    const struct Restored {
        const std::string &path, &aside;
        bool moved, copied;
        ~Restored() { EXPECT_TRUE((!copied || DeleteFileA(path.c_str())) && (!moved || MoveFileA(aside.c_str(), path.c_str()))); }
    } standIn{viewer, aside, moved, CopyFileA(ThisExecutablePath().c_str(), viewer.c_str(), TRUE) != 0};
    ASSERT_TRUE(standIn.copied);
    EXPECT_EQ(0, RunProcess(child + "viewer"));
}

}  // namespace
