// tests/FileGdiTests.cpp
//
// The file class against the real file system, and the GDI wrappers' ownership and
// selection guards against real GDI objects.
#include "DibTestUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace {

// The cause and system error of what the call throws; {-1, 0} for nothing.
template <class Call>
std::pair<int, LONG> Thrown(Call call)
{
    try {
        call();
    } catch (const CFileException& e) {
        return {e.m_cause, e.m_lOsError};
    }
    return {-1, 0};
}

TEST(FileTest, OpenFailsWithoutAnExceptionAndFailuresOfAnOpenFileThrow)
{
    ScratchFile scratch("count.bin");
    scratch.Store(Bytes(100, 'x'));
    {
        CFile file;
        ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(0u, file.GetLength());
        file.Write("abcdef", 6);
        EXPECT_EQ(6u, file.GetPosition());
    }  // the destructor closes, or the file could not open again
    CFile file;
    ASSERT_TRUE(file.Open(scratch.Path(), CFile::modeRead));
    ScratchFile missing("missing.bin");
    const std::pair<const char*, int> cases[] = {{"C:\\no\\such\\dir\\file.bin", CFileException::badPath},
                                                 {missing.Path(), CFileException::fileNotFound},
                                                 {scratch.Path(), CFileException::sharingViolation}};
    for (const auto& c : cases) {
        CFile other;
        CFileException error(CFileException::none, 0);
        EXPECT_FALSE(other.Open(c.first, CFile::modeRead, &error)) << c.first;
        EXPECT_EQ(c.second, error.m_cause) << c.first;
    }
    char buffer[8] = {};
    EXPECT_EQ(4u, file.Read(buffer, 4));
    EXPECT_EQ(2u, file.Read(buffer + 4, 4));
    EXPECT_EQ(0u, file.Read(buffer, 4));
    EXPECT_STREQ("abcdef", buffer);
    EXPECT_EQ(1u, file.Seek(1, CFile::begin));
    EXPECT_EQ(5u, file.Seek(-1, CFile::end));
    EXPECT_EQ(5u, file.GetPosition());
    EXPECT_EQ(std::make_pair(int{CFileException::accessDenied}, LONG{ERROR_ACCESS_DENIED}),
              Thrown([&] { file.Write("a", 1); }));
    EXPECT_EQ(std::make_pair(int{CFileException::badSeek}, LONG{ERROR_NEGATIVE_SEEK}),
              Thrown([&] { file.Seek(-10, CFile::begin); }));
    file.Close();
    file.Close();
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.m_hFile);
    EXPECT_TRUE(file.Open(scratch.Path(), CFile::modeRead)) << "Close let the file go";
}

TEST(GdiObjectTest, OwnsWhatIsAttachedAndBorrowsFromHandleWithoutOwning)
{
    CBrush brush;
    EXPECT_FALSE(brush.Attach(nullptr));
    EXPECT_FALSE(brush.DeleteObject());
    EXPECT_EQ(nullptr, CGdiObject::FromHandle(nullptr));
    const HGDIOBJ first = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ second = nullptr;
    {
        CBrush owner;
        ASSERT_TRUE(owner.Attach(first));
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(7, 8, 9)));
        second = brush.Detach();
        EXPECT_TRUE(owner.Attach(second));
        EXPECT_EQ(0u, GetObjectType(first)) << "a second Attach deletes the first brush";
        CGdiObject* borrowed = CGdiObject::FromHandle(second);
        ASSERT_NE(nullptr, borrowed);
        EXPECT_NE(static_cast<CGdiObject*>(&owner), borrowed);
        EXPECT_EQ(borrowed, CGdiObject::FromHandle(second));
    }
    EXPECT_EQ(0u, GetObjectType(second)) << "the destructor deleted the brush";
}

TEST(GdiSelectionTest, PaletteAndObjectGoBackOnEveryWayOut)
{
    Canvas dc(1, 1);
    const HGDIOBJ originalPalette = GetCurrentObject(dc, OBJ_PAL);
    const HGDIOBJ originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
    LOGPALETTE logPalette = {0x300, 1, {{10, 20, 30, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&logPalette));
    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(1, 1, 1)));
    try {
        CPaletteSelection paletteSelection(dc, palette, FALSE, TRUE);
        CObjectSelection brushSelection(dc, brush);
        EXPECT_EQ(palette.GetSafeHandle(), GetCurrentObject(dc, OBJ_PAL));
        EXPECT_EQ(brush.GetSafeHandle(), GetCurrentObject(dc, OBJ_BRUSH));
        throw std::runtime_error("leaving early");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(originalPalette, GetCurrentObject(dc, OBJ_PAL));
    EXPECT_EQ(originalBrush, GetCurrentObject(dc, OBJ_BRUSH));
    // SelectPalette hands back the earlier palette as a wrapper that does not own it.
    CPalette* previous = dc.SelectPalette(&palette, FALSE);
    ASSERT_NE(nullptr, previous);
    EXPECT_EQ(originalPalette, previous->GetSafeHandle());
    EXPECT_EQ(palette.GetSafeHandle(), dc.SelectPalette(previous, FALSE)->GetSafeHandle());
    EXPECT_NE(0u, GetObjectType(palette.GetSafeHandle()));
}

}  // namespace
