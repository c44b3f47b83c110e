// graphics/BackgroundDialog.h
//
// A dialog that paints a bitmap as its background (tiled, stretched or centred), lets
// push buttons and static texts draw over it without a background of their own, and
// realises the bitmap's palette when it gains or shares the system palette.
#pragma once

#include "graphics/Dib.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"

class CBackgroundDialog : public CDialog {
public:
    enum DrawMode { BkTile = 0, BkStretch = 1, BkCenter = 2 };

    explicit CBackgroundDialog(UINT templateId, CWnd* parent = nullptr);
    ~CBackgroundDialog() override;

    // Sets the draw mode and loads the bitmap resource; the mode is kept even when the
    // load fails. Takes effect at the next background erase.
    BOOL SetBitmap(UINT bitmapId, int drawMode);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor);
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(CWnd* pFocusWnd);

    CDib m_dib;
    int m_nDrawMode = BkTile;
    // The stock hollow brush: borrowed from the system, never deleted.
    HBRUSH m_brushHollow;

    DECLARE_MESSAGE_MAP()
};
