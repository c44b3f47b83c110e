// platform/Gdi.cpp
#include "Gdi.h"

#include <map>
#include <memory>
#include <typeindex>
#include <typeinfo>
#include <utility>

namespace {

// A borrowed wrapper lets go of its handle before it goes, so it never deletes it.
struct ReleaseBorrowed {
    void operator()(CGdiObject* wrapper) const
    {
        wrapper->Detach();
        delete wrapper;
    }
};

// One per handle and wrapper type.
using BorrowedMap = std::map<std::pair<HGDIOBJ, std::type_index>, std::unique_ptr<CGdiObject, ReleaseBorrowed>>;

BorrowedMap& BorrowedWrappers()
{
    static BorrowedMap wrappers;
    return wrappers;
}

}  // namespace

template <class T>
T* CGdiObject::BorrowedWrapper(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    auto& wrapper = BorrowedWrappers()[{hObject, std::type_index(typeid(T))}];
    if (!wrapper) {
        wrapper.reset(new T);
        wrapper->m_hObject = hObject;
    }
    return static_cast<T*>(wrapper.get());
}

void CGdiObject::ReleaseBorrowedWrappers()
{
    BorrowedWrappers().clear();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject)
        return FALSE;
    DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID pObject) const
{
    return m_hObject ? ::GetObjectA(m_hObject, nCount, pObject) : 0;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
    return BorrowedWrapper<CGdiObject>(hObject);
}

BOOL CPalette::CreatePalette(const LOGPALETTE* pLogPalette)
{
    return Attach(::CreatePalette(pLogPalette));
}

CPalette* CPalette::FromHandle(HPALETTE hPalette)
{
    return BorrowedWrapper<CPalette>(hPalette);
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* pLogFont)
{
    return Attach(::CreateFontIndirectA(pLogFont));
}

BOOL CRgn::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateEllipticRgn(left, top, right, bottom));
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    return hDC;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    HPALETTE hPalette = pPalette ? static_cast<HPALETTE>(pPalette->m_hObject) : nullptr;
    return CPalette::FromHandle(::SelectPalette(m_hDC, hPalette, bForceBackground));
}

UINT CDC::RealizePalette()
{
    return ::RealizePalette(m_hDC);
}

int CDC::SetBkMode(int nBkMode)
{
    return ::SetBkMode(m_hDC, nBkMode);
}

int CDC::SetStretchBltMode(int nStretchMode)
{
    return ::SetStretchBltMode(m_hDC, nStretchMode);
}

CPaletteSelection::CPaletteSelection(CDC& dc, CPalette& palette, BOOL bForceBackground,
                                     BOOL bRestoreBackground)
    : m_dc(dc),
      m_hOldPalette(::SelectPalette(dc.GetSafeHdc(), palette, bForceBackground)),
      m_bRestoreBackground(bRestoreBackground)
{
}

CPaletteSelection::~CPaletteSelection()
{
    if (m_hOldPalette)
        ::SelectPalette(m_dc.GetSafeHdc(), m_hOldPalette, m_bRestoreBackground);
}

CObjectSelection::CObjectSelection(CDC& dc, CGdiObject& object)
    : m_dc(dc), m_hOldObject(::SelectObject(dc.GetSafeHdc(), object.m_hObject))
{
}

CObjectSelection::~CObjectSelection()
{
    if (m_hOldObject)
        ::SelectObject(m_dc.GetSafeHdc(), m_hOldObject);
}
