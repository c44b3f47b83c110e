// tools/screenshots.cpp
//
// Takes pictures of the program's windows as a user sees them: starts Autovane.exe in
// prepared registry states, drives it to each dialog and message box, and copies the
// window's pixels from the screen into a 24-bit BMP file per picture.
//
//   screenshots.exe <Autovane.exe> <output directory>
//   screenshots.exe --shown | --cancel
//
// The last two serve `make run` without a display (scripts/run.sh), where nobody can
// close the program: --shown waits until the settings dialog is on the screen, painted,
// and --cancel presses its Cancel button. The program is the only one on that display.
#include "platform/Wnd.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kSection = "software\\Brindlework\\Autovane\\Logon Data";
const char* const kVersionKey = "Software\\Wine\\AppDefaults\\Autovane.exe";

// The machine keys in the view the program reads: under WOW64 this 32-bit tool would
// otherwise arrange the 32-bit copies, which the program never sees.
REGSAM ViewOf(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
}

void SetString(HKEY root, const char* path, const char* name, const char* text)
{
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS | ViewOf(root), nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(key);
}

void DeleteValue(HKEY root, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | ViewOf(root), &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

void StoreState(const char* autoLogon, const char* user, const char* domain, const char* caption, const char* text)
{
    SetString(HKEY_CURRENT_USER, kSection, "AutoLogon", autoLogon);
    SetString(HKEY_CURRENT_USER, kSection, "UserName", user);
    SetString(HKEY_CURRENT_USER, kSection, "Password", "secret");
    SetString(HKEY_CURRENT_USER, kSection, "Domain", domain);
    SetString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeCaption", caption);
    SetString(HKEY_LOCAL_MACHINE, kWinlogon, "LegalNoticeText", text);
}

enum class Kind { Settings, About, MessageBox };

struct Search {
    DWORD process;
    Kind kind;
    HWND found;
};

Kind KindOf(HWND hWnd)
{
    if (GetPropA(hWnd, AFX_WND_OBJECT_PROPERTY) == nullptr)
        return Kind::MessageBox;
    return GetDlgItem(hWnd, IDC_WEB_LINK) ? Kind::About : Kind::Settings;
}

BOOL CALLBACK FindWindowOf(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    char kind[16] = {0};
    GetClassNameA(hWnd, kind, sizeof(kind));
    if ((search->process && process != search->process) || !IsWindowVisible(hWnd) || strcmp(kind, "#32770") != 0)
        return TRUE;
    if (KindOf(hWnd) == search->kind) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD process, Kind kind)
{
    for (int i = 0; i < 500; ++i) {
        Search search = {process, kind, nullptr};
        EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(10);
    }
    return nullptr;
}

// Copies the window's rectangle from the screen, once it has had time to paint.
bool Capture(HWND hWnd, const std::string& path)
{
    Sleep(400);
    RECT rect;
    GetWindowRect(hWnd, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageBytes;
    FILE* out = fopen(path.c_str(), "wb");
    const bool written = out && fwrite(&file, sizeof(file), 1, out) == 1 &&
                         fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                         fwrite(bits, imageBytes, 1, out) == 1;
    if (out)
        fclose(out);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    printf("%s %s\n", written ? "wrote" : "FAILED", path.c_str());
    return written;
}

void Answer(HWND box, int button)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

// Starts the program, lets `act` drive it, and makes sure it has ended afterwards.
bool Scene(const std::string& program, const std::function<void(DWORD process)>& act)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string line = "\"" + program + "\"";
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    act(info.dwProcessId);
    if (WaitForSingleObject(info.hProcess, 5000) == WAIT_TIMEOUT)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

void CloseDialog(DWORD process)
{
    if (HWND dialog = WaitForWindow(process, Kind::Settings))
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// Clicks OK in the dialog and captures the message box that answers it; domain, when
// given, is typed into the domain field first.
void CaptureOkMessage(DWORD process, const std::string& path, int answer, const char* domain = nullptr)
{
    HWND dialog = WaitForWindow(process, Kind::Settings);
    if (!dialog)
        return;
    if (domain)
        SendMessageA(GetDlgItem(dialog, IDC_DOMAIN), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(domain));
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    if (HWND box = WaitForWindow(process, Kind::MessageBox)) {
        Capture(box, path);
        Answer(box, answer);
    }
    CloseDialog(process);
}

}  // namespace

// Waits for the settings dialog of whichever program runs on this display, up to 30 s,
// then until its last paint has reached the screen: the dialog's thread answers a sent
// message only from its message loop, paints what is pending when asked, and hands its
// pixels to the display when it next waits for input, before it answers the next one.
HWND ShownDialog()
{
    HWND dialog = nullptr;
    for (int i = 0; i < 6 && !dialog; ++i)
        dialog = WaitForWindow(0, Kind::Settings);
    if (!dialog || !SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr))
        return nullptr;
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr) ? dialog : nullptr;
}

int main(int argc, char** argv)
{
    if (argc == 2 && (strcmp(argv[1], "--shown") == 0 || strcmp(argv[1], "--cancel") == 0)) {
        HWND dialog = ShownDialog();
        if (dialog && strcmp(argv[1], "--cancel") == 0)
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        return dialog ? 0 : 1;
    }
    if (argc < 3) {
        fprintf(stderr, "usage: screenshots <Autovane.exe> <output directory>\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string out = std::string(argv[2]) + "\\";

    StoreState("1", "kiosk", "SHOP-1", "", "");
    Scene(program, [&](DWORD process) {
        if (HWND dialog = WaitForWindow(process, Kind::Settings)) {
            Capture(dialog, out + "settings-collapsed.bmp");
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
    });

    StoreState("1", "kiosk", "SHOP-1", "Shop terminal", "Staff only. All use is logged.");
    Scene(program, [&](DWORD process) {
        if (HWND dialog = WaitForWindow(process, Kind::Settings)) {
            Capture(dialog, out + "settings-expanded.bmp");
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
    });

    StoreState("1", "kiosk", "SHOP-1", "", "");
    Scene(program, [&](DWORD process) { CaptureOkMessage(process, out + "message-no-domain.bmp", IDNO, ""); });

    StoreState("1", "kiosk", "bad domain!", "", "");
    Scene(program, [&](DWORD process) { CaptureOkMessage(process, out + "message-invalid-domain.bmp", IDOK); });

    // A start-up list that cannot be opened: its key is gone for this one scene.
    StoreState("1", "kiosk", "SHOP-1", "", "");
    {
        HKEY run;
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_64KEY, 0);
        Scene(program, [&](DWORD process) { CaptureOkMessage(process, out + "message-key-error.bmp", IDOK); });
        const REGSAM access = KEY_ALL_ACCESS | KEY_WOW64_64KEY;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, nullptr, 0, access, nullptr, &run, nullptr) == ERROR_SUCCESS)
            RegCloseKey(run);
    }

    Scene(program, [&](DWORD process) {
        HWND dialog = WaitForWindow(process, Kind::Settings);
        if (!dialog)
            return;
        PostMessageA(GetDlgItem(dialog, IDC_ABOUT), BM_CLICK, 0, 0);
        if (HWND about = WaitForWindow(process, Kind::About)) {
            Capture(about, out + "about.bmp");
            PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
        }
        CloseDialog(process);
    });

    SetString(HKEY_CURRENT_USER, kVersionKey, "Version", "win98");
    Scene(program, [&](DWORD process) {
        if (HWND box = WaitForWindow(process, Kind::MessageBox)) {
            Capture(box, out + "message-nt-only.bmp");
            Answer(box, IDOK);
        }
    });
    RegDeleteKeyA(HKEY_CURRENT_USER, kVersionKey);

    DeleteValue(HKEY_LOCAL_MACHINE, kRun, "Autovane");
    return 0;
}
