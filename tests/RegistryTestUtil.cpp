// tests/RegistryTestUtil.cpp
#include "RegistryTestUtil.h"

#include <sddl.h>

namespace {

// The machine keys are read and arranged in the 64-bit view, the one the logon process
// reads and the program writes, also when the tests run as a 32-bit process under WOW64
// (where the plain view of HKEY_LOCAL_MACHINE\SOFTWARE is the 32-bit copy).
REGSAM View(HKEY root, REGSAM extraAccess)
{
    if (extraAccess & (KEY_WOW64_64KEY | KEY_WOW64_32KEY))
        return extraAccess;
    return root == HKEY_LOCAL_MACHINE ? extraAccess | KEY_WOW64_64KEY : extraAccess;
}

}  // namespace

RegValue ReadRegValue(HKEY root, const char* path, const char* name, REGSAM extraAccess)
{
    RegValue value;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | View(root, extraAccess), &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.assign(size, 0xbd);
        value.exists = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(),
                                        &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

bool RegKeyExists(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | View(root, 0), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetRegBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS | View(root, 0), nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void SetRegString(HKEY root, const char* path, const char* name, const std::string& text)
{
    SetRegBytes(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void DeleteRegValue(HKEY root, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE | View(root, 0), &key) == ERROR_SUCCESS) {
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
    while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS) {
        const std::string childPath = std::string(path) + "\\" + child;
        DeleteRegTree(root, childPath.c_str());
    }
    RegCloseKey(key);
    RegDeleteKeyExA(root, path, View(root, 0), 0);
}

::testing::AssertionResult RegStringIs(HKEY root, const char* path, const char* name,
                                       const std::string& expected, REGSAM extraAccess)
{
    const RegValue value = ReadRegValue(root, path, name, extraAccess);
    if (!value.exists)
        return ::testing::AssertionFailure() << name << " is missing";
    if (value.type != REG_SZ)
        return ::testing::AssertionFailure() << name << " has type " << value.type << ", not REG_SZ";
    if (value.data.size() != expected.size() + 1)
        return ::testing::AssertionFailure() << name << " holds " << value.data.size()
                                             << " bytes, expected " << expected.size() + 1;
    const std::string text(value.data.begin(), value.data.end() - 1);
    if (text != expected || value.data.back() != 0)
        return ::testing::AssertionFailure() << name << " is \"" << text << "\", expected \"" << expected << "\"";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RegValueAbsent(HKEY root, const char* path, const char* name)
{
    const RegValue value = ReadRegValue(root, path, name);
    if (value.exists)
        return ::testing::AssertionFailure() << name << " exists with " << value.data.size() << " bytes";
    return ::testing::AssertionSuccess();
}

ScopedReadOnlyKey::ScopedReadOnlyKey(HKEY root, const char* path)
{
    if (RegOpenKeyExA(root, path, 0, WRITE_DAC | READ_CONTROL | View(root, 0), &m_key) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open " << path << " to change its security";
        m_key = nullptr;
        return;
    }
    DWORD size = 0;
    RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &size);
    m_original.resize(size);
    if (RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_original.data(), &size) != ERROR_SUCCESS)
        m_original.clear();
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, readOnly));
    LocalFree(readOnly);
}

ScopedReadOnlyKey::~ScopedReadOnlyKey()
{
    if (!m_key)
        return;
    if (!m_original.empty()) {
        RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_original.data());
    } else {
        PSECURITY_DESCRIPTOR full = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KA;;;WD)", SDDL_REVISION_1, &full, nullptr);
        RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, full);
        LocalFree(full);
    }
    RegCloseKey(m_key);
}

int RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
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
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}
