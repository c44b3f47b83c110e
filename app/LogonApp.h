// app/LogonApp.h
//
// The application object: the whole life of the process is one run of the settings
// dialog.
#pragma once

#include "platform/WinApp.h"

class CLogonApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    int m_nExitCode = 1;
};

extern CLogonApp theApp;
