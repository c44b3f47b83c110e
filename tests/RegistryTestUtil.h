// tests/RegistryTestUtil.h
//
// Reading and arranging registry state from the test's side, through the raw API, so
// that a check never relies on the code it checks: values, keys, and the logon state the
// logon tests start from and check. HKEY_LOCAL_MACHINE is used in its 64-bit view, where
// the logon process reads, also from a 32-bit test under WOW64.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

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
