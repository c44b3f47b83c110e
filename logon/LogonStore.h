// logon/LogonStore.h
//
// The logon values and the three registry places they move between: the machine's
// logon configuration (Winlogon), the per-user profile copy ("Logon Data") and the
// machine's start-up list (Run). Nothing here opens a window or talks to the user.
#pragma once

#include "platform/CString.h"

extern const char* const kWinlogonKeyPath;
extern const char* const kRunKeyPath;
extern const char* const kRunValueName;
extern const char* const kProfileSection;
extern const char* const kSetUpValue;

// The seven values the settings dialog edits.
struct LogonSettings {
    BOOL m_bAutoLogon = FALSE;
    CString m_strUserName;
    CString m_strPassword;
    CString m_strDomain;
    BOOL m_bShowMessage = FALSE;
    CString m_strCaption;
    CString m_strText;

    // From the profile copy: flag, user name, password, domain (the computer name when
    // no domain is stored).
    void LoadProfileSettings();
    // Whether the current user's profile copy is the one the machine's newest set-up
    // stored: it exists and its set-up stamp is the machine's (a missing stamp counts as
    // empty text on either side). Anyone who pressed OK has a copy, automatic logon on or
    // off, but only the last OK that reached the machine has its stamp there. Looking
    // creates nothing.
    static bool HasCopyOfNewestSetUp();
    // From the logon configuration: the notice caption and text, whole; the notice is
    // shown when either is non-empty. A key that does not open leaves both empty.
    void LoadLogonMessage();
};

// A flag's stored form: "1" for on, "0" for off; only the exact text "1" reads as on.
CString FlagText(BOOL flag);
BOOL FlagFromText(LPCSTR text);

// The computer's name (at most 15 characters), or empty text when it cannot be had.
CString GetLocalComputerName();

// Whether a non-empty domain name uses only letters, digits, '-', '_' and '.', and
// neither starts nor ends with '-', '_' or '.'.
bool IsValidDomainName(LPCSTR domain);
// Whether OK takes a non-empty domain: one the rule above passes, or this computer's own
// name in any letter case, which NetBIOS lets hold characters the rule refuses ("LAB_").
bool IsAcceptedDomain(LPCSTR domain);

// The access the machine keys are opened with: full access, and on 64-bit Windows the
// 64-bit view, where the logon process reads (a 32-bit process is otherwise sent to the
// 32-bit copy of SOFTWARE, which nothing reads).
REGSAM MachineKeyAccess(bool wow64);

// The Run value's data: the quoted executable path, a space and NoUserInput.
CString BuildStartCommand(LPCSTR executablePath);

// The set-up stamp of one OK: its UTC time to the millisecond, "2026-12-07T19:30:12.345Z".
CString FormatSetUpStamp(const SYSTEMTIME& utc);
// The machine key that holds the stamp of the newest set-up, below HKEY_LOCAL_MACHINE:
// SOFTWARE\<profile key>\<application name>.
CString MachineSetUpKeyPath();
// The stamp in that key; empty text when there is none.
CString ReadMachineSetUpStamp();

// Writes the logon configuration and, unless silent, a new set-up stamp (into the machine
// key once the logon values are written, and with the profile copy), the profile copy and
// the start-up entry. Returns empty text, or the key text of the last machine key that did
// not open (strings 102/104, or the stamp's key).
CString ApplyLogonSettings(const LogonSettings& settings, bool silent);

// The message for a key that did not open.
CString FormatKeyError(LPCSTR keyText);
