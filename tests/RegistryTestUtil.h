// tests/RegistryTestUtil.h
//
// Reading and arranging registry state from the test's side, through the raw API, so
// that a check never relies on the code it checks.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

struct RegValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// extraAccess may name a registry view (KEY_WOW64_64KEY / KEY_WOW64_32KEY).
RegValue ReadRegValue(HKEY root, const char* path, const char* name, REGSAM extraAccess = 0);
bool RegKeyExists(HKEY root, const char* path);
void SetRegString(HKEY root, const char* path, const char* name, const std::string& text);
void SetRegBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size);
void DeleteRegValue(HKEY root, const char* path, const char* name);
void DeleteRegTree(HKEY root, const char* path);

// REG_SZ with exactly the text and one terminating zero byte.
::testing::AssertionResult RegStringIs(HKEY root, const char* path, const char* name,
                                       const std::string& expected, REGSAM extraAccess = 0);
::testing::AssertionResult RegValueAbsent(HKEY root, const char* path, const char* name);

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

// Runs a program to its end with the given command line; returns its exit code, or -1.
int RunProcess(const std::string& commandLine, DWORD timeoutMs = 30000);
std::string ThisExecutablePath();
