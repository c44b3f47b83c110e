// tests/PlantedLibrary.c
//
// A library that anyone could put beside a copy of the program under a system library's
// name: loaded, it leaves the empty file <its own path>.mark; it exports nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    char path[MAX_PATH + 8];
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(instance, path, MAX_PATH) < MAX_PATH) {
        lstrcatA(path, ".mark");
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    }
    return TRUE;
}
