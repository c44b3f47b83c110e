// tests/StringTests.cpp
#include "platform/CString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const UINT kLongStringId = 9000;  // tests/TestResources.rc: 708 characters

TEST(CStringTest, CopiesShareUntilOneChanges)
{
    CString original("logon");
    CString copy(original);
    EXPECT_EQ(static_cast<LPCSTR>(original), static_cast<LPCSTR>(copy));

    copy.MakeUpper();
    EXPECT_STREQ("logon", original);
    EXPECT_STREQ("LOGON", copy);

    CString third = original;
    char* buffer = third.GetBuffer(10);
    std::strcpy(buffer, "changed");
    third.ReleaseBuffer();
    EXPECT_STREQ("logon", original);
    EXPECT_STREQ("changed", third);
    EXPECT_EQ(7, third.GetLength());
}

TEST(CStringTest, EmptyTextIsNeverNull)
{
    CString empty;
    ASSERT_NE(nullptr, static_cast<LPCSTR>(empty));
    EXPECT_STREQ("", empty);
    CString text("x");
    text.Empty();
    ASSERT_NE(nullptr, static_cast<LPCSTR>(text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ("", CString('z', 0));
}

TEST(CStringTest, ConcatenatesIncludingItself)
{
    CString text("ab");
    text += text;
    EXPECT_STREQ("abab", text);
    text += 'c';
    text += "de";
    EXPECT_STREQ("ababcde", text);
    EXPECT_STREQ("<ababcde>", "<" + text + '>');
    EXPECT_STREQ("---", CString('-', 3));
}

TEST(CStringTest, FormatsTextAndNumbers)
{
    CString text;
    text.Format("%d", 1);
    EXPECT_STREQ("1", text);
    text.Format("%s=%d;", "flag", 0);
    EXPECT_STREQ("flag=0;", text);
    const std::string big(5000, 'q');
    text.Format("[%s]", big.c_str());
    EXPECT_EQ(5002, text.GetLength());
}

TEST(CStringTest, LoadsStringsOfAnyLength)
{
    CString text;
    ASSERT_TRUE(text.LoadString(kLongStringId));
    EXPECT_EQ(708, text.GetLength());
    EXPECT_EQ(0, text.Find("Line 000"));
    EXPECT_EQ(708 - 59, text.Find("Line 011"));

    CString byId(MAKEINTRESOURCEA(kLongStringId));
    EXPECT_STREQ(text, byId);

    CString missing("kept?");
    EXPECT_FALSE(missing.LoadString(8999));
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(CStringTest, FindsTextAndCharacters)
{
    const CString text("NOUSERINPUT");
    EXPECT_EQ(0, text.Find("NOUSER"));
    EXPECT_EQ(6, text.Find("INPUT"));
    EXPECT_EQ(-1, text.Find("input"));
    EXPECT_EQ(2, text.Find('U'));
    EXPECT_EQ(-1, text.Find('x'));
}

TEST(CStringTest, ReleaseBufferTakesLengthFromTheTerminator)
{
    CString text;
    char* buffer = text.GetBuffer(16);
    std::memcpy(buffer, "ab\0cdef", 8);
    text.ReleaseBuffer();
    EXPECT_EQ(2, text.GetLength());
    buffer = text.GetBuffer(4);
    std::memcpy(buffer, "wxyz", 4);
    text.ReleaseBuffer(3);
    EXPECT_STREQ("wxy", text);
}

TEST(CStringTest, MakeUpperFollowsTheAnsiCodePage)
{
    CString ascii("NoUserInput");
    ascii.MakeUpper();
    EXPECT_STREQ("NOUSERINPUT", ascii);

    if (GetACP() != 1252)
        GTEST_SKIP() << "code page " << GetACP();
    CString accented("\xe4\xf6\xfc-\xe9");  // a, o, u with diaeresis, e acute
    accented.MakeUpper();
    EXPECT_STREQ("\xc4\xd6\xdc-\xc9", accented);
}

}  // namespace
