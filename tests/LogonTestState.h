// tests/LogonTestState.h
//
// The registry state the logon tests start from and check: the machine's logon values,
// the start-up entry and a program's profile copy, in the test prefix.
#pragma once

#include "RegistryTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern const char* const kWinlogon;  // below HKEY_LOCAL_MACHINE
extern const char* const kRun;
extern const char* const kLogonValues[6];

// HKEY_CURRENT_USER\software\Brindlework\<program>\Logon Data
std::string ProfileSection(const std::string& program);

// No logon values, no start-up entry (the key itself present) and no profile copy.
void ResetLogonState(const std::string& program);
void StoreProfile(const std::string& program, const std::vector<std::string>& values);
// The six logon values in the order of kLogonValues (none of them when empty), or the
// profile copy's four entries: AutoLogon, UserName, Password, Domain.
::testing::AssertionResult LogonValuesAre(const std::vector<std::string>& expected, REGSAM view = 0);
::testing::AssertionResult ProfileIs(const std::string& program, const std::vector<std::string>& expected);
std::string LocalComputerName();
