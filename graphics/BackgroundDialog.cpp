// graphics/BackgroundDialog.cpp
#include "BackgroundDialog.h"

#include "platform/WindowDC.h"

#include <cstring>

namespace {

bool IsTrackbar(CWnd* control)
{
    char className[256] = {0};
    GetClassNameA(control ? control->m_hWnd : nullptr, className, 255);
    return std::strcmp(className, "msctls_trackbar32") == 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CBackgroundDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CBackgroundDialog::CBackgroundDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_brushHollow(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)))
{
}

CBackgroundDialog::~CBackgroundDialog() = default;

void CBackgroundDialog::DoDataExchange(CDataExchange*) {}

BOOL CBackgroundDialog::SetBitmap(UINT bitmapId, int drawMode)
{
    m_nDrawMode = drawMode;
    return m_dib.LoadFromResource(MAKEINTRESOURCEA(LOWORD(bitmapId)));
}

BOOL CBackgroundDialog::OnEraseBkgnd(CDC* pDC)
{
    if (!m_dib.GetBits())
        return static_cast<BOOL>(Default());
    RECT client;
    GetClientRect(&client);
    const int cw = client.right - client.left;
    const int ch = client.bottom - client.top;
    switch (m_nDrawMode) {
    case BkStretch:
        m_dib.StretchDraw(pDC, 0, 0, cw, ch);
        break;
    case BkCenter:
        Default();
        m_dib.Draw(pDC, (cw - m_dib.GetWidth()) / 2, (ch - m_dib.GetHeight()) / 2);
        break;
    default: {
        // Tiles step by the image's size; an image without one has nothing to repeat.
        const int stepX = m_dib.GetWidth() < 0 ? -m_dib.GetWidth() : m_dib.GetWidth();
        const int stepY = m_dib.GetHeight() < 0 ? -m_dib.GetHeight() : m_dib.GetHeight();
        if (stepX == 0 || stepY == 0)
            break;
        for (int y = 0; y < ch; y += stepY)
            for (int x = 0; x < cw; x += stepX)
                m_dib.Draw(pDC, x, y);
        break;
    }
    }
    return TRUE;
}

// Buttons and static texts show the bitmap through them; everything else, and a
// trackbar (which asks as a static), keeps the ordinary colours.
HBRUSH CBackgroundDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor)
{
    const bool transparent = m_dib.GetBits() && (ctlColor == CTLCOLOR_BTN ||
                                                 (ctlColor == CTLCOLOR_STATIC && !IsTrackbar(pWnd)));
    if (!transparent)
        return CDialog::OnCtlColor(pDC, pWnd, ctlColor);
    pDC->SetBkMode(TRANSPARENT);
    return m_brushHollow;
}

BOOL CBackgroundDialog::OnQueryNewPalette()
{
    CPalette* palette = m_dib.GetPalette();
    if (!palette || !m_hWnd)
        return static_cast<BOOL>(Default());
    UINT mapped = 0;
    {
        // Realised in the foreground; the earlier palette goes back as a background one.
        CClientDC dc(this);
        CPaletteSelection selection(dc, *palette, FALSE, TRUE);
        mapped = dc.RealizePalette();
    }
    if (mapped == 0)
        return FALSE;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

void CBackgroundDialog::OnPaletteChanged(CWnd* pFocusWnd)
{
    CPalette* palette = m_dib.GetPalette();
    HWND focus = pFocusWnd ? pFocusWnd->m_hWnd : nullptr;
    if (!palette || !m_hWnd || pFocusWnd == this || focus == m_hWnd || IsChild(m_hWnd, focus)) {
        Default();
        return;
    }
    UINT mapped = 0;
    {
        CClientDC dc(this);
        CPaletteSelection selection(dc, *palette, TRUE, TRUE);
        mapped = dc.RealizePalette();
    }
    if (mapped != 0)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}
