// platform/Wnd.cpp
#include "Wnd.h"

#include "Gdi.h"
#include "WinApp.h"

#include <map>
#include <memory>

namespace {

const char* const kObjectProperty = AFX_WND_OBJECT_PROPERTY;

// Wrappers handed out for windows and DCs that have no object of their own; they live
// until the message loop next finds the queue empty.
std::map<HWND, std::unique_ptr<CWnd>>& TemporaryWindows()
{
    static std::map<HWND, std::unique_ptr<CWnd>> windows;
    return windows;
}
std::map<HDC, std::unique_ptr<CDC>>& TemporaryDCs()
{
    static std::map<HDC, std::unique_ptr<CDC>> dcs;
    return dcs;
}

// A wrapper that never subclasses: it only lends the window's handle to member calls.
class CTempWnd : public CWnd {
public:
    explicit CTempWnd(HWND hWnd) { m_hWnd = hWnd; }
    ~CTempWnd() override { m_hWnd = nullptr; }
};

bool IsWindowOfThisProcess(HWND hWnd)
{
    DWORD process = 0;
    return GetWindowThreadProcessId(hWnd, &process) && process == GetCurrentProcessId();
}

}  // namespace

void AfxClearTemporaryObjects()
{
    TemporaryWindows().clear();
    TemporaryDCs().clear();
    CGdiObject::ReleaseBorrowedWrappers();
}

CWnd* AfxWndFromHandle(HWND hWnd)
{
    return CWnd::FromHandle(hWnd);
}

CDC* AfxDCFromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    auto& dcs = TemporaryDCs();
    auto found = dcs.find(hDC);
    if (found == dcs.end()) {
        auto dc = std::make_unique<CDC>();
        dc->Attach(hDC);
        found = dcs.emplace(hDC, std::move(dc)).first;
    }
    return found->second.get();
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        UnsubclassWindow();
}

// GetPropA reads other processes' windows too, and any program may give its windows a
// property of this name (a second copy of this one does): only in a window of this
// process is the property a pointer to one of this process's objects.
CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd && IsWindowOfThisProcess(hWnd) ? static_cast<CWnd*>(GetPropA(hWnd, kObjectProperty)) : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    auto& windows = TemporaryWindows();
    auto found = windows.find(hWnd);
    if (found == windows.end())
        found = windows.emplace(hWnd, std::make_unique<CTempWnd>(hWnd)).first;
    return found->second.get();
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    SetPropA(hWnd, kObjectProperty, this);
    TemporaryWindows().erase(hWnd);
}

void CWnd::Detach()
{
    if (m_hWnd)
        RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (m_pfnSuper)
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CString CWnd::GetWindowText() const
{
    CString text;
    const int length = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBuffer(length), length + 1);
    text.ReleaseBuffer();
    return text;
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (!wnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    const MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* outer = wnd->m_pCurrentMsg;
    wnd->m_pCurrentMsg = &msg;
    LRESULT result = 0;
    // A C++ exception must never unwind through the system's code that called us.
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        AfxReportInternalError();
    }
    wnd->m_pCurrentMsg = outer;

    if (message == WM_NCDESTROY) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_COMMAND) {
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (DispatchToMap(WM_COMMAND, id, code, wParam, lParam, result))
            return true;
        // Commands nobody in the window claims go to the application (Help).
        CWinApp* app = AfxGetApp();
        return app && app->DispatchToMap(WM_COMMAND, id, code, wParam, lParam, result);
    }
    // One entry takes every colour request; the control's kind goes to it as an argument.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const UINT ctlColor = message - WM_CTLCOLORMSGBOX;
        if (DispatchToMap(WM_CTLCOLORMSGBOX, 0, 0, wParam, lParam, result, ctlColor))
            return true;
        result = reinterpret_cast<LRESULT>(CWnd::OnCtlColor(AfxDCFromHandle(reinterpret_cast<HDC>(wParam)),
                                                            FromHandle(reinterpret_cast<HWND>(lParam)), ctlColor));
        return true;
    }
    if (DispatchToMap(message, 0, 0, wParam, lParam, result))
        return true;
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CWnd* control = FromHandlePermanent(item->hwndItem);
        return control && control->OnChildNotify(message, wParam, lParam, result);
    }
    return false;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor)
{
    if (CWnd* child = control ? FromHandlePermanent(control->m_hWnd) : nullptr) {
        LRESULT brush = 0;
        if (child->DispatchToMap(WM_CTLCOLOR_REFLECT, 0, 0, reinterpret_cast<WPARAM>(dc->GetSafeHdc()),
                                 reinterpret_cast<LPARAM>(control->m_hWnd), brush, ctlColor))
            return reinterpret_cast<HBRUSH>(brush);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

bool CCmdTarget::DispatchToMap(UINT message, UINT id, UINT code, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               UINT ctlColor)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->thunk; ++entry) {
            if (entry->message != message)
                continue;
            if (message == WM_COMMAND && (entry->code != code || id < entry->firstId || id > entry->lastId))
                continue;
            return entry->thunk(this, wParam, lParam, ctlColor, result);
        }
    }
    return false;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}
