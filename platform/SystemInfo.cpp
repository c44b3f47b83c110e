// platform/SystemInfo.cpp
#include "SystemInfo.h"

#include <cstring>

CString AfxGetModuleFileName(DWORD firstTry)
{
    // GetModuleFileName signals a path that does not fit by filling the whole buffer
    // (older systems even leave it unterminated), so grow until the path leaves room.
    for (DWORD size = firstTry ? firstTry : 1; size <= 65536; size *= 2) {
        CString path;
        char* buffer = path.GetBuffer(static_cast<int>(size));
        const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
        if (length == 0)
            return CString();
        if (length < size) {
            path.ReleaseBuffer(static_cast<int>(length));
            return path;
        }
    }
    return CString();
}

HMODULE AfxLoadSystemLibrary(LPCSTR name)
{
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    const size_t nameLength = std::strlen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH)
        return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryA(path);
}

bool AfxIsWow64Process()
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = AfxLookUpFunction<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

LPCSTR AfxFileNamePart(LPCSTR path)
{
    LPCSTR name = path;
    for (LPCSTR p = path; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    return name;
}
