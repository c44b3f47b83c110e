// about/AboutDlg.cpp
#include "AboutDlg.h"

#include "platform/SystemInfo.h"

#include "res/resource.h"
#include "res/version.h"

namespace {

// The texts the two links show once the box is open; they open the full URLs of the
// template.
const char* const kEmailText = "autovane@brindlework.example";
const char* const kWebText = "www.brindlework.example";

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CBackgroundDialog)
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CBackgroundDialog(IDD_ABOUTBOX, nullptr) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CBackgroundDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EMAIL_LINK, m_linkEmail);
    DDX_Control(pDX, IDC_WEB_LINK, m_linkWeb);
    DDX_Text(pDX, IDC_MEMORY, m_strMemory);
    DDX_Text(pDX, IDC_VERSION, m_strVersion);
}

BOOL CAboutDlg::OnInitDialog()
{
    CBackgroundDialog::OnInitDialog();
    SetBitmap(IDB_ABOUT_BACKGROUND, BkCenter);

    m_strMemory = FormatMemorySummary(ReadMemoryCounts());
    m_strVersion = AUTOVANE_VERSION_TEXT;
    UpdateData(FALSE);

    m_btnOK.AutoLoad(IDOK, this);
    RECT button;
    m_btnOK.GetClientRect(&button);
    m_rgnOK.CreateEllipticRgn(0, 0, button.right - button.left, button.bottom - button.top);
    // Once the button has taken the region, the system deletes it with the window.
    if (SetWindowRgn(m_btnOK.m_hWnd, m_rgnOK, TRUE))
        m_rgnOK.Detach();

    m_tipAbout.Create(this);
    m_tipAbout.Activate(TRUE);
    m_tipAbout.AddTool(GetDlgItem(IDOK), "OK");

    m_linkEmail.SetLinkText(kEmailText);
    m_linkWeb.SetLinkText(kWebText);
    return TRUE;
}

void CAboutDlg::OnOK()
{
    CBackgroundDialog::OnOK();
}

// Escape ends the box through OK first; the later end, Cancel, is the result.
void CAboutDlg::OnCancel()
{
    OnOK();
    CBackgroundDialog::OnCancel();
}

BOOL CAboutDlg::PreTranslateMessage(MSG* msg)
{
    if (m_tipAbout.m_hWnd)
        m_tipAbout.RelayEvent(msg);
    return CBackgroundDialog::PreTranslateMessage(msg);
}

// Over a button the button becomes the default and takes the focus, so the round OK
// shows its focused face; over the surface or a label (id -1, kept as 0xFFFF) no button
// is the default.
BOOL CAboutDlg::OnSetCursor(CWnd* wnd, UINT, UINT)
{
    const int id = wnd ? wnd->GetDlgCtrlID() : 0;
    SendMessage(DM_SETDEFID, id != 0 && LOWORD(id) != 0xFFFF ? id : IDC_NOFOCUS);
    if (wnd)
        wnd->SetFocus();
    return static_cast<BOOL>(Default());
}

// Without a caption, a press anywhere on the surface moves the box as a caption would.
void CAboutDlg::OnLButtonDown(UINT, POINT point)
{
    Default();
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

CString CAboutDlg::FormatMemorySize(ULONGLONG bytes)
{
    CString text;
    if (bytes > 1048576)
        text.Format("%llu MB", bytes >> 20);
    else if (bytes > 1024)
        text.Format("%llu KB", bytes >> 10);
    else
        text.Format("%llu Bytes", bytes);
    return text;
}

CString CAboutDlg::FormatMemorySummary(const MemoryCounts& counts)
{
    CString summary;
    summary.Format("Total physical memory: %s\nAvailable physical memory: %s\nTotal paging memory: %s\n"
                   "Available paging memory: %s",
                   static_cast<LPCSTR>(FormatMemorySize(counts.totalPhys)),
                   static_cast<LPCSTR>(FormatMemorySize(counts.availPhys)),
                   static_cast<LPCSTR>(FormatMemorySize(counts.totalPageFile)),
                   static_cast<LPCSTR>(FormatMemorySize(counts.availPageFile)));
    return summary;
}

MemoryCounts CAboutDlg::ReadMemoryCounts()
{
    using StatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    auto statusEx = AfxLookUpFunction<StatusExFn>("kernel32.dll", "GlobalMemoryStatusEx");
    MEMORYSTATUSEX extended = {};
    extended.dwLength = sizeof(extended);
    if (statusEx && statusEx(&extended))
        return {extended.ullTotalPhys, extended.ullAvailPhys, extended.ullTotalPageFile, extended.ullAvailPageFile};
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    return {status.dwTotalPhys, status.dwAvailPhys, status.dwTotalPageFile, status.dwAvailPageFile};
}
