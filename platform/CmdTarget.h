// platform/CmdTarget.h
//
// Message maps. Every class that receives messages owns a static table of typed entries
// and a pointer to its base class's table; dispatch walks from the most derived table
// to the base, and the first entry that matches wins. Each entry carries a small thunk
// that decodes wParam/lParam for its handler and says what the handler returned, so
// handlers take and return the types they mean.
//
//   BEGIN_MESSAGE_MAP(CLogonDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(IDC_DISPLAY_MESSAGE, &CLogonDlg::OnDisplayMessage)
//   END_MESSAGE_MAP()
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;
class CWnd;
class CDC;

// Runs a handler; returns false when the entry declines the message after all. For a
// colour request, and for one reflected to the control, the dispatcher passes the kind of
// control asking (CTLCOLOR_xxx) in ctlColor; the thunks of other messages ignore it.
using AfxThunk = bool (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT ctlColor, LRESULT& result);

struct AFX_MSGMAP_ENTRY {
    UINT message;  // window message; WM_COMMAND for commands and notifications
    UINT code;     // notification code of a WM_COMMAND entry (BN_CLICKED is 0)
    UINT firstId;  // control or command id range of a WM_COMMAND entry
    UINT lastId;
    AfxThunk thunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;  // ends with an entry whose thunk is null
};

// The message a control receives when its parent offers it its own colouring.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
constexpr UINT WM_CTLCOLOR_REFLECT = WM_REFLECT_BASE + 0x19;

// Anything with a message map: windows and the application object.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the first entry for (message, id, code) found from the most derived map
    // down, handing it ctlColor; false when no entry took it.
    bool DispatchToMap(UINT message, UINT id, UINT code, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       UINT ctlColor = 0);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }    \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                      \
    {                                                                                    \
        using ThisClass [[maybe_unused]] = theClass;                                                    \
        using TheBaseClass = baseClass;                                                  \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                \
            {0, 0, 0, 0, nullptr}};                                                      \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};       \
        return &map;                                                                     \
    }

//--- Thunks ----------------------------------------------------------------------------

template <class M> struct AfxMemberOf;
template <class C, class F> struct AfxMemberOf<F C::*> { using type = C; };

// The handler H, called on the object that owns the map.
template <auto H>
struct AfxHandler {
    using Class = typename AfxMemberOf<decltype(H)>::type;
    static Class* Object(CCmdTarget* target) { return static_cast<Class*>(target); }
};

CWnd* AfxWndFromHandle(HWND hWnd);
CDC* AfxDCFromHandle(HDC hDC);

template <auto H>
bool AfxThunkVoid(CCmdTarget* target, WPARAM, LPARAM, UINT, LRESULT& result)
{
    (AfxHandler<H>::Object(target)->*H)();
    result = 0;
    return true;
}

template <auto H>
bool AfxThunkLResult(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT, LRESULT& result)
{
    result = (AfxHandler<H>::Object(target)->*H)(wParam, lParam);
    return true;
}

template <auto H>
bool AfxThunkSysCommand(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT, LRESULT& result)
{
    (AfxHandler<H>::Object(target)->*H)(static_cast<UINT>(wParam), lParam);
    result = 0;
    return true;
}

template <auto H>
bool AfxThunkQueryDragIcon(CCmdTarget* target, WPARAM, LPARAM, UINT, LRESULT& result)
{
    result = reinterpret_cast<LRESULT>((AfxHandler<H>::Object(target)->*H)());
    return true;
}

template <auto H>
bool AfxThunkSetCursor(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT, LRESULT& result)
{
    result = (AfxHandler<H>::Object(target)->*H)(AfxWndFromHandle(reinterpret_cast<HWND>(wParam)),
                                                 LOWORD(lParam), HIWORD(lParam));
    return true;
}

template <auto H>
bool AfxThunkBool(CCmdTarget* target, WPARAM, LPARAM, UINT, LRESULT& result)
{
    result = (AfxHandler<H>::Object(target)->*H)();
    return true;
}

// WM_CTLCOLORxxx, every kind of control through one entry.
template <auto H>
bool AfxThunkCtlColor(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT ctlColor, LRESULT& result)
{
    result = reinterpret_cast<LRESULT>((AfxHandler<H>::Object(target)->*H)(
        AfxDCFromHandle(reinterpret_cast<HDC>(wParam)), AfxWndFromHandle(reinterpret_cast<HWND>(lParam)), ctlColor));
    return true;
}

// A colour request reflected to the control: a null brush leaves the colouring to the parent.
template <auto H>
bool AfxThunkCtlColorReflect(CCmdTarget* target, WPARAM wParam, LPARAM, UINT ctlColor, LRESULT& result)
{
    HBRUSH brush = (AfxHandler<H>::Object(target)->*H)(AfxDCFromHandle(reinterpret_cast<HDC>(wParam)), ctlColor);
    result = reinterpret_cast<LRESULT>(brush);
    return brush != nullptr;
}

template <auto H>
bool AfxThunkEraseBkgnd(CCmdTarget* target, WPARAM wParam, LPARAM, UINT, LRESULT& result)
{
    result = (AfxHandler<H>::Object(target)->*H)(AfxDCFromHandle(reinterpret_cast<HDC>(wParam)));
    return true;
}

template <auto H>
bool AfxThunkWnd(CCmdTarget* target, WPARAM wParam, LPARAM, UINT, LRESULT& result)
{
    (AfxHandler<H>::Object(target)->*H)(AfxWndFromHandle(reinterpret_cast<HWND>(wParam)));
    result = 0;
    return true;
}

template <auto H>
bool AfxThunkMouse(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT, LRESULT& result)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    (AfxHandler<H>::Object(target)->*H)(static_cast<UINT>(wParam), point);
    result = 0;
    return true;
}

template <auto H>
bool AfxThunkKey(CCmdTarget* target, WPARAM wParam, LPARAM lParam, UINT, LRESULT& result)
{
    (AfxHandler<H>::Object(target)->*H)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    result = 0;
    return true;
}

// WM_NCHITTEST: the point comes in screen coordinates; the handler answers the HTxxx code.
template <auto H>
bool AfxThunkNcHitTest(CCmdTarget* target, WPARAM, LPARAM lParam, UINT, LRESULT& result)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    result = (AfxHandler<H>::Object(target)->*H)(point);
    return true;
}

//--- Entries ---------------------------------------------------------------------------

#define ON_MESSAGE(message, memberFxn) {message, 0, 0, 0, &AfxThunkLResult<memberFxn>},
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, id, id, &AfxThunkVoid<memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, id, id, &AfxThunkVoid<memberFxn>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &AfxThunkVoid<&ThisClass::OnPaint>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, 0, &AfxThunkSysCommand<&ThisClass::OnSysCommand>},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, 0, &AfxThunkQueryDragIcon<&ThisClass::OnQueryDragIcon>},
#define ON_WM_SETCURSOR() {WM_SETCURSOR, 0, 0, 0, &AfxThunkSetCursor<&ThisClass::OnSetCursor>},
// One entry for every WM_CTLCOLORxxx message.
#define ON_WM_CTLCOLOR() {WM_CTLCOLORMSGBOX, 0, 0, 0, &AfxThunkCtlColor<&ThisClass::OnCtlColor>},
#define ON_WM_CTLCOLOR_REFLECT() {WM_CTLCOLOR_REFLECT, 0, 0, 0, &AfxThunkCtlColorReflect<&ThisClass::CtlColor>},
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, 0, &AfxThunkEraseBkgnd<&ThisClass::OnEraseBkgnd>},
#define ON_WM_QUERYNEWPALETTE() {WM_QUERYNEWPALETTE, 0, 0, 0, &AfxThunkBool<&ThisClass::OnQueryNewPalette>},
#define ON_WM_PALETTECHANGED() {WM_PALETTECHANGED, 0, 0, 0, &AfxThunkWnd<&ThisClass::OnPaletteChanged>},
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, 0, &AfxThunkWnd<&ThisClass::OnSetFocus>},
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, 0, &AfxThunkWnd<&ThisClass::OnKillFocus>},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, 0, &AfxThunkMouse<&ThisClass::OnMouseMove>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, 0, &AfxThunkMouse<&ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, 0, &AfxThunkMouse<&ThisClass::OnLButtonUp>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, 0, &AfxThunkKey<&ThisClass::OnKeyDown>},
#define ON_WM_NCHITTEST() {WM_NCHITTEST, 0, 0, 0, &AfxThunkNcHitTest<&ThisClass::OnNcHitTest>},
