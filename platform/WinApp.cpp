// platform/WinApp.cpp
#include "WinApp.h"

#include "RegistryKey.h"
#include "SystemInfo.h"
#include "Wnd.h"

#include <cstring>

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

HINSTANCE AfxGetInstanceHandle()
{
    return GetModuleHandleA(nullptr);
}

CString AfxAppNameFromPath(LPCSTR modulePath)
{
    CString name(AfxFileNamePart(modulePath));
    const char* dot = std::strrchr(name, '.');
    return dot ? CString(name, static_cast<int>(dot - name)) : name;
}

CString AfxHelpPathFromPath(LPCSTR modulePath)
{
    LPCSTR namePart = AfxFileNamePart(modulePath);
    const char* dot = std::strrchr(namePart, '.');
    const int stem = static_cast<int>((dot ? dot : namePart + std::strlen(namePart)) - modulePath);
    return CString(modulePath, stem) + ".HLP";
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName) : m_hInstance(AfxGetInstanceHandle())
{
    g_app = this;
    const CString modulePath = AfxGetModuleFileName();
    if (appName)
        m_strAppName = appName;
    else if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE))
        m_strAppName = AfxAppNameFromPath(modulePath);
    m_strHelpFilePath = AfxHelpPathFromPath(modulePath);
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::SetRegistryKey(UINT keyStringId)
{
    CString key;
    key.LoadString(keyStringId);
    SetRegistryKey(key);
}

void CWinApp::SetRegistryKey(LPCSTR key)
{
    m_strRegistryKey = key;
}

BOOL CWinApp::Enable3dControlsStatic()
{
    // The 3-D controls library only ever served systems older than major version 4;
    // it is not part of the systems this program runs on, so there is nothing to start.
    return LOBYTE(LOWORD(GetVersion())) >= 4;
}

void CWinApp::OnHelp()
{
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (!WinHelpA(owner, m_strHelpFilePath, HELP_FINDER, 0))
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP);
}

LONG CWinApp::OpenSectionKey(LPCSTR section, CRegistryKey& sectionKey) const
{
    if (m_strRegistryKey.IsEmpty())
        return ERROR_INVALID_FUNCTION;
    const REGSAM access = KEY_READ | KEY_WRITE;
    CRegistryKey software;
    LONG status = software.Open(HKEY_CURRENT_USER, "software", access);
    if (status != ERROR_SUCCESS)
        return status;
    CRegistryKey company;
    if ((status = company.Create(software.Handle(), m_strRegistryKey, access)) != ERROR_SUCCESS)
        return status;
    CRegistryKey application;
    if ((status = application.Create(company.Handle(), m_strAppName, access)) != ERROR_SUCCESS)
        return status;
    return sectionKey.Create(application.Handle(), section, access);
}

CString CWinApp::GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultText)
{
    CString text(defaultText ? defaultText : "");
    CRegistryKey key;
    if (OpenSectionKey(section, key) == ERROR_SUCCESS)
        key.QueryString(entry, text);
    return text;
}

bool CWinApp::HasProfileEntry(LPCSTR section, LPCSTR entry) const
{
    if (m_strRegistryKey.IsEmpty())
        return false;
    const CString path = CString("software\\") + m_strRegistryKey + "\\" + m_strAppName + "\\" + section;
    CRegistryKey key;
    return key.Open(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           RegQueryValueExA(key.Handle(), entry, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value)
{
    CRegistryKey key;
    return OpenSectionKey(section, key) == ERROR_SUCCESS &&
           key.SetString(entry, value) == ERROR_SUCCESS;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

UINT AfxMessageBoxType(UINT type)
{
    const UINT buttons = type & MB_TYPEMASK;
    if ((type & MB_ICONMASK) == 0 &&
        (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_YESNO))
        type |= MB_ICONEXCLAMATION;
    return type;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    CWnd* mainWnd = AfxGetMainWnd();
    HWND owner = mainWnd && IsWindow(mainWnd->m_hWnd) ? GetLastActivePopup(mainWnd->m_hWnd) : nullptr;
    // A box that no visible window of ours shows (a message during start-up or from a run
    // at logon) must not hide behind a hidden owner: without one it gets a taskbar button,
    // and it asks for the foreground, which the logon's foreground lock would otherwise
    // keep from it. Nobody would see it, and the run would wait for ever.
    if (!owner || !IsWindowVisible(owner)) {
        owner = nullptr;
        type |= MB_SETFOREGROUND;
    }
    CWinApp* app = AfxGetApp();
    return MessageBoxA(owner, text, app ? static_cast<LPCSTR>(app->m_strAppName) : nullptr,
                       AfxMessageBoxType(type));
}

void AfxReportInternalError()
{
    AfxMessageBox("Internal application error.", MB_ICONEXCLAMATION);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId)
{
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? stringId : helpId);
}
