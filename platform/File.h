// platform/File.h
//
// A disk file opened through the system's file handles. Opening reports failure by its
// result; once open, every failure of a write, seek, position query or close is thrown as
// a CFileException carrying the system's error code. Reading returns what it got, which
// is less than asked only at the end of the file. The destructor closes a file still open
// and never throws.
#pragma once

#include <windows.h>

class CFileException {
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause, LONG osError) : m_cause(cause), m_lOsError(osError) {}
    // The cause that a system error code stands for.
    static int OsErrorToException(LONG osError);
    // Throws the exception for a system error code.
    [[noreturn]] static void ThrowOsError(LONG osError);

    int m_cause;
    LONG m_lOsError;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens without sharing; modeCreate creates a missing file and empties an existing
    // one. FALSE when the file cannot be opened, with the cause in *pError when given.
    BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* pError = nullptr);
    UINT Read(void* buffer, UINT count);
    // Throws diskFull when fewer bytes than asked were stored.
    void Write(const void* buffer, UINT count);
    ULONGLONG Seek(LONGLONG offset, UINT from);
    ULONGLONG GetPosition() const;
    ULONGLONG GetLength() const;
    void Close();

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
