// tests/HyperLinkTests.cpp
//
// The link control on static controls of real dialogs under Wine. HKEY_CLASSES_ROOT is a
// private key in which the test scheme, and the .htm class where a test registers one,
// open this program as a recorder of the command line it was started with. Every process
// the tests start belongs to one job, so that a test waits exactly until every run it
// caused has ended, and no guessed time for a run too many.
#include "DialogTestUtil.h"
#include "HyperLinkTests.h"
#include "RegistryTestUtil.h"
#include "TestMain.h"
#include "about/HyperLink.h"
#include "platform/Dialog.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kClasses = "Software\\AutovaneTests\\Classes";
const char* const kChild = "record_link";
// A scheme nothing is registered for, so that the shell fails to open it.
const std::string kUnknownUrl = "autovanenone:page";
constexpr COLORREF kLink = RGB(0, 0, 255), kActive = RGB(0, 128, 128), kVisited = RGB(128, 0, 128),
                   kHover = RGB(255, 0, 0);

std::string RecordFile()
{
    return ThisExecutablePath() + ".links.txt";
}

// The command line that starts the recorder, followed by arguments.
std::string Recorder(const std::string& arguments)
{
    return "\"" + ThisExecutablePath() + "\" --child " + kChild + (arguments.empty() ? "" : " " + arguments);
}

// Appends everything after its own name on its command line to the record file.
TEST_CHILD(record_link)
{
    const std::string line = GetCommandLineA();
    std::ofstream(RecordFile(), std::ios::app | std::ios::binary) << line.substr(line.find(kChild) + 11) << '\n';
    return 0;
}

// How many processes this program and what it started have running.
DWORD ActiveProcesses()
{
    static HANDLE job = [] {
        // The desktop's own process starts with the first window: before the job exists.
        DestroyWindow(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        HANDLE created = CreateJobObjectA(nullptr, nullptr);
        EXPECT_TRUE(AssignProcessToJobObject(created, GetCurrentProcess()));
        return created;
    }();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts = {};
    EXPECT_TRUE(QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &counts, sizeof(counts), nullptr));
    return counts.ActiveProcesses;
}

int ShellStatusFor(const std::string& url)
{
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOW)));
}

// A dialog from a test template, run modally as the main window, with the scenario inside
// its loop once it is up. Its statics stay plain until the scenario binds them.
class ScenarioDialog : public CDialog {
public:
    ScenarioDialog(UINT id, std::function<void(ScenarioDialog&)> scenario) : CDialog(id), m_scenario(scenario) {}
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void Bind(CWnd& link, int id) { EXPECT_TRUE(link.SubclassDlgItem(static_cast<UINT>(id), this)) << id; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_APP)
            return CDialog::WindowProc(message, wParam, lParam);
        m_scenario(*this);
        EndDialog(IDOK);
        return 0;
    }
    BOOL OnInitDialog() override
    {
        PostMessage(WM_APP);
        return CDialog::OnInitDialog();
    }

private:
    std::function<void(ScenarioDialog&)> m_scenario;
};

void RunDialog(UINT id, std::function<void(ScenarioDialog&)> scenario)
{
    ScenarioDialog dialog(id, std::move(scenario));
    CWnd* mainWnd = AfxGetApp()->m_pMainWnd;
    AfxGetApp()->m_pMainWnd = &dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    AfxGetApp()->m_pMainWnd = mainWnd;
}

// The text colour a link sets when its parent leaves the colouring to the default.
COLORREF LinkColour(HWND link)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    const LRESULT brush = SendMessageA(GetParent(link), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

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

std::string ExpectedMessage(int code)
{
    const auto known = std::find_if(std::begin(kReasons), std::end(kReasons), [&](auto& c) { return c.code == code; });
    return std::string("Cannot execute link.\n\nReason: Cannot open link:\n\n") +
           (known == std::end(kReasons) ? "(a code the table lacks)" : known->reason);
}

void ExpectOneBoxSaying(const MessageBoxAnswerer& boxes, int code)
{
    ASSERT_EQ(1u, boxes.Seen().size());
    EXPECT_EQ(ExpectedMessage(code), boxes.Seen()[0].text);
    EXPECT_EQ(std::string(AfxGetApp()->m_strAppName), boxes.Seen()[0].caption);
    EXPECT_EQ(std::set<int>{IDOK}, boxes.Seen()[0].buttons);
    EXPECT_EQ("exclamation", boxes.Seen()[0].icon);
}

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRegTree(HKEY_CURRENT_USER, kClasses);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kClasses, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &m_classes, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, m_classes));
        Set("autovanetest", "URL:autovanetest");
        SetRegString(m_classes, "autovanetest", "URL Protocol", "");
        Set("autovanetest\\shell\\open\\command", Recorder("\"%1\""));
        std::remove(RecordFile().c_str());
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
    void SetHtm(const std::string& command)
    {
        Set(".htm", "AutovaneTest.htmfile");
        Set("AutovaneTest.htmfile\\shell\\open\\command", command);
    }
    // What the recorder was started with since the last call, a line a run, once every
    // process started has ended.
    std::vector<std::string> Runs()
    {
        EXPECT_TRUE(WaitFor([&] { return ActiveProcesses() <= m_active; }, 10000));
        std::vector<std::string> lines;
        {
            std::ifstream file(RecordFile(), std::ios::binary);
            for (std::string line; std::getline(file, line);)
                lines.push_back(line);
        }
        std::remove(RecordFile().c_str());
        return lines;
    }

    HKEY m_classes = nullptr;
    DWORD m_active = 0;
};

using Lines = std::vector<std::string>;

// Through the shell to the scheme's command by a click or by Space (other keys do
// nothing), or the reason why not; the .htm command, there for every open that succeeds,
// runs only where the shell fails.
TEST_F(HyperLinkTest, ClickOrSpaceOpensTheUrlExactlyOnceOrSaysWhy)
{
    const struct {
        std::string url;
        UINT key;
        const char* recorded;  // null: the open fails
    } rows[] = {
        {kUnknownUrl, 0, nullptr},
        {"autovanetest:page", 0, " \"autovanetest:page\""},
        {"autovanetest:page", VK_SPACE, " \"autovanetest:page\""},
        {kUnknownUrl, VK_SPACE, "  autovanenone:page"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url + (row.key ? " by Space" : " by click"));
        if (row.recorded)
            SetHtm(Recorder("\"%1\""));
        const int shellStatus = row.recorded ? 0 : ShellStatusFor(row.url);
        ASSERT_EQ(Lines(), Runs()) << "the shell alone opens nothing";
        CHyperLink link(HLF_DEFAULT, row.url.c_str());
        MessageBoxAnswerer boxes;
        RunDialog(IDD_LINK_TEST, [&](ScenarioDialog& d) {
            d.Bind(link, IDC_LINK_LEFT);
            const HWND control = d.Item(IDC_LINK_LEFT);
            if (row.key) {
                SetFocus(control);
                SendMessageA(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
                EXPECT_EQ(Lines(), Runs()) << "Enter opens nothing";
                SendMessageA(control, WM_KEYDOWN, row.key, 0x00390001);
            } else {
                SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                EXPECT_EQ(Lines(), Runs()) << "the press opens nothing";
                SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            }
            EXPECT_EQ(row.recorded ? Lines{row.recorded} : Lines(), Runs());
            SetFocus(d.Item(IDC_OTHER));
            EXPECT_EQ(row.recorded ? kVisited : kLink, LinkColour(control));
        });
        if (row.recorded)
            EXPECT_TRUE(boxes.Seen().empty());
        else
            ExpectOneBoxSaying(boxes, shellStatus);
    }
}

// The colour after each step, with the default flags, without the hover colour and
// without the active colour.
TEST_F(HyperLinkTest, ColoursFollowHoverFocusAndVisitedState)
{
    enum Step { kFocusOther, kFocusLink, kEnter, kLeave, kClick };
    struct Row {
        Step step;
        COLORREF plain, noHover, noActive;
    };
    const Row steps[] = {
        {kFocusOther, kLink, kLink, kLink},     {kEnter, kHover, kLink, kHover},
        {kLeave, kLink, kLink, kLink},          {kFocusLink, kActive, kActive, kLink},
        {kEnter, kHover, kActive, kHover},      {kLeave, kActive, kActive, kLink},
        {kClick, kActive, kActive, kVisited},   {kFocusOther, kVisited, kVisited, kVisited},
        {kEnter, kHover, kVisited, kHover},     {kLeave, kVisited, kVisited, kVisited},
    };
    const std::pair<DWORD, COLORREF Row::*> variants[] = {
        {HLF_DEFAULT, &Row::plain}, {HLF_DEFAULT & ~HLF_HOVERCOLOR, &Row::noHover},
        {HLF_DEFAULT | HLF_NOACTIVECOLOR, &Row::noActive}};
    for (const auto& variant : variants) {
        CHyperLink link(variant.first);
        RunDialog(IDD_LINK_TEST, [&](ScenarioDialog& d) {
            d.Bind(link, IDC_LINK_LEFT);
            const HWND control = d.Item(IDC_LINK_LEFT);
            for (size_t i = 0; i < std::size(steps); ++i) {
                switch (steps[i].step) {
                case kFocusOther: SetFocus(d.Item(IDC_OTHER)); break;
                case kFocusLink: SetFocus(control); break;
                case kEnter: SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); break;
                case kLeave: SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(-5, 2)); break;
                case kClick:
                    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
                    EXPECT_EQ(1u, Runs().size());
                    break;
                }
                EXPECT_EQ(steps[i].*variant.second, LinkColour(control)) << "flags " << variant.first << ", step " << i;
            }
        });
    }
}

// Fitted to its text plus borders, each control keeps the edge or centre of its
// alignment: left and top, right and top, horizontal centre, vertical centre.
TEST_F(HyperLinkTest, SizeToTextKeepsTheAlignedEdgeOrCentre)
{
    const struct {
        int id;
        int alignX, alignY;  // -1 keeps the low edge, 1 the high edge, 0 the centre
    } rows[] = {{IDC_LINK_LEFT, -1, -1}, {IDC_LINK_RIGHT, 1, -1}, {IDC_LINK_CENTER, 0, -1},
                {IDC_LINK_CENTERIMAGE, -1, 0}};
    auto expectAxis = [](int align, LONG lo0, LONG hi0, LONG lo, LONG hi, LONG text, LONG border) {
        const LONG shrink = ((hi0 - lo0) - text) / 2;
        EXPECT_LT(hi - lo, hi0 - lo0) << "the template is larger than its text";
        if (align == 0) {
            EXPECT_EQ(lo0 + shrink, lo);
            EXPECT_EQ(hi0 - shrink, hi);
        } else {
            EXPECT_EQ(align < 0 ? lo0 : hi0, align < 0 ? lo : hi);
            EXPECT_EQ(text + border, hi - lo);
        }
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        CHyperLink link;
        RunDialog(IDD_LINK_TEST, [&](ScenarioDialog& d) {
            const HWND control = d.Item(row.id);
            RECT before, after, client;
            GetWindowRect(control, &before);
            d.Bind(link, row.id);
            GetWindowRect(control, &after);
            GetClientRect(control, &client);
            LOGFONTA font = {};
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
            GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
            const std::string text = WindowText(control);
            SIZE extent = {};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            EXPECT_EQ(1, font.lfUnderline) << "an underlined copy of the font";
            expectAxis(row.alignX, before.left, before.right, after.left, after.right, extent.cx,
                       (after.right - after.left) - client.right);
            expectAxis(row.alignY, before.top, before.bottom, after.top, after.bottom, extent.cy,
                       (after.bottom - after.top) - client.bottom);
        });
    }
}

// The .htm command takes the URL in place of its placeholder, quoted or bare, or after
// it; anything that does not fit, cannot be read or is empty runs nothing at all and
// gives back the shell's own status.
TEST_F(HyperLinkTest, HtmCommandRunsWithTheUrlOrNotAtAll)
{
    const std::string pad(300, 'p');
    const std::string prefix = Recorder("") + "  ";  // the command as cut before "%1", with the blank
    const std::string fits = kUnknownUrl + std::string(2 * MAX_PATH - 1 - prefix.size() - kUnknownUrl.size(), 'u');
    const std::string unterminated = Recorder(std::string(MAX_PATH - Recorder("").size() - 1, 'p'));
    const struct {
        const char* what;
        const char* htmClass;     // null: nothing registered for .htm
        const char* command;      // null: no command key
        std::string commandText;  // the command unless command says otherwise
        DWORD commandBytes;       // 0: the text and its terminating zero
        std::string url;
        std::string recorded;  // empty: nothing may run
    } rows[] = {
        {"quoted placeholder", "T", "", Recorder("\"%1\" --dropped"), 0, kUnknownUrl, "  " + kUnknownUrl},
        {"bare placeholder", "T", "", Recorder("%1 --dropped"), 0, kUnknownUrl, "  " + kUnknownUrl},
        {"no placeholder", "T", "", Recorder(""), 0, kUnknownUrl, " " + kUnknownUrl},
        {"url that just fits", "T", "", Recorder("\"%1\""), 0, fits, "  " + fits},
        {"url a byte too long", "T", "", Recorder("\"%1\""), 0, fits + "u", ""},
        {"nothing for .htm", nullptr, nullptr, "", 0, kUnknownUrl, ""},
        {"no command key", "T", nullptr, "", 0, kUnknownUrl, ""},
        {"empty class", "", nullptr, "", 0, kUnknownUrl, ""},
        {"empty command", "T", "", "", 0, kUnknownUrl, ""},
        {"over-long class", pad.c_str(), nullptr, "", 0, kUnknownUrl, ""},
        {"over-long command", "T", "", Recorder(pad), 0, kUnknownUrl, ""},
        // Followed by a byte that is not zero, or the registry would store one with it.
        {"command without its zero", "T", "", unterminated + "p", MAX_PATH, kUnknownUrl, ""},
    };
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), unterminated.size());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteRegTree(m_classes, ".htm");
        DeleteRegTree(m_classes, "T");
        if (row.htmClass)
            Set(".htm", row.htmClass);
        if (row.command) {
            const std::string key = std::string(row.htmClass) + "\\shell\\open\\command";
            SetRegBytes(m_classes, key.c_str(), "", REG_SZ, row.commandText.c_str(),
                        row.commandBytes ? row.commandBytes : static_cast<DWORD>(row.commandText.size() + 1));
        }
        const int shellStatus = ShellStatusFor(row.url);
        ASSERT_LE(shellStatus, 32);
        EXPECT_EQ(Lines(), Runs()) << "the shell alone opens nothing";
        const int status = CHyperLink::OpenUrl(row.url.c_str(), SW_SHOW);
        if (row.recorded.empty())
            EXPECT_EQ(shellStatus, status);
        else
            EXPECT_GT(status, 32);
        EXPECT_EQ(row.recorded.empty() ? Lines() : Lines{row.recorded}, Runs());
    }
}

TEST(HyperLinkReasonTest, EveryCodeNamesItsReason)
{
    for (const auto& c : kReasons) {
        SCOPED_TRACE(c.code);
        MessageBoxAnswerer boxes;
        CHyperLink::ReportOpenError(c.code);
        ExpectOneBoxSaying(boxes, c.code);
    }
}

class CTestLink : public CHyperLink {
public:
    using CHyperLink::OnOpenResult;
};

TEST(HyperLinkStatusTest, ThirtyTwoFailsWithItsReasonAndThirtyThreeIsVisited)
{
    CTestLink failed, opened;
    MessageBoxAnswerer boxes;
    RunDialog(IDD_LINK_TEST, [&](ScenarioDialog& d) {
        d.Bind(failed, IDC_LINK_LEFT);
        d.Bind(opened, IDC_LINK_RIGHT);
        failed.OnOpenResult(32);
        opened.OnOpenResult(33);
        SetFocus(d.Item(IDC_OTHER));
        EXPECT_EQ(kLink, LinkColour(d.Item(IDC_LINK_LEFT)));
        EXPECT_EQ(kVisited, LinkColour(d.Item(IDC_LINK_RIGHT)));
    });
    ExpectOneBoxSaying(boxes, 32);
}

// The mask and colour bits of a cursor, to tell cursors apart by their look.
std::vector<BYTE> CursorImage(HCURSOR cursor)
{
    std::vector<BYTE> image;
    ICONINFO info = {};
    if (!cursor || !GetIconInfo(cursor, &info))
        return image;
    for (HBITMAP bitmap : {info.hbmMask, info.hbmColor}) {
        BITMAP description = {};
        if (bitmap && GetObjectA(bitmap, sizeof(description), &description)) {
            std::vector<BYTE> bits(static_cast<size_t>(description.bmWidthBytes) * description.bmHeight);
            GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
            image.insert(image.end(), bits.begin(), bits.end());
        }
        DeleteObject(bitmap);
    }
    return image;
}

// The cursor a link sets over itself, or null when it sets none.
HCURSOR CursorSetBy(HWND link)
{
    SetCursor(nullptr);
    return SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE))
               ? GetCursor()
               : nullptr;
}

// In a fresh process: a link without the hand loads none; the next two load it once and
// share it with every link; it is the help viewer's ("viewer": this program's cursor 106
// standing in) or else the system's. Exit codes: 1 loaded despite the flag, 2 none or
// loaded twice, 3 the wrong cursor.
TEST_CHILD(hand_cursor)
{
    const bool fromViewer = argc > 0 && std::string(argv[0]) == "viewer";
    const HCURSOR system = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    int result = 0;
    CHyperLink noHand(HLF_DEFAULT | HLF_NOHANDCURSOR), first, second;
    RunDialog(IDD_LINK_TEST, [&](ScenarioDialog& d) {
        d.Bind(noHand, IDC_LINK_LEFT);
        if (CursorSetBy(d.Item(IDC_LINK_LEFT))) {
            result = 1;
            return;
        }
        d.Bind(first, IDC_LINK_RIGHT);
        const HCURSOR hand = CursorSetBy(d.Item(IDC_LINK_RIGHT));
        d.Bind(second, IDC_LINK_CENTER);
        if (!hand || CursorSetBy(d.Item(IDC_LINK_CENTER)) != hand || CursorSetBy(d.Item(IDC_LINK_RIGHT)) != hand ||
            CursorSetBy(d.Item(IDC_LINK_LEFT)) != hand)
            result = 2;
        else if (fromViewer ? CursorImage(hand).empty() ||
                                  CursorImage(hand) != CursorImage(LoadCursorA(GetModuleHandleA(nullptr),
                                                                               MAKEINTRESOURCEA(IDC_TEST_HAND)))
                            : hand != system)
            result = 3;
    });
    return result;
}

TEST(HyperLinkHandTest, LoadedOnceFromTheHelpViewerElseTheSystemHand)
{
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, MAX_PATH);
    const std::string viewer = std::string(directory) + "\\winhlp32.exe";
    if (GetFileAttributesA(viewer.c_str()) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the system has a help viewer of its own";
    const std::string child = "\"" + ThisExecutablePath() + "\" --child hand_cursor ";
    EXPECT_EQ(0, RunProcess(child + "system"));
    ASSERT_TRUE(CopyFileA(ThisExecutablePath().c_str(), viewer.c_str(), TRUE));
    EXPECT_EQ(0, RunProcess(child + "viewer"));
    DeleteFileA(viewer.c_str());
}

}  // namespace
