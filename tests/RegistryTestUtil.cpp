// tests/RegistryTestUtil.cpp
#include "RegistryTestUtil.h"

#include <gtest/gtest.h>
#include <sddl.h>

const char* const kAbsent = "<absent>";

namespace {

REGSAM View(HKEY root, REGSAM view)
{
    return view ? view : root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
}

}  // namespace

std::string RegText(HKEY root, const char* path, const char* name, REGSAM view)
{
    HKEY key;
    DWORD type = 0, size = 0;
    std::vector<char> data;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | View(root, view), &key) != ERROR_SUCCESS)
        return kAbsent;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    RegCloseKey(key);
    const std::string text(data.data(), data.empty() ? 0 : data.size() - 1);
    if (type == REG_SZ && !data.empty() && data.back() == 0 && text.find('\0') == std::string::npos)
        return text;
    return data.empty() && type == 0 ? kAbsent : "<type " + std::to_string(type) + ", " + std::to_string(size) + " bytes>";
}

bool RegKeyExists(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | View(root, 0), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetRegBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size, REGSAM view)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS | View(root, view), nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void SetRegString(HKEY root, const char* path, const char* name, const std::string& text, REGSAM view)
{
    SetRegBytes(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1), view);
}

void DeleteRegValue(HKEY root, const char* path, const char* name, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE | View(root, view), &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

void DeleteRegTree(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | View(root, 0), &key) != ERROR_SUCCESS)
        return;
    char child[256];
    while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS)
        DeleteRegTree(root, (std::string(path) + "\\" + child).c_str());
    RegCloseKey(key);
    RegDeleteKeyExA(root, path, View(root, 0), 0);
}

ScopedReadOnlyKey::ScopedReadOnlyKey(HKEY root, const char* path)
{
    DWORD size = 0;
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    if (RegOpenKeyExA(root, path, 0, WRITE_DAC | READ_CONTROL | View(root, 0), &m_key) != ERROR_SUCCESS ||
        RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER) {
        ADD_FAILURE() << "cannot change the security of " << path;
        return;
    }
    m_original.resize(size);
    RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_original.data(), &size);
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, readOnly));
    LocalFree(readOnly);
}

ScopedReadOnlyKey::~ScopedReadOnlyKey()
{
    if (!m_original.empty())
        RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_original.data());
    if (m_key)
        RegCloseKey(m_key);
}

int RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::string ThisExecutablePath()
{
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}
