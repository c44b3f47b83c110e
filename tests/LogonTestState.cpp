// tests/LogonTestState.cpp
#include "LogonTestState.h"

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kLogonValues[6] = {"AutoAdminLogon",    "DefaultUserName",    "DefaultPassword",
                                     "DefaultDomainName", "LegalNoticeCaption", "LegalNoticeText"};

namespace {

const char* const kProfileEntries[4] = {"AutoLogon", "UserName", "Password", "Domain"};

::testing::AssertionResult ValuesAre(HKEY root, const std::string& path, const char* const* names, size_t count,
                                     const std::vector<std::string>& expected, REGSAM view)
{
    std::string differences;
    for (size_t i = 0; i < count; ++i) {
        const std::string actual = RegText(root, path.c_str(), names[i], view);
        const std::string wanted = expected.empty() ? kAbsent : expected.at(i);
        if (actual != wanted)
            differences += std::string("\n  ") + names[i] + " is \"" + actual + "\", expected \"" + wanted + "\"";
    }
    if (differences.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences;
}

}  // namespace

std::string ProfileSection(const std::string& program)
{
    return "software\\Brindlework\\" + program + "\\Logon Data";
}

void ResetLogonState(const std::string& program)
{
    for (const char* name : kLogonValues)
        DeleteRegValue(HKEY_LOCAL_MACHINE, kWinlogon, name);
    SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "");
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRun, "Autovane");
    DeleteRegTree(HKEY_CURRENT_USER, ("software\\Brindlework\\" + program).c_str());
}

void StoreProfile(const std::string& program, const std::vector<std::string>& values)
{
    for (size_t i = 0; i < 4; ++i)
        SetRegString(HKEY_CURRENT_USER, ProfileSection(program).c_str(), kProfileEntries[i], values.at(i));
}

::testing::AssertionResult LogonValuesAre(const std::vector<std::string>& expected, REGSAM view)
{
    return ValuesAre(HKEY_LOCAL_MACHINE, kWinlogon, kLogonValues, 6, expected, view);
}

::testing::AssertionResult ProfileIs(const std::string& program, const std::vector<std::string>& expected)
{
    return ValuesAre(HKEY_CURRENT_USER, ProfileSection(program), kProfileEntries, 4, expected, 0);
}

std::string LocalComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof(name);
    return GetComputerNameA(name, &size) ? name : "";
}
