// platform/WindowDC.h
//
// Device contexts of a window, held for the object's lifetime.
#pragma once

#include "Gdi.h"

class CWnd;

// The client area's context for painting: BeginPaint on construction, EndPaint after.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// The client area's context outside painting: GetDC on construction, ReleaseDC after.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
