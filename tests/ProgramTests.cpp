// tests/ProgramTests.cpp
//
// Autovane.exe as a process, the way the start-up list and an administrator start it:
// silent re-application, the command word, failures in silent mode, the platform check,
// and the name the program takes from its file.
#include "DialogTestUtil.h"
#include "LogonTestState.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kSectionPath = ProfileSection("Autovane");
const char* const kSection = kSectionPath.c_str();
const char* const kVersionKey = "Software\\Wine\\AppDefaults\\Autovane.exe";

std::string ProgramPath()
{
    std::string path = "Z:" AUTOVANE_EXE;
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    if (process == search->process && IsWindowVisible(hWnd))
        search->found.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD process)
{
    WindowSearch search = {process, {}};
    EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One run of the program. The destructor makes sure it has ended.
class Program {
public:
    explicit Program(const std::string& arguments, const std::string& path = ProgramPath())
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string line = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
        m_started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &m_process) != FALSE;
    }
    ~Program()
    {
        if (!m_started)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 99);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    bool Started() const { return m_started; }

    // Waits for the end, noting every window the process showed on the way.
    bool WaitForExit(DWORD timeoutMs = 15000)
    {
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(m_process.hProcess, 5) == WAIT_TIMEOUT) {
            for (HWND shown : VisibleWindowsOf(m_process.dwProcessId))
                m_shown.push_back(shown);
            if (GetTickCount() - start > timeoutMs)
                return false;
        }
        return true;
    }
    const std::vector<HWND>& ShownWindows() const { return m_shown; }

    HWND WaitForMessageBox() { return WaitForWindow(true); }
    HWND WaitForDialog() { return WaitForWindow(false); }

private:
    HWND WaitForWindow(bool messageBox)
    {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND hWnd : VisibleWindowsOf(m_process.dwProcessId))
                if (IsMessageBoxWindow(hWnd) == messageBox)
                    found = hWnd;
            return found != nullptr;
        }, 15000);
        return found;
    }

    bool m_started = false;
    PROCESS_INFORMATION m_process = {};
    std::vector<HWND> m_shown;
};

void Answer(HWND box, int button)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLogonState("Autovane"); }
    void TearDown() override
    {
        ResetLogonState("Autovane");
        DeleteRegTree(HKEY_CURRENT_USER, kVersionKey);
    }
};

//--- Silent mode -------------------------------------------------------------------------

TEST_F(ProgramTest, SilentRunRewritesTheLogonValuesAndEndsWithoutAWindow)
{
    for (const char* word : {"NoUserInput", "nouserinput", "NOUSERINPUT"}) {
        SCOPED_TRACE(word);
        ResetLogonState("Autovane");
        StoreProfile("Autovane", "1", "silent user", "pw", "CORP");
        SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", "Notice");
        Program program(word);
        ASSERT_TRUE(program.Started());
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_TRUE(program.ShownWindows().empty());
        ExpectLogonValues("1", "silent user", "pw", "CORP", "Notice", "");
        // Silent runs leave the start-up list and the profile alone.
        EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kRun, "Autovane"));
        EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "UserName", "silent user"));
    }
}

// The start-up entry runs at every user's logon. Automatic logon set up by an
// administrator for another account survives the logon of a user who has no copy; a user
// who has one, even with automatic logon off, gets it applied as before.
TEST_F(ProgramTest, SilentRunOfAUserWithoutACopyChangesNothing)
{
    const char* const configured[6] = {"1", "kiosk", "kiosk-pw", "LAB", "Notice", "Text"};
    for (int i = 0; i < 6; ++i)
        SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, kLogonValues[i], configured[i]);
    const std::string command = "\"C:\\Tools\\Autovane.exe\" NoUserInput";
    SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", command);
    {
        Program program("NoUserInput");
        ASSERT_TRUE(program.Started());
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_TRUE(program.ShownWindows().empty());
    }
    ExpectLogonValues("1", "kiosk", "kiosk-pw", "LAB", "Notice", "Text");
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kRun, "Autovane", command));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "software\\Brindlework\\Autovane"));

    StoreProfile("Autovane", "0", "", "", "");
    Program program("NoUserInput");
    ASSERT_TRUE(program.WaitForExit());
    ExpectLogonValues("0", "", "", LocalComputerName(), "Notice", "Text");
}

TEST_F(ProgramTest, OnlyTheExactWordAsFirstArgumentIsSilent)
{
    StoreProfile("Autovane", "1", "user", "pw", "CORP");
    for (const char* arguments : {"", "x NoUserInput", "NoUserInputs", "NoUserInpu", "\"NoUser Input\""}) {
        SCOPED_TRACE(arguments);
        Program program(arguments);
        HWND dialog = program.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("Autovane", WindowText(dialog));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit());
        ExpectNoLogonValues();
    }
}

TEST_F(ProgramTest, SilentRunWithARejectedDomainShowsTheMessageThenTheDialog)
{
    StoreProfile("Autovane", "1", "user", "pw", "bad domain");
    Program program("NoUserInput");
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box);
    const SeenMessageBox seen = DescribeMessageBox(box);
    EXPECT_EQ("Autovane", seen.caption);
    EXPECT_EQ("Error: Invalid Domain name specified!", seen.text);
    EXPECT_EQ(std::set<int>{IDOK}, seen.buttons);
    Answer(box, IDOK);

    HWND dialog = program.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    // Initialisation goes on after the message and parks the focus on the hidden button;
    // the domain keeps its selection for when the administrator clicks into it.
    HWND domain = GetDlgItem(dialog, IDC_DOMAIN);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == GetDlgItem(dialog, IDC_NOFOCUS); }));
    DWORD start = 99, end = 99;
    SendMessageA(domain, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(10u, end);
    ExpectNoLogonValues();
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(ProgramTest, SilentRunWhoseKeyFailsWritesWhatItCanThenShowsTheDialog)
{
    StoreProfile("Autovane", "1", "user", "pw", "CORP");
    DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
    Program program("NoUserInput");
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Error: Could not open registry key:\n\n"
              "\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\"",
              DescribeMessageBox(box).text);
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "user"));
    Answer(box, IDOK);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

//--- Platform check ----------------------------------------------------------------------

TEST_F(ProgramTest, OnAPlatformOtherThanNtTheDialogClosesAfterTheStopMessage)
{
    SetRegString(HKEY_CURRENT_USER, kVersionKey, "Version", "win98");
    StoreProfile("Autovane", "1", "user", "pw", "CORP");
    {
        Program program("");
        HWND box = program.WaitForMessageBox();
        ASSERT_NE(nullptr, box);
        const SeenMessageBox seen = DescribeMessageBox(box);
        EXPECT_EQ("Autovane is designed and created to run with Windows NT only!", seen.text);
        EXPECT_EQ(std::set<int>{IDOK}, seen.buttons);
        Answer(box, IDOK);
        EXPECT_TRUE(program.WaitForExit());
        ExpectNoLogonValues();
    }
    {
        // Silently, OK still runs during initialisation and ends the dialog first.
        Program program("NoUserInput");
        HWND box = program.WaitForMessageBox();
        ASSERT_NE(nullptr, box);
        Answer(box, IDOK);
        EXPECT_TRUE(program.WaitForExit());
        EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "user"));
    }
}

//--- End to end --------------------------------------------------------------------------

TEST_F(ProgramTest, AMachineSetUpThroughTheDialogGetsItsValuesBackAtEveryLogon)
{
    {
        Program program("");
        HWND dialog = program.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        SetWindowTextSync(GetDlgItem(dialog, IDC_USERNAME), "kiosk");
        SetWindowTextSync(GetDlgItem(dialog, IDC_PASSWORD), "p@ss word");
        SetWindowTextSync(GetDlgItem(dialog, IDC_DOMAIN), "SHOP-1");
        SendMessageA(GetDlgItem(dialog, IDC_AUTOLOGON), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_DISPLAY_MESSAGE), BM_CLICK, 0, 0);
        SetWindowTextSync(GetDlgItem(dialog, IDC_CAPTION), "Shop terminal");
        SetWindowTextSync(GetDlgItem(dialog, IDC_MESSAGE), "Staff only");
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(program.WaitForExit());
    }
    const RegValue command = ReadRegValue(HKEY_LOCAL_MACHINE, kRun, "Autovane");
    ASSERT_TRUE(command.exists);
    const std::string startCommand(command.data.begin(), command.data.end() - 1);
    EXPECT_EQ("\"" + ProgramPath() + "\" NoUserInput", startCommand);

    // Something changes the logon configuration; the next logon runs the start command.
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon", "0");
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultPassword", "changed");
    DeleteRegValue(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName");
    EXPECT_EQ(0, RunProcess(startCommand));

    ExpectLogonValues("1", "kiosk", "p@ss word", "SHOP-1", "Shop terminal", "Staff only");
}

TEST_F(ProgramTest, ACopyUnderAnotherNameKeepsAProfileOfItsOwn)
{
    StoreProfile("Autovane", "1", "stored user", "pw", "CORP");
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    const std::string copy = std::string(directory) + "Other Name.exe";
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), copy.c_str(), FALSE));
    {
        Program program("", copy);
        HWND dialog = program.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_USERNAME)));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit());
    }
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "software\\Brindlework\\Other Name\\Logon Data"));
    DeleteRegTree(HKEY_CURRENT_USER, "software\\Brindlework\\Other Name");
    DeleteFileA(copy.c_str());
}

}  // namespace

namespace {

//--- The built executables ---------------------------------------------------------------

std::string ManifestOf(const std::string& path)
{
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image)
        return "";
    std::string text;
    if (HRSRC resource = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(image, resource)));
        text.assign(data, SizeofResource(image, resource));
    }
    FreeLibrary(image);
    return text;
}

// Every element closed in order, attributes quoted: enough to see that the resource is
// the XML document it should be and was not cut or mangled on its way in.
bool IsBalancedXml(const std::string& xml)
{
    std::vector<std::string> open;
    size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        const size_t end = xml.find('>', at);
        if (end == std::string::npos)
            return false;
        std::string tag = xml.substr(at + 1, end - at - 1);
        at = end + 1;
        if (tag.empty() || tag[0] == '?' || tag[0] == '!')
            continue;
        size_t quotes = 0;
        for (char ch : tag)
            quotes += ch == '"';
        if (quotes % 2)
            return false;
        const bool closing = tag[0] == '/';
        const bool selfClosing = tag.back() == '/';
        const std::string name = tag.substr(closing, tag.find_first_of(" /", closing) - closing);
        if (closing) {
            if (open.empty() || open.back() != name)
                return false;
            open.pop_back();
        } else if (!selfClosing) {
            open.push_back(name);
        }
    }
    return open.empty();
}

TEST(ExecutableTest, BothBuildsAskForElevationAndKeepTheClassicControls)
{
    std::string program32 = "Z:" AUTOVANE_SOURCE_DIR "/build/Autovane.exe";
    for (const std::string& path : {ProgramPath(), program32}) {
        SCOPED_TRACE(path);
        const std::string manifest = ManifestOf(path);
        ASSERT_FALSE(manifest.empty()) << "no manifest resource (type 24, id 1)";
        EXPECT_TRUE(IsBalancedXml(manifest));
        EXPECT_EQ(0u, manifest.find("<?xml"));
        EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
        EXPECT_EQ(std::string::npos, manifest.find("Common-Controls"));
    }
}

}  // namespace
