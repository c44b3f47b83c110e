// platform/Dialog.cpp
#include "Dialog.h"

#include "Exceptions.h"
#include "SystemInfo.h"
#include "WinApp.h"

#include <cstring>

namespace {

constexpr DWORD kCentringStyles = DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE;

// The two template layouts keep style and position in different places.
struct TemplateHeader {
    DWORD* style;
    short x;
    short y;
};

// The headers' sizes: DLGTEMPLATE, and DLGTEMPLATEEX, which begins with a version 1 and
// the signature 0xFFFF.
constexpr size_t kPlainHeaderSize = 18;
constexpr size_t kExtendedHeaderSize = 26;

// False, with nothing read, when the template is too short for its header.
bool ReadTemplateHeader(BYTE* data, size_t size, TemplateHeader& header)
{
    if (size >= 4 && reinterpret_cast<WORD*>(data)[1] == 0xFFFF) {
        if (size < kExtendedHeaderSize)
            return false;
        header = {reinterpret_cast<DWORD*>(data + 12), *reinterpret_cast<short*>(data + 18),
                  *reinterpret_cast<short*>(data + 20)};
        return true;
    }
    if (size < kPlainHeaderSize)
        return false;
    auto* plain = reinterpret_cast<DLGTEMPLATE*>(data);
    header = {&plain->style, plain->x, plain->y};
    return true;
}

using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

// The work area of the monitor that holds the window; the primary one's without a
// window, and on systems that know only one monitor.
RECT WorkAreaOf(HWND hWnd)
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    auto monitorFromWindow = AfxLookUpFunction<MonitorFromWindowFn>("user32.dll", "MonitorFromWindow");
    auto getMonitorInfo = AfxLookUpFunction<GetMonitorInfoFn>("user32.dll", "GetMonitorInfoA");
    if (hWnd && monitorFromWindow && getMonitorInfo) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (getMonitorInfo(monitorFromWindow(hWnd, MONITOR_DEFAULTTOPRIMARY), &info))
            area = info.rcWork;
    }
    return area;
}

}  // namespace

//--- Data exchange -----------------------------------------------------------------------

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd))
        throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (!control)
        throw CUserException();
    CWnd* wnd = CWnd::FromHandle(control);
    if (pDX->m_bSaveAndValidate) {
        value = wnd->GetWindowText();
    } else if (wnd->GetWindowText() != value) {
        wnd->SetWindowText(value);
    }
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
        return TRUE;
    } catch (const CUserException&) {
        return FALSE;
    } catch (...) {
        AfxReportInternalError();
        return FALSE;
    }
}

//--- Dialog ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal()
{
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return -1;

    // Created from a copy without the visible style: a dialog ended during its
    // initialisation must never appear, and one that runs is shown here instead.
    std::vector<BYTE> dialogTemplate(data, data + SizeofResource(instance, resource));
    TemplateHeader header;
    if (!ReadTemplateHeader(dialogTemplate.data(), dialogTemplate.size(), header))
        return -1;
    const bool visibleTemplate = (*header.style & WS_VISIBLE) != 0;
    *header.style &= ~WS_VISIBLE;
    m_bTemplateAllowsCentring = header.x == 0 && header.y == 0 && (*header.style & kCentringStyles) == 0;

    // Unparented dialogs belong to the main window's front-most popup, unless this is the
    // main window itself.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWnd* mainWnd = AfxGetMainWnd();
    if (!owner && mainWnd && mainWnd != this && IsWindow(mainWnd->m_hWnd))
        owner = GetLastActivePopup(mainWnd->m_hWnd);
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);

    m_bContinueModal = true;
    m_nModalResult = -1;
    HWND hWnd = CreateDialogIndirectParamA(instance, reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()),
                                           owner, &CDialog::AfxDlgProc, reinterpret_cast<LPARAM>(this));
    if (hWnd && m_bContinueModal) {
        if (visibleTemplate)
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
        RunModalLoop(!visibleTemplate);
    }

    if (disableOwner)
        ::EnableWindow(owner, TRUE);
    if (hWnd && IsWindow(hWnd)) {
        if (owner && GetActiveWindow() == hWnd)
            SetActiveWindow(owner);
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hWnd);
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop(bool showWhenIdle)
{
    MSG msg;
    while (m_bContinueModal) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showWhenIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow(m_hWnd);
                showWhenIdle = false;
                continue;
            }
            AfxClearTemporaryObjects();
            WaitMessage();
            continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!WalkPreTranslateTree(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// The message's window and each parent up to this dialog get their say; this dialog
// always gets it, also for messages of windows that are not its children.
bool CDialog::WalkPreTranslateTree(MSG* msg)
{
    for (HWND hWnd = msg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return true;
        if (hWnd == m_hWnd)
            return false;
    }
    return PreTranslateMessage(msg) != FALSE;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    m_bContinueModal = false;
    if (m_hWnd)
        ::EndDialog(m_hWnd, result);
}

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;  // the map has seen the message already; the rest is the default
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->SubclassWindow(hWnd);
    try {
        return dialog->HandleInitDialog();
    } catch (...) {
        AfxReportInternalError();
        dialog->EndDialog(-1);
        return FALSE;
    }
}

BOOL CDialog::HandleInitDialog()
{
    const bool wasVisible = IsWindowVisible() != FALSE;
    RECT before;
    GetWindowRect(&before);
    const BOOL result = OnInitDialog();
    if (ShouldCenterAfterInit(wasVisible, before))
        CenterWindow();
    return result;
}

bool CDialog::ShouldCenterAfterInit(bool wasVisible, const RECT& before) const
{
    if (!m_bTemplateAllowsCentring || wasVisible || IsWindowVisible() ||
        (GetWindowLongPtrA(m_hWnd, GWL_STYLE) & WS_CHILD))
        return false;
    RECT after;
    GetWindowRect(&after);
    if (after.left != before.left || after.top != before.top)
        return false;
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    return !owner || !IsWindowEnabled(owner);
}

void CDialog::CenterWindow()
{
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    CWnd* mainWnd = AfxGetMainWnd();
    RECT reference;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &reference);
    else
        reference = WorkAreaOf(mainWnd ? mainWnd->m_hWnd : nullptr);
    const RECT area = WorkAreaOf(owner ? owner : (mainWnd ? mainWnd->m_hWnd : nullptr));

    RECT window;
    GetWindowRect(&window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (reference.left + reference.right) / 2 - width / 2;
    int y = (reference.top + reference.bottom) / 2 - height / 2;
    if (x < area.left)
        x = area.left;
    else if (x + width > area.right)
        x = area.right - width;
    if (y < area.top)
        y = area.top;
    else if (y + height > area.bottom)
        y = area.bottom - height;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    return ::IsDialogMessageA(m_hWnd, msg);
}
