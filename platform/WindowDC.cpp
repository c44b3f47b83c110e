// platform/WindowDC.cpp
#include "WindowDC.h"

#include "Exceptions.h"
#include "Wnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_ps(), m_hWnd(wnd->m_hWnd)
{
    m_hDC = BeginPaint(m_hWnd, &m_ps);
    if (!m_hDC)
        throw CResourceException();
}

CPaintDC::~CPaintDC()
{
    EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr)
{
    m_hDC = GetDC(m_hWnd);
    if (!m_hDC)
        throw CResourceException();
}

CClientDC::~CClientDC()
{
    ReleaseDC(m_hWnd, m_hDC);
}
