// tests/LogonTestState.h
//
// The registry state the logon tests start from and check: the machine's logon values,
// the start-up entry and a program's profile copy, in the test prefix.
#pragma once

#include "RegistryTestUtil.h"

#include <string>

extern const char* const kWinlogon;  // below HKEY_LOCAL_MACHINE
extern const char* const kRun;
extern const char* const kLogonValues[6];

// HKEY_CURRENT_USER\software\Brindlework\<program>\Logon Data
std::string ProfileSection(const std::string& program);

// No logon values, no start-up entry (the key itself present) and no profile copy.
void ResetLogonState(const std::string& program);
void StoreProfile(const std::string& program, const char* autoLogon, const char* user, const char* password,
                  const char* domain);
void ExpectNoLogonValues();
// The six logon values, in the order of kLogonValues, each exactly this REG_SZ text.
void ExpectLogonValues(const std::string& autoLogon, const std::string& user, const std::string& password,
                       const std::string& domain, const std::string& caption, const std::string& text);
std::string LocalComputerName();
