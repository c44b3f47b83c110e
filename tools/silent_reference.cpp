// tools/silent_reference.cpp
//
// The floor for a silent run at logon: a plain Win32 program that creates the settings
// dialog from the same template with DialogBoxParam and, inside WM_INITDIALOG, does the
// same registry reads and writes as Autovane.exe NoUserInput, then ends the dialog.
// With --registry-only it does the registry work without any window.
// The benchmark (scripts/bench-silent.sh) times Autovane.exe against it.
#include "res/resource.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

const char* const kSection = "software\\Brindlework\\Autovane\\Logon Data";

std::string ReadString(HKEY key, const char* name)
{
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return "";
    std::string text(size, '\0');
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&text[0]), &size);
    return text.c_str();
}

void WriteString(HKEY key, const char* name, const std::string& text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

// Like the profile reads: each one opens the keys down to the section and closes them.
std::string ReadProfile(const char* entry)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSection, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return "";
    std::string text = ReadString(key, entry);
    RegCloseKey(key);
    return text;
}

void ApplyStoredValues()
{
    const std::string autoLogon = ReadProfile("AutoLogon");
    const std::string user = ReadProfile("UserName");
    const std::string password = ReadProfile("Password");
    std::string domain = ReadProfile("Domain");
    if (domain.empty()) {
        char name[16];
        DWORD size = sizeof(name);
        domain = GetComputerNameA(name, &size) ? name : "";
    }
    HKEY winlogon;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 0, nullptr,
                        0, KEY_ALL_ACCESS, nullptr, &winlogon, nullptr) != ERROR_SUCCESS)
        return;
    const std::string caption = ReadString(winlogon, "LegalNoticeCaption");
    const std::string text = ReadString(winlogon, "LegalNoticeText");
    RegCloseKey(winlogon);

    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 0, nullptr,
                        0, KEY_ALL_ACCESS, nullptr, &winlogon, nullptr) != ERROR_SUCCESS)
        return;
    WriteString(winlogon, "AutoAdminLogon", autoLogon == "1" ? "1" : "0");
    WriteString(winlogon, "DefaultUserName", user);
    WriteString(winlogon, "DefaultPassword", password);
    WriteString(winlogon, "DefaultDomainName", domain);
    WriteString(winlogon, "LegalNoticeCaption", caption);
    WriteString(winlogon, "LegalNoticeText", text);
    RegCloseKey(winlogon);

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    HKEY run;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_ALL_ACCESS,
                      &run) == ERROR_SUCCESS)
        RegCloseKey(run);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    ApplyStoredValues();
    EndDialog(dialog, IDOK);
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (std::strstr(commandLine, "--registry-only")) {
        ApplyStoredValues();
        return 0;
    }
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LOGON_DIALOG), nullptr, &DialogProc, 0) == IDOK ? 0 : 1;
}
