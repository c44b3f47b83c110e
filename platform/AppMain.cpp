// platform/AppMain.cpp
//
// The program's entry point: the one application object was built during static
// initialisation; start it, and run a message loop only when it asks for one.
#include "WinApp.h"

#include <cstdlib>

// What happens when an exception escapes everything: the runtime's own handler would print
// the exception's demangled type to a console that a windowed program does not have, and
// pulls the whole demangler into the executable for it. Ending the process is all that
// remains to do.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
