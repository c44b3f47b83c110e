// tests/LogonStoreTests.cpp
//
// The rules of the logon values' texts. Loading and writing them are tested through the
// dialog and the program, against the real registry.
#include "RegistryTestUtil.h"
#include "logon/LogonStore.h"
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(LogonTextTest, DomainNamesTheStartCommandAndTheModulePath)
{
    // Letters, digits and inner '-', '_' or '.' only.
    for (const char* valid : {"a", "7", "corp.example", "a..b", "Mixed-Case_Name.Dom"})
        EXPECT_TRUE(IsValidDomainName(valid)) << valid;
    for (const char* invalid : {".", "-corp", "corp-", "_corp", "corp_", ".corp", "corp.", "my corp", "corp\\dom",
                                "a@b", "caf\xe9", "a\xff" "b"})
        EXPECT_FALSE(IsValidDomainName(invalid)) << invalid;
    EXPECT_STREQ("\"C:\\Program Files\\A B\\Autovane.exe\" NoUserInput",
                 BuildStartCommand("C:\\Program Files\\A B\\Autovane.exe"));
    // However small the first buffer, the whole module path comes back.
    const std::string path = ThisExecutablePath();
    for (DWORD firstTry : {DWORD(1), DWORD(20), DWORD(path.size()), DWORD(path.size() + 1)})
        EXPECT_STREQ(path.c_str(), AfxGetModuleFileName(firstTry)) << firstTry;
}

}  // namespace
