// tests/DialogTestUtil.h
//
// Driving real dialogs the way a user would: the dialog runs modally on the test's
// thread while a script on a second thread types, clicks and reads, and message boxes
// are answered by a hook that records what each one said.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    std::string buttons;    // their texts, as "&Yes &No"
    std::string icon;       // "exclamation", "stop", "question", "information", "none" or "other"
    HWND owner = nullptr;
    // "caption | icon | buttons | text". Wine does not
    // hand another process's icon pictures over: leave the icon out for those.
    std::string Summary(bool withIcon = true) const;
};

// Describes a message box window (of this process or another).
SeenMessageBox DescribeMessageBox(HWND box);
// Is this window a message box rather than one of the program's dialogs?
bool IsMessageBoxWindow(HWND hWnd);

// While it lives, every message box this thread shows is recorded and answered with the
// next of the given buttons (IDOK for a 0 and when they run out).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::vector<int> answers = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& Seen() const { return m_seen; }

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook;
    std::vector<int> m_answers;
    std::vector<SeenMessageBox> m_seen;
};

// Runs `run` (which shows a modal dialog) on this thread and `script` on another one as
// soon as a visible top-level dialog titled `caption` belongs to this thread. When the
// script returns and the dialog is still open, it is cancelled. Returns run's result.
INT_PTR RunWithScript(const char* caption, const std::function<INT_PTR()>& run,
                      const std::function<void(HWND dialog)>& script);

// Script helpers, for the second thread (they work across threads and processes).
std::string WindowText(HWND hWnd);
// The tooltip window the window owns, or null.
HWND ToolTipOf(HWND owner);
HWND FocusOf(HWND anyWindowOfThread);
// Moves the focus to a dialog's control as Tab would.
void Focus(HWND control);
// Posts a key press to the focused control, as typing does, and waits until the dialog's
// thread has handled it.
void PressKey(HWND dialog, UINT virtualKey);
// Moves the real pointer to the point given in the window's client coordinates and waits
// until the system has it there.
bool MovePointerTo(HWND window, POINT client);
// Moves the pointer there and waits until the state holds. Wine at times puts the pointer
// back where it was a moment before, and the windows follow it; so while the state does
// not hold, the pointer is moved again, a pixel aside and back, as a fresh move. A state
// that holds already is taken at once: ask for one that the move has to bring about.
bool MovePointerUntil(HWND window, POINT client, const std::function<bool()>& state);
// Waits until the condition holds; false after the timeout.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Waits until the dialog's thread has handled everything posted to the dialog so far.
void SyncWith(HWND dialog);
