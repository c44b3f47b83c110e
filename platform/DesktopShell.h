// platform/DesktopShell.h
//
// Starting a program, document or URL through the shell of the desktop: the explorer of
// the user logged on at the desktop starts it, so that it runs with that user's rights.
// From Windows Vista on, a program that asks to run elevated holds an administrator's
// full rights, and every program it starts itself inherits them.
#pragma once

#include "CString.h"

#include <unknwn.h>

// A COM reference owned by this code: released when the holder goes.
template <class Interface>
class CComRef {
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // Where a call that hands out a reference puts it; only while the holder is empty.
    Interface** Receive() { return &m_pointer; }
    void** ReceiveAny() { return reinterpret_cast<void**>(&m_pointer); }

private:
    Interface* m_pointer = nullptr;
};

struct IShellDispatch2;

class CDesktopShell {
public:
    // Reaches the desktop's shell. Before Windows Vista it does not try: there a program
    // runs with the rights of the user who started it, and so does what it starts.
    CDesktopShell();
    ~CDesktopShell();
    CDesktopShell(const CDesktopShell&) = delete;
    CDesktopShell& operator=(const CDesktopShell&) = delete;

    // False before Windows Vista, without a running desktop shell, and when any step of
    // reaching it failed: then nothing can be started through it.
    bool IsAvailable() const { return static_cast<bool>(m_shell); }
    // Has the shell start file with the parameters (none when null) by its "open" verb.
    // True once the shell took the request; it does not tell whether the start worked,
    // so the caller decides beforehand that there is something to start.
    bool Open(LPCSTR file, LPCSTR parameters, int showCommand);

private:
    // COM for this thread while the object lives; declared first so that it ends last.
    class CComUse {
    public:
        CComUse() = default;
        ~CComUse();
        CComUse(const CComUse&) = delete;
        CComUse& operator=(const CComUse&) = delete;
        // Loads COM and begins its use; false when it is not to be had.
        bool Start();

    private:
        bool m_bStarted = false;
    };
    CComUse m_com;
    CComRef<IShellDispatch2> m_shell;
};
