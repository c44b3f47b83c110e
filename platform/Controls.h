// platform/Controls.h
//
// The standard controls the program binds to member objects.
#pragma once

#include "Gdi.h"
#include "Wnd.h"

#include <commctrl.h>

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    HICON SetIcon(HICON icon)
    {
        return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
};

class CStatic : public CWnd {};

// An owner-drawn button that shows one of four bitmaps: up, down (pressed), focused and
// disabled, named after the button's text with the suffixes U, D, F and X.
class CBitmapButton : public CButton {
public:
    // Binds the dialog's button, loads its bitmaps and sizes it to the up face. FALSE
    // when the button or its up face is missing.
    BOOL AutoLoad(UINT id, CWnd* parent);
    // The first bitmap is required; the others may be absent (nullptr or no resource).
    BOOL LoadBitmaps(LPCSTR up, LPCSTR down = nullptr, LPCSTR focused = nullptr, LPCSTR disabled = nullptr);
    void SizeToContent();

protected:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    virtual void DrawItem(const DRAWITEMSTRUCT* item);

private:
    enum Face { Up, Down, Focused, Disabled, FaceCount };
    CBitmap m_faces[FaceCount];
};

// A tooltip window. It does not watch the mouse itself: its owner relays the mouse
// messages (RelayEvent) from PreTranslateMessage.
class CToolTipCtrl : public CWnd {
public:
    ~CToolTipCtrl() override;

    BOOL Create(CWnd* owner, DWORD style = 0);
    // Without a rectangle and with id 0 the tool is the control's whole window, owned by
    // the control's parent; otherwise it is that rectangle of the control's client area.
    BOOL AddTool(CWnd* control, LPCSTR text, LPCRECT rect = nullptr, UINT toolId = 0);
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
};
