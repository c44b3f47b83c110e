// platform/Controls.cpp
#include "Controls.h"

#include "WinApp.h"

namespace {

// The common controls library registers the tooltip class. It is loaded when the first
// tooltip is made rather than at start-up, which a silent run at logon never needs; it
// stays loaded for the life of the process.
bool LoadCommonControls()
{
    static HMODULE library = LoadLibraryA("comctl32.dll");
    using InitFn = void(WINAPI*)();
    static auto init = library ? reinterpret_cast<InitFn>(
                                     reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")))
                               : nullptr;
    if (init)
        init();
    return library != nullptr;
}

}  // namespace

CToolTipCtrl::~CToolTipCtrl()
{
    if (m_hWnd)
        ::DestroyWindow(UnsubclassWindow());
}

BOOL CToolTipCtrl::Create(CWnd* owner, DWORD style)
{
    if (!LoadCommonControls())
        return FALSE;
    HWND hWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->m_hWnd : nullptr, nullptr,
                                AfxGetInstanceHandle(), nullptr);
    return hWnd && SubclassWindow(hWnd);
}

BOOL CToolTipCtrl::AddTool(CWnd* control, LPCSTR text, LPCRECT rect, UINT toolId)
{
    TOOLINFOA tool = {};
    // The first layout of the structure: every common-controls version takes it, while
    // a larger one than the loaded version knows makes the call fail.
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hinst = AfxGetInstanceHandle();
    tool.lpszText = const_cast<LPSTR>(text);
    if (!rect && toolId == 0) {
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = ::GetParent(control->m_hWnd);
        tool.uId = reinterpret_cast<UINT_PTR>(control->m_hWnd);
    } else {
        tool.hwnd = control->m_hWnd;
        tool.uId = toolId;
        if (rect)
            tool.rect = *rect;
    }
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
}
