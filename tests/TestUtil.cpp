// tests/TestUtil.cpp
#include "TestUtil.h"

#include "platform/Wnd.h"

#include <commctrl.h>
#include <sddl.h>

#include <atomic>

namespace {

MessageBoxAnswerer* g_answerer = nullptr;

std::string ClassOf(HWND hWnd)
{
    char name[64] = {0};
    GetClassNameA(hWnd, name, sizeof(name));
    return name;
}

// The box shows the shared system icon itself, whose handle is the same in every module
// of the process (not across processes: see Summary).
std::string IconName(HICON icon)
{
    const std::pair<LPCSTR, const char*> known[] = {
        {IDI_EXCLAMATION, "exclamation"}, {IDI_HAND, "stop"}, {IDI_QUESTION, "question"}, {IDI_ASTERISK, "information"}};
    for (const auto& [id, name] : known)
        if (icon == LoadIconA(nullptr, id))
            return name;
    return icon ? "other" : "none";
}

// The script's thread: Win32's own, as the compilers for the oldest Windows have no std::thread.
DWORD WINAPI RunScript(LPVOID body)
{
    (*static_cast<std::function<void()>*>(body))();
    return 0;
}

}  // namespace

std::string SeenMessageBox::Summary(bool withIcon) const
{
    return caption + " | " + (withIcon ? icon + " | " : "") + buttons + " | " + text;
}

bool IsMessageBoxWindow(HWND hWnd)
{
    // The program's own dialogs carry the framework's object property; boxes do not.
    return ClassOf(hWnd) == "#32770" && !GetPropA(hWnd, AFX_WND_OBJECT_PROPERTY);
}

SeenMessageBox DescribeMessageBox(HWND box)
{
    SeenMessageBox seen;
    seen.caption = WindowText(box);
    seen.owner = GetWindow(box, GW_OWNER);
    seen.icon = "none";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = ClassOf(child);
        if (kind == "Static") {
            if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                seen.icon = IconName(reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)));
            else if (!WindowText(child).empty())
                seen.text = WindowText(child);
        } else if (kind == "Button") {
            seen.buttons += (seen.buttons.empty() ? "" : " ") + WindowText(child);
        }
    }
    return seen;
}

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<int> answers)
    : m_hook(SetWindowsHookExA(WH_CBT, &MessageBoxAnswerer::CbtHook, nullptr, GetCurrentThreadId())),
      m_answers(std::move(answers))
{
    g_answerer = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(m_hook);
    g_answerer = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    MessageBoxAnswerer* self = g_answerer;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (self && code == HCBT_ACTIVATE && IsMessageBoxWindow(hWnd) && !GetPropA(hWnd, "Autovane.Answered")) {
        SetPropA(hWnd, "Autovane.Answered", reinterpret_cast<HANDLE>(1));
        self->m_seen.push_back(DescribeMessageBox(hWnd));
        const size_t next = self->m_seen.size() - 1;
        const int answer = next < self->m_answers.size() && self->m_answers[next] ? self->m_answers[next] : IDOK;
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hWnd, answer)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR RunWithScript(const char* caption, const std::function<INT_PTR()>& run,
                      const std::function<void(HWND dialog)>& script)
{
    const DWORD guiThread = GetCurrentThreadId();
    std::atomic<bool> finished{false};
    std::function<void()> driver = [&] {
        HWND dialog = nullptr;
        WaitFor([&] {
            for (HWND hWnd = GetTopWindow(nullptr); hWnd && !dialog; hWnd = GetWindow(hWnd, GW_HWNDNEXT))
                if (GetWindowThreadProcessId(hWnd, nullptr) == guiThread && IsWindowVisible(hWnd) &&
                    ClassOf(hWnd) == "#32770" && WindowText(hWnd) == caption && !IsMessageBoxWindow(hWnd))
                    dialog = hWnd;
            return dialog || finished;
        }, 10000);
        if (!dialog)
            return;
        SyncWith(dialog);
        script(dialog);
        if (IsWindow(dialog) && IsWindowVisible(dialog))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    const HANDLE thread = CreateThread(nullptr, 0, &RunScript, &driver, 0, nullptr);
    const INT_PTR result = run();
    finished = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return result;
}

std::string WindowText(HWND hWnd)
{
    char text[4096] = {0};
    SendMessageA(hWnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

HWND ToolTipOf(HWND owner)
{
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && GetWindow(tip, GW_OWNER) != owner) {
    }
    return tip;
}

void Focus(HWND control)
{
    SendMessageA(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

HWND FocusOf(HWND anyWindowOfThread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info);
    return info.hwndFocus;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

// Posted messages are handled in order: once a posted marker has been taken from the
// queue, everything posted before it has been handled too. The marker is a WM_NULL that a
// message hook on the dialog's thread watches for.
namespace {
std::atomic<LPARAM> g_lastMarker{0};
LRESULT CALLBACK MarkerHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NULL && msg->wParam == 0xA5A5)
        g_lastMarker = msg->lParam;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

void SyncWith(HWND dialog)
{
    static LPARAM sequence = 0;
    const LPARAM marker = ++sequence;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &MarkerHook, nullptr, GetWindowThreadProcessId(dialog, nullptr));
    PostMessageA(dialog, WM_NULL, 0xA5A5, marker);
    WaitFor([&] { return g_lastMarker.load() >= marker || !IsWindow(dialog); }, 5000);
    UnhookWindowsHookEx(hook);
}

void PressKey(HWND dialog, UINT virtualKey)
{
    HWND target = FocusOf(dialog);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, 0)) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | 0xC0000000);
    SyncWith(dialog);
}

bool MovePointerTo(HWND window, POINT client)
{
    POINT screen = client, now = {};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    return WaitFor([&] { return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y; });
}

bool MovePointerUntil(HWND window, POINT client, const std::function<bool()>& state)
{
    int moves = 0;
    bool held = false;
    WaitFor([&] { return (held = state()) || !MovePointerTo(window, POINT{client.x + (moves++ & 1), client.y}); });
    return held;
}

HWND Program::WaitForWindow(bool messageBox, bool untilEnd)
{
    HWND found = nullptr;
    WaitFor([&] {
        m_ended = WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0 &&
                  GetExitCodeProcess(m_process.hProcess, &m_exitCode);
        for (HWND hWnd = GetTopWindow(nullptr); hWnd; hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
            DWORD process = 0;
            GetWindowThreadProcessId(hWnd, &process);
            const bool shown = process == m_process.dwProcessId && IsWindowVisible(hWnd);
            m_shown = m_shown || shown;
            found = shown && IsMessageBoxWindow(hWnd) == messageBox ? hWnd : found;
        }
        return m_ended || (found && !untilEnd);
    }, 15000);
    return found;
}

const char* const kAbsent = "<absent>";

Key::Key(HKEY root, const char* path, REGSAM access, REGSAM view, bool create)
{
    view = view ? view : root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
    const LONG result = create ? RegCreateKeyExA(root, path, 0, nullptr, 0, access | view, nullptr, &hKey, nullptr)
                               : RegOpenKeyExA(root, path, 0, access | view, &hKey);
    hKey = result == ERROR_SUCCESS ? hKey : nullptr;
}

std::string RegText(HKEY root, const char* path, const char* name, REGSAM view)
{
    const Key key(root, path, KEY_QUERY_VALUE, view);
    DWORD type = 0, size = 0;
    if (!key.hKey || RegQueryValueExA(key.hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return kAbsent;
    std::vector<char> data(size + 1);
    RegQueryValueExA(key.hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    const std::string text(data.data(), size ? size - 1 : 0);
    if (type == REG_SZ && size && data[size - 1] == 0 && text.find('\0') == std::string::npos)
        return text;
    return "<type " + std::to_string(type) + ", " + std::to_string(size) + " bytes>";
}

bool RegKeyExists(HKEY root, const char* path)
{
    return Key(root, path, KEY_QUERY_VALUE, 0).hKey != nullptr;
}

void SetRegBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size, REGSAM view)
{
    const Key key(root, path, KEY_SET_VALUE, view, true);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key.hKey, name, 0, type, static_cast<const BYTE*>(data), size)) << path;
}

void SetRegString(HKEY root, const char* path, const char* name, const std::string& text, REGSAM view)
{
    SetRegBytes(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1), view);
}

void DeleteRegValue(HKEY root, const char* path, const char* name, REGSAM view)
{
    if (const Key key(root, path, KEY_SET_VALUE, view); key.hKey)
        RegDeleteValueA(key.hKey, name);
}

void DeleteRegTree(HKEY root, const char* path)
{
    char child[256];
    if (const Key key(root, path, KEY_ALL_ACCESS, 0); key.hKey)
        while (RegEnumKeyA(key.hKey, 0, child, sizeof(child)) == ERROR_SUCCESS)
            DeleteRegTree(root, (std::string(path) + "\\" + child).c_str());
    RegDeleteKeyExA(root, path, root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0, 0);
}

void ScopedReadOnlyKey::SetAccess(const char* sddl)
{
    if (!m_active)
        return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(m_key.hKey, DACL_SECURITY_INFORMATION, descriptor)) << sddl;
    LocalFree(descriptor);
}

std::string ThisExecutablePath()
{
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

std::vector<PROCESSENTRY32> Processes()
{
    std::vector<PROCESSENTRY32> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        processes.push_back(entry);
    CloseHandle(snapshot);
    return processes;
}

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kLogonValues[6] = {"AutoAdminLogon",    "DefaultUserName",    "DefaultPassword",
                                     "DefaultDomainName", "LegalNoticeCaption", "LegalNoticeText"};
const std::vector<std::string> kNoLogonValues(6, kAbsent), kNoProfile(5, kAbsent);

namespace {

const char* const kProfileEntries[5] = {"AutoLogon", "UserName", "Password", "Domain", "SetUp"};

// HKEY_CURRENT_USER\software\Brindlework\<program>\Logon Data
std::string ProfileSection(const std::string& program)
{
    return "software\\Brindlework\\" + program + "\\Logon Data";
}

template <size_t count>
std::vector<std::string> Texts(HKEY root, const char* path, const char* const (&names)[count], REGSAM view)
{
    std::vector<std::string> texts;
    for (const char* name : names)
        texts.push_back(RegText(root, path, name, view));
    return texts;
}

}  // namespace

void ResetLogonState(const std::string& program)
{
    for (const char* name : kLogonValues)  // both views: a program taking itself for Windows 98 writes its own
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
            DeleteRegValue(HKEY_LOCAL_MACHINE, kWinlogon, name, view);
    SetRegString(HKEY_LOCAL_MACHINE, kRun, "Autovane", "");
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRun, "Autovane");
    DeleteRegTree(HKEY_CURRENT_USER, ("software\\Brindlework\\" + program).c_str());
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        DeleteRegValue(HKEY_LOCAL_MACHINE, MachineSetUpKey(program).c_str(), "SetUp", view);
}

void StoreProfile(const std::string& program, const std::vector<std::string>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        SetRegString(HKEY_CURRENT_USER, ProfileSection(program).c_str(), kProfileEntries[i], values.at(i));
}

std::vector<std::string> LogonValues(REGSAM view)
{
    return Texts(HKEY_LOCAL_MACHINE, kWinlogon, kLogonValues, view);
}

std::vector<std::string> Profile(const std::string& program)
{
    return Texts(HKEY_CURRENT_USER, ProfileSection(program).c_str(), kProfileEntries, 0);
}

std::string MachineSetUpKey(const std::string& program)
{
    return "SOFTWARE\\Brindlework\\" + program;
}

std::string MachineSetUp(const std::string& program, REGSAM view)
{
    return RegText(HKEY_LOCAL_MACHINE, MachineSetUpKey(program).c_str(), "SetUp", view);
}

bool IsFreshSetUpStamp(const std::string& text)
{
    // Read whole, with its 'Z', only in exactly the stamp's form.
    SYSTEMTIME stamp = {}, now;
    int end = 0;
    sscanf(text.c_str(), "%4hu-%2hu-%2huT%2hu:%2hu:%2hu.%3huZ%n", &stamp.wYear, &stamp.wMonth, &stamp.wDay, &stamp.wHour,
           &stamp.wMinute, &stamp.wSecond, &stamp.wMilliseconds, &end);
    GetSystemTime(&now);
    ULARGE_INTEGER at, then;
    return end == 24 && text.size() == 24 && SystemTimeToFileTime(&now, reinterpret_cast<FILETIME*>(&at)) &&
           SystemTimeToFileTime(&stamp, reinterpret_cast<FILETIME*>(&then)) && then.QuadPart <= at.QuadPart &&
           at.QuadPart - then.QuadPart < 60 * 10000000ULL;
}

std::string LocalComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof(name);
    return GetComputerNameA(name, &size) ? name : "";
}
