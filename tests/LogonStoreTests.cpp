// tests/LogonStoreTests.cpp
//
// The logon values against the test prefix's real registry: what is loaded, what is
// written (type, byte count, data), and what happens when a machine key refuses.
#include "LogonTestState.h"
#include "logon/LogonStore.h"
#include "platform/SystemInfo.h"

#include <optional>

namespace {

const std::string kSection = ProfileSection("store_tests");
const char* const kWinlogonText = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRunText = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

LogonSettings Settings(BOOL on)
{
    LogonSettings settings;
    settings.m_bAutoLogon = settings.m_bShowMessage = on;
    settings.m_strUserName = "operator";
    settings.m_strPassword = "s3cret pass";
    settings.m_strDomain = "CORP";
    settings.m_strCaption = "Notice";
    settings.m_strText = "Authorised use only.";
    return settings;
}

class LogonStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLogonState("store_tests"); }
    void TearDown() override { ResetLogonState("store_tests"); }
};

TEST(LogonTextTest, FlagsDomainNamesAndTheStartCommand)
{
    EXPECT_STREQ("1", FlagText(TRUE));
    EXPECT_STREQ("0", FlagText(FALSE));
    for (const char* text : {"1", "0", "", " 1", "1 ", "01", "true"})
        EXPECT_EQ(text == std::string("1"), FlagFromText(text) != FALSE) << '"' << text << '"';
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

// Each row stores a profile copy (or none) and a notice (null: absent), then loads.
TEST_F(LogonStoreTest, LoadsTheProfileCopyAndTheWholeNotice)
{
    const std::string computer = LocalComputerName(), longCaption(1000, 'C'), longText(5000, 'T');
    const struct { std::vector<std::string> profile; const char* caption; const char* text; bool readOnly;
                   BOOL on; const char* user; std::string domain; bool show; } rows[] = {
        {{}, nullptr, nullptr, false, FALSE, "", computer, false},
        {{"1", "admin", "pw with spaces", "SALES"}, "Warning", "", false, TRUE, "admin", "SALES", true},
        {{"1 ", "admin", "", ""}, nullptr, "Body only", false, FALSE, "admin", computer, true},
        {{"1", "admin", "", "SALES"}, longCaption.c_str(), longText.c_str(), false, TRUE, "admin", "SALES", true},
        // A Winlogon key that refuses full access gives no notice.
        {{"1", "admin", "", "SALES"}, "Warning", "Text", true, TRUE, "admin", "SALES", false},
    };
    ASSERT_FALSE(computer.empty());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption ? row.caption : "no caption");
        ResetLogonState("store_tests");
        if (!row.profile.empty())
            StoreProfile("store_tests", row.profile);
        for (const auto& [name, value] : {std::pair{"LegalNoticeCaption", row.caption}, {"LegalNoticeText", row.text}})
            if (value)
                SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, name, value);
        LogonSettings settings = Settings(!row.on);
        {
            std::optional<ScopedReadOnlyKey> readOnly;
            if (row.readOnly)
                readOnly.emplace(HKEY_LOCAL_MACHINE, kWinlogon);
            settings.LoadProfileSettings();
            settings.LoadLogonMessage();
        }
        EXPECT_EQ(row.on, settings.m_bAutoLogon);
        EXPECT_STREQ(row.user, settings.m_strUserName);
        EXPECT_STREQ(row.profile.empty() ? "" : row.profile[2].c_str(), settings.m_strPassword);
        EXPECT_STREQ(row.domain.c_str(), settings.m_strDomain);
        EXPECT_STREQ(row.caption && !row.readOnly ? row.caption : "", settings.m_strCaption);
        EXPECT_STREQ(row.text && !row.readOnly ? row.text : "", settings.m_strText);
        EXPECT_EQ(row.show, settings.m_bShowMessage != FALSE);
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kSection.c_str()));
        // What a silent run loads it writes back whole.
        EXPECT_STREQ("", ApplyLogonSettings(settings, true));
        EXPECT_EQ(std::string(settings.m_strCaption), RegText(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption"));
        EXPECT_EQ(std::string(settings.m_strText), RegText(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText"));
    }
}

// Each row applies, from a start-up entry (null: none, "-": no Run key at all) and a
// Winlogon key that refuses or not; the key text returned, and what is where after.
TEST_F(LogonStoreTest, AppliesToTheThreePlacesAndNamesTheKeyThatRefused)
{
    const std::string own = "\"" + ThisExecutablePath() + "\" NoUserInput";
    const std::vector<std::string> on = {"1", "operator", "s3cret pass", "CORP", "Notice", "Authorised use only."},
                                   off = {"0", "operator", "s3cret pass", "CORP", "", ""};
    const struct { BOOL on; bool silent; const char* runBefore; bool readOnly; const char* result;
                   bool machine; bool profile; std::string runAfter; } rows[] = {
        {TRUE, false, nullptr, false, "", true, true, own},
        {FALSE, false, "\"C:\\old.exe\" NoUserInput", false, "", true, true, kAbsent},
        {FALSE, false, nullptr, false, "", true, true, kAbsent},
        {TRUE, true, nullptr, false, "", true, false, kAbsent},
        {FALSE, true, "kept", false, "", true, false, "kept"},
        {TRUE, false, nullptr, true, kWinlogonText, false, true, own},
        {TRUE, false, "-", false, kRunText, true, true, "-"},
        {TRUE, false, "-", true, kRunText, false, true, "-"},
        {TRUE, true, "-", true, kRunText, false, false, "-"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.on ? "on" : "off") << (row.silent ? ", silent" : "") << ", run "
                                        << (row.runBefore ? row.runBefore : "none") << (row.readOnly ? ", read-only" : ""));
        ResetLogonState("store_tests");
        SetRegString(HKEY_CURRENT_USER, kSection.c_str(), "UserName", "profile user");
        if (row.runBefore && row.runBefore == std::string("-"))
            DeleteRegTree(HKEY_LOCAL_MACHINE, kRun);
        else if (row.runBefore)
            SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", row.runBefore);
        {
            std::optional<ScopedReadOnlyKey> readOnly;
            if (row.readOnly)
                readOnly.emplace(HKEY_LOCAL_MACHINE, kWinlogon);
            EXPECT_STREQ(row.result, ApplyLogonSettings(Settings(row.on), row.silent));
        }
        EXPECT_TRUE(LogonValuesAre(row.machine ? (row.on ? on : off) : std::vector<std::string>{}));
        EXPECT_TRUE(ProfileIs("store_tests", row.profile ? std::vector<std::string>{row.on ? "1" : "0", "operator", "s3cret pass", "CORP"}
                                                         : std::vector<std::string>{kAbsent, "profile user", kAbsent, kAbsent}));
        if (row.runAfter == "-")
            EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kRun)) << "the start-up key was created";
        else
            EXPECT_EQ(row.runAfter, RegText(HKEY_LOCAL_MACHINE, kRun, "Autovane"));
    }
}

}  // namespace
