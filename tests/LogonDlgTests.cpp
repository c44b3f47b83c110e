// tests/LogonDlgTests.cpp
//
// The settings dialog created from its real template, run modally on the test's thread
// and driven from a second thread with the messages a user's typing and clicking send.
#include "DialogTestUtil.h"
#include "LogonTestState.h"
#include "logon/LogonDlg.h"
#include "logon/LogonStore.h"
#include "platform/WinApp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const std::string kSectionPath = ProfileSection("dialog_tests");
const char* const kSection = kSectionPath.c_str();

RECT WindowRectOf(HWND hWnd)
{
    RECT rect;
    GetWindowRect(hWnd, &rect);
    return rect;
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FocusControl(HWND dialog, int id)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

class LogonDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLogonState("dialog_tests"); }
    void TearDown() override { ResetLogonState("dialog_tests"); }

    // One run of the dialog as the program does it, in a process of its own: the
    // collapse state starts afresh and the dialog is the main window.
    static INT_PTR RunDialog(const std::function<void(HWND)>& script)
    {
        CLogonDlg::ResetCollapseState();
        return RunWithScript("Autovane", [] {
            CLogonDlg dialog;
            AfxGetApp()->m_pMainWnd = &dialog;
            const INT_PTR result = dialog.DoModal();
            AfxGetApp()->m_pMainWnd = nullptr;
            return result;
        }, script);
    }

    static void ExpectNothingWritten()
    {
        ExpectNoLogonValues();
        EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kRun, "Autovane"));
        EXPECT_TRUE(RegValueAbsent(HKEY_CURRENT_USER, kSection, "AutoLogon"));
    }

    static void FillLogon(HWND dialog, const char* user, const char* domain)
    {
        SetWindowTextSync(GetDlgItem(dialog, IDC_USERNAME), user);
        SetWindowTextSync(GetDlgItem(dialog, IDC_PASSWORD), "pw");
        SetWindowTextSync(GetDlgItem(dialog, IDC_DOMAIN), domain);
        if (!Checked(dialog, IDC_AUTOLOGON))
            Click(dialog, IDC_AUTOLOGON);
    }
};

//--- Start states ------------------------------------------------------------------------

TEST_F(LogonDialogTest, FirstRunShowsEmptyFieldsTheComputerNameAndTheCollapsedDialog)
{
    const INT_PTR result = RunDialog([](HWND dialog) {
        EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_USERNAME)));
        EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_PASSWORD)));
        EXPECT_EQ(LocalComputerName(), WindowText(GetDlgItem(dialog, IDC_DOMAIN)));
        EXPECT_FALSE(Checked(dialog, IDC_AUTOLOGON));
        EXPECT_FALSE(Checked(dialog, IDC_DISPLAY_MESSAGE));
        EXPECT_EQ(GetDlgItem(dialog, IDC_NOFOCUS), FocusOf(dialog));
        // Collapsed: the window ends at the marker's top edge.
        EXPECT_EQ(WindowRectOf(GetDlgItem(dialog, IDC_COLLAPSE_MARKER)).top, WindowRectOf(dialog).bottom);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_MESSAGE_GROUP)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CAPTION)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MESSAGE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_COLLAPSE_MARKER)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DISPLAY_MESSAGE)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_NOFOCUS)));
    });
    EXPECT_EQ(IDCANCEL, result);
    ExpectNothingWritten();
}

TEST_F(LogonDialogTest, StoredValuesAndNoticeOpenTheDialogExpanded)
{
    StoreProfile("dialog_tests", "1", "admin", "secret", "SALES");
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", "");
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", "Authorised use only");
    RunDialog([](HWND dialog) {
        EXPECT_EQ("admin", WindowText(GetDlgItem(dialog, IDC_USERNAME)));
        EXPECT_EQ("secret", WindowText(GetDlgItem(dialog, IDC_PASSWORD)));
        EXPECT_EQ("SALES", WindowText(GetDlgItem(dialog, IDC_DOMAIN)));
        EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_CAPTION)));
        EXPECT_EQ("Authorised use only", WindowText(GetDlgItem(dialog, IDC_MESSAGE)));
        EXPECT_TRUE(Checked(dialog, IDC_AUTOLOGON));
        EXPECT_TRUE(Checked(dialog, IDC_DISPLAY_MESSAGE));
        EXPECT_GT(WindowRectOf(dialog).bottom, WindowRectOf(GetDlgItem(dialog, IDC_MESSAGE_GROUP)).bottom);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_MESSAGE_GROUP)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MESSAGE)));
    });
}

TEST_F(LogonDialogTest, IconsToolTipsAndTheSystemMenuItemAreInPlace)
{
    RunDialog([](HWND dialog) {
        HICON appIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        ASSERT_NE(nullptr, appIcon);
        EXPECT_EQ(reinterpret_cast<LRESULT>(appIcon), SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(reinterpret_cast<LRESULT>(appIcon), SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        for (int id : {IDOK, IDCANCEL, IDC_ABOUT})
            EXPECT_NE(0, SendMessageA(GetDlgItem(dialog, id), BM_GETIMAGE, IMAGE_ICON, 0)) << id;

        HMENU menu = GetSystemMenu(dialog, FALSE);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), GetMenuItemID(menu, count - 1));
        char text[64] = {0};
        GetMenuStringA(menu, count - 1, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ("&About Autovane...", text);
        EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);

        HWND tip = nullptr;
        while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && GetWindow(tip, GW_OWNER) != dialog) {
        }
        ASSERT_NE(nullptr, tip);
        ASSERT_EQ(3, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
        const std::vector<std::pair<int, std::string>> expected = {
            {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDC_ABOUT, "About Autovane ..."}};
        for (int i = 0; i < 3; ++i) {
            char toolText[80] = {0};
            TOOLINFOA tool = {};
            tool.cbSize = TTTOOLINFOA_V1_SIZE;
            tool.lpszText = toolText;
            ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool)));
            EXPECT_EQ(dialog, tool.hwnd);
            EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
            EXPECT_EQ(GetDlgItem(dialog, expected[i].first), reinterpret_cast<HWND>(tool.uId));
            EXPECT_EQ(expected[i].second, toolText);
        }
    });
}

//--- Collapsing --------------------------------------------------------------------------

std::vector<int> TabThrough(HWND dialog, int presses)
{
    std::vector<int> reached;
    FocusControl(dialog, IDC_USERNAME);
    for (int i = 0; i < presses; ++i) {
        PressKey(dialog, VK_TAB);
        reached.push_back(GetDlgCtrlID(FocusOf(dialog)));
    }
    return reached;
}

bool Contains(const std::vector<int>& ids, int id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST_F(LogonDialogTest, DisplayMessageExpandsAndCollapsesToTheSameSizes)
{
    RunDialog([](HWND dialog) {
        const RECT collapsed = WindowRectOf(dialog);
        const std::vector<int> collapsedTabs = TabThrough(dialog, 12);
        EXPECT_FALSE(Contains(collapsedTabs, IDC_CAPTION));
        EXPECT_FALSE(Contains(collapsedTabs, IDC_MESSAGE));
        EXPECT_TRUE(Contains(collapsedTabs, IDC_DOMAIN));

        Click(dialog, IDC_DISPLAY_MESSAGE);
        const RECT expanded = WindowRectOf(dialog);
        EXPECT_TRUE(Checked(dialog, IDC_DISPLAY_MESSAGE));
        EXPECT_EQ(collapsed.left, expanded.left);
        EXPECT_EQ(collapsed.top, expanded.top);
        EXPECT_GT(expanded.bottom, WindowRectOf(GetDlgItem(dialog, IDC_MESSAGE_GROUP)).bottom);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_MESSAGE_GROUP)));
        const std::vector<int> expandedTabs = TabThrough(dialog, 12);
        EXPECT_TRUE(Contains(expandedTabs, IDC_CAPTION));
        EXPECT_TRUE(Contains(expandedTabs, IDC_MESSAGE));

        Click(dialog, IDC_DISPLAY_MESSAGE);
        const RECT again = WindowRectOf(dialog);
        EXPECT_FALSE(Checked(dialog, IDC_DISPLAY_MESSAGE));
        EXPECT_TRUE(EqualRect(&collapsed, &again));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CAPTION)));

        Click(dialog, IDC_DISPLAY_MESSAGE);
        const RECT expandedAgain = WindowRectOf(dialog);
        EXPECT_TRUE(EqualRect(&expanded, &expandedAgain));
    });
}

//--- The default button ------------------------------------------------------------------

// Rests the real pointer on the control (the dialog itself: a spot of background) and
// waits until the default button has followed it.
::testing::AssertionResult PointAt(HWND dialog, int id)
{
    HWND target = id ? GetDlgItem(dialog, id) : dialog;
    const POINT spot = id ? POINT{4, 4} : POINT{2, 2};
    const LRESULT expected = MAKELRESULT(id ? id : IDC_NOFOCUS, DC_HASDEFID);
    if (MovePointerUntil(target, spot, [&] { return SendMessageA(dialog, DM_GETDEFID, 0, 0) == expected; }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the default button did not follow the pointer to " << id;
}

TEST_F(LogonDialogTest, EnterRunsOkOnlyWhileThePointerRestsOnOk)
{
    const INT_PTR result = RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "CORP");
        SetForegroundWindow(dialog);
        int displayPasses = 0;
        for (int id : {0, IDC_DISPLAY_MESSAGE, IDC_DISPLAY_MESSAGE}) {
            SCOPED_TRACE(id);
            ASSERT_TRUE(PointAt(dialog, id));
            // Enter on the notice box: once from unticked, once from ticked.
            if (id == IDC_DISPLAY_MESSAGE && displayPasses++ == 1)
                Click(dialog, IDC_DISPLAY_MESSAGE);
            FocusControl(dialog, IDC_USERNAME);
            const bool ticked = Checked(dialog, IDC_DISPLAY_MESSAGE);
            PressKey(dialog, VK_RETURN);
            ASSERT_TRUE(IsWindowVisible(dialog));
            EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"));
            // The notice section shows exactly while its box is ticked, whatever Enter did.
            EXPECT_EQ(ticked, Checked(dialog, IDC_DISPLAY_MESSAGE));
            EXPECT_EQ(ticked, IsWindowVisible(GetDlgItem(dialog, IDC_MESSAGE_GROUP)) != FALSE);
            EXPECT_EQ(ticked, IsWindowEnabled(GetDlgItem(dialog, IDC_CAPTION)) != FALSE);
        }
        // Under Wine the pointer can jump back for a moment, taking the default button
        // with it; Enter on the spots above does nothing, so press it until OK ran.
        for (int tries = 0; tries < 3 && IsWindowVisible(dialog); ++tries) {
            ASSERT_TRUE(PointAt(dialog, IDOK));
            FocusControl(dialog, IDC_USERNAME);
            PressKey(dialog, VK_RETURN);
        }
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "operator"));
}

//--- OK and Cancel -----------------------------------------------------------------------

TEST_F(LogonDialogTest, OkWritesWhatTheDialogShows)
{
    MessageBoxAnswerer answerer;
    const INT_PTR result = RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "corp.example");
        Click(dialog, IDC_DISPLAY_MESSAGE);
        SetWindowTextSync(GetDlgItem(dialog, IDC_CAPTION), "Notice");
        SetWindowTextSync(GetDlgItem(dialog, IDC_MESSAGE), "Authorised use only");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(answerer.Seen().empty());
    ExpectLogonValues("1", "operator", "pw", "corp.example", "Notice", "Authorised use only");
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "AutoLogon", "1"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "Domain", "corp.example"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kRun, "Autovane", "\"" + ThisExecutablePath() + "\" NoUserInput"));
}

TEST_F(LogonDialogTest, WithAutomaticLogonOffAnEmptyDomainIsWrittenWithoutAsking)
{
    MessageBoxAnswerer answerer;
    const INT_PTR result = RunDialog([](HWND dialog) {
        SetWindowTextSync(GetDlgItem(dialog, IDC_DOMAIN), "");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon", "0"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultDomainName", ""));
}

TEST_F(LogonDialogTest, CancelAndEscapeWriteNothing)
{
    EXPECT_EQ(IDCANCEL, RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "CORP");
        Click(dialog, IDCANCEL);
    }));
    ExpectNothingWritten();
    EXPECT_EQ(IDCANCEL, RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "CORP");
        FocusControl(dialog, IDC_PASSWORD);
        PressKey(dialog, VK_ESCAPE);
    }));
    ExpectNothingWritten();
}

//--- Message boxes -----------------------------------------------------------------------

TEST_F(LogonDialogTest, EmptyDomainPromptNoKeepsTheDialogWithFocusOnTheDomain)
{
    MessageBoxAnswerer answerer({IDNO});
    RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "");
        Click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(GetDlgItem(dialog, IDC_DOMAIN), FocusOf(dialog));
    });
    ASSERT_EQ(1u, answerer.Seen().size());
    const SeenMessageBox& box = answerer.Seen()[0];
    EXPECT_EQ("dialog_tests", box.caption);
    EXPECT_EQ("Error: No Domain name specified!\n\nProceed using local logon?", box.text);
    EXPECT_EQ((std::set<int>{IDYES, IDNO}), box.buttons);
    EXPECT_EQ("exclamation", box.icon);
    ExpectNothingWritten();
}

TEST_F(LogonDialogTest, EmptyDomainPromptYesLogsOnLocally)
{
    MessageBoxAnswerer answerer({IDYES});
    const INT_PTR result = RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1u, answerer.Seen().size());
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultDomainName", LocalComputerName()));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "Domain", LocalComputerName()));
}

TEST_F(LogonDialogTest, RejectedDomainIsSelectedForCorrection)
{
    MessageBoxAnswerer answerer;
    RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "bad domain!");
        Click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        HWND domain = GetDlgItem(dialog, IDC_DOMAIN);
        EXPECT_EQ(domain, FocusOf(dialog));
        DWORD start = 99, end = 99;
        SendMessageA(domain, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(11u, end);
    });
    ASSERT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ("Error: Invalid Domain name specified!", answerer.Seen()[0].text);
    EXPECT_EQ(std::set<int>{IDOK}, answerer.Seen()[0].buttons);
    EXPECT_EQ("exclamation", answerer.Seen()[0].icon);
    ExpectNothingWritten();
}

TEST_F(LogonDialogTest, AKeyThatDoesNotOpenIsReportedAndTheDialogStays)
{
    DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
    MessageBoxAnswerer answerer;
    RunDialog([](HWND dialog) {
        FillLogon(dialog, "operator", "CORP");
        Click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ("operator", WindowText(GetDlgItem(dialog, IDC_USERNAME)));
    });
    ASSERT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ("Error: Could not open registry key:\n\n"
              "\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\"",
              answerer.Seen()[0].text);
    EXPECT_EQ(std::set<int>{IDOK}, answerer.Seen()[0].buttons);
    EXPECT_EQ("exclamation", answerer.Seen()[0].icon);
    // What was written before the failure stays written.
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "operator"));
}

//--- The template ------------------------------------------------------------------------

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The style words as the resource compiler wrote them into the extended template: the
// system adds bits of its own when it creates the windows, so those cannot tell.
struct TemplateItem {
    DWORD style;
    DWORD exStyle;
    int id;
};

struct TemplateHeader {
    DWORD style;
    DWORD exStyle;
    std::vector<TemplateItem> items;
};

const BYTE* SkipSzOrOrd(const BYTE* p)
{
    if (*reinterpret_cast<const WORD*>(p) == 0xFFFF)
        return p + 4;
    while (*reinterpret_cast<const WORD*>(p))
        p += 2;
    return p + 2;
}

const BYTE* AlignDword(const BYTE* base, const BYTE* p)
{
    return base + ((p - base + 3) & ~3);
}

TemplateHeader ReadLogonTemplate()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDD_LOGON_DIALOG), RT_DIALOG);
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    TemplateHeader header;
    EXPECT_EQ(0xFFFF, reinterpret_cast<const WORD*>(base)[1]) << "not an extended template";
    header.exStyle = *reinterpret_cast<const DWORD*>(base + 8);
    header.style = *reinterpret_cast<const DWORD*>(base + 12);
    const WORD count = *reinterpret_cast<const WORD*>(base + 16);
    const BYTE* p = SkipSzOrOrd(SkipSzOrOrd(SkipSzOrOrd(base + 26)));  // menu, class, title
    p = SkipSzOrOrd(p + 6);                                            // font size, weight, italic, charset, face
    for (WORD i = 0; i < count; ++i) {
        p = AlignDword(base, p);
        TemplateItem item;
        item.exStyle = *reinterpret_cast<const DWORD*>(p + 4);
        item.style = *reinterpret_cast<const DWORD*>(p + 8);
        item.id = *reinterpret_cast<const int*>(p + 20);
        p = SkipSzOrOrd(SkipSzOrOrd(p + 24));
        p += 2 + *reinterpret_cast<const WORD*>(p);
        header.items.push_back(item);
    }
    return header;
}

TEST(LogonDialogTemplate, ControlsHaveTheirStylesPlacesAndTabOrder)
{
    const struct {
        int id;
        const char* kind;
        const char* text;
        RECT units;  // x, y, width, height
        DWORD style;
        DWORD exStyle;
    } expected[] = {
        {1011, "Button", "Nofocus", {229, 78, 6, 8}, 0x40010001, 0},
        {1, "Button", "OK", {213, 7, 22, 19}, 0x50010040, 0},
        {2, "Button", "Cancel", {189, 7, 22, 19}, 0x50010040, 0},
        {3, "Button", "", {213, 27, 22, 19}, 0x50010040, 0},
        {1000, "Button", "&Log on automatically at system startup", {13, 7, 135, 10}, 0x50010003, 0x20},
        {1001, "Edit", "", {55, 25, 106, 14}, 0x50810080, 0},
        {1002, "Edit", "", {55, 44, 106, 14}, 0x508100A0, 0},
        {1009, "Button", "&Display logon message", {14, 92, 88, 10}, 0x50010003, 0x20},
        {1005, "Edit", "", {55, 113, 106, 14}, 0x50810080, 0},
        {1006, "Edit", "", {55, 132, 171, 14}, 0x50811080, 0},
        {-1, "Button", "", {7, 7, 169, 80}, 0x50000007, 0},
        {-1, "Static", "User name:", {14, 31, 41, 8}, 0x50020000, 0},
        {-1, "Static", "Password:", {14, 50, 41, 8}, 0x50020000, 0},
        {1010, "Button", "", {7, 92, 228, 65}, 0x50000007, 0},
        {-1, "Static", "Caption:", {14, 118, 27, 8}, 0x50020000, 0},
        {-1, "Static", "Message:", {14, 139, 32, 8}, 0x50020000, 0},
        {1007, "Static", "", {7, 108, 228, 2}, 0x40000004, 0},
        {-1, "Static", "Domain:", {14, 70, 27, 8}, 0x50020000, 0},
        {1013, "Edit", "", {55, 64, 106, 14}, 0x50810080, 0},
    };
    const size_t count = sizeof(expected) / sizeof(expected[0]);

    const TemplateHeader header = ReadLogonTemplate();
    EXPECT_EQ(0x90CA0040u, header.style);
    EXPECT_EQ(0x00040000u, header.exStyle);
    ASSERT_EQ(count, header.items.size());
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(expected[i].text[0] ? expected[i].text : std::to_string(expected[i].id));
        EXPECT_EQ(expected[i].id, header.items[i].id);
        EXPECT_EQ(expected[i].style, header.items[i].style);
        EXPECT_EQ(expected[i].exStyle, header.items[i].exStyle);
    }

    // Created, the controls stand in template order, which is the tab order, at their
    // places, with their classes and texts.
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LOGON_DIALOG), nullptr,
                                     &PlainDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Autovane", WindowText(dialog));
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const auto& e : expected) {
        SCOPED_TRACE(e.text[0] ? e.text : std::to_string(e.id));
        ASSERT_NE(nullptr, child);
        char kind[32] = {0};
        GetClassNameA(child, kind, sizeof(kind));
        EXPECT_EQ(e.id, GetDlgCtrlID(child));
        EXPECT_STRCASEEQ(e.kind, kind);
        EXPECT_EQ(e.text, WindowText(child));
        EXPECT_EQ((e.style & WS_VISIBLE) != 0, IsWindowVisible(child) != FALSE);
        RECT origin = {e.units.left, e.units.top, 0, 0};
        RECT size = {e.units.right, e.units.bottom, 0, 0};
        MapDialogRect(dialog, &origin);
        MapDialogRect(dialog, &size);
        RECT actual = WindowRectOf(child);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(origin.left, actual.left);
        EXPECT_EQ(origin.top, actual.top);
        EXPECT_EQ(size.left, actual.right - actual.left);
        EXPECT_EQ(size.top, actual.bottom - actual.top);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child);
    DestroyWindow(dialog);
}

}  // namespace

namespace {

//--- The About entry points --------------------------------------------------------------

HWND WaitForAboutBox(HWND settings)
{
    HWND about = nullptr;
    WaitFor([&] {
        HWND popup = GetLastActivePopup(settings);
        if (popup != settings && GetDlgItem(popup, IDC_WEB_LINK))
            about = popup;
        return about != nullptr;
    });
    return about;
}

void CloseAboutBox(HWND about)
{
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    WaitFor([&] { return !IsWindow(about); });
}

TEST_F(LogonDialogTest, TheSystemMenuOpensTheAboutBoxForEveryIdOfItsSixteen)
{
    RunDialog([](HWND dialog) {
        FocusControl(dialog, IDC_PASSWORD);
        for (WPARAM id : {WPARAM(16), WPARAM(31)}) {
            SCOPED_TRACE(id);
            PostMessageA(dialog, WM_SYSCOMMAND, id, 0);
            HWND about = WaitForAboutBox(dialog);
            ASSERT_NE(nullptr, about);
            EXPECT_EQ(dialog, GetWindow(about, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(dialog));
            CloseAboutBox(about);
            SyncWith(dialog);
            EXPECT_TRUE(IsWindowEnabled(dialog));
            // The handler leaves the focus alone; reactivation brings it back.
            EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == GetDlgItem(dialog, IDC_PASSWORD); }, 2000));
        }
        // Other system commands still reach the system.
        SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(IsIconic(dialog));
        SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(IsIconic(dialog));
    });
}

TEST_F(LogonDialogTest, TheAboutButtonOpensTheBoxAndParksTheFocusAfterwards)
{
    RunDialog([](HWND dialog) {
        FocusControl(dialog, IDC_USERNAME);
        PostMessageA(GetDlgItem(dialog, IDC_ABOUT), BM_CLICK, 0, 0);
        HWND about = WaitForAboutBox(dialog);
        ASSERT_NE(nullptr, about);
        CloseAboutBox(about);
        SyncWith(dialog);
        EXPECT_EQ(GetDlgItem(dialog, IDC_NOFOCUS), FocusOf(dialog));
    });
}

}  // namespace
