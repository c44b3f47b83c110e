// tests/LinkTestSupport.h
//
// What the link tests drive and watch the real platform with: a dialog that runs a
// scenario inside its own modal loop, a hook that answers message boxes and records
// them, a recorder program registered as the opener of URLs, and a private
// HKEY_CLASSES_ROOT for the test process.
#pragma once

#include "platform/Dialog.h"

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

//--- Message boxes -------------------------------------------------------------------------

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    std::vector<int> buttons;  // ids of the buttons the box offers
    HICON icon = nullptr;      // the icon it shows
    HWND owner = nullptr;
};

// While it lives, every message box the thread opens is recorded and answered with the
// given button as soon as it is shown.
class CMessageBoxAnswerer {
public:
    explicit CMessageBoxAnswerer(int answer = IDOK);
    ~CMessageBoxAnswerer();
    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    const std::vector<MessageBoxRecord>& Boxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box);

    static CMessageBoxAnswerer* s_active;
    HHOOK m_hook;
    int m_answer;
    std::vector<MessageBoxRecord> m_boxes;
    std::set<HWND> m_seen;
};

//--- Opening URLs --------------------------------------------------------------------------

// The test program itself, run as the child "record_link", is the program that URLs
// open with: it appends its command line after the child's name, as one line, to a file
// beside the executable and signals a semaphore. While the recorder lives, the file
// starts empty.
class CLinkRecorder {
public:
    CLinkRecorder();
    ~CLinkRecorder();
    CLinkRecorder(const CLinkRecorder&) = delete;
    CLinkRecorder& operator=(const CLinkRecorder&) = delete;

    // The command line that starts the recorder, followed by arguments.
    static std::string Command(const std::string& arguments);
    // Waits until count runs were recorded (or the timeout passed), then briefly for a
    // further run that must not come, and returns every line recorded.
    std::vector<std::string> Runs(size_t count, DWORD timeoutMs = 10000);

private:
    HANDLE m_hSemaphore;
};

// For its lifetime HKEY_CLASSES_ROOT of this process is an empty scratch key, so that
// the tests decide what the shell and the .htm lookup find.
class CScratchClassesRoot {
public:
    CScratchClassesRoot();
    ~CScratchClassesRoot();
    CScratchClassesRoot(const CScratchClassesRoot&) = delete;
    CScratchClassesRoot& operator=(const CScratchClassesRoot&) = delete;

    // Writes the default value of a key below the scratch root.
    void SetDefault(const std::string& subKey, const std::string& value);
    // Registers scheme: URLs to open with the given command line.
    void RegisterScheme(const std::string& scheme, const std::string& command);
    // Registers the given command line as the one that opens .htm files.
    void RegisterHtmCommand(const std::string& command);

private:
    HKEY m_hKey = nullptr;
};

//--- The dialog ----------------------------------------------------------------------------

// A dialog from a test template that runs a scenario once it is up and then ends.
// The links stay unbound until the scenario binds them, so that it can look at the
// static controls as the template made them.
class CLinkDialog : public CDialog {
public:
    explicit CLinkDialog(UINT templateId);

    // Runs the dialog modally, as the main window, with the scenario inside its loop.
    void Run(std::function<void(CLinkDialog&)> scenario);
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // Binds the static control to the link the way data exchange does.
    void Bind(CWnd& link, int id);

protected:
    BOOL OnInitDialog() override;
    LRESULT OnRunScenario(WPARAM, LPARAM);

    std::function<void(CLinkDialog&)> m_scenario;

    DECLARE_MESSAGE_MAP()
};

//--- Looking at a link ---------------------------------------------------------------------

// What a control's colour request to its parent sets and returns.
struct ColourAnswer {
    COLORREF text;
    int backgroundMode;
    HBRUSH brush;
};

// Sends the parent the request a static control makes before it draws.
ColourAnswer AskParentForColours(HWND parent, HWND control);
// Pixels of exactly that colour in the control's client area as drawn on screen.
int CountDrawnPixels(HWND control, COLORREF colour);
// The same without redrawing the parent first: what the screen shows now, once every
// pending paint is done.
int CountShownPixels(HWND control, COLORREF colour);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
// Pumps the thread's messages for the given time.
void PumpMessages(DWORD milliseconds);
