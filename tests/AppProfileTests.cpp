// tests/AppProfileTests.cpp
//
// The application's name and its profile in the registry.
#include "TestUtil.h"
#include "platform/WinApp.h"

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
    EXPECT_STREQ(AfxHelpPathFromPath(ThisExecutablePath().c_str()), AfxGetApp()->m_strHelpFilePath);  // the running one's
}

}  // namespace
