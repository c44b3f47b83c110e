// graphics/Dib.cpp
#include "Dib.h"

#include "BmpLayout.h"
#include "platform/WinApp.h"
#include "platform/WindowDC.h"

#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace {

// The fillers raise their failures as one of these texts and catch them themselves.
using DibError = const char*;

constexpr char kErrorNoDataStorage[] = "could not allocate data storage\n";
constexpr char kErrorNoInfoBlock[] = "could not allocate BITMAPINFO struct\n";
constexpr char kErrorShortGetDIBits[] =
    "call to GetDIBits did not return full number of requested scan lines\n";

// A file load keeps room for the full 256-entry table, whatever the depth.
constexpr size_t kFileInfoBlockSize = sizeof(BITMAPINFOHEADER) + bmp::kColorTableSize;

WORD TableEntriesFor(WORD bitCount)
{
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

DWORD RowCount(const BITMAPINFOHEADER& header)
{
    return header.biHeight < 0 ? 0u - static_cast<DWORD>(header.biHeight)
                               : static_cast<DWORD>(header.biHeight);
}

// The palette steps around every transfer: with a palette, it is selected as a foreground
// palette and realised and the stretch mode becomes COLORONCOLOR; afterwards the earlier
// palette goes back, again as a foreground palette. The stretch mode is left as set.
class CDrawPalette {
public:
    CDrawPalette(CDC* pDC, CPalette* pPalette)
    {
        if (!pDC || !pPalette)
            return;
        m_selection.emplace(*pDC, *pPalette, FALSE, FALSE);
        pDC->RealizePalette();
        pDC->SetStretchBltMode(COLORONCOLOR);
    }

private:
    std::optional<CPaletteSelection> m_selection;
};

}  // namespace

void CDib::FreeImage()
{
    m_pInfo.reset();
    m_pBits.reset();
}

// Every row length of the bitmap code comes from the file reader's arithmetic.
DWORD CDib::PackedRowBytes(DWORD bitCount, DWORD width)
{
    return static_cast<DWORD>(bmp::PackedRowBytes(bitCount, width));
}

DWORD CDib::AlignedRowBytes(DWORD bitCount, DWORD width)
{
    return static_cast<DWORD>(bmp::AlignedRowBytes(bitCount, width));
}

RGBQUAD* CDib::GetColorTable() const
{
    return m_pInfo ? reinterpret_cast<RGBQUAD*>(m_pInfo.get() + sizeof(BITMAPINFOHEADER)) : nullptr;
}

WORD CDib::GetColorTableEntries() const
{
    return TableEntriesFor(GetBitCount());
}

DWORD CDib::NumColorsOf(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed)
        return header.biClrUsed;
    return header.biBitCount < 32 ? DWORD{1} << header.biBitCount : 0;
}

// ---------------------------------------------------------------------------------------
// Filling

BOOL CDib::LoadFromResource(LPCSTR resourceName)
{
    // The program's resources live in its own module.
    HANDLE hImage = LoadImageA(AfxGetInstanceHandle(), resourceName, IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    CBitmap bitmap;
    if (!bitmap.Attach(hImage))
        return FALSE;
    // The screen's context, through which the bitmap's pixels are read.
    CClientDC dc(nullptr);
    return CreateFromBitmap(&dc, &bitmap);
}

BOOL CDib::CreateFromBitmap(CDC* pDC, CBitmap* pBitmap)
{
    try {
        BITMAP bm = {};
        // Something that is not a bitmap has no lines to give.
        if (!pBitmap || !pBitmap->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
            throw DibError(kErrorShortGetDIBits);

        FreeImage();
        const bool keepsDepth = bm.bmBitsPixel <= 8;
        const WORD heldBits = keepsDepth ? bm.bmBitsPixel : 24;
        // Rows at 8 bits for every shallow image, larger than 1- and 4-bit rows need.
        const uint64_t rowBytes = AlignedRowBytes(keepsDepth ? 8 : 24, bm.bmWidth);
        const uint64_t dataBytes = rowBytes * static_cast<uint64_t>(bm.bmHeight);
        if (dataBytes > SIZE_MAX)
            throw DibError(kErrorNoDataStorage);
        m_pBits.reset(new (std::nothrow) BYTE[static_cast<size_t>(dataBytes)]);
        if (!m_pBits)
            throw DibError(kErrorNoDataStorage);

        const WORD entries = TableEntriesFor(bm.bmBitsPixel);
        m_pInfo.reset(new (std::nothrow) BYTE[sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * entries]());
        if (!m_pInfo)
            throw DibError(kErrorNoInfoBlock);

        BITMAPINFOHEADER& header = GetInfo()->bmiHeader;
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = bm.bmWidth;
        header.biHeight = bm.bmHeight;
        header.biPlanes = bm.bmPlanes;
        header.biBitCount = heldBits;
        header.biCompression = BI_RGB;
        // At the source's own depth, which for 16 and 32 bits is not the depth held.
        header.biSizeImage = AlignedRowBytes(bm.bmBitsPixel, bm.bmWidth) * bm.bmHeight;

        HDC hdc = pDC ? pDC->GetSafeHdc() : nullptr;
        const UINT lines = bm.bmHeight & 0xFFFF;
        if (GetDIBits(hdc, *pBitmap, 0, lines, GetBits(), GetInfo(), DIB_RGB_COLORS) != bm.bmHeight)
            throw DibError(kErrorShortGetDIBits);
    } catch (DibError) {
        FreeImage();
        return FALSE;
    }
    MakePalette();
    // The platform hands the rows over at the aligned row length.
    m_bRowsAligned = TRUE;
    return TRUE;
}

BOOL CDib::Load(LPCSTR fileName)
{
    CFile file;
    if (!file.Open(fileName, CFile::modeRead))
        return FALSE;
    return Read(&file);
}

BOOL CDib::Read(CFile* pFile)
{
    FreeImage();
    std::unique_ptr<BYTE[]> info;
    std::unique_ptr<BYTE[]> bits;
    try {
        const ULONGLONG start = pFile->GetPosition();
        BYTE headers[bmp::kHeadersSize] = {};
        UINT got = pFile->Read(headers, bmp::kFileHeaderSize);
        if (DibError error = bmp::CheckFileType(headers, got))
            throw error;
        if (got == bmp::kFileHeaderSize)
            got += pFile->Read(headers + bmp::kFileHeaderSize, bmp::kInfoHeaderSize);
        const ULONGLONG length = pFile->GetLength();
        bmp::PixelPlan plan;
        if (DibError error = bmp::PlanPixels(headers, got, length > start ? length - start : 0, plan))
            throw error;

        // The table area takes the 1024 bytes after the header whatever the depth; what
        // the file does not fill stays zero.
        info.reset(new BYTE[kFileInfoBlockSize]());
        std::memcpy(info.get(), headers + bmp::kFileHeaderSize, bmp::kInfoHeaderSize);
        pFile->Read(info.get() + bmp::kInfoHeaderSize, bmp::kColorTableSize);

        bits.reset(new BYTE[plan.arrayBytes]);
        pFile->Seek(static_cast<LONGLONG>(start + plan.offset), CFile::begin);
        const UINT read = pFile->Read(bits.get(), plan.fileBytes);
        std::memset(bits.get() + read, 0, plan.arrayBytes - read);

        // The platform decodes compressed data up to biSizeImage: make that the length held.
        if (plan.compressed)
            reinterpret_cast<BITMAPINFOHEADER*>(info.get())->biSizeImage = plan.imageBytes;
    } catch (DibError) {
        return FALSE;
    }
    m_pInfo = std::move(info);
    m_pBits = std::move(bits);
    MakePalette();
    m_bRowsAligned = TRUE;
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Palette and rows

BOOL CDib::MakePalette()
{
    m_pPalette.reset();
    if (!m_pInfo || GetBitCount() > 8)
        return FALSE;

    // Never more entries than the table the depth gives; a resource load holds only those.
    DWORD count = GetNumColors();
    if (count > GetColorTableEntries())
        count = GetColorTableEntries();
    std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
    LOGPALETTE* logPalette = reinterpret_cast<LOGPALETTE*>(block.data());
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = static_cast<WORD>(count);
    const RGBQUAD* table = GetColorTable();
    for (DWORD i = 0; i < count; ++i) {
        PALETTEENTRY& entry = logPalette->palPalEntry[i];
        entry.peRed = table[i].rgbRed;
        entry.peGreen = table[i].rgbGreen;
        entry.peBlue = table[i].rgbBlue;
        entry.peFlags = 0;
    }
    m_pPalette = std::make_unique<CPalette>();
    m_pPalette->CreatePalette(logPalette);
    return TRUE;
}

BOOL CDib::AlignRows()
{
    if (m_bRowsAligned)
        return TRUE;
    if (!m_pBits)
        return FALSE;
    const BITMAPINFOHEADER& header = GetInfo()->bmiHeader;
    const DWORD aligned = AlignedRowBytes(header.biBitCount, header.biWidth);
    const DWORD packed = PackedRowBytes(header.biBitCount, header.biWidth);
    // Compressed data has no rows to move.
    if (aligned != packed && header.biCompression == BI_RGB) {
        std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[packed]);
        if (!row)
            return FALSE;
        // Last row first, so that every row moves outward into space already vacated.
        for (size_t i = RowCount(header); i-- > 1;) {
            std::memcpy(row.get(), GetBits() + i * packed, packed);
            std::memcpy(GetBits() + i * aligned, row.get(), packed);
        }
    }
    m_bRowsAligned = TRUE;
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Drawing

void CDib::StretchDraw(CDC* pDC, int x, int y, int cx, int cy)
{
    CDrawPalette palette(pDC, GetPalette());
    // A top-down image (negative height) is as many rows high as a bottom-up one; passed
    // as it is stored, the height would turn the picture over.
    if (m_pBits)
        StretchDIBits(pDC ? pDC->GetSafeHdc() : nullptr, x, y, cx, cy, 0, 0, GetWidth(),
                      static_cast<int>(RowCount(GetInfo()->bmiHeader)), GetBits(), GetInfo(),
                      DIB_RGB_COLORS, SRCCOPY);
}

void CDib::Draw(CDC* pDC, int x, int y)
{
    if (m_pInfo)
        StretchDraw(pDC, x, y, GetWidth(), static_cast<int>(RowCount(GetInfo()->bmiHeader)));
    else
        StretchDraw(pDC, x, y, 0, 0);
}

int CDib::DrawRegion(CDC* pDC, const RECT& rcDest, const RECT& rcSrc)
{
    CDrawPalette palette(pDC, GetPalette());
    if (!m_pBits)
        return 0;
    const int rows = static_cast<int>(RowCount(GetInfo()->bmiHeader));
    return SetDIBitsToDevice(pDC ? pDC->GetSafeHdc() : nullptr, rcDest.left, rcDest.top,
                             rcDest.right - rcDest.left, rcDest.bottom - rcDest.top, rcSrc.left,
                             rows - rcSrc.bottom, 0, rows, GetBits(), GetInfo(), DIB_RGB_COLORS);
}

// ---------------------------------------------------------------------------------------
// Writing

BOOL CDib::Save(LPCSTR fileName)
{
    CFile file;
    if (!file.Open(fileName, CFile::modeCreate | CFile::modeWrite))
        return FALSE;
    return Write(&file);
}

BOOL CDib::Write(CFile* pFile)
{
    if (!m_pBits)
        return FALSE;
    BITMAPINFOHEADER& header = GetInfo()->bmiHeader;
    const bool compressed = header.biCompression != BI_RGB;
    if (!compressed && !m_bRowsAligned)
        AlignRows();

    const DWORD tableBytes = sizeof(RGBQUAD) * GetColorTableEntries();
    // Rows are counted whichever way up they are stored; compressed data is written as it
    // is held, and keeps biSizeImage, which tells a reader its length.
    const DWORD imageBytes = compressed ? header.biSizeImage
                                        : AlignedRowBytes(header.biBitCount, header.biWidth) *
                                              RowCount(header);
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = bmp::kTypeBM;
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + header.biSize + tableBytes;
    fileHeader.bfSize = fileHeader.bfOffBits + imageBytes;
    if (!compressed)
        header.biSizeImage = 0;

    pFile->Write(&fileHeader, sizeof(fileHeader));
    pFile->Write(GetInfo(), sizeof(BITMAPINFOHEADER) + tableBytes);
    pFile->Write(GetBits(), imageBytes);
    return TRUE;
}
