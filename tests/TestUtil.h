// tests/TestUtil.h
//
// The tests' helpers. Driving real dialogs the way a user would: the dialog runs modally
// on the test's thread while a script on a second thread types, clicks and reads, and
// message boxes are answered by a hook that records what each one said. Other programs
// started and watched. Reading and arranging registry state from the test's side, through
// the raw API, so that a check never relies on the code it checks: values, keys, and the
// logon state the logon tests start from and check. HKEY_LOCAL_MACHINE is used in its
// 64-bit view, where the logon process reads, also from a 32-bit test under WOW64.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>  // for the tests too

#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    std::string buttons;    // their texts, as "&Yes &No"
    std::string icon;       // "exclamation", "stop", "question", "information", "none" or "other"
    HWND owner = nullptr;
    // "caption | icon | buttons | text". Wine does not
    // hand another process's icon pictures over: leave the icon out for those.
    std::string Summary(bool withIcon = true) const;
};

// Describes a message box window (of this process or another).
SeenMessageBox DescribeMessageBox(HWND box);
// Is this window a message box rather than one of the program's dialogs?
bool IsMessageBoxWindow(HWND hWnd);

// While it lives, every message box this thread shows is recorded and answered with the
// next of the given buttons (IDOK for a 0 and when they run out).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::vector<int> answers = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& Seen() const { return m_seen; }

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook;
    std::vector<int> m_answers;
    std::vector<SeenMessageBox> m_seen;
};

// Runs `run` (which shows a modal dialog) on this thread and `script` on another one as
// soon as a visible top-level dialog titled `caption` belongs to this thread. When the
// script returns and the dialog is still open, it is cancelled. Returns run's result.
INT_PTR RunWithScript(const char* caption, const std::function<INT_PTR()>& run,
                      const std::function<void(HWND dialog)>& script);

// One run of a program, started with the whole command line given and ended at the
// latest when the object goes.
class Program {
public:
    explicit Program(std::string commandLine)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        EXPECT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process));
    }
    ~Program()
    {
        TerminateProcess(m_process.hProcess, 99);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    // The first visible message box or dialog of the process, or its end (null).
    HWND WaitForMessageBox() { return WaitForWindow(true, false); }
    HWND WaitForDialog() { return WaitForWindow(false, false); }
    bool Ends() { return WaitForWindow(false, true), m_ended; }
    bool EndsUnseen() { return Ends() && !m_shown; }
    // What it tells a script: its exit code once it has ended.
    DWORD ExitCode() { return Ends() ? m_exitCode : STILL_ACTIVE; }

private:
    HWND WaitForWindow(bool messageBox, bool untilEnd);
    PROCESS_INFORMATION m_process = {};
    bool m_ended = false, m_shown = false;
    DWORD m_exitCode = STILL_ACTIVE;
};

// Script helpers, for the second thread (they work across threads and processes).
std::string WindowText(HWND hWnd);
// The tooltip window the window owns, or null.
HWND ToolTipOf(HWND owner);
HWND FocusOf(HWND anyWindowOfThread);
// Moves the focus to a dialog's control as Tab would.
void Focus(HWND control);
// Posts a key press to the focused control, as typing does, and waits until the dialog's
// thread has handled it.
void PressKey(HWND dialog, UINT virtualKey);
// Moves the real pointer to the point given in the window's client coordinates and waits
// until the system has it there.
bool MovePointerTo(HWND window, POINT client);
// Moves the pointer there and waits until the state holds. Wine at times puts the pointer
// back where it was a moment before, and the windows follow it; so while the state does
// not hold, the pointer is moved again, a pixel aside and back, as a fresh move. A state
// that holds already is taken at once: ask for one that the move has to bring about.
bool MovePointerUntil(HWND window, POINT client, const std::function<bool()>& state);
// Waits until the condition holds; false after the timeout.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Waits until the dialog's thread has handled everything posted to the dialog so far.
void SyncWith(HWND dialog);

// A value as a test compares it: a REG_SZ with exactly one terminating zero as its text,
// anything else as a description that no expected text equals.
extern const char* const kAbsent;  // "<absent>"
std::string RegText(HKEY root, const char* path, const char* name, REGSAM view = 0);
bool RegKeyExists(HKEY root, const char* path);
void SetRegString(HKEY root, const char* path, const char* name, const std::string& text, REGSAM view = 0);
void SetRegBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size,
                 REGSAM view = 0);
void DeleteRegValue(HKEY root, const char* path, const char* name, REGSAM view = 0);
void DeleteRegTree(HKEY root, const char* path);

// An open key, closed when it goes; null when it did not open.
struct Key {
    Key(HKEY root, const char* path, REGSAM access, REGSAM view, bool create = false);
    ~Key() { if (hKey) RegCloseKey(hKey); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY hKey = nullptr;
};

// While it lives, the key grants everyone reading only (unless not `active`): an open with
// full access fails with access denied, as it does for a user without rights. Full access
// comes back after, for everyone, as the test prefix's keys give it.
class ScopedReadOnlyKey {
public:
    ScopedReadOnlyKey(HKEY root, const char* path, bool active = true) : m_key(root, path, WRITE_DAC, 0), m_active(active)
    {
        SetAccess("D:P(A;;KR;;;WD)");
    }
    ~ScopedReadOnlyKey() { SetAccess("D:P(A;;KA;;;WD)"); }

private:
    void SetAccess(const char* sddl);
    Key m_key;
    bool m_active;
};

std::string ThisExecutablePath();
// The processes running now.
std::vector<PROCESSENTRY32> Processes();

// The machine's logon values, the start-up entry and a program's profile copy.
extern const char* const kWinlogon;  // below HKEY_LOCAL_MACHINE
extern const char* const kRun;
extern const char* const kLogonValues[6];
// No logon values, no start-up entry (the key itself present), no set-up stamp and no
// profile copy.
void ResetLogonState(const std::string& program);
// Stores the first entries of a profile copy, as many as given.
void StoreProfile(const std::string& program, const std::vector<std::string>& values);
// The texts of the six logon values in the order of kLogonValues, and of the profile
// copy's five entries: AutoLogon, UserName, Password, Domain, SetUp. kNoLogonValues and
// kNoProfile are what they read when nothing is there.
std::vector<std::string> LogonValues(REGSAM view = 0);
std::vector<std::string> Profile(const std::string& program);
extern const std::vector<std::string> kNoLogonValues, kNoProfile;
// The machine's set-up stamp of a program, and its key below HKEY_LOCAL_MACHINE.
std::string MachineSetUpKey(const std::string& program);
std::string MachineSetUp(const std::string& program, REGSAM view = 0);
// Whether the text is a set-up stamp of the last minute: "2026-12-07T19:30:12.345Z", UTC.
bool IsFreshSetUpStamp(const std::string& text);
std::string LocalComputerName();
