// about/HyperLink.cpp
#include "HyperLink.h"

#include "platform/DesktopShell.h"
#include "platform/RegistryKey.h"
#include "platform/SystemInfo.h"
#include "platform/WinApp.h"
#include "platform/WindowDC.h"

#include <shellapi.h>

#include <cstring>

HCURSOR CHyperLink::s_hHandCursor = nullptr;

namespace {

// The help viewer's hand, and the system's own hand where the viewer has none.
constexpr WORD kHelpViewerHandCursor = 106;
constexpr WORD kSystemHandCursor = 32649;

// Appends text when the result still fits in size bytes with its terminating zero;
// false, with buffer unchanged, when it would not.
bool AppendWithin(LPSTR buffer, size_t size, LPCSTR text)
{
    const size_t used = std::strlen(buffer);
    const size_t added = std::strlen(text);
    if (used + added + 1 > size)
        return false;
    std::memcpy(buffer + used, text, added + 1);
    return true;
}

// The first occurrence of needle that starts on a character boundary, so that the
// trail byte of a double-byte character never counts as the start of a match.
LPSTR FindOnCharBoundary(LPSTR text, LPCSTR needle)
{
    const size_t length = std::strlen(needle);
    for (LPSTR position = text; *position; position = CharNextA(position)) {
        if (std::strncmp(position, needle, length) == 0)
            return position;
    }
    return nullptr;
}

// Cuts a registered command line just before its "%1" placeholder (quoted or not), so
// that the URL can take its place; a command without one is left whole.
void CutAtPlaceholder(LPSTR command)
{
    LPSTR placeholder = FindOnCharBoundary(command, "\"%1\"");
    if (!placeholder)
        placeholder = FindOnCharBoundary(command, "%1");
    if (placeholder)
        *placeholder = '\0';
}

// The status of a link the desktop's shell took, which does not report how the start went.
constexpr int kTakenByDesktop = 33;

// Whether the URL's scheme (the letters, digits, '+', '-' and '.' before its colon; two at
// least, so that a drive letter is none) has a program to open it, by the machine's or the
// user's own choice. The program does not import the shell's helper library: it loads it
// from the system folder when a link is first opened through the desktop's shell.
bool SchemeHasHandler(LPCSTR url)
{
    using AssocQueryStringFn = HRESULT(WINAPI*)(DWORD, int, LPCSTR, LPCSTR, LPSTR, DWORD*);
    static const auto assocQueryString =
        AfxLookUpFunction<AssocQueryStringFn>(AfxLoadSystemLibrary("shlwapi.dll"), "AssocQueryStringA");
    constexpr int kAssocCommand = 1;  // ASSOCSTR_COMMAND
    const char* end = url;
    while ((*end >= 'a' && *end <= 'z') || (*end >= 'A' && *end <= 'Z') || (*end >= '0' && *end <= '9') ||
           *end == '+' || *end == '-' || *end == '.')
        ++end;
    if (*end != ':' || end - url < 2 || !assocQueryString)
        return false;
    DWORD size = 0;
    return SUCCEEDED(assocQueryString(0, kAssocCommand, CString(url, static_cast<int>(end - url)), "open", nullptr, &size));
}

// The program a command line starts, found as the system finds it: the quoted text at its
// start, or else the shortest text up to a blank that names a program file. Its full path
// goes to program, and arguments points past the blanks after it. False when there is none.
bool FindProgram(LPCSTR command, LPSTR program, LPCSTR& arguments)
{
    const bool quoted = *command == '"';
    LPCSTR start = quoted ? command + 1 : command;
    for (LPCSTR end = start;; end = CharNextA(end)) {
        const bool last = !*end || (quoted && *end == '"');
        if (last || (!quoted && (*end == ' ' || *end == '\t'))) {
            const CString name(start, static_cast<int>(end - start));
            const DWORD length = SearchPathA(nullptr, name, ".exe", MAX_PATH, program, nullptr);
            if (length > 0 && length < MAX_PATH) {
                arguments = *end ? end + 1 : end;
                while (*arguments == ' ' || *arguments == '\t')
                    ++arguments;
                return true;
            }
        }
        if (last)
            return false;
    }
}

CString OpenErrorReason(int status)
{
    switch (status) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
        return "The specified dynamic-link library was not found.";
    default: {
        CString unknown;
        unknown.Format("Unknown Error (%d) occurred.", status);
        return unknown;
    }
    }
}

// A module mapped for its resources only: none of its code runs or is even prepared to
// run, so an image of the other word size or one that cannot be relocated serves as
// well. Freed when the holder goes.
class CLoadedModule {
public:
    explicit CLoadedModule(LPCSTR path) : m_hModule(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~CLoadedModule()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }
    CLoadedModule(const CLoadedModule&) = delete;
    CLoadedModule& operator=(const CLoadedModule&) = delete;

    HMODULE Handle() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

// A private copy of the help viewer's hand cursor, which outlives the viewer's module;
// null when the viewer or its cursor is missing.
HCURSOR CopyHelpViewerHand()
{
    char path[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !AppendWithin(path, sizeof(path), "\\winhlp32.exe"))
        return nullptr;
    CLoadedModule viewer(path);
    if (!viewer.Handle())
        return nullptr;
    HCURSOR hand = LoadCursorA(viewer.Handle(), MAKEINTRESOURCEA(kHelpViewerHandCursor));
    return hand ? static_cast<HCURSOR>(CopyIcon(hand)) : nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CHyperLink::CHyperLink(DWORD dwLinkFlags, LPCSTR url) : m_dwLinkFlags(dwLinkFlags), m_strUrl(url) {}

// The font copy goes with m_fontLink; the tooltip and the control died with the dialog.
CHyperLink::~CHyperLink() = default;

//--- Attachment --------------------------------------------------------------------------

void CHyperLink::PreSubclassWindow()
{
    if (m_strUrl.IsEmpty())
        m_strUrl = GetWindowText();
    if (GetWindowText().IsEmpty())
        SetWindowText(m_strUrl);

    if (HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))) {
        LOGFONTA logFont = {};
        if (GetObjectA(font, sizeof(logFont), &logFont) == sizeof(logFont)) {
            logFont.lfUnderline = (m_dwLinkFlags & HLF_UNDERLINE) ? 1 : 0;
            if (m_fontLink.CreateFontIndirect(&logFont))
                SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontLink.GetSafeHandle()), TRUE);
        }
        SizeToText();
    } else {
        // Without a font there is nothing to measure with: the template size stays.
        m_dwLinkFlags &= ~HLF_AUTOSIZE;
    }

    if (!(m_dwLinkFlags & HLF_NOHANDCURSOR))
        LoadHandCursor();

    RECT client;
    GetClientRect(&client);
    m_tipLink.Create(this);
    m_tipLink.AddTool(this, m_strUrl, &client, 1);

    CStatic::PreSubclassWindow();
}

BOOL CHyperLink::PreTranslateMessage(MSG* msg)
{
    if (m_tipLink.m_hWnd)
        m_tipLink.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

void CHyperLink::SetLinkText(LPCSTR text)
{
    if (!m_hWnd)
        return;
    ShowWindow(SW_HIDE);
    SetWindowText(text);
    SizeToText();
    ShowWindow(SW_SHOW);
}

void CHyperLink::SizeToText()
{
    if (!(m_dwLinkFlags & HLF_AUTOSIZE))
        return;

    RECT rect;
    GetWindowRect(&rect);
    if (HWND parent = ::GetParent(m_hWnd))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    RECT client;
    GetClientRect(&client);
    const int borderX = (rect.right - rect.left) - client.right;
    const int borderY = (rect.bottom - rect.top) - client.bottom;

    SIZE extent = {0, 0};
    {
        CClientDC dc(this);
        CObjectSelection font(dc, m_fontLink);
        const CString text = GetWindowText();
        GetTextExtentPoint32A(dc, text, text.GetLength(), &extent);
    }

    const LONG_PTR style = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    if (style & SS_CENTERIMAGE)
        InflateRect(&rect, 0, -((rect.bottom - rect.top) - extent.cy) / 2);
    else
        rect.bottom = rect.top + extent.cy;
    if (style & SS_CENTER)
        InflateRect(&rect, -((rect.right - rect.left) - extent.cx) / 2, 0);
    else if (style & SS_RIGHT)
        rect.left = rect.right - extent.cx;
    else
        rect.right = rect.left + extent.cx;

    // The text has no background of its own: copying the old client bits to the new
    // place would leave a second, shifted copy of the text behind, so the control
    // repaints from scratch.
    SetWindowPos(nullptr, rect.left, rect.top, (rect.right - rect.left) + borderX, (rect.bottom - rect.top) + borderY,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

//--- Opening -----------------------------------------------------------------------------

void CHyperLink::FollowLink()
{
    OnOpenResult(OpenUrl(m_strUrl, SW_SHOW));
}

void CHyperLink::OnOpenResult(int status)
{
    if (status <= 32) {
        MessageBeep(MB_ICONEXCLAMATION);
        ReportOpenError(status);
    } else {
        m_bFollowed = TRUE;
        Repaint();
    }
}

int CHyperLink::OpenUrl(LPCSTR url, int showCommand)
{
    CDesktopShell desktop;
    if (desktop.IsAvailable()) {
        const int status = OpenThroughDesktop(desktop, url, showCommand);
        if (status != 0)
            return status;
    }
    const int status = static_cast<int>(
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, showCommand)));
    if (status > 32)
        return status;
    char command[2 * MAX_PATH];
    if (!HtmCommand(url, command, sizeof(command)))
        return status;
    return static_cast<int>(WinExec(command, static_cast<UINT>(showCommand)));
}

int CHyperLink::OpenThroughDesktop(CDesktopShell& desktop, LPCSTR url, int showCommand)
{
    if (SchemeHasHandler(url))
        return desktop.Open(url, nullptr, showCommand) ? kTakenByDesktop : 0;
    char command[2 * MAX_PATH], program[MAX_PATH];
    LPCSTR arguments = nullptr;
    if (!HtmCommand(url, command, sizeof(command)))
        return SE_ERR_NOASSOC;
    if (!FindProgram(command, program, arguments))
        return ERROR_FILE_NOT_FOUND;
    return desktop.Open(program, arguments, showCommand) ? kTakenByDesktop : 0;
}

bool CHyperLink::HtmCommand(LPCSTR url, LPSTR command, size_t size)
{
    // Anything that does not fit, cannot be read or is empty counts as no registered
    // command: a cut-off command line must never run.
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", command, size) != ERROR_SUCCESS || !command[0])
        return false;
    if (!AppendWithin(command, size, "\\shell\\open\\command"))
        return false;
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, command, command, size) != ERROR_SUCCESS || !command[0])
        return false;
    CutAtPlaceholder(command);
    return AppendWithin(command, size, " ") && AppendWithin(command, size, url);
}

LONG CHyperLink::ReadDefaultValue(HKEY root, LPCSTR subKey, LPSTR result, size_t resultSize)
{
    CRegistryKey key;
    LONG status = key.Open(root, subKey, KEY_QUERY_VALUE);
    if (status != ERROR_SUCCESS)
        return status;
    char value[MAX_PATH];
    LONG size = sizeof(value);
    status = RegQueryValueA(key.Handle(), nullptr, value, &size);
    if (status != ERROR_SUCCESS)
        return status;
    // Data without a terminating zero inside what was read is not a whole text.
    const char* end = size > 0 ? static_cast<const char*>(std::memchr(value, 0, static_cast<size_t>(size))) : nullptr;
    if (!end)
        return ERROR_INVALID_DATA;
    const size_t length = static_cast<size_t>(end - value);
    if (length + 1 > resultSize)
        return ERROR_MORE_DATA;
    std::memcpy(result, value, length + 1);
    return ERROR_SUCCESS;
}

void CHyperLink::ReportOpenError(int status)
{
    const CString message = CString("Cannot execute link.\n\nReason: ") + "Cannot open link:\n\n" + OpenErrorReason(status);
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION, 0);
}

void CHyperLink::LoadHandCursor()
{
    if (s_hHandCursor)
        return;
    s_hHandCursor = CopyHelpViewerHand();
    if (!s_hHandCursor)
        s_hHandCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(kSystemHandCursor));
}

//--- Messages ----------------------------------------------------------------------------

HBRUSH CHyperLink::CtlColor(CDC* dc, UINT)
{
    if (!dc)
        return nullptr;
    COLORREF color = s_crLink;
    if (m_bHovering && (m_dwLinkFlags & HLF_HOVERCOLOR))
        color = s_crHover;
    else if (!(m_dwLinkFlags & HLF_NOACTIVECOLOR) && m_bActive)
        color = s_crActive;
    else if (m_bFollowed)
        color = s_crFollowed;
    dc->SetTextColor(color);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!s_hHandCursor)
        return FALSE;
    SetCursor(s_hHandCursor);
    return TRUE;
}

void CHyperLink::OnMouseMove(UINT, POINT point)
{
    if (!m_bHovering) {
        // Uncaptured moves arrive only while the pointer is over the control.
        m_bHovering = TRUE;
        Repaint();
        SetCapture(m_hWnd);
        return;
    }
    RECT client;
    GetClientRect(&client);
    if (!PtInRect(&client, point)) {
        m_bHovering = FALSE;
        ReleaseCapture();
        Repaint();
    }
}

void CHyperLink::OnLButtonUp(UINT, POINT)
{
    if (m_bActive && !(m_dwLinkFlags & HLF_OPENONPRESS))
        FollowLink();
}

void CHyperLink::OnSetFocus(CWnd*)
{
    m_bActive = TRUE;
    Repaint();
}

// The capture is left alone: with hovering cleared, the next mouse move counts as
// entering again and captures anew.
void CHyperLink::OnKillFocus(CWnd*)
{
    m_bHovering = FALSE;
    m_bActive = FALSE;
    Repaint();
}

void CHyperLink::OnKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_SPACE)
        FollowLink();
    else
        Default();
}

// A static control is transparent to the mouse; the link must receive it.
LRESULT CHyperLink::OnNcHitTest(POINT)
{
    return HTCLIENT;
}

void CHyperLink::OnLButtonDown(UINT, POINT)
{
    if (m_dwLinkFlags & HLF_FOCUSONCLICK)
        SetFocus();
    if (m_dwLinkFlags & HLF_OPENONPRESS)
        FollowLink();
    m_bActive = TRUE;
}
