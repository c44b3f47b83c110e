// tests/LogonTestState.cpp
#include "LogonTestState.h"

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kLogonValues[6] = {"AutoAdminLogon",    "DefaultUserName",    "DefaultPassword",
                                     "DefaultDomainName", "LegalNoticeCaption", "LegalNoticeText"};

std::string ProfileSection(const std::string& program)
{
    return "software\\Brindlework\\" + program + "\\Logon Data";
}

void ResetLogonState(const std::string& program)
{
    for (const char* name : kLogonValues)
        DeleteRegValue(HKEY_LOCAL_MACHINE, kWinlogon, name);
    if (!RegKeyExists(HKEY_LOCAL_MACHINE, kRun))
        SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "");
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRun, "Autovane");
    DeleteRegTree(HKEY_CURRENT_USER, ("software\\Brindlework\\" + program).c_str());
}

void StoreProfile(const std::string& program, const char* autoLogon, const char* user, const char* password,
                  const char* domain)
{
    const std::string section = ProfileSection(program);
    SetRegString(HKEY_CURRENT_USER, section.c_str(), "AutoLogon", autoLogon);
    SetRegString(HKEY_CURRENT_USER, section.c_str(), "UserName", user);
    SetRegString(HKEY_CURRENT_USER, section.c_str(), "Password", password);
    SetRegString(HKEY_CURRENT_USER, section.c_str(), "Domain", domain);
}

void ExpectNoLogonValues()
{
    for (const char* name : kLogonValues)
        EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kWinlogon, name));
}

void ExpectLogonValues(const std::string& autoLogon, const std::string& user, const std::string& password,
                       const std::string& domain, const std::string& caption, const std::string& text)
{
    const std::string expected[6] = {autoLogon, user, password, domain, caption, text};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, kLogonValues[i], expected[i]));
}

std::string LocalComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof(name);
    return GetComputerNameA(name, &size) ? name : "";
}
