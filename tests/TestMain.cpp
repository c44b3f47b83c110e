// tests/TestMain.cpp
//
// The main of every test program. Started as `<exe> --record ...`, it runs no tests: it
// appends the rest of its command line, exactly as it came, and the file name of the
// process that started it as a line "<rest> from <name>" to <exe>.record.txt, so that a
// test can see how and by whom another program (the shell, say) started it. Started as
// `<exe> --open URL`, it opens the URL as a link does and ends once a run was recorded.
#include "TestUtil.h"

#include "about/HyperLink.h"
#include "platform/WinApp.h"
#include "res/resource.h"

#include <cstring>
#include <fstream>

namespace {

// The process's application object, named after the test program like the real one is
// named after Autovane.exe.
CWinApp g_testApp;

// Wine sends a real WM_SETCURSOR to whatever lies under the real pointer at an
// unpredictable moment after a window appears: every test starts with the pointer in the
// screen's top-left corner, where no dialog is, and a test that needs it on a control
// moves it there and waits for the state it expects.
class PointerParker : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { MovePointerTo(GetDesktopWindow(), POINT{0, 0}); }
};

}  // namespace

int main(int argc, char** argv)
{
    g_testApp.SetRegistryKey(IDS_REGISTRY_KEY);
    const std::string record = ThisExecutablePath() + ".record.txt";
    if (argc >= 2 && std::strcmp(argv[1], "--record") == 0) {
        const char* const arguments = std::strstr(GetCommandLineA(), "--record") + std::strlen("--record");
        DWORD parent = 0;
        std::string parentName = "?";
        for (const PROCESSENTRY32& process : Processes())
            parent = process.th32ProcessID == GetCurrentProcessId() ? process.th32ParentProcessID : parent;
        for (const PROCESSENTRY32& process : Processes())
            parentName = process.th32ProcessID == parent ? process.szExeFile : parentName;
        std::ofstream(record, std::ios::app | std::ios::binary) << arguments << " from " << parentName << '\n';
        return 0;
    }
    // Open until the run is recorded: a started program still finds this one as its parent.
    if (argc >= 3 && std::strcmp(argv[1], "--open") == 0)
        return CHyperLink::OpenUrl(argv[2], SW_SHOW) > 32 &&
               WaitFor([&] { return GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES; }) ? 0 : 1;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PointerParker);
    return RUN_ALL_TESTS();
}
