// graphics/Dib.h
//
// A device-independent bitmap held in memory: a BITMAPINFO block (the 40-byte header and
// its colour table), the pixel array and, for 8 bits per pixel or fewer, a palette made
// from the colour table. It is filled from a bitmap resource, a bitmap object or a BMP
// file, draws itself into a device context and writes itself out as a BMP file.
//
// A BMP file is untrusted: Read either holds an image that can be drawn and written
// without touching memory outside its blocks, or returns FALSE and holds nothing.
#pragma once

#include "platform/File.h"
#include "platform/Gdi.h"

#include <windows.h>

class CDib {
public:
    CDib() = default;
    virtual ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Copies the region to the device at 1:1: the destination rectangle gives the size,
    // the source rectangle its left and bottom edges. The number of lines set, 0 without
    // an image.
    virtual int DrawRegion(CDC* pDC, const RECT& rcDest, const RECT& rcSrc);
    // The whole image scaled into the rectangle.
    virtual void StretchDraw(CDC* pDC, int x, int y, int cx, int cy);
    // The whole image at its natural size (through StretchDraw).
    virtual void Draw(CDC* pDC, int x, int y);
    // FALSE, leaving the object as it was, when the file cannot be opened; else Read.
    virtual BOOL Load(LPCSTR fileName);
    // Parses a BMP from the file's current position.
    virtual BOOL Read(CFile* pFile);
    // FALSE when the file cannot be created; else Write.
    virtual BOOL Save(LPCSTR fileName);
    // Writes the held image as a BMP at the file's current position.
    virtual BOOL Write(CFile* pFile);

    // A bitmap resource of the program, by name or MAKEINTRESOURCE id. FALSE, with the
    // object as it was, when there is no such resource.
    BOOL LoadFromResource(LPCSTR resourceName);
    // Takes the bitmap's pixels through the device context: 1, 4 and 8 bits per pixel keep
    // their depth and colour table, deeper images are held at 24 bits.
    BOOL CreateFromBitmap(CDC* pDC, CBitmap* pBitmap);
    // Rebuilds the palette from the colour table; TRUE when there is a palette object.
    BOOL MakePalette();
    // Spreads rows packed to whole bytes out to the aligned row length, in place.
    BOOL AlignRows();

    static DWORD PackedRowBytes(DWORD bitCount, DWORD width);
    static DWORD AlignedRowBytes(DWORD bitCount, DWORD width);

    BITMAPINFO* GetInfo() const { return m_pInfo; }
    RGBQUAD* GetColorTable() const;
    BYTE* GetBits() const { return m_pBits; }
    CPalette* GetPalette() const { return m_pPalette; }
    // These read the held header: call them only while an image is held.
    int GetWidth() const { return m_pInfo->bmiHeader.biWidth; }
    int GetHeight() const { return m_pInfo->bmiHeader.biHeight; }
    WORD GetBitCount() const { return m_pInfo->bmiHeader.biBitCount; }
    // Entries the depth gives the colour table: 2, 16, 256, or 0 above 8 bits.
    WORD GetColorTableEntries() const;
    DWORD GetNumColors() const { return NumColorsOf(m_pInfo->bmiHeader); }
    // biClrUsed, or when that is 0 every colour of the depth (0 when that does not fit).
    static DWORD NumColorsOf(const BITMAPINFOHEADER& header);

protected:
    // Frees the info block and the pixel array; the palette stays.
    void FreeImage();

    BITMAPINFO* m_pInfo = nullptr;
    BYTE* m_pBits = nullptr;
    CPalette* m_pPalette = nullptr;
    // Set while the rows lie at the aligned row length, as drawing and writing need them.
    BOOL m_bRowsAligned = FALSE;
};
