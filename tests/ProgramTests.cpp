// tests/ProgramTests.cpp
//
// Autovane.exe as a process, the way the start-up list and an administrator start it:
// silent re-application, the command word, failures in silent mode, the platform check,
// the executable's own resources, and the set-up without the dialog that the README
// tells administrators about.
#include "TestUtil.h"
#include "platform/Wnd.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

const char* const kVersionKey = "Software\\Wine\\AppDefaults\\Autovane.exe";

// The program under test, as a Windows path, and the start of its command line.
const std::string kProgram = [] {
    std::string path = "Z:" AUTOVANE_EXE;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}();
const std::string kAutovane = "\"" + kProgram + "\" ";

// The name new processes read for this computer, until the wine server restarts.
const char* const kComputerNameKey = "System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName";

// The programs run on a computer whose name the domain rule alone would refuse, as NetBIOS
// names may be.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetLogonState("Autovane");
        SetRegString(HKEY_LOCAL_MACHINE, kComputerNameKey, "ComputerName", "LAB_");
    }
    void TearDown() override
    {
        ResetLogonState("Autovane");
        DeleteRegTree(HKEY_CURRENT_USER, kVersionKey);
        SetRegString(HKEY_LOCAL_MACHINE, kComputerNameKey, "ComputerName", m_computerName);
    }

private:
    const std::string m_computerName = RegText(HKEY_LOCAL_MACHINE, kComputerNameKey, "ComputerName");
};

// Each row starts the program with an argument, as the given Windows version, with the
// profile copy given (none when empty; its fifth entry is its set-up stamp), the machine's
// stamp given (none when empty), and the machine set up for a kiosk with a notice far
// past any fixed buffer, on a computer named "LAB_". The word, in any case, re-applies the
// stored values unseen, the notice whole, and leaves the start-up entry, the stamp and the
// profile copy alone; anything else opens the dialog, which the row ends with its button,
// typing the domain "lab_" before OK. The entry runs at every user's logon: only a copy
// with the machine's stamp is applied; any other (none, another user's older one, one
// whose OK never reached the machine) changes nothing. A silent run that fails says why
// in a box that has no owner, then the ordinary dialog follows, the focus parked on the
// hidden button: with the start-up key missing the logon values are still written; a
// stored domain the dialog would refuse writes nothing, and OK after mending it stores the
// copy and the start-up entry. After every OK the next silent run applies its copy. Windows
// 98 is told that the program needs NT; a silent run goes on and applies the copy. The
// exit code says 0 for values written, 2 for a silent run without the newest copy, 1 for
// any other end.
TEST_F(ProgramTest, OnlyTheWordRunsSilentlyAndOnlyTheNewestCopyChangesTheMachine)
{
    const std::string caption(1000, 'C'), text(5000, 'T'), started = kAutovane + "NoUserInput";
    const std::string ntOnly = "Autovane | OK | Autovane is designed and created to run with Windows NT only!";
    const std::string noRunKey = "Autovane | OK | Error: Could not open registry key:\n\n"
                                 "\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\"";
    const std::vector<std::string> stored = {"1", "user", "pw", "lab_"}, older = {"1", "user", "pw", "lab_", "A"},
                                   newest = {"1", "user", "pw", "lab_", "B"}, off = {"0", "", "", "", "A"},
                                   kiosk = {"1", "kiosk", "kiosk-pw", "LAB", caption, text},
                                   applied = {"1", "user", "pw", "lab_", caption, text};
    const struct { const char* word; const char* version; std::vector<std::string> profile; const char* setUp;
                   std::string said; int button; std::vector<std::string> after; DWORD exitCode; } rows[] = {
        {"NoUserInput", "win10", stored, "", "", 0, applied, 0}, {"nouserinput", "nt40", stored, "", "", 0, applied, 0},
        {"NOUSERINPUT", "win2k", stored, "", "", 0, applied, 0}, {"NoUserInput", "winxp", stored, "", "", 0, applied, 0},
        {"NoUserInput", "win98", stored, "", ntOnly, 0, applied, 0}, {"", "win98", stored, "", ntOnly, 0, kiosk, 1},
        {"", "win10", stored, "", "", IDCANCEL, kiosk, 1}, {"", "nt40", stored, "", "", IDOK, applied, 0},
        {"x NoUserInput", "win10", stored, "", "", IDCANCEL, kiosk, 1},
        {"NoUserInputs", "win10", stored, "", "", IDCANCEL, kiosk, 1},
        {"NoUserInpu", "win10", stored, "", "", IDCANCEL, kiosk, 1},
        {"\"NoUser Input\"", "win10", stored, "", "", IDCANCEL, kiosk, 1},
        {"NoUserInput", "win10", {}, "", "", 0, kiosk, 2}, {"NoUserInput", "win10", newest, "B", "", 0, applied, 0},
        {"NoUserInput", "win10", older, "B", "", 0, kiosk, 2}, {"NoUserInput", "win10", off, "B", "", 0, kiosk, 2},
        {"NoUserInput", "win10", older, "", "", 0, kiosk, 2}, {"NoUserInput", "win10", stored, "B", "", 0, kiosk, 2},
        {"NoUserInput", "win10", {"0", "", "", ""}, "", "", 0, {"0", "", "", "LAB_", caption, text}, 0},
        {"NoUserInput", "win10", stored, "", noRunKey, IDCANCEL, applied, 1},
        {"NoUserInput", "win10", {"1", "user", "pw", "bad domain"}, "",
         "Autovane | OK | Error: Invalid Domain name specified!", IDOK, applied, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        const bool silent = _stricmp(row.word, "NoUserInput") == 0, win98 = row.said == ntOnly;
        // A program that takes itself for Windows 98 has one registry view: its own.
        const REGSAM view = win98 && sizeof(void*) == 4 ? KEY_WOW64_32KEY : 0;
        ResetLogonState("Autovane");
        SetRegString(HKEY_CURRENT_USER, kVersionKey, "Version", row.version);
        if (!row.profile.empty())
            StoreProfile("Autovane", row.profile);
        if (*row.setUp)
            SetRegString(HKEY_LOCAL_MACHINE, MachineSetUpKey("Autovane").c_str(), "SetUp", row.setUp);
        for (int i = 0; i < 6; ++i)
            SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, kLogonValues[i], kiosk[i], view);
        SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "kept", view);
        if (row.said == noRunKey)
            DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
        Program program(kAutovane + row.word);
        if (!row.said.empty()) {
            const HWND box = program.WaitForMessageBox();
            EXPECT_EQ(row.said, DescribeMessageBox(box).Summary(false));
            EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER)) << "a box owned by a hidden window";
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        if (row.button) {
            const HWND dialog = program.WaitForDialog();
            EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == GetDlgItem(dialog, IDC_NOFOCUS); }));
            if (row.button == IDOK)
                SendMessageA(GetDlgItem(dialog, IDC_DOMAIN), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("lab_"));
            PostMessageA(dialog, WM_COMMAND, row.button, 0);
        }
        EXPECT_TRUE(program.Ends() && program.EndsUnseen() == (silent && row.said.empty()));
        EXPECT_EQ(row.exitCode, program.ExitCode());
        EXPECT_EQ(row.after, LogonValues(view));
        EXPECT_EQ(row.said == noRunKey ? kAbsent : row.button == IDOK ? started : "kept",
                  RegText(HKEY_LOCAL_MACHINE, kRun, "Autovane", view));
        std::vector<std::string> copy = row.profile;
        copy.resize(row.profile.empty() ? 0 : 5, kAbsent);
        if (row.button == IDOK) {
            copy = {"1", "user", "pw", "lab_", MachineSetUp("Autovane")};
            EXPECT_TRUE(IsFreshSetUpStamp(copy.back())) << copy.back();
            Program next(kAutovane + "NoUserInput");
            EXPECT_TRUE(next.EndsUnseen() && next.ExitCode() == 0) << "the copy of this OK is not applied";
        } else {
            EXPECT_EQ(*row.setUp ? row.setUp : kAbsent, MachineSetUp("Autovane", view));
        }
        if (copy.empty())
            EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "software\\Brindlework\\Autovane"));
        else
            EXPECT_EQ(copy, Profile("Autovane"));
    }
}

// A user without the right to write the logon values (Winlogon refuses full access) who
// presses OK is told so and keeps a copy; but that copy never reached the machine, so the
// silent run at each of that user's logons applies nothing and asks nothing.
TEST_F(ProgramTest, TheCopyOfAnOkWhoseValuesWereRefusedIsNeverApplied)
{
    const ScopedReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kWinlogon);
    Program program(kAutovane);
    const HWND dialog = program.WaitForDialog();
    SendMessageA(GetDlgItem(dialog, IDC_AUTOLOGON), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(GetDlgItem(dialog, IDC_DOMAIN), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("CORP"));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    const HWND box = program.WaitForMessageBox();
    EXPECT_NE(std::string::npos, DescribeMessageBox(box).text.find("Winlogon"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(1u, program.ExitCode());
    EXPECT_EQ("CORP", Profile("Autovane")[3]);
    Program silent(kAutovane + "NoUserInput");
    EXPECT_TRUE(silent.EndsUnseen() && silent.ExitCode() == 2);
}

// A comctl32.dll beside a copy of the program, which Wine is told to prefer to its own, is
// never loaded: the dialog has the system's tooltips. Its window carries the program's
// object property, which from here is no object of this process. The program's header
// marks it terminal-server aware.
TEST_F(ProgramTest, LoadsTheSystemsLibrariesAndTakesNoOtherProcesssWindowForItsOwn)
{
    const std::string folder = ThisExecutablePath().substr(0, ThisExecutablePath().rfind('\\')) + "\\planted\\";
    ASSERT_TRUE(CopyFileA(kProgram.c_str(), (folder + "Autovane.exe").c_str(), FALSE));
    DeleteFileA((folder + "comctl32.dll.mark").c_str());
    SetRegString(HKEY_CURRENT_USER, (kVersionKey + std::string("\\DllOverrides")).c_str(), "comctl32", "native,builtin");
    Program program("\"" + folder + "Autovane.exe\"");
    const HWND dialog = program.WaitForDialog();
    EXPECT_EQ(3, SendMessageA(ToolTipOf(dialog), TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_TRUE(GetPropA(dialog, AFX_WND_OBJECT_PROPERTY) && !CWnd::FromHandlePermanent(dialog));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(program.Ends());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "comctl32.dll.mark").c_str())) << "planted library loaded";
    std::ifstream file(kProgram, std::ios::binary);
    const std::string image{std::istreambuf_iterator<char>(file), {}};
    const size_t characteristics = *reinterpret_cast<const DWORD*>(&image[0x3C]) + 24 + 70;  // the same in both layouts
    EXPECT_TRUE(*reinterpret_cast<const WORD*>(&image[characteristics]) & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
}

// The program asks to run elevated and keeps the classic controls: the manifest resource
// is the whole document. Every test program is built with the program's resources.
TEST(ExecutableTest, AsksForElevationAndKeepsTheClassicControls)
{
    const HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const char* const text = resource ? static_cast<const char*>(LockResource(LoadResource(nullptr, resource))) : "";
    const std::string manifest(text, resource ? SizeofResource(nullptr, resource) : 0);
    EXPECT_TRUE(manifest.find("<?xml") == 0 && manifest.find("level=\"requireAdministrator\"") != std::string::npos &&
                manifest.find("Common-Controls") == std::string::npos &&
                manifest.rfind("</assembly>") == manifest.find_last_not_of(std::string("\r\n\t \0", 5)) - 10) << manifest;
}

// Exactly as the README says (tests/check_texts.sh holds it and the release's text to
// these lines): its .reg block imported with `reg import`, the shipped program run with
// NoUserInput, and the profile copy removed with its `reg delete` line; on a fresh
// machine and on one where the dialog made an earlier set-up.
TEST_F(ProgramTest, TheReadmesRegFileAndSilentRunSetUpTheMachine)
{
    std::ifstream file("Z:" AUTOVANE_SOURCE_DIR "/README.md", std::ios::binary);
    const std::string readme{std::istreambuf_iterator<char>(file), {}};
    // The block that opens with "```reg", its lines ending in CR LF as a file saved by an
    // administrator's editor would.
    const size_t open = readme.find("```reg\n") + 7, close = readme.find("```", open);
    ASSERT_TRUE(open > 6 && close != std::string::npos) << "README.md has no ```reg block";
    std::string regFile;
    for (char ch : readme.substr(open, close - open))
        regFile += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    std::ofstream("autovane.reg", std::ios::binary) << regFile;  // in the working folder, which reg shares

    for (bool usedBefore : {false, true}) {
        SCOPED_TRACE(usedBefore ? "set up by the dialog before" : "fresh");
        ResetLogonState("Autovane");
        SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", "Notice");
        if (usedBefore) {
            StoreProfile("Autovane", {"1", "user", "pw", "CORP", "2026-01-01T00:00:00.000Z"});
            SetRegString(HKEY_LOCAL_MACHINE, MachineSetUpKey("Autovane").c_str(), "SetUp", "2026-01-01T00:00:00.000Z");
        }
        EXPECT_TRUE(Program("reg import autovane.reg /reg:64").EndsUnseen());
        Program silent(kAutovane + "NoUserInput");
        EXPECT_TRUE(silent.EndsUnseen() && silent.ExitCode() == 0);
        EXPECT_EQ((std::vector<std::string>{"1", "kiosk", "kiosk-password", "LAB", "Notice", ""}), LogonValues());
        EXPECT_EQ(kAbsent, RegText(HKEY_LOCAL_MACHINE, kRun, "Autovane"));
        EXPECT_TRUE(Program("reg delete \"HKCU\\Software\\Brindlework\\Autovane\" /f").EndsUnseen());
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Brindlework\\Autovane"));
    }
    DeleteFileA("autovane.reg");
}

}  // namespace
