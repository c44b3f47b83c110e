// tests/LogonStoreTests.cpp
//
// The logon values against the test prefix's real registry: what is loaded, what is
// written (type, byte count, data), and what happens when a machine key refuses.
#include "LogonTestState.h"
#include "TestMain.h"
#include "logon/LogonStore.h"
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kSectionPath = ProfileSection("store_tests");
const char* const kSection = kSectionPath.c_str();
const char* const kWinlogonText = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRunText = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

LogonSettings MakeSettings(BOOL autoLogon, BOOL showMessage)
{
    LogonSettings settings;
    settings.m_bAutoLogon = autoLogon;
    settings.m_strUserName = "operator";
    settings.m_strPassword = "s3cret pass";
    settings.m_strDomain = "CORP";
    settings.m_bShowMessage = showMessage;
    settings.m_strCaption = "Notice";
    settings.m_strText = "Authorised use only.";
    return settings;
}

// Every test starts from no logon values, no profile copy and no start-up entry.
class LogonStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLogonState("store_tests"); }
    void TearDown() override { ResetLogonState("store_tests"); }

    static std::string OwnStartCommand() { return "\"" + ThisExecutablePath() + "\" NoUserInput"; }
};

//--- Flags -------------------------------------------------------------------------------

TEST(FlagTextTest, OnlyTheExactTextOneReadsAsOn)
{
    EXPECT_STREQ("1", FlagText(TRUE));
    EXPECT_STREQ("0", FlagText(FALSE));
    EXPECT_TRUE(FlagFromText("1"));
    for (const char* text : {"0", "", " 1", "1 ", "01", "2", "true", "-1"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(FlagFromText(text));
    }
}

//--- Loading -----------------------------------------------------------------------------

TEST_F(LogonStoreTest, FirstRunLoadsEmptyValuesAndTheComputerNameAsDomain)
{
    LogonSettings settings;
    settings.m_bAutoLogon = TRUE;
    settings.LoadProfileSettings();
    EXPECT_FALSE(settings.m_bAutoLogon);
    EXPECT_STREQ("", settings.m_strUserName);
    EXPECT_STREQ("", settings.m_strPassword);
    ASSERT_FALSE(LocalComputerName().empty());
    EXPECT_STREQ(LocalComputerName().c_str(), settings.m_strDomain);
    EXPECT_STREQ(LocalComputerName().c_str(), GetLocalComputerName());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kSection));
}

TEST_F(LogonStoreTest, LoadsTheStoredProfileCopy)
{
    SetRegString(HKEY_CURRENT_USER, kSection, "AutoLogon", "1");
    SetRegString(HKEY_CURRENT_USER, kSection, "UserName", "admin");
    SetRegString(HKEY_CURRENT_USER, kSection, "Password", "pw with spaces");
    SetRegString(HKEY_CURRENT_USER, kSection, "Domain", "SALES");
    LogonSettings settings;
    settings.LoadProfileSettings();
    EXPECT_TRUE(settings.m_bAutoLogon);
    EXPECT_STREQ("admin", settings.m_strUserName);
    EXPECT_STREQ("pw with spaces", settings.m_strPassword);
    EXPECT_STREQ("SALES", settings.m_strDomain);

    SetRegString(HKEY_CURRENT_USER, kSection, "AutoLogon", "1 ");
    SetRegString(HKEY_CURRENT_USER, kSection, "Domain", "");
    settings.LoadProfileSettings();
    EXPECT_FALSE(settings.m_bAutoLogon);
    EXPECT_STREQ(LocalComputerName().c_str(), settings.m_strDomain);
}

TEST_F(LogonStoreTest, NoticeLoadsEmptyWhenAbsentAndShowsWhenEitherPartIsSet)
{
    LogonSettings settings;
    settings.m_strCaption = "stale";
    settings.LoadLogonMessage();
    EXPECT_STREQ("", settings.m_strCaption);
    EXPECT_STREQ("", settings.m_strText);
    EXPECT_FALSE(settings.m_bShowMessage);

    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", "Warning");
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", "");
    settings.LoadLogonMessage();
    EXPECT_STREQ("Warning", settings.m_strCaption);
    EXPECT_TRUE(settings.m_bShowMessage);

    DeleteRegValue(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption");
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", "Body only");
    settings.LoadLogonMessage();
    EXPECT_STREQ("", settings.m_strCaption);
    EXPECT_STREQ("Body only", settings.m_strText);
    EXPECT_TRUE(settings.m_bShowMessage);
}

TEST_F(LogonStoreTest, LongNoticesLoadWholeAndSurviveASilentRun)
{
    // Around the old fixed buffers (250 and 500 bytes with the terminator) and far past.
    for (size_t captionLength : {249u, 250u, 1000u}) {
        for (size_t textLength : {499u, 500u, 5000u}) {
            SCOPED_TRACE(testing::Message() << captionLength << "/" << textLength);
            const std::string caption(captionLength, 'C');
            std::string text;
            while (text.size() < textLength)
                text += "Line of the notice. ";
            text.resize(textLength);
            SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", caption);
            SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", text);

            LogonSettings settings;
            settings.LoadLogonMessage();
            EXPECT_EQ(caption, std::string(settings.m_strCaption));
            EXPECT_EQ(text, std::string(settings.m_strText));

            EXPECT_STREQ("", ApplyLogonSettings(settings, true));
            EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", caption));
            EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", text));
        }
    }
}

TEST_F(LogonStoreTest, NoticeLoadsEmptyWhenTheKeyRefusesFullAccess)
{
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", "Warning");
    ScopedReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kWinlogon);
    LogonSettings settings;
    settings.LoadLogonMessage();
    EXPECT_STREQ("", settings.m_strCaption);
    EXPECT_FALSE(settings.m_bShowMessage);
}

//--- Domain rule -------------------------------------------------------------------------

TEST(DomainNameTest, AllowsLettersDigitsAndInnerPunctuationOnly)
{
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"a", true}, {"Z", true}, {"7", true}, {"1234", true}, {"corp.example", true},
        {"a..b", true}, {"Mixed-Case_Name.Dom", true}, {"a-b", true}, {"x_y", true},
        {".", false}, {"-", false}, {"_", false}, {".corp", false}, {"corp.", false},
        {"-corp", false}, {"corp-", false}, {"_corp", false}, {"corp_", false},
        {"my corp", false}, {"corp/dom", false}, {"corp\\dom", false}, {"a@b", false},
        {"a,b", false}, {"caf\xe9", false}, {"\x80", false}, {"a\xff" "b", false}, {" a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.valid, IsValidDomainName(c.name));
    }
}

//--- Applying ----------------------------------------------------------------------------

TEST_F(LogonStoreTest, InteractiveApplyWritesAllThreePlaces)
{
    EXPECT_STREQ("", ApplyLogonSettings(MakeSettings(TRUE, TRUE), false));

    ExpectLogonValues("1", "operator", "s3cret pass", "CORP", "Notice", "Authorised use only.");

    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "AutoLogon", "1"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "UserName", "operator"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "Password", "s3cret pass"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "Domain", "CORP"));

    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kRun, "Autovane", OwnStartCommand()));
}

TEST_F(LogonStoreTest, AutoLogonOffStillWritesEverythingAndRemovesTheStartUpEntry)
{
    SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "\"C:\\old.exe\" NoUserInput");
    LogonSettings settings = MakeSettings(FALSE, FALSE);
    settings.m_strDomain = "";
    EXPECT_STREQ("", ApplyLogonSettings(settings, false));

    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon", "0"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "operator"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultDomainName", ""));
    // The notice is switched off: both parts become one zero byte, not deleted.
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", ""));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", ""));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "AutoLogon", "0"));
    EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kRun, "Autovane"));

    // Removing an entry that is not there is no failure.
    EXPECT_STREQ("", ApplyLogonSettings(settings, false));
}

TEST_F(LogonStoreTest, SilentApplyRewritesOnlyTheLogonConfiguration)
{
    SetRegString(HKEY_CURRENT_USER, kSection, "UserName", "profile user");
    EXPECT_STREQ("", ApplyLogonSettings(MakeSettings(TRUE, TRUE), true));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon", "1"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "operator"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "UserName", "profile user"));
    EXPECT_TRUE(RegValueAbsent(HKEY_CURRENT_USER, kSection, "AutoLogon"));
    EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kRun, "Autovane"));

    // Nor is an existing start-up entry removed when the flag is off.
    SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "kept");
    EXPECT_STREQ("", ApplyLogonSettings(MakeSettings(FALSE, TRUE), true));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon", "0"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kRun, "Autovane", "kept"));
}

TEST_F(LogonStoreTest, WinlogonRefusingFullAccessIsNamedWhileTheRestIsWritten)
{
    CString result;
    {
        ScopedReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kWinlogon);
        result = ApplyLogonSettings(MakeSettings(TRUE, TRUE), false);
    }
    EXPECT_STREQ(kWinlogonText, result);
    for (const char* name : kLogonValues)
        EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kWinlogon, name));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "UserName", "operator"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kRun, "Autovane", OwnStartCommand()));
}

TEST_F(LogonStoreTest, MissingStartUpKeyIsNamedAndNeverCreated)
{
    DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
    ASSERT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kRun));
    EXPECT_STREQ(kRunText, ApplyLogonSettings(MakeSettings(TRUE, TRUE), false));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kRun));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "operator"));
    EXPECT_TRUE(RegStringIs(HKEY_CURRENT_USER, kSection, "Domain", "CORP"));
}

TEST_F(LogonStoreTest, WhenBothMachineKeysFailTheStartUpKeyIsNamed)
{
    DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
    ScopedReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kWinlogon);
    EXPECT_STREQ(kRunText, ApplyLogonSettings(MakeSettings(TRUE, TRUE), false));
    EXPECT_STREQ(kRunText, ApplyLogonSettings(MakeSettings(TRUE, TRUE), true));
}

TEST(KeyErrorTest, QuotesTheKeyOnItsOwnLine)
{
    EXPECT_STREQ("Error: Could not open registry key:\n\n\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\"",
                 FormatKeyError(kRunText));
}

TEST(ModulePathTest, IsNeverCutShort)
{
    // However small the first buffer, the whole path comes back, terminated.
    const std::string full = ThisExecutablePath();
    ASSERT_GT(full.size(), 20u);
    const DWORD length = static_cast<DWORD>(full.size());
    for (DWORD firstTry : {DWORD(1), DWORD(8), DWORD(20), length, length + 1}) {
        SCOPED_TRACE(firstTry);
        EXPECT_STREQ(full.c_str(), AfxGetModuleFileName(firstTry));
    }
}

TEST(MachineKeyTest, SixtyFourBitWindowsGetsTheSixtyFourBitView)
{
    EXPECT_EQ(0xF003Fu, MachineKeyAccess(false));
    EXPECT_EQ(0xF013Fu, MachineKeyAccess(true));
    EXPECT_STREQ("\"C:\\Program Files\\A B\\Autovane.exe\" NoUserInput",
                 BuildStartCommand("C:\\Program Files\\A B\\Autovane.exe"));
}

TEST_F(LogonStoreTest, ValuesLandInTheViewTheLogonProcessReads)
{
    EXPECT_STREQ("", ApplyLogonSettings(MakeSettings(TRUE, FALSE), true));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName", "operator", KEY_WOW64_64KEY));
}

//--- The start command of a copy elsewhere -----------------------------------------------

// Applies with automatic logon on from whatever path this program was copied to.
TEST_CHILD(apply_auto_logon)
{
    LogonSettings settings = MakeSettings(TRUE, FALSE);
    return ApplyLogonSettings(settings, false).IsEmpty() ? 0 : 1;
}

std::string CopyThisProgramTo(const std::string& directory, const std::string& name)
{
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string target = directory + "\\" + name;
    if (!CopyFileA(ThisExecutablePath().c_str(), target.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy to " << target << ": error " << GetLastError();
        return "";
    }
    return target;
}

TEST_F(LogonStoreTest, StartCommandQuotesAPathWithSpaces)
{
    const std::string exe = CopyThisProgramTo("C:\\Program Files\\Autovane Test", "store copy.exe");
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(0, RunProcess("\"" + exe + "\" --child apply_auto_logon"));
    EXPECT_TRUE(RegStringIs(HKEY_LOCAL_MACHINE, kRun, "Autovane", "\"" + exe + "\" NoUserInput"));
    DeleteFileA(exe.c_str());
}

}  // namespace
