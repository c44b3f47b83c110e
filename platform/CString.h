// platform/CString.h
//
// The program's text type: a counted 8-bit string in the system's ANSI code page with a
// shared, reference-counted buffer that is copied only when one holder changes it. An
// empty string still points at a (shared) buffer, so the text pointer is never null.
#pragma once

#include <windows.h>

class CString {
public:
    CString();
    CString(const CString& other);
    CString(CString&& other) noexcept;
    // Text, or a string-table id passed as MAKEINTRESOURCE(id), which loads that string.
    CString(LPCSTR text);
    CString(LPCSTR text, int length);
    CString(char ch, int repeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCSTR text);
    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    // Attributes
    int GetLength() const { return Header()->length; }
    bool IsEmpty() const { return GetLength() == 0; }
    operator LPCSTR() const { return m_text; }
    char GetAt(int index) const { return m_text[index]; }
    int Compare(LPCSTR text) const;
    // As Compare, with ASCII letters compared regardless of case.
    int CompareNoCase(LPCSTR text) const;
    int Find(LPCSTR sub) const;
    int Find(char ch) const;

    // Operations
    void Empty();
    void Format(LPCSTR format, ...);
    BOOL LoadString(UINT id);
    void MakeUpper();
    // Direct access for API calls that fill a buffer: room for at least minLength
    // characters plus the terminator; ReleaseBuffer(-1) takes the length from the zero.
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    struct Data {
        LONG refs;
        int length;
        int capacity;  // characters, terminator not counted
        char* Text() { return reinterpret_cast<char*>(this + 1); }
    };

    Data* Header() const { return reinterpret_cast<Data*>(m_text) - 1; }
    static Data* Allocate(int capacity);
    static Data* EmptyData();
    void Release();
    void Assign(LPCSTR text, int length);
    void Append(LPCSTR text, int length);
    // Makes the buffer this string's own with room for capacity characters, keeping
    // the current text.
    void PrepareWrite(int capacity);

    char* m_text;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, LPCSTR right);
CString operator+(LPCSTR left, const CString& right);
CString operator+(const CString& left, char right);
inline bool operator==(const CString& left, LPCSTR right) { return left.Compare(right) == 0; }
inline bool operator!=(const CString& left, LPCSTR right) { return left.Compare(right) != 0; }
inline bool operator==(const CString& left, const CString& right) { return left.Compare(right) == 0; }
