// platform/SystemInfo.h
//
// Facts about the running process and machine that several parts of the program ask for.
#pragma once

#include "CString.h"

// The full path of the running executable, however long; empty text when the system
// cannot tell it. Never a cut-off path: the buffer grows from firstTry characters.
CString AfxGetModuleFileName(DWORD firstTry = MAX_PATH);

// A function of a system library that older systems may lack, looked up at run time so
// that the program still starts there: null when the library is not loaded or has no such
// export.
template <class Function>
Function AfxLookUpFunction(HMODULE library, LPCSTR name)
{
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}
template <class Function>
Function AfxLookUpFunction(LPCSTR loadedLibrary, LPCSTR name)
{
    return AfxLookUpFunction<Function>(GetModuleHandleA(loadedLibrary), name);
}

// Loads a library of the system folder by its full path. Never by bare name: the search for
// a bare name starts in the program's own folder, where anyone may have put a library of
// that name, and this program runs with an administrator's rights. Null when the library
// is not there or the path does not fit.
HMODULE AfxLoadSystemLibrary(LPCSTR name);

// True when this is a 32-bit process on 64-bit Windows. Asked at run time, because
// systems before Windows XP SP2 have no IsWow64Process.
bool AfxIsWow64Process();

// The name part of a path: the text after the last '\', '/' or ':'.
LPCSTR AfxFileNamePart(LPCSTR path);
