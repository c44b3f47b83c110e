// tests/TestMain.cpp
//
// The main of every test program. Started as `<exe> --record ...`, it runs no tests: it
// appends the rest of its command line, exactly as it came, as a line to <exe>.record.txt,
// so that a test can see how another program (the shell, say) started it.
#include "DialogTestUtil.h"
#include "RegistryTestUtil.h"

#include "platform/WinApp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

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
    if (argc >= 2 && std::strcmp(argv[1], "--record") == 0) {
        const char* const arguments = std::strstr(GetCommandLineA(), "--record") + std::strlen("--record");
        std::ofstream(ThisExecutablePath() + ".record.txt", std::ios::app | std::ios::binary) << arguments << '\n';
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PointerParker);
    return RUN_ALL_TESTS();
}
