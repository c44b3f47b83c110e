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

#include <memory>

class CDib {
public:
    CDib() = default;
    virtual ~CDib() = default;
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

    // Rows of `width` pixels packed to whole bytes, and filled out to a multiple of 4 bytes
    // as DIB and BMP rows are (BmpLayout's arithmetic).
    static DWORD PackedRowBytes(DWORD bitCount, DWORD width);
    static DWORD AlignedRowBytes(DWORD bitCount, DWORD width);

    BITMAPINFO* GetInfo() const { return reinterpret_cast<BITMAPINFO*>(m_pInfo.get()); }
    RGBQUAD* GetColorTable() const;
    BYTE* GetBits() const { return m_pBits.get(); }
    CPalette* GetPalette() const { return m_pPalette.get(); }
    // These read the held header: call them only while an image is held.
    int GetWidth() const { return GetInfo()->bmiHeader.biWidth; }
    int GetHeight() const { return GetInfo()->bmiHeader.biHeight; }
    WORD GetBitCount() const { return GetInfo()->bmiHeader.biBitCount; }
    // Entries the depth gives the colour table: 2, 16, 256, or 0 above 8 bits.
    WORD GetColorTableEntries() const;
    DWORD GetNumColors() const { return NumColorsOf(GetInfo()->bmiHeader); }
    // biClrUsed, or when that is 0 every colour of the depth (0 when that does not fit).
    static DWORD NumColorsOf(const BITMAPINFOHEADER& header);

protected:
    // Frees the info block and the pixel array; the palette stays.
    void FreeImage();

    // The three blocks, each freed by its owner: the info block (the header followed by
    // its colour table), the pixel array, and the palette. The blocks are empty while no
    // image is held; a palette can outlive a failed fill.
    std::unique_ptr<BYTE[]> m_pInfo;
    std::unique_ptr<BYTE[]> m_pBits;
    std::unique_ptr<CPalette> m_pPalette;
    // Set while the rows lie at the aligned row length, as drawing and writing need them.
    BOOL m_bRowsAligned = FALSE;
};
