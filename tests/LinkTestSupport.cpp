// tests/LinkTestSupport.cpp
#include "LinkTestSupport.h"

#include "RegistryTestUtil.h"
#include "TestMain.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

const char* const kRecorderSemaphore = "AutovaneLinkRecorder";
const char* const kRecorderChild = "record_link";
const char* const kScratchClasses = "Software\\AutovaneTests\\Classes";
constexpr UINT WM_RUN_SCENARIO = WM_APP + 1;

std::string RecordFile()
{
    return ThisExecutablePath() + ".links.txt";
}

std::string ClassNameOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string WindowTextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

}  // namespace

// The opener of every URL in the tests: records the command line it was started with,
// from just after its own name on.
TEST_CHILD(record_link)
{
    const char* commandLine = GetCommandLineA();
    const char* name = std::strstr(commandLine, kRecorderChild);
    const std::string tail = name ? name + std::strlen(kRecorderChild) : commandLine;
    {
        std::ofstream file(RecordFile(), std::ios::app | std::ios::binary);
        file << tail << '\n';
    }
    if (HANDLE semaphore = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, kRecorderSemaphore)) {
        ReleaseSemaphore(semaphore, 1, nullptr);
        CloseHandle(semaphore);
    }
    return 0;
}

//--- Message boxes -------------------------------------------------------------------------

CMessageBoxAnswerer* CMessageBoxAnswerer::s_active = nullptr;

CMessageBoxAnswerer::CMessageBoxAnswerer(int answer)
    : m_hook(SetWindowsHookExA(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId())), m_answer(answer)
{
    EXPECT_NE(nullptr, m_hook);
    s_active = this;
}

CMessageBoxAnswerer::~CMessageBoxAnswerer()
{
    s_active = nullptr;
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
}

LRESULT CALLBACK CMessageBoxAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && s_active)
        s_active->Answer(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CMessageBoxAnswerer::Answer(HWND box)
{
    // A message box is a system dialog with its text in the static 0xFFFF.
    if (m_seen.count(box) || ClassNameOf(box) != "#32770" || !GetDlgItem(box, 0xFFFF))
        return;
    m_seen.insert(box);

    MessageBoxRecord record;
    record.text = WindowTextOf(GetDlgItem(box, 0xFFFF));
    record.caption = WindowTextOf(box);
    record.owner = GetWindow(box, GW_OWNER);
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        // The box is not shown yet: its own visible style is what counts.
        if (button && (GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE))
            record.buttons.push_back(id);
    }
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassNameOf(child) == "Static" && (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            record.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    m_boxes.push_back(record);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, m_answer)));
}

//--- Opening URLs --------------------------------------------------------------------------

CLinkRecorder::CLinkRecorder() : m_hSemaphore(CreateSemaphoreA(nullptr, 0, 100, kRecorderSemaphore))
{
    EXPECT_NE(nullptr, m_hSemaphore);
    std::remove(RecordFile().c_str());
}

CLinkRecorder::~CLinkRecorder()
{
    std::remove(RecordFile().c_str());
    if (m_hSemaphore)
        CloseHandle(m_hSemaphore);
}

std::string CLinkRecorder::Command(const std::string& arguments)
{
    std::string command = "\"" + ThisExecutablePath() + "\" --child " + kRecorderChild;
    return arguments.empty() ? command : command + " " + arguments;
}

std::vector<std::string> CLinkRecorder::Runs(size_t count, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (size_t run = 0; run < count; ++run) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs || WaitForSingleObject(m_hSemaphore, timeoutMs - elapsed) != WAIT_OBJECT_0)
            break;
    }
    // A run too many would come about as fast as the expected ones did.
    WaitForSingleObject(m_hSemaphore, 300);

    std::vector<std::string> lines;
    std::ifstream file(RecordFile(), std::ios::binary);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

CScratchClassesRoot::CScratchClassesRoot()
{
    DeleteRegTree(HKEY_CURRENT_USER, kScratchClasses);
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratchClasses, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &m_hKey, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hKey));
}

CScratchClassesRoot::~CScratchClassesRoot()
{
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (m_hKey)
        RegCloseKey(m_hKey);
    DeleteRegTree(HKEY_CURRENT_USER, kScratchClasses);
}

void CScratchClassesRoot::SetDefault(const std::string& subKey, const std::string& value)
{
    SetRegString(m_hKey, subKey.c_str(), "", value);
}

void CScratchClassesRoot::RegisterScheme(const std::string& scheme, const std::string& command)
{
    SetDefault(scheme, "URL:" + scheme);
    SetRegString(m_hKey, scheme.c_str(), "URL Protocol", "");
    SetDefault(scheme + "\\shell\\open\\command", command);
}

void CScratchClassesRoot::RegisterHtmCommand(const std::string& command)
{
    SetDefault(".htm", "AutovaneTest.htmfile");
    SetDefault("AutovaneTest.htmfile\\shell\\open\\command", command);
}

//--- The dialog ----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CLinkDialog, CDialog)
    ON_MESSAGE(WM_RUN_SCENARIO, &CLinkDialog::OnRunScenario)
END_MESSAGE_MAP()

CLinkDialog::CLinkDialog(UINT templateId) : CDialog(templateId) {}

void CLinkDialog::Run(std::function<void(CLinkDialog&)> scenario)
{
    m_scenario = std::move(scenario);
    CWinApp* app = AfxGetApp();
    CWnd* mainWnd = app->m_pMainWnd;
    app->m_pMainWnd = this;
    EXPECT_EQ(IDOK, DoModal());
    app->m_pMainWnd = mainWnd;
}

void CLinkDialog::Bind(CWnd& link, int id)
{
    EXPECT_TRUE(link.SubclassDlgItem(static_cast<UINT>(id), this)) << "control " << id;
}

BOOL CLinkDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    PostMessage(WM_RUN_SCENARIO);
    return TRUE;
}

LRESULT CLinkDialog::OnRunScenario(WPARAM, LPARAM)
{
    UpdateWindow(m_hWnd);
    m_scenario(*this);
    EndDialog(IDOK);
    return 0;
}

//--- Looking at a link ---------------------------------------------------------------------

ColourAnswer AskParentForColours(HWND parent, HWND control)
{
    // Sentinels that no answer would set by chance.
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    ColourAnswer answer;
    answer.brush = reinterpret_cast<HBRUSH>(
        SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    answer.text = GetTextColor(dc);
    answer.backgroundMode = GetBkMode(dc);
    DeleteDC(dc);
    return answer;
}

int CountDrawnPixels(HWND control, COLORREF colour)
{
    // The parent paints the background the link leaves transparent, then the link.
    HWND parent = GetParent(control);
    RECT area = RectInParent(control);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return CountShownPixels(control, colour);
}

int CountShownPixels(HWND control, COLORREF colour)
{
    RedrawWindow(GetParent(control), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    int count = 0;
    for (int y = client.top; y < client.bottom; ++y) {
        for (int x = client.left; x < client.right; ++x) {
            if (GetPixel(dc, x, y) == colour)
                ++count;
        }
    }
    ReleaseDC(control, dc);
    return count;
}

RECT RectInParent(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void PumpMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
