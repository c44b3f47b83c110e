// logon/LogonStore.cpp
#include "LogonStore.h"

#include "platform/RegistryKey.h"
#include "platform/SystemInfo.h"
#include "platform/WinApp.h"
#include "res/resource.h"

#include <cstring>

const char* const kWinlogonKeyPath = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValueName = "Autovane";
const char* const kProfileSection = "Logon Data";
const char* const kSetUpValue = "SetUp";

namespace {

const char* const kAutoLogonEntry = "AutoLogon";
const char* const kUserNameEntry = "UserName";
const char* const kPasswordEntry = "Password";
const char* const kDomainEntry = "Domain";

const char* const kDomainCharacters =
    "1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.";

LONG OpenWinlogonKey(CRegistryKey& key)
{
    return key.Create(HKEY_LOCAL_MACHINE, kWinlogonKeyPath, MachineKeyAccess(AfxIsWow64Process()));
}

// Marks the logon values just written as the machine's newest set-up. Returns the key
// text for the message when the key does not open, else empty text.
CString WriteMachineSetUpStamp(LPCSTR stamp)
{
    const CString path = MachineSetUpKeyPath();
    CRegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, path, MachineKeyAccess(AfxIsWow64Process())) != ERROR_SUCCESS)
        return CString("HKEY_LOCAL_MACHINE\\") + path;
    key.SetString(kSetUpValue, stamp);
    return CString();
}

}  // namespace

CString FlagText(BOOL flag)
{
    CString text;
    text.Format("%d", flag);
    return text;
}

BOOL FlagFromText(LPCSTR text)
{
    return std::strcmp(text, "1") == 0;
}

void LogonSettings::LoadProfileSettings()
{
    CWinApp* app = AfxGetApp();
    m_bAutoLogon = FlagFromText(app->GetProfileString(kProfileSection, kAutoLogonEntry));
    m_strUserName = app->GetProfileString(kProfileSection, kUserNameEntry);
    m_strPassword = app->GetProfileString(kProfileSection, kPasswordEntry);
    m_strDomain = app->GetProfileString(kProfileSection, kDomainEntry);
    if (m_strDomain.IsEmpty())
        m_strDomain = GetLocalComputerName();
}

bool LogonSettings::HasCopyOfNewestSetUp()
{
    CWinApp* app = AfxGetApp();
    return app->HasProfileEntry(kProfileSection, kAutoLogonEntry) &&
           app->GetProfileString(kProfileSection, kSetUpValue) == ReadMachineSetUpStamp();
}

void LogonSettings::LoadLogonMessage()
{
    m_strCaption.Empty();
    m_strText.Empty();
    CRegistryKey key;
    if (OpenWinlogonKey(key) == ERROR_SUCCESS) {
        // Whole values, however long: a silent run at every logon writes back exactly
        // what was loaded here, so a shortened notice would be lost for good.
        key.QueryString("LegalNoticeCaption", m_strCaption);
        key.QueryString("LegalNoticeText", m_strText);
    }
    m_bShowMessage = !m_strText.IsEmpty() || !m_strCaption.IsEmpty();
}

CString GetLocalComputerName()
{
    char name[16] = {0};
    DWORD size = sizeof(name);
    return GetComputerNameA(name, &size) ? CString(name) : CString();
}

bool IsValidDomainName(LPCSTR domain)
{
    const int length = static_cast<int>(std::strlen(domain));
    for (int i = length - 1; i >= 0; --i) {
        const char ch = domain[i];
        if (!std::strchr(kDomainCharacters, ch))
            return false;
        if ((i == 0 || i == length - 1) && (ch == '_' || ch == '-' || ch == '.'))
            return false;
    }
    return true;
}

bool IsAcceptedDomain(LPCSTR domain)
{
    return IsValidDomainName(domain) || GetLocalComputerName().CompareNoCase(domain) == 0;
}

REGSAM MachineKeyAccess(bool wow64)
{
    return wow64 ? KEY_ALL_ACCESS | KEY_WOW64_64KEY : KEY_ALL_ACCESS;
}

CString BuildStartCommand(LPCSTR executablePath)
{
    return CString("\"") + executablePath + "\" NoUserInput";
}

CString FormatSetUpStamp(const SYSTEMTIME& utc)
{
    CString stamp;
    stamp.Format("%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute,
                 utc.wSecond, utc.wMilliseconds);
    return stamp;
}

CString MachineSetUpKeyPath()
{
    const CWinApp* app = AfxGetApp();
    return CString("SOFTWARE\\") + app->m_strRegistryKey + "\\" + app->m_strAppName;
}

CString ReadMachineSetUpStamp()
{
    CString stamp;
    CRegistryKey key;
    const REGSAM view = AfxIsWow64Process() ? KEY_WOW64_64KEY : 0;
    if (key.Open(HKEY_LOCAL_MACHINE, MachineSetUpKeyPath(), KEY_QUERY_VALUE | view) == ERROR_SUCCESS)
        key.QueryString(kSetUpValue, stamp);
    return stamp;
}

CString ApplyLogonSettings(const LogonSettings& settings, bool silent)
{
    CString failedKey;
    // A silent run re-applies a set-up and so never makes a new one.
    CString stamp;
    if (!silent) {
        SYSTEMTIME now;
        GetSystemTime(&now);
        stamp = FormatSetUpStamp(now);
    }

    {
        CRegistryKey winlogon;
        if (OpenWinlogonKey(winlogon) == ERROR_SUCCESS) {
            winlogon.SetString("AutoAdminLogon", FlagText(settings.m_bAutoLogon));
            winlogon.SetString("DefaultUserName", settings.m_strUserName);
            winlogon.SetString("DefaultPassword", settings.m_strPassword);
            winlogon.SetString("DefaultDomainName", settings.m_strDomain);
            winlogon.SetString("LegalNoticeCaption", settings.m_bShowMessage ? settings.m_strCaption : "");
            winlogon.SetString("LegalNoticeText", settings.m_bShowMessage ? settings.m_strText : "");
            winlogon.Close();
            if (!silent)
                failedKey = WriteMachineSetUpStamp(stamp);
        } else {
            failedKey.LoadString(IDS_WINLOGON_KEY);
        }
    }

    if (!silent) {
        CWinApp* app = AfxGetApp();
        app->WriteProfileString(kProfileSection, kAutoLogonEntry, FlagText(settings.m_bAutoLogon));
        app->WriteProfileString(kProfileSection, kUserNameEntry, settings.m_strUserName);
        app->WriteProfileString(kProfileSection, kPasswordEntry, settings.m_strPassword);
        app->WriteProfileString(kProfileSection, kDomainEntry, settings.m_strDomain);
        // Written also when the logon values did not reach the machine: that copy then
        // carries a stamp the machine never had, and so is never applied.
        app->WriteProfileString(kProfileSection, kSetUpValue, stamp);
    }

    const CString executablePath = AfxGetModuleFileName();
    CRegistryKey run;
    if (run.Open(HKEY_LOCAL_MACHINE, kRunKeyPath, MachineKeyAccess(AfxIsWow64Process())) != ERROR_SUCCESS) {
        failedKey.LoadString(IDS_RUN_KEY);
    } else if (!silent) {
        if (!settings.m_bAutoLogon)
            run.DeleteValue(kRunValueName);
        else if (!executablePath.IsEmpty())
            run.SetString(kRunValueName, BuildStartCommand(executablePath));
        else
            failedKey.LoadString(IDS_RUN_KEY);  // a start command without the path would run nothing
    }
    return failedKey;
}

CString FormatKeyError(LPCSTR keyText)
{
    return CString("Error: Could not open registry key:\n\n\"") + keyText + "\"";
}
