// app/LogonApp.cpp
#include "LogonApp.h"

#include "logon/LogonDlg.h"
#include "res/resource.h"

CLogonApp theApp;

BEGIN_MESSAGE_MAP(CLogonApp, CWinApp)
END_MESSAGE_MAP()

BOOL CLogonApp::InitInstance()
{
    Enable3dControlsStatic();
    SetRegistryKey(IDS_REGISTRY_KEY);

    {
        CLogonDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    // No message loop of our own: returning FALSE ends the process.
    return FALSE;
}
