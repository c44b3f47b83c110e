// platform/Wnd.h
//
// A window object: one C++ object per window, found from the window through a window
// property. Subclassing puts the framework's window procedure in front of the window's
// own and keeps the old one for default processing, so a class's message map sees every
// message first and passes on what it does not handle.
//
// Who destroys a window: a CWnd never does. Its destructor only gives a window it is
// still bound to its old procedure back; dialogs are destroyed by CDialog::DoModal and
// controls by their parent. CToolTipCtrl, which creates its own window, destroys it with
// the object. The temporary wrappers of FromHandle neither subclass nor destroy.
#pragma once

#include "CmdTarget.h"
#include "CString.h"

class CDataExchange;

// The window property that holds a window's object. Windows of other programs and message
// boxes have none, which is how tests and tools tell the program's own dialogs apart.
#define AFX_WND_OBJECT_PROPERTY "AfxWnd.Object"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Attributes
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or nullptr; always nullptr for another process's window.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The bound object, or a temporary one valid until the current message is handled.
    static CWnd* FromHandle(HWND hWnd);

    // Operations
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const;
    CString GetWindowText() const;
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    void SetIcon(HICON icon, BOOL bigIcon)
    {
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    BOOL DestroyWindow();
    // Runs DoDataExchange; FALSE when an exchange failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Overridables
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void PreSubclassWindow() {}
    virtual void DoDataExchange(CDataExchange*) {}
    // The window is gone: the object is no longer bound to it.
    virtual void PostNcDestroy() {}
    // A notification the parent passes back to the control it concerns (owner drawing);
    // true when the control handled it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Default processing: the window procedure that was there before subclassing.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The map first, then for an unclaimed command the application's map.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Lets a control colour itself when its parent leaves the colouring to the default.
    HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor);

    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hWnd);
    void Detach();

    WNDPROC m_pfnSuper = nullptr;
    // The message being handled, for Default().
    const MSG* m_pCurrentMsg = nullptr;

    DECLARE_MESSAGE_MAP()
};

// Frees the wrappers FromHandle made; the message loop calls it when the queue is empty.
void AfxClearTemporaryObjects();
