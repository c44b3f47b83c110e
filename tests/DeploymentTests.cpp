// tests/DeploymentTests.cpp
//
// Setting up a machine without the dialog, exactly as the README tells administrators:
// its .reg block imported with `reg import`, the shipped program run with NoUserInput,
// and the profile copy removed with the README's `reg delete` line.
#include "LogonTestState.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Readme()
{
    std::ifstream file("Z:" AUTOVANE_SOURCE_DIR "/README.md", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The text of the README's block that opens with "```reg", lines ending in CR LF as a
// file saved by an administrator's editor would.
std::string RegBlockOf(const std::string& readme)
{
    const size_t open = readme.find("```reg\n");
    const size_t close = open == std::string::npos ? open : readme.find("```", open + 7);
    if (close == std::string::npos)
        return "";
    std::string block;
    for (char ch : readme.substr(open + 7, close - open - 7))
        block += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    return block;
}

std::string WindowsPath(std::string path)
{
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return "Z:" + path;
}

TEST(DeploymentTest, TheReadmesRegFileAndSilentRunSetUpTheMachine)
{
    const std::string readme = Readme();
    const std::string regFile = RegBlockOf(readme);
    ASSERT_FALSE(regFile.empty()) << "README.md has no ```reg block";
    const std::string import = "    reg import autovane.reg\n";
    const std::string run = "\\Autovane.exe\" NoUserInput\n";
    const std::string remove = "    reg delete \"HKCU\\Software\\Brindlework\\Autovane\" /f\n";
    for (const std::string& line : {import, run, remove})
        ASSERT_NE(std::string::npos, readme.find(line)) << "README.md no longer says: " << line;

    ResetLogonState("Autovane");
    SetRegString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", "Notice");
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string regPath = std::string(folder) + "autovane.reg";
    std::ofstream(regPath, std::ios::binary) << regFile;

    EXPECT_EQ(0, RunProcess("reg import \"" + regPath + "\""));
    EXPECT_EQ(0, RunProcess("\"" + WindowsPath(AUTOVANE_EXE) + "\" NoUserInput", 15000));
    ExpectLogonValues("1", "kiosk", "kiosk-password", "LAB", "Notice", "");
    EXPECT_TRUE(RegValueAbsent(HKEY_LOCAL_MACHINE, kRun, "Autovane"));

    EXPECT_EQ(0, RunProcess("reg delete \"HKCU\\Software\\Brindlework\\Autovane\" /f"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Brindlework\\Autovane"));
    DeleteFileA(regPath.c_str());
    ResetLogonState("Autovane");
}

}  // namespace
