// tests/RegistryTestUtil.cpp
#include "RegistryTestUtil.h"

#include <gtest/gtest.h>
#include <sddl.h>

const char* const kAbsent = "<absent>";

Key::Key(HKEY root, const char* path, REGSAM access, REGSAM view, bool create)
{
    view = view ? view : root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
    const LONG result = create ? RegCreateKeyExA(root, path, 0, nullptr, 0, access | view, nullptr, &hKey, nullptr)
                               : RegOpenKeyExA(root, path, 0, access | view, &hKey);
    hKey = result == ERROR_SUCCESS ? hKey : nullptr;
}

std::string RegText(HKEY root, const char* path, const char* name, REGSAM view)
{
    const Key key(root, path, KEY_QUERY_VALUE, view);
    DWORD type = 0, size = 0;
    if (!key.hKey || RegQueryValueExA(key.hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return kAbsent;
    std::vector<char> data(size + 1);
    RegQueryValueExA(key.hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    const std::string text(data.data(), size ? size - 1 : 0);
    if (type == REG_SZ && size && data[size - 1] == 0 && text.find('\0') == std::string::npos)
        return text;
    return "<type " + std::to_string(type) + ", " + std::to_string(size) + " bytes>";
}

bool RegKeyExists(HKEY root, const char* path)
{
    return Key(root, path, KEY_QUERY_VALUE, 0).hKey != nullptr;
}

void SetRegBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size, REGSAM view)
{
    const Key key(root, path, KEY_SET_VALUE, view, true);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key.hKey, name, 0, type, static_cast<const BYTE*>(data), size)) << path;
}

void SetRegString(HKEY root, const char* path, const char* name, const std::string& text, REGSAM view)
{
    SetRegBytes(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1), view);
}

void DeleteRegValue(HKEY root, const char* path, const char* name, REGSAM view)
{
    if (const Key key(root, path, KEY_SET_VALUE, view); key.hKey)
        RegDeleteValueA(key.hKey, name);
}

void DeleteRegTree(HKEY root, const char* path)
{
    char child[256];
    if (const Key key(root, path, KEY_ALL_ACCESS, 0); key.hKey)
        while (RegEnumKeyA(key.hKey, 0, child, sizeof(child)) == ERROR_SUCCESS)
            DeleteRegTree(root, (std::string(path) + "\\" + child).c_str());
    RegDeleteKeyExA(root, path, root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0, 0);
}

void ScopedReadOnlyKey::SetAccess(const char* sddl)
{
    if (!m_active)
        return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(m_key.hKey, DACL_SECURITY_INFORMATION, descriptor)) << sddl;
    LocalFree(descriptor);
}

std::string ThisExecutablePath()
{
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

std::vector<PROCESSENTRY32> Processes()
{
    std::vector<PROCESSENTRY32> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        processes.push_back(entry);
    CloseHandle(snapshot);
    return processes;
}

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kLogonValues[6] = {"AutoAdminLogon",    "DefaultUserName",    "DefaultPassword",
                                     "DefaultDomainName", "LegalNoticeCaption", "LegalNoticeText"};
const std::vector<std::string> kNoLogonValues(6, kAbsent), kNoProfile(5, kAbsent);

namespace {

const char* const kProfileEntries[5] = {"AutoLogon", "UserName", "Password", "Domain", "SetUp"};

// HKEY_CURRENT_USER\software\Brindlework\<program>\Logon Data
std::string ProfileSection(const std::string& program)
{
    return "software\\Brindlework\\" + program + "\\Logon Data";
}

template <size_t count>
std::vector<std::string> Texts(HKEY root, const char* path, const char* const (&names)[count], REGSAM view)
{
    std::vector<std::string> texts;
    for (const char* name : names)
        texts.push_back(RegText(root, path, name, view));
    return texts;
}

}  // namespace


void ResetLogonState(const std::string& program)
{
    for (const char* name : kLogonValues)  // both views: a program taking itself for Windows 98 writes its own
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
            DeleteRegValue(HKEY_LOCAL_MACHINE, kWinlogon, name, view);
    SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "");
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRun, "Autovane");
    DeleteRegTree(HKEY_CURRENT_USER, ("software\\Brindlework\\" + program).c_str());
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        DeleteRegValue(HKEY_LOCAL_MACHINE, MachineSetUpKey(program).c_str(), "SetUp", view);
}

void StoreProfile(const std::string& program, const std::vector<std::string>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        SetRegString(HKEY_CURRENT_USER, ProfileSection(program).c_str(), kProfileEntries[i], values.at(i));
}

std::vector<std::string> LogonValues(REGSAM view)
{
    return Texts(HKEY_LOCAL_MACHINE, kWinlogon, kLogonValues, view);
}

std::vector<std::string> Profile(const std::string& program)
{
    return Texts(HKEY_CURRENT_USER, ProfileSection(program).c_str(), kProfileEntries, 0);
}

std::string MachineSetUpKey(const std::string& program)
{
    return "SOFTWARE\\Brindlework\\" + program;
}

std::string MachineSetUp(const std::string& program, REGSAM view)
{
    return RegText(HKEY_LOCAL_MACHINE, MachineSetUpKey(program).c_str(), "SetUp", view);
}

bool IsFreshSetUpStamp(const std::string& text)
{
    SYSTEMTIME stamp = {};
    char zone = 0;
    int end = 0;
    if (sscanf(text.c_str(), "%4hu-%2hu-%2huT%2hu:%2hu:%2hu.%3hu%c%n", &stamp.wYear, &stamp.wMonth, &stamp.wDay,
               &stamp.wHour, &stamp.wMinute, &stamp.wSecond, &stamp.wMilliseconds, &zone, &end) != 8 ||
        zone != 'Z' || end != 24 || text.size() != 24)
        return false;
    SYSTEMTIME now;
    GetSystemTime(&now);
    ULARGE_INTEGER at, then;
    SystemTimeToFileTime(&now, reinterpret_cast<FILETIME*>(&at));
    if (!SystemTimeToFileTime(&stamp, reinterpret_cast<FILETIME*>(&then)))
        return false;
    return then.QuadPart <= at.QuadPart && at.QuadPart - then.QuadPart < 60 * 10000000ULL;
}

std::string LocalComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof(name);
    return GetComputerNameA(name, &size) ? name : "";
}
