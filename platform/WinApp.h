// platform/WinApp.h
//
// The application object: its name, where its profile lives in the registry, its main
// window, and the virtual start-up that the entry point calls. Exactly one exists per
// process; AfxGetApp() finds it.
#pragma once

#include "AfxRes.h"
#include "CString.h"
#include "CmdTarget.h"

class CWnd;
class CRegistryKey;

class CWinApp : public CCmdTarget {
public:
    // Without a name the application is named after the title string, or else after the
    // executable's file name without extension.
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Overridables
    // Runs the program; FALSE ends the process without a message loop.
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // Operations
    // Keeps the profile under HKEY_CURRENT_USER\software\<key>\<application name>.
    void SetRegistryKey(UINT keyStringId);
    void SetRegistryKey(LPCSTR key);
    // The entry's text; the default (empty text for NULL) when the entry is missing or
    // unreadable. Like every profile access it creates the keys down to the section.
    CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultText = nullptr);
    BOOL WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value);
    // Whether the entry exists; unlike the reads above it opens the keys for reading only
    // and so leaves nothing behind when they are missing.
    bool HasProfileEntry(LPCSTR section, LPCSTR entry) const;
    // Switches on 3-D drawing of dialog controls; systems of major version 4 and later
    // draw them so themselves.
    BOOL Enable3dControlsStatic();
    // The Help command: opens the help file in the system's help viewer.
    void OnHelp();

    // Attributes
    HINSTANCE m_hInstance;
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strHelpFilePath;
    CWnd* m_pMainWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    // Opens the section's key below the profile key, creating the missing keys on the way.
    LONG OpenSectionKey(LPCSTR section, CRegistryKey& sectionKey) const;
};

// A message box titled with the application's name, owned by the main window's front-most
// popup while that is visible; otherwise it has no owner and comes to the foreground.
// Without an icon in type, an OK, OK/Cancel, Yes/No/Cancel or Yes/No box gets the
// exclamation mark.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
// The type a message box is shown with, by the icon rule above.
UINT AfxMessageBoxType(UINT type);
// Tells the user that a handler failed in a way the program did not foresee (an exception
// that reached the framework); the program goes on.
void AfxReportInternalError();

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();

// The naming rule, apart for testing: the file name part of the path, cut at its last '.'.
CString AfxAppNameFromPath(LPCSTR modulePath);
// The help file: the module path with its extension replaced by ".HLP".
CString AfxHelpPathFromPath(LPCSTR modulePath);
