// tests/StringTests.cpp
#include "platform/CString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

namespace {

TEST(CStringTest, CopiesShareUntilOneChangesAndBuffersEndAtTheTerminator)
{
    CString original("logon"), copy(original), third = original, appended = original, empty;
    EXPECT_EQ(static_cast<LPCSTR>(original), static_cast<LPCSTR>(copy));
    copy.MakeUpper();
    appended += '!';
    std::memcpy(third.GetBuffer(16), "ab\0cdef", 8);
    third.ReleaseBuffer();
    EXPECT_STREQ("logon", original);
    EXPECT_STREQ("LOGON", copy);
    EXPECT_STREQ("logon!", appended);
    EXPECT_EQ(2, third.GetLength());
    std::memcpy(third.GetBuffer(4), "wxyz", 4);
    third.ReleaseBuffer(3);
    EXPECT_STREQ("wxy", third);
    copy.Empty();
    EXPECT_TRUE(copy.IsEmpty() && empty.IsEmpty() && *static_cast<LPCSTR>(copy) == 0);
    EXPECT_STREQ("", CString('z', 0));
}

TEST(CStringTest, ConcatenatesFormatsFindsAndLoads)
{
    CString text("ab");
    text += text;
    text += 'c';
    text += "de";
    EXPECT_STREQ("<ababcde>", "<" + text + '>');
    EXPECT_STREQ("---", CString('-', 3));
    text.Format("%s=%d;", "flag", 0);
    EXPECT_STREQ("flag=0;", text);
    text.Format("[%s]", std::string(5000, 'q').c_str());
    EXPECT_EQ(5002, text.GetLength());
    const CString word("NOUSERINPUT");
    EXPECT_EQ(std::make_tuple(0, 6, -1, 0, 2, -1),
              std::make_tuple(word.Find("NOUSER"), word.Find("INPUT"), word.Find("input"), word.Find('N'), word.Find('U'), word.Find('x')));
    // tests/TestResources.rc: string 9000 has 708 characters, far past any fixed buffer.
    ASSERT_TRUE(text.LoadString(9000));
    EXPECT_EQ(std::make_pair(708, 708 - 59), std::make_pair(text.GetLength(), text.Find("Line 011")));
    EXPECT_STREQ(text, CString(MAKEINTRESOURCEA(9000)));
    EXPECT_TRUE(!text.LoadString(8999) && text.IsEmpty());
    // Upper case as the ANSI code page has it.
    text = "\xe4\xf6\xfc-\xe9NoUserInput";
    text.MakeUpper();
    EXPECT_STREQ(GetACP() == 1252 ? "\xc4\xd6\xdc-\xc9NOUSERINPUT" : static_cast<LPCSTR>(text), text);
}

}  // namespace
