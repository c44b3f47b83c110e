// tests/DialogTestUtil.cpp
#include "DialogTestUtil.h"

#include "platform/Wnd.h"

#include <commctrl.h>

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
