// platform/AppMain.cpp
//
// The program's entry point: the one application object was built during static
// initialisation; start it, and run a message loop only when it asks for one.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
