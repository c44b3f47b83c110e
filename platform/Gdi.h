// platform/Gdi.h
//
// Device contexts and GDI objects.
#pragma once

#include <windows.h>

// A device context the object does not own: it only lends the handle to member calls.
class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    void Attach(HDC hDC) { m_hDC = hDC; }
    HDC Detach()
    {
        HDC hDC = m_hDC;
        m_hDC = nullptr;
        return hDC;
    }

protected:
    HDC m_hDC = nullptr;
};
