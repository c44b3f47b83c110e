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
        const INT_PTR result = dialog.DoModal();
        m_pMainWnd = nullptr;
        // For scripts: 0 when OK wrote the logon values, 2 when a silent run had no copy of
        // the newest set-up to apply, 1 for any other end (Cancel, the close box, the
        // platform check).
        m_nExitCode = result == IDOK ? 0 : result == CLogonDlg::IDNOCURRENTCOPY ? 2 : 1;
    }
    // No message loop of our own: returning FALSE ends the process.
    return FALSE;
}

int CLogonApp::ExitInstance()
{
    return m_nExitCode;
}
