// tests/FileGdiTests.cpp
//
// The file class against the real file system, and the GDI wrappers' ownership and
// selection guards against real GDI objects.
#include "DibTestUtil.h"
#include "platform/File.h"
#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(FileTest, OpeningAMissingFileFailsWithoutAnException)
{
    CFile file;
    CFileException error(CFileException::none, 0);
    EXPECT_FALSE(file.Open("C:\\no\\such\\dir\\file.bin", CFile::modeRead, &error));
    EXPECT_EQ(CFileException::badPath, error.m_cause);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, error.m_lOsError);
    ScratchFile missing("missing.bin");
    EXPECT_FALSE(file.Open(missing.Path(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
}

TEST(FileTest, CreateEmptiesAnExistingFileAndReadCountsWhatItGot)
{
    ScratchFile scratch("count.bin");
    scratch.Store(Bytes(100, 'x'));
    {
        CFile file;
        ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(0u, file.GetLength());
        file.Write("abcdef", 6);
        EXPECT_EQ(6u, file.GetPosition());
    }
    CFile file;
    ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeRead));
    char buffer[8] = {};
    EXPECT_EQ(4u, file.Read(buffer, 4));
    EXPECT_EQ(2u, file.Read(buffer + 4, 4));
    EXPECT_EQ(0u, file.Read(buffer, 4));
    EXPECT_STREQ("abcdef", buffer);
    EXPECT_EQ(1u, file.Seek(1, CFile::begin));
    EXPECT_EQ(5u, file.Seek(-1, CFile::end));
    EXPECT_EQ(5u, file.GetPosition());
}

TEST(FileTest, FailuresOfAnOpenFileThrowTheSystemError)
{
    ScratchFile scratch("throw.bin");
    scratch.Store(Bytes(4, 'x'));
    CFile file;
    ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeRead));
    try {
        file.Write("a", 1);
        ADD_FAILURE() << "a write to a read-only file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::accessDenied, e.m_cause);
        EXPECT_EQ(ERROR_ACCESS_DENIED, e.m_lOsError);
    }
    try {
        file.Seek(-10, CFile::begin);
        ADD_FAILURE() << "a seek before the start succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::badSeek, e.m_cause);
        EXPECT_EQ(ERROR_NEGATIVE_SEEK, e.m_lOsError);
    }
}

TEST(FileTest, OpensWithoutSharingAndTheDestructorCloses)
{
    ScratchFile scratch("share.bin");
    scratch.Store(Bytes(4, 'x'));
    {
        CFile first;
        ASSERT_TRUE(first.Open(scratch.Path(), CFile::modeRead));
        CFile second;
        CFileException error(CFileException::none, 0);
        EXPECT_FALSE(second.Open(scratch.Path(), CFile::modeRead, &error));
        EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
    }
    CFile again;
    EXPECT_TRUE(again.Open(scratch.Path(), CFile::modeRead));
    again.Close();
    again.Close();
    EXPECT_EQ(INVALID_HANDLE_VALUE, again.m_hFile);
}

TEST(GdiObjectTest, OwnsWhatIsAttachedAndDeletesIt)
{
    CBrush brush;
    EXPECT_FALSE(brush.Attach(nullptr));
    EXPECT_FALSE(brush.DeleteObject());
    HBRUSH hBrush = CreateSolidBrush(RGB(1, 2, 3));
    {
        CBrush owner;
        ASSERT_TRUE(owner.Attach(hBrush));
        EXPECT_EQ(hBrush, owner.GetSafeHandle());
        EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(hBrush)));
    }
    EXPECT_EQ(0u, GetObjectType(hBrush)) << "the destructor deleted the brush";

    ASSERT_TRUE(brush.CreateSolidBrush(RGB(4, 5, 6)));
    HGDIOBJ hOther = brush.m_hObject;
    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_EQ(nullptr, brush.m_hObject);
    EXPECT_EQ(0u, GetObjectType(hOther));
}

TEST(GdiObjectTest, FromHandleBorrowsWithoutDeleting)
{
    EXPECT_EQ(nullptr, CGdiObject::FromHandle(nullptr));
    CBrush owner;
    ASSERT_TRUE(owner.CreateSolidBrush(RGB(7, 8, 9)));
    CGdiObject* borrowed = CGdiObject::FromHandle(owner.m_hObject);
    ASSERT_NE(nullptr, borrowed);
    EXPECT_NE(static_cast<CGdiObject*>(&owner), borrowed);
    EXPECT_EQ(owner.m_hObject, borrowed->GetSafeHandle());
    EXPECT_EQ(borrowed, CGdiObject::FromHandle(owner.m_hObject));
    LOGBRUSH logBrush = {};
    EXPECT_EQ(static_cast<int>(sizeof(logBrush)), borrowed->GetObject(sizeof(logBrush), &logBrush));
    EXPECT_EQ(RGB(7, 8, 9), logBrush.lbColor);
}

TEST(GdiSelectionTest, PaletteGoesBackOnEveryWayOut)
{
    Canvas canvas(1, 1);
    HGDIOBJ original = GetCurrentObject(canvas.DC(), OBJ_PAL);
    ASSERT_EQ(GetStockObject(DEFAULT_PALETTE), original);
    LOGPALETTE logPalette = {0x300, 1, {{10, 20, 30, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&logPalette));

    CPalette* previous = canvas.DC().SelectPalette(&palette, FALSE);
    ASSERT_NE(nullptr, previous);
    EXPECT_EQ(original, previous->GetSafeHandle());
    EXPECT_EQ(palette.m_hObject, canvas.DC().SelectPalette(previous, FALSE)->GetSafeHandle());

    try {
        CPaletteSelection selection(canvas.DC(), palette, FALSE, TRUE);
        EXPECT_EQ(palette.m_hObject, GetCurrentObject(canvas.DC(), OBJ_PAL));
        throw std::runtime_error("leaving early");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(original, GetCurrentObject(canvas.DC(), OBJ_PAL));
}

TEST(GdiSelectionTest, ObjectGoesBackAndModesReturnThePreviousOne)
{
    Canvas canvas(1, 1);
    HGDIOBJ original = GetCurrentObject(canvas.DC(), OBJ_BRUSH);
    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(1, 1, 1)));
    {
        CObjectSelection selection(canvas.DC(), brush);
        EXPECT_EQ(brush.m_hObject, GetCurrentObject(canvas.DC(), OBJ_BRUSH));
    }
    EXPECT_EQ(original, GetCurrentObject(canvas.DC(), OBJ_BRUSH));

    EXPECT_EQ(OPAQUE, canvas.DC().SetBkMode(TRANSPARENT));
    EXPECT_EQ(TRANSPARENT, canvas.DC().SetBkMode(OPAQUE));
    const int mode = canvas.DC().SetStretchBltMode(COLORONCOLOR);
    EXPECT_EQ(COLORONCOLOR, canvas.DC().SetStretchBltMode(mode));
}

}  // namespace
