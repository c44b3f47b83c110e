// tests/RegistryTestUtil.h
//
// Reading and arranging registry state from the test's side, through the raw API, so
// that a check never relies on the code it checks. HKEY_LOCAL_MACHINE is used in its
// 64-bit view, where the logon process reads, also from a 32-bit test under WOW64.
#pragma once

#include <windows.h>

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

// While it lives, the key grants everyone reading only: an open with full access fails
// with access denied, as it does for a user without rights. The old DACL comes back after.
class ScopedReadOnlyKey {
public:
    ScopedReadOnlyKey(HKEY root, const char* path);
    ~ScopedReadOnlyKey();
    ScopedReadOnlyKey(const ScopedReadOnlyKey&) = delete;
    ScopedReadOnlyKey& operator=(const ScopedReadOnlyKey&) = delete;

private:
    HKEY m_key = nullptr;
    std::vector<BYTE> m_original;
};

std::string ThisExecutablePath();
