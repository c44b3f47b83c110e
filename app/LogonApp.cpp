// app/LogonApp.cpp
#include "LogonApp.h"

#include "res/resource.h"

CLogonApp theApp;

BOOL CLogonApp::InitInstance()
{
    Enable3dControlsStatic();
    SetRegistryKey(IDS_REGISTRY_KEY);
    // Ending here, with no message loop of our own, ends the process.
    return FALSE;
}
