// tests/AppProfileTests.cpp
//
// The application's name and its profile in the registry.
#include "RegistryTestUtil.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

namespace {

const char* const kProfileKey = "software\\Brindlework\\store_tests";

TEST(AppNameTest, IsTheFileNameWithoutDirectoryAndExtension)
{
    const struct {
        const char* path;
        const char* name;
        const char* help;
    } cases[] = {
        {"C:\\Program Files\\Autovane\\Autovane.exe", "Autovane", "C:\\Program Files\\Autovane\\Autovane.HLP"},
        {"C:\\tools.d\\Tool", "Tool", "C:\\tools.d\\Tool.HLP"},
        {"C:\\x\\Auto.vane.EXE", "Auto.vane", "C:\\x\\Auto.vane.HLP"},
        {"D:logon.exe", "logon", "D:logon.HLP"},
        {"\\\\server\\share/dir/MixedCase.Exe", "MixedCase", "\\\\server\\share/dir/MixedCase.HLP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_STREQ(c.name, AfxAppNameFromPath(c.path));
        EXPECT_STREQ(c.help, AfxHelpPathFromPath(c.path));
    }
}

TEST(AppNameTest, TheRunningApplicationIsNamedAfterItsExecutable)
{
    EXPECT_STREQ("store_tests", AfxGetApp()->m_strAppName);
    const CString& help = AfxGetApp()->m_strHelpFilePath;
    EXPECT_EQ(help.GetLength() - 16, help.Find("\\store_tests.HLP")) << help;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegTree(HKEY_CURRENT_USER, kProfileKey); }
    void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, kProfileKey); }
};

TEST_F(ProfileTest, ReadingAMissingEntryGivesTheDefaultAndLeavesTheKeysBehind)
{
    EXPECT_STREQ("", AfxGetApp()->GetProfileString("Logon Data", "UserName"));
    EXPECT_STREQ("fallback", AfxGetApp()->GetProfileString("Logon Data", "UserName", "fallback"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "software\\Brindlework\\store_tests\\Logon Data"));
}

TEST_F(ProfileTest, WritesStringsWithTheirTerminator)
{
    ASSERT_TRUE(AfxGetApp()->WriteProfileString("Logon Data", "UserName", "admin"));
    ASSERT_TRUE(AfxGetApp()->WriteProfileString("Logon Data", "Password", ""));
    const char* section = "software\\Brindlework\\store_tests\\Logon Data";
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, section, "UserName", "admin"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, section, "Password", ""));
    EXPECT_STREQ("admin", AfxGetApp()->GetProfileString("Logon Data", "UserName"));
}

TEST_F(ProfileTest, ReadsTextWhateverTheValueType)
{
    const char* section = "software\\Brindlework\\store_tests\\Logon Data";
    SetRegBytes(HKEY_CURRENT_USER, section, "Expand", REG_EXPAND_SZ, "abc", 4);
    SetRegBytes(HKEY_CURRENT_USER, section, "Unterminated", REG_BINARY, "xyz", 3);
    SetRegBytes(HKEY_CURRENT_USER, section, "Inner", REG_SZ, "ab\0cd", 6);
    EXPECT_STREQ("abc", AfxGetApp()->GetProfileString("Logon Data", "Expand"));
    EXPECT_STREQ("xyz", AfxGetApp()->GetProfileString("Logon Data", "Unterminated"));
    EXPECT_STREQ("ab", AfxGetApp()->GetProfileString("Logon Data", "Inner"));
}

}  // namespace
