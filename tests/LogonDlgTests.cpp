// tests/LogonDlgTests.cpp
//
// The settings dialog created from its real template, run modally on the test's thread
// and driven from a second thread with the messages a user's typing and clicking send.
#include "TestUtil.h"
#include "logon/LogonDlg.h"
#include "logon/LogonStore.h"
#include "platform/SystemInfo.h"
#include "platform/WinApp.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

RECT WindowRectOf(HWND hWnd)
{
    RECT rect;
    GetWindowRect(hWnd, &rect);
    return rect;
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

    static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static void Fill(HWND dialog, const char* domain, bool autoLogon = true)
    {
        SetDlgItemTextA(dialog, IDC_USERNAME, "operator");
        SetDlgItemTextA(dialog, IDC_PASSWORD, "pw");
        SetDlgItemTextA(dialog, IDC_DOMAIN, domain);
        if (autoLogon != (IsDlgButtonChecked(dialog, IDC_AUTOLOGON) == BST_CHECKED))
            Click(dialog, IDC_AUTOLOGON);
    }
};

// Expanded, the notice's group shows and its fields (and the marker under them) are
// enabled; collapsed, the window ends at the marker's top edge and they are disabled,
// which takes them out of the tab order.
::testing::AssertionResult HasShape(HWND dialog, bool expanded)
{
    const auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
    const LONG bottom = WindowRectOf(dialog).bottom;
    const std::pair<const char*, bool> states[] = {
        {"its box ticked", IsDlgButtonChecked(dialog, IDC_DISPLAY_MESSAGE) == BST_CHECKED},
        {"its group showing", IsWindowVisible(GetDlgItem(dialog, IDC_MESSAGE_GROUP)) != FALSE},
        {"its caption enabled", enabled(IDC_CAPTION)}, {"its text enabled", enabled(IDC_MESSAGE)},
        {"its marker enabled", enabled(IDC_COLLAPSE_MARKER)},
        {"the window reaching below it", bottom > WindowRectOf(GetDlgItem(dialog, IDC_MESSAGE_GROUP)).bottom},
    };
    for (const auto& [what, state] : states)
        if (state != expanded)
            return ::testing::AssertionFailure() << (expanded ? "expanded, the notice without " : "collapsed, the notice with ") << what;
    if (!expanded && bottom != WindowRectOf(GetDlgItem(dialog, IDC_COLLAPSE_MARKER)).top)
        return ::testing::AssertionFailure() << "collapsed elsewhere than at the marker";
    return ::testing::AssertionSuccess();
}

TEST(LogonTextTest, DomainNamesAndTheModulePath)
{
    // Letters, digits and inner '-', '_' or '.' only.
    for (const char* valid : {"a", "7", "corp.example", "a..b", "Mixed-Case_Name.Dom"})
        EXPECT_TRUE(IsValidDomainName(valid)) << valid;
    for (const char* invalid : {".", "-corp", "corp-", "_corp", "corp_", ".corp", "corp.", "my corp", "corp\\dom",
                                "a@b", "caf\xe9", "a\xff" "b"})
        EXPECT_FALSE(IsValidDomainName(invalid)) << invalid;
    // However small the first buffer, the whole module path comes back.
    const std::string path = ThisExecutablePath();
    for (DWORD firstTry : {DWORD(1), DWORD(20), DWORD(path.size()), DWORD(path.size() + 1)})
        EXPECT_STREQ(path.c_str(), AfxGetModuleFileName(firstTry)) << firstTry;
}

// Each row stores a profile copy (or none) and a notice (null: none), the Winlogon key
// refusing full access or not, and opens the dialog: the first run shows empty fields and
// the computer's name; only the exact flag "1" ticks automatic logon; a notice with
// either part, from a key that opens, shows. The dialog is centred, with the focus on the
// hidden button, the password masked, and collapsed unless there is a notice. The
// notice's box expands and collapses it, always to the same sizes. Nothing is written.
TEST_F(LogonDialogTest, OpensWithTheStoredValuesAndFoldsTheNoticeAway)
{
    const std::string computer = LocalComputerName();
    const struct { std::vector<std::string> profile; const char* caption; const char* text; bool readOnly;
                   std::vector<std::string> shown; } rows[] = {
        {{}, nullptr, nullptr, false, {"", "", computer, "", ""}},
        {{"1", "admin", "secret", "SALES"}, "", "Authorised use only", false, {"admin", "secret", "SALES", "", "Authorised use only"}},
        {{"1 ", "admin", "", ""}, "Warning", nullptr, false, {"admin", "", computer, "Warning", ""}},
        {{"1", "admin", "", "SALES"}, "Warning", "Text", true, {"admin", "", "SALES", "", ""}},
    };
    const int fields[] = {IDC_USERNAME, IDC_PASSWORD, IDC_DOMAIN, IDC_CAPTION, IDC_MESSAGE};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption ? row.caption : "no caption");
        ResetLogonState("dialog_tests");
        if (!row.profile.empty())
            StoreProfile("dialog_tests", row.profile);
        for (const auto& [name, value] : {std::pair{"LegalNoticeCaption", row.caption}, {"LegalNoticeText", row.text}})
            if (value)
                SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, name, value);
        const std::vector<std::string> before = {kAbsent, kAbsent, kAbsent, kAbsent, row.caption ? row.caption : kAbsent,
                                                 row.text ? row.text : kAbsent};
        const bool notice = !row.readOnly && (row.caption || row.text);
        const ScopedReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kWinlogon, row.readOnly);
        EXPECT_EQ(IDCANCEL, RunDialog([&](HWND dialog) {
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(row.shown[i], WindowText(GetDlgItem(dialog, fields[i]))) << fields[i];
            EXPECT_EQ(row.profile.size() && row.profile[0] == "1", IsDlgButtonChecked(dialog, IDC_AUTOLOGON) == BST_CHECKED);
            EXPECT_TRUE(GetDlgItem(dialog, IDC_NOFOCUS) == FocusOf(dialog) &&
                        SendDlgItemMessageA(dialog, IDC_PASSWORD, EM_GETPASSWORDCHAR, 0, 0)) << "focus, or the password shown";
            RECT shape = WindowRectOf(dialog), area;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
            EXPECT_EQ((area.left + area.right) / 2 - (shape.right - shape.left) / 2, shape.left);
            for (int click = 0; click < 4; ++click) {
                EXPECT_TRUE(HasShape(dialog, notice != (click % 2 == 1))) << "after " << click << " clicks";
                Click(dialog, IDC_DISPLAY_MESSAGE);
            }
            const RECT after = WindowRectOf(dialog);
            EXPECT_TRUE(EqualRect(&shape, &after)) << "not back in its place and size after four clicks";
        }));
        EXPECT_EQ(before, LogonValues());
    }
}

// Rests the real pointer on the control (0: the dialog itself, a spot of background; -1:
// a label, made to take the pointer) and waits until the default button has followed it.
::testing::AssertionResult PointAt(HWND dialog, int id)
{
    const HWND label = FindWindowExA(dialog, nullptr, "Static", "User name:");
    SetWindowLongA(label, GWL_STYLE, GetWindowLongA(label, GWL_STYLE) | SS_NOTIFY);
    HWND target = id == -1 ? label : id ? GetDlgItem(dialog, id) : dialog;
    const POINT spot = id ? POINT{4, 4} : POINT{2, 2};
    const LRESULT expected = MAKELRESULT(id > 0 ? id : IDC_NOFOCUS, DC_HASDEFID);
    if (MovePointerUntil(target, spot, [&] { return SendMessageA(dialog, DM_GETDEFID, 0, 0) == expected; }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the default button did not follow the pointer to " << id;
}

TEST_F(LogonDialogTest, EnterRunsOkOnlyWhileThePointerRestsOnOk)
{
    const INT_PTR result = RunDialog([](HWND dialog) {
        Fill(dialog, "CORP");
        SetForegroundWindow(dialog);
        // Each spot asks for another default button than the one before, so that the
        // pointer must really have moved: the notice box (Enter there from unticked, and
        // later from ticked), the background, a label.
        for (const auto& [id, tick] : {std::pair{IDC_DISPLAY_MESSAGE, false}, {0, false}, {IDC_DISPLAY_MESSAGE, true}, {-1, false}}) {
            SCOPED_TRACE(id);
            ASSERT_TRUE(PointAt(dialog, id));
            if (tick)
                Click(dialog, IDC_DISPLAY_MESSAGE);
            Focus(GetDlgItem(dialog, IDC_USERNAME));
            const bool ticked = IsDlgButtonChecked(dialog, IDC_DISPLAY_MESSAGE) == BST_CHECKED;
            PressKey(dialog, VK_RETURN);
            ASSERT_TRUE(IsWindowVisible(dialog)) << "Enter ran OK";
            // The notice section shows exactly while its box is ticked, whatever Enter did.
            EXPECT_TRUE(HasShape(dialog, ticked));
        }
        // Under Wine the pointer can jump back for a moment, taking the default button
        // with it; Enter on the spots above does nothing, so press it until OK ran.
        for (int tries = 0; tries < 3 && IsWindowVisible(dialog); ++tries) {
            ASSERT_TRUE(PointAt(dialog, IDOK));
            Focus(GetDlgItem(dialog, IDC_USERNAME));
            PressKey(dialog, VK_RETURN);
        }
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("operator", RegText(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"));
}

// Each row fills the dialog (user "operator", password "pw", and a notice: none, ticked,
// or typed and then unticked, which leaves none), with the start-up list holding an
// older entry (or none, which is no failure), the machine an older set-up stamp, and the
// Run key missing or Winlogon or the stamp's key refusing full access where the row says;
// ends it with a button or Escape and answers the message box. Then the dialog's result
// (Cancel also when it stayed open, to be cancelled after the script; with the focus on
// the domain and its text selected where `toDomain`), what the box said, and what was
// written: the logon values; and when the settings were applied, the profile copy with a
// new stamp, which the machine holds too once the logon values reached it, and the
// start-up entry (the own command with automatic logon on, none with it off).
TEST_F(LogonDialogTest, OkWritesWhatTheDialogShowsOrSaysWhyNot)
{
    enum Keys { kBothOpen, kNoRunEntry, kNoRunKey, kWinlogonReadOnly, kBothFail, kSetUpReadOnly };
    const std::string computer = LocalComputerName(), old = "\"C:\\old.exe\" NoUserInput";
    const std::string box = "dialog_tests | exclamation | ";
    const std::string noDomain = box + "&Yes &No | Error: No Domain name specified!\n\nProceed using local logon?";
    const std::string keyError = box + "OK | Error: Could not open registry key:\n\n\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\";
    const std::string noRunKey = keyError + "Windows\\CurrentVersion\\Run\"";
    const std::vector<std::string> corp = {"1", "operator", "pw", "CORP", "", ""};
    const struct { const char* domain; bool on; int notice; UINT end; Keys keys; int answer; INT_PTR result; bool toDomain;
                   std::string said; bool applied; std::vector<std::string> written; } rows[] = {
        {"corp.example", true, true, IDOK, kBothOpen, 0, IDOK, false, "", true,
         {"1", "operator", "pw", "corp.example", "Notice", "Staff only"}},
        {"", false, true, IDOK, kBothOpen, 0, IDOK, false, "", true, {"0", "operator", "pw", "", "Notice", "Staff only"}},
        {"", false, false, IDOK, kNoRunEntry, 0, IDOK, false, "", true, {"0", "operator", "pw", "", "", ""}},
        {"CORP", true, false, VK_ESCAPE, kBothOpen, 0, IDCANCEL, false, "", false, {}},
        {"", true, false, IDOK, kBothOpen, IDNO, IDCANCEL, true, noDomain, false, {}},
        {"", true, 2, IDOK, kBothOpen, IDYES, IDOK, false, noDomain, true, {"1", "operator", "pw", computer, "", ""}},
        {"bad domain!", true, false, IDOK, kBothOpen, IDOK, IDCANCEL, true,
         box + "OK | Error: Invalid Domain name specified!", false, {}},
        // What could be written stays written; the last key that did not open is named.
        {"CORP", true, false, IDOK, kNoRunKey, IDOK, IDCANCEL, false, noRunKey, true, corp},
        {"CORP", true, false, IDOK, kWinlogonReadOnly, IDOK, IDCANCEL, false, keyError + "Windows NT\\CurrentVersion\\Winlogon\"", true, {}},
        {"CORP", true, false, IDOK, kBothFail, IDOK, IDCANCEL, false, noRunKey, true, {}},
        {"CORP", true, false, IDOK, kSetUpReadOnly, IDOK, IDCANCEL, false,
         box + "OK | Error: Could not open registry key:\n\n\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Brindlework\\dialog_tests\"", true, corp},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        ResetLogonState("dialog_tests");
        if (row.keys != kNoRunEntry)
            SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", old);
        if (row.keys == kNoRunKey || row.keys == kBothFail)
            DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
        SetRegString(HKEY_LOCAL_MACHINE, MachineSetUpKey("dialog_tests").c_str(), "SetUp", "older");
        const ScopedReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kWinlogon, row.keys == kWinlogonReadOnly || row.keys == kBothFail);
        const ScopedReadOnlyKey stampReadOnly(HKEY_LOCAL_MACHINE, MachineSetUpKey("dialog_tests").c_str(), row.keys == kSetUpReadOnly);
        MessageBoxAnswerer answerer({row.answer});
        HWND shown = nullptr;
        EXPECT_EQ(row.result, RunDialog([&](HWND dialog) {
            shown = dialog;
            Fill(dialog, row.domain, row.on);
            if (row.notice) {
                Click(dialog, IDC_DISPLAY_MESSAGE);
                SetDlgItemTextA(dialog, IDC_CAPTION, "Notice");
                SetDlgItemTextA(dialog, IDC_MESSAGE, "Staff only");
                if (row.notice == 2)
                    Click(dialog, IDC_DISPLAY_MESSAGE);
            }
            if (row.end == VK_ESCAPE) {
                Focus(GetDlgItem(dialog, IDC_PASSWORD));
                PressKey(dialog, VK_ESCAPE);
            } else {
                Click(dialog, static_cast<int>(row.end));
            }
            if (row.toDomain) {
                DWORD start = 99, end = 99;
                SendMessageA(GetDlgItem(dialog, IDC_DOMAIN), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                EXPECT_TRUE(GetDlgItem(dialog, IDC_DOMAIN) == FocusOf(dialog) && start == 0 && end == strlen(row.domain))
                    << start << ".." << end;
            }
        }));
        EXPECT_EQ(row.said, answerer.Seen().empty() ? "" : answerer.Seen().back().Summary());
        EXPECT_GE(1u, answerer.Seen().size());
        EXPECT_TRUE(answerer.Seen().empty() || answerer.Seen().back().owner == shown) << "a box the dialog does not own";
        EXPECT_EQ(row.written.empty() ? kNoLogonValues : row.written, LogonValues());
        const std::string domain = row.domain[0] || !row.on ? row.domain : computer;
        const std::vector<std::string> copy = Profile("dialog_tests");
        const std::vector<std::string> profile = {row.on ? "1" : "0", "operator", "pw", domain, copy.back()};
        EXPECT_EQ(row.applied ? profile : kNoProfile, copy);
        EXPECT_TRUE(!row.applied || IsFreshSetUpStamp(copy.back())) << copy.back();
        const bool stamped = row.applied && !row.written.empty() && row.keys != kSetUpReadOnly;
        EXPECT_EQ(stamped ? copy.back() : "older", MachineSetUp("dialog_tests"));
        if (row.keys == kNoRunKey || row.keys == kBothFail)
            EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kRun)) << "the start-up key was created";
        else
            EXPECT_EQ(!row.applied ? old : row.on ? "\"" + ThisExecutablePath() + "\" NoUserInput" : kAbsent,
                      RegText(HKEY_LOCAL_MACHINE, kRun, "Autovane"));
    }
}

// The window and its three buttons show their icons, each button has its tooltip, and
// the system menu ends with a separator and the About item. That item, with any of the
// sixteen ids the system may send, and the About button open the box owned by the
// disabled dialog and centred on it; after it the focus comes back to where it was, or,
// after the button, to the hidden one. Other system commands still reach the system.
TEST_F(LogonDialogTest, IconsToolTipsAndTheSystemMenusAboutItemAreInPlace)
{
    RunDialog([](HWND dialog) {
        const LRESULT appIcon = reinterpret_cast<LRESULT>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
        EXPECT_TRUE(appIcon == SendMessageA(dialog, WM_GETICON, ICON_BIG, 0) &&
                    appIcon == SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        HMENU menu = GetSystemMenu(dialog, FALSE);
        const int count = GetMenuItemCount(menu);
        char text[64] = {0};
        GetMenuStringA(menu, count - 1, text, sizeof(text), MF_BYPOSITION);
        EXPECT_EQ(std::string("&About Autovane..."), text);
        EXPECT_TRUE(GetMenuItemID(menu, count - 1) == IDM_ABOUTBOX && (GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR));
        const HWND tip = ToolTipOf(dialog);
        ASSERT_EQ(3, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
        const std::pair<int, std::string> tools[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDC_ABOUT, "About Autovane ..."}};
        for (const auto& [id, text] : tools) {
            char toolText[80] = {0};
            const HWND button = GetDlgItem(dialog, id);
            // Found by the dialog and the button's handle: the tool is the button itself.
            TOOLINFOA tool = {TTTOOLINFOA_V1_SIZE, 0, dialog, reinterpret_cast<UINT_PTR>(button), {}, nullptr, toolText};
            EXPECT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)) && (tool.uFlags & TTF_IDISHWND)) << text;
            EXPECT_EQ(text, toolText);
            EXPECT_NE(0, SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)) << text;
        }
        for (int id : {16, 31, IDC_ABOUT}) {
            SCOPED_TRACE(id);
            Focus(GetDlgItem(dialog, IDC_PASSWORD));
            if (id == IDC_ABOUT)
                PostMessageA(GetDlgItem(dialog, IDC_ABOUT), BM_CLICK, 0, 0);
            else
                PostMessageA(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(id), 0);
            HWND about = nullptr;
            ASSERT_TRUE(WaitFor([&] {
                about = GetLastActivePopup(dialog);
                return about != dialog && GetDlgItem(about, IDC_WEB_LINK);
            }));
            EXPECT_TRUE(dialog == GetWindow(about, GW_OWNER) && !IsWindowEnabled(dialog)) << "not a modal box of the dialog";
            const RECT box = WindowRectOf(about), owner = WindowRectOf(dialog);
            EXPECT_NEAR((owner.left + owner.right) / 2, (box.left + box.right) / 2, 1) << "not centred on its owner";
            PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
            SyncWith(dialog);
            EXPECT_TRUE(IsWindowEnabled(dialog));
            const HWND focus = GetDlgItem(dialog, id == IDC_ABOUT ? IDC_NOFOCUS : IDC_PASSWORD);
            EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == focus; }, 2000));
        }
        SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(IsIconic(dialog));
    });
}

}  // namespace
