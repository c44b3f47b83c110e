// platform/CString.cpp
//
// Copy-on-write buffers: a header (reference count, length, capacity) directly in front
// of the characters, so that m_text can be handed to any API as a plain C string.
#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// The shared empty buffer; its count never reaches zero, so it is never freed.
struct EmptyBuffer {
    LONG refs = 1;
    int length = 0;
    int capacity = 0;
    char text[1] = {0};
} g_empty;

}  // namespace

CString::Data* CString::EmptyData()
{
    return reinterpret_cast<Data*>(&g_empty);
}

CString::Data* CString::Allocate(int capacity)
{
    void* block = std::malloc(sizeof(Data) + static_cast<size_t>(capacity) + 1);
    if (!block)
        throw std::bad_alloc();
    Data* data = static_cast<Data*>(block);
    data->refs = 1;
    data->length = 0;
    data->capacity = capacity;
    data->Text()[0] = '\0';
    return data;
}

CString::CString() : m_text(EmptyData()->Text()) {}

CString::CString(const CString& other) : m_text(other.m_text)
{
    if (Header() != EmptyData())
        InterlockedIncrement(&Header()->refs);
}

CString::CString(CString&& other) noexcept : m_text(other.m_text)
{
    other.m_text = EmptyData()->Text();
}

CString::CString(LPCSTR text) : m_text(EmptyData()->Text())
{
    if (IS_INTRESOURCE(text))
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(text)));
    else
        Assign(text, static_cast<int>(std::strlen(text)));
}

CString::CString(LPCSTR text, int length) : m_text(EmptyData()->Text())
{
    Assign(text, length);
}

CString::CString(char ch, int repeat) : m_text(EmptyData()->Text())
{
    if (repeat <= 0)
        return;
    PrepareWrite(repeat);
    std::memset(m_text, ch, static_cast<size_t>(repeat));
    m_text[repeat] = '\0';
    Header()->length = repeat;
}

CString::~CString()
{
    Release();
}

void CString::Release()
{
    Data* data = Header();
    if (data != EmptyData() && InterlockedDecrement(&data->refs) == 0)
        std::free(data);
    m_text = EmptyData()->Text();
}

CString& CString::operator=(const CString& other)
{
    if (m_text != other.m_text) {
        CString copy(other);
        std::swap(m_text, copy.m_text);
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    std::swap(m_text, other.m_text);
    return *this;
}

CString& CString::operator=(LPCSTR text)
{
    Assign(text, static_cast<int>(std::strlen(text)));
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    CString keep(other);  // other may be this very string
    Append(keep.m_text, keep.GetLength());
    return *this;
}

CString& CString::operator+=(LPCSTR text)
{
    Append(text, static_cast<int>(std::strlen(text)));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Assign(LPCSTR text, int length)
{
    if (length <= 0) {
        Empty();
        return;
    }
    // The source may live inside this string's own buffer.
    Data* fresh = Allocate(length);
    std::memcpy(fresh->Text(), text, static_cast<size_t>(length));
    fresh->Text()[length] = '\0';
    fresh->length = length;
    Release();
    m_text = fresh->Text();
}

void CString::Append(LPCSTR text, int length)
{
    if (length <= 0)
        return;
    const int old = GetLength();
    if (Header()->refs > 1 || old + length > Header()->capacity) {
        Data* fresh = Allocate(old + length);
        std::memcpy(fresh->Text(), m_text, static_cast<size_t>(old));
        std::memcpy(fresh->Text() + old, text, static_cast<size_t>(length));
        fresh->length = old + length;
        fresh->Text()[fresh->length] = '\0';
        Release();
        m_text = fresh->Text();
        return;
    }
    std::memmove(m_text + old, text, static_cast<size_t>(length));
    Header()->length = old + length;
    m_text[old + length] = '\0';
}

void CString::PrepareWrite(int capacity)
{
    Data* data = Header();
    if (data != EmptyData() && data->refs == 1 && data->capacity >= capacity)
        return;
    const int keep = data->length < capacity ? data->length : capacity;
    Data* fresh = Allocate(capacity > data->capacity ? capacity : data->capacity);
    std::memcpy(fresh->Text(), m_text, static_cast<size_t>(keep));
    fresh->Text()[keep] = '\0';
    fresh->length = keep;
    Release();
    m_text = fresh->Text();
}

void CString::Empty()
{
    Release();
}

int CString::Compare(LPCSTR text) const
{
    return std::strcmp(m_text, text);
}

int CString::CompareNoCase(LPCSTR text) const
{
    return _stricmp(m_text, text);
}

int CString::Find(LPCSTR sub) const
{
    const char* found = std::strstr(m_text, sub);
    return found ? static_cast<int>(found - m_text) : -1;
}

int CString::Find(char ch) const
{
    const char* found = std::strchr(m_text, ch);
    return found ? static_cast<int>(found - m_text) : -1;
}

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        va_end(args);
        Empty();
        return;
    }
    Data* fresh = Allocate(length);
    std::vsnprintf(fresh->Text(), static_cast<size_t>(length) + 1, format, args);
    va_end(args);
    fresh->length = length;
    Release();
    m_text = fresh->Text();
}

BOOL CString::LoadString(UINT id)
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    // LoadStringA cuts a string that does not fit and gives no other sign than filling
    // the buffer, so grow until the text leaves room to spare.
    for (int size = 256;; size *= 2) {
        char* buffer = GetBuffer(size);
        const int length = ::LoadStringA(module, id, buffer, size + 1);
        if (length < size || size >= 65536) {
            ReleaseBuffer(length > 0 ? length : 0);
            return length > 0;
        }
    }
}

void CString::MakeUpper()
{
    if (IsEmpty())
        return;
    PrepareWrite(GetLength());
    CharUpperBuffA(m_text, static_cast<DWORD>(GetLength()));
}

LPSTR CString::GetBuffer(int minLength)
{
    PrepareWrite(minLength > GetLength() ? minLength : GetLength());
    return m_text;
}

void CString::ReleaseBuffer(int newLength)
{
    if (Header() == EmptyData())
        return;
    if (newLength < 0)
        newLength = static_cast<int>(strnlen(m_text, static_cast<size_t>(Header()->capacity)));
    if (newLength > Header()->capacity)
        newLength = Header()->capacity;
    Header()->length = newLength;
    m_text[newLength] = '\0';
}

CString operator+(const CString& left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, LPCSTR right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(LPCSTR left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, char right)
{
    CString result(left);
    result += right;
    return result;
}
