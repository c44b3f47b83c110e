// tests/TestMain.cpp
#include "TestMain.h"

#include "DialogTestUtil.h"

#include "platform/WinApp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, TestChildFunction>& Children()
{
    static std::map<std::string, TestChildFunction> children;
    return children;
}

// The process's application object, named after the test program like the real one is
// named after Autovane.exe.
CWinApp g_testApp;

// Every test starts with the real pointer away from the dialogs (see ParkPointer).
class PointerParker : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ParkPointer(); }
};

}  // namespace

TestChildRegistration::TestChildRegistration(const char* name, TestChildFunction function)
{
    Children()[name] = function;
}

int main(int argc, char** argv)
{
    g_testApp.SetRegistryKey(IDS_REGISTRY_KEY);
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        auto child = Children().find(argv[2]);
        return child == Children().end() ? 125 : child->second(argc - 3, argv + 3);
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PointerParker);
    return RUN_ALL_TESTS();
}
