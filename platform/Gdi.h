// platform/Gdi.h
//
// GDI objects and device contexts. A CGdiObject owns the handle attached to it and
// deletes it when destroyed; the wrappers FromHandle returns borrow theirs and never
// delete. A CDC is a view of a device context that it does not release: classes that
// acquire one (paint and client contexts) derive from it and give it back themselves.
#pragma once

#include <windows.h>

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // FALSE for a null handle; otherwise the object owns the handle from now on.
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    // FALSE when nothing is attached.
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    int GetObject(int nCount, LPVOID pObject) const;

    // A wrapper that borrows the handle, valid for the current message; null for null.
    static CGdiObject* FromHandle(HGDIOBJ hObject);
    // Frees the wrappers FromHandle made and leaves their handles alone; the message loop
    // calls it, through AfxClearTemporaryObjects, when the queue is empty.
    static void ReleaseBorrowedWrappers();

    HGDIOBJ m_hObject = nullptr;

protected:
    // One borrowing wrapper per handle and type, kept until ReleaseBorrowedWrappers.
    template <class T>
    static T* BorrowedWrapper(HGDIOBJ hObject);
};

class CPalette : public CGdiObject {
public:
    BOOL CreatePalette(const LOGPALETTE* pLogPalette);
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
    static CPalette* FromHandle(HPALETTE hPalette);
};

class CBitmap : public CGdiObject {
public:
    int GetBitmap(BITMAP* pBitmap) const { return GetObject(sizeof(BITMAP), pBitmap); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTA* pLogFont);
    int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CRgn : public CGdiObject {
public:
    BOOL CreateEllipticRgn(int left, int top, int right, int bottom);
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL Attach(HDC hDC);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // The palette selected before, as a borrowed wrapper (null on failure).
    CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
    // The number of entries of the system palette that changed.
    UINT RealizePalette();
    // Both return the previous mode.
    int SetBkMode(int nBkMode);
    int SetStretchBltMode(int nStretchMode);
    // Returns the previous text colour.
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }

protected:
    HDC m_hDC = nullptr;
};

// A memory device context compatible with the given one (the screen's for null), deleted
// when the object goes.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC hCompatible) { m_hDC = ::CreateCompatibleDC(hCompatible); }
    ~CMemoryDC() override
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
};

// Selects a palette for the guard's lifetime and selects the previous one back on every
// way out. Callers differ in how the old palette goes back (foreground or background),
// so that is the guard's second choice.
class CPaletteSelection {
public:
    CPaletteSelection(CDC& dc, CPalette& palette, BOOL bForceBackground, BOOL bRestoreBackground);
    ~CPaletteSelection();
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;

private:
    CDC& m_dc;
    HPALETTE m_hOldPalette;
    BOOL m_bRestoreBackground;
};

// Selects a pen, brush, font or bitmap for the guard's lifetime; the previous object goes
// back on every way out.
class CObjectSelection {
public:
    CObjectSelection(CDC& dc, CGdiObject& object);
    ~CObjectSelection();
    CObjectSelection(const CObjectSelection&) = delete;
    CObjectSelection& operator=(const CObjectSelection&) = delete;

private:
    CDC& m_dc;
    HGDIOBJ m_hOldObject;
};
