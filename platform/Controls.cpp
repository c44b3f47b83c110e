// platform/Controls.cpp
#include "Controls.h"

#include "SystemInfo.h"
#include "WinApp.h"

namespace {

// The common controls library registers the tooltip class. It is loaded when the first
// tooltip is made rather than at start-up, which a silent run at logon never needs, from
// the system folder; it stays loaded for the life of the process.
bool LoadCommonControls()
{
    static HMODULE library = AfxLoadSystemLibrary("comctl32.dll");
    using InitFn = void(WINAPI*)();
    static auto init = AfxLookUpFunction<InitFn>(library, "InitCommonControls");
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

BOOL CBitmapButton::LoadBitmaps(LPCSTR up, LPCSTR down, LPCSTR focused, LPCSTR disabled)
{
    const LPCSTR names[FaceCount] = {up, down, focused, disabled};
    for (int face = 0; face < FaceCount; ++face) {
        m_faces[face].DeleteObject();
        if (names[face])
            m_faces[face].Attach(LoadBitmapA(AfxGetInstanceHandle(), names[face]));
    }
    return m_faces[Up].GetSafeHandle() != nullptr;
}

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent)
{
    if (!SubclassDlgItem(id, parent))
        return FALSE;
    const CString name = GetWindowText();
    if (!LoadBitmaps(name + "U", name + "D", name + "F", name + "X"))
        return FALSE;
    SizeToContent();
    return TRUE;
}

void CBitmapButton::SizeToContent()
{
    BITMAP up = {};
    m_faces[Up].GetBitmap(&up);
    SetWindowPos(nullptr, 0, 0, up.bmWidth, up.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

bool CBitmapButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message != WM_DRAWITEM)
        return false;
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CBitmapButton::DrawItem(const DRAWITEMSTRUCT* item)
{
    Face face = Up;
    if (item->itemState & ODS_SELECTED)
        face = Down;
    else if (item->itemState & ODS_FOCUS)
        face = Focused;
    else if (item->itemState & ODS_DISABLED)
        face = Disabled;
    CBitmap& bitmap = m_faces[face].GetSafeHandle() ? m_faces[face] : m_faces[Up];
    if (!bitmap.GetSafeHandle())
        return;
    CMemoryDC memory(item->hDC);
    CObjectSelection selection(memory, bitmap);
    const RECT& r = item->rcItem;
    BitBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0, SRCCOPY);
}
