// tests/AppProfileTests.cpp
//
// The application's name and its profile in the registry.
#include "RegistryTestUtil.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

namespace {

TEST(AppNameTest, IsTheFileNameWithoutDirectoryAndExtension)
{
    const struct { const char* path; const char* name; const char* help; } cases[] = {
        {"C:\\Program Files\\Autovane\\Autovane.exe", "Autovane", "C:\\Program Files\\Autovane\\Autovane.HLP"},
        {"C:\\tools.d\\Tool", "Tool", "C:\\tools.d\\Tool.HLP"},
        {"C:\\x\\Auto.vane.EXE", "Auto.vane", "C:\\x\\Auto.vane.HLP"},
        {"D:logon.exe", "logon", "D:logon.HLP"},
        {"\\\\server\\share/dir/MixedCase.Exe", "MixedCase", "\\\\server\\share/dir/MixedCase.HLP"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.name, AfxAppNameFromPath(c.path)) << c.path;
        EXPECT_STREQ(c.help, AfxHelpPathFromPath(c.path)) << c.path;
    }
    // The running application is named after its own file.
    EXPECT_STREQ("store_tests", AfxGetApp()->m_strAppName);
    EXPECT_STREQ(AfxHelpPathFromPath(ThisExecutablePath().c_str()), AfxGetApp()->m_strHelpFilePath);
}

// A missing entry gives the default and leaves the keys behind, as the first run finds
// them; text of any type reads up to its first zero or its end.
TEST(ProfileTest, ReadsTextWhateverTheValueTypeAndDefaultsForMissingEntries)
{
    const char* const key = "software\\Brindlework\\store_tests", *section = "software\\Brindlework\\store_tests\\Logon Data";
    DeleteRegTree(HKEY_CURRENT_USER, key);
    EXPECT_STREQ("fallback", AfxGetApp()->GetProfileString("Logon Data", "UserName", "fallback"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, section));
    SetRegBytes(HKEY_CURRENT_USER, section, "Unterminated", REG_BINARY, "xyz", 3);
    SetRegBytes(HKEY_CURRENT_USER, section, "Inner", REG_SZ, "ab\0cd", 6);
    EXPECT_STREQ("xyz", AfxGetApp()->GetProfileString("Logon Data", "Unterminated"));
    EXPECT_STREQ("ab", AfxGetApp()->GetProfileString("Logon Data", "Inner"));
    DeleteRegTree(HKEY_CURRENT_USER, key);
}

}  // namespace
