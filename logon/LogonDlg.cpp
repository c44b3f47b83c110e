// logon/LogonDlg.cpp
#include "LogonDlg.h"

#include "LogonStore.h"
#include "about/AboutDlg.h"
#include "platform/WinApp.h"
#include "platform/WindowDC.h"
#include "res/resource.h"

#include <cstdlib>

RECT CLogonDlg::s_rcLarge = {0, 0, 0, 0};
RECT CLogonDlg::s_rcSmall = {0, 0, 0, 0};
BOOL CLogonDlg::s_bExpandNext = TRUE;

BEGIN_MESSAGE_MAP(CLogonDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_DISPLAY_MESSAGE, &CLogonDlg::OnDisplayMessage)
    ON_BN_CLICKED(IDC_ABOUT, &CLogonDlg::OnAboutButton)
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CLogonDlg::ResetCollapseState()
{
    s_rcLarge = RECT{0, 0, 0, 0};
    s_rcSmall = RECT{0, 0, 0, 0};
    s_bExpandNext = TRUE;
}

CLogonDlg::CLogonDlg(CWnd* parent) : CDialog(IDD_LOGON_DIALOG, parent)
{
    m_hIcon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CLogonDlg::~CLogonDlg() = default;

void CLogonDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT, m_btnAbout);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

BOOL CLogonDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // Windows 95 and its kind have no Winlogon: say so, and let the close that is
    // posted here end the dialog as soon as its message loop runs.
    if (GetVersion() >= 0x80000000) {
        AfxMessageBox(IDS_NT_ONLY, MB_ICONSTOP);
        AfxGetMainWnd()->PostMessage(WM_CLOSE);
    }

    // Only the first argument counts; without one, nothing matches.
    m_strCommand = __argc > 1 ? __argv[1] : "";
    m_strCommand.MakeUpper();
    // The start-up entry runs at every user's logon. Only the copy stored by the newest
    // set-up may be re-applied: a user without a copy would wipe the automatic logon with
    // empty defaults, and an older copy (another administrator's, or one roaming from
    // another machine) would undo the newer set-up. Either way: end unseen, writing nothing.
    if (IsSilent() && !LogonSettings::HasCopyOfNewestSetUp()) {
        EndDialog(IDNOCURRENTCOPY);
        return FALSE;
    }

    LogonSettings settings;
    settings.LoadProfileSettings();
    settings.LoadLogonMessage();

    GetDlgItem(IDC_USERNAME)->SetWindowText(settings.m_strUserName);
    GetDlgItem(IDC_PASSWORD)->SetWindowText(settings.m_strPassword);
    GetDlgItem(IDC_DOMAIN)->SetWindowText(settings.m_strDomain);
    GetDlgItem(IDC_CAPTION)->SetWindowText(settings.m_strCaption);
    GetDlgItem(IDC_MESSAGE)->SetWindowText(settings.m_strText);
    CheckDlgButton(m_hWnd, IDC_AUTOLOGON, settings.m_bAutoLogon ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_DISPLAY_MESSAGE, settings.m_bShowMessage ? BST_CHECKED : BST_UNCHECKED);

    if (IsSilent()) {
        OnOK();
        // A silent run that succeeded ends here unseen: the menu item, icons and tooltips
        // would be work for nobody at every logon.
        if (!IsModalRunning())
            return FALSE;
        // It failed and said why. From here on the dialog is the ordinary one, so that the
        // OK that mends the failure stores its copy and start-up entry like any other;
        // otherwise the same failure would come back at every logon.
        m_strCommand.Empty();
    }
    AddAboutMenuItem();
    SetButtonIcons();
    CreateToolTips();

    ShowMessageArea(IDC_COLLAPSE_MARKER, FALSE);
    if (settings.m_bShowMessage)
        OnDisplayMessage();

    GetDlgItem(IDC_NOFOCUS)->SetFocus();
    return FALSE;
}

void CLogonDlg::AddAboutMenuItem()
{
    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        CString aboutItem;
        aboutItem.LoadString(IDS_ABOUTBOX);
        if (!aboutItem.IsEmpty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutItem);
        }
    }
}

void CLogonDlg::SetButtonIcons()
{
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    HINSTANCE instance = AfxGetInstanceHandle();
    m_btnOK.SetIcon(LoadIconA(instance, MAKEINTRESOURCEA(IDI_OK)));
    m_btnCancel.SetIcon(LoadIconA(instance, MAKEINTRESOURCEA(IDI_CANCEL)));
    m_btnAbout.SetIcon(LoadIconA(instance, MAKEINTRESOURCEA(IDI_ABOUT)));
}

void CLogonDlg::CreateToolTips()
{
    m_toolTip.Create(this);
    m_toolTip.AddTool(&m_btnOK, "OK");
    m_toolTip.AddTool(&m_btnCancel, "Cancel");
    m_toolTip.AddTool(&m_btnAbout, "About Autovane ...");
}

void CLogonDlg::OnOK()
{
    LogonSettings settings;
    settings.m_strUserName = GetDlgItem(IDC_USERNAME)->GetWindowText();
    settings.m_strPassword = GetDlgItem(IDC_PASSWORD)->GetWindowText();
    settings.m_strDomain = GetDlgItem(IDC_DOMAIN)->GetWindowText();
    settings.m_strCaption = GetDlgItem(IDC_CAPTION)->GetWindowText();
    settings.m_strText = GetDlgItem(IDC_MESSAGE)->GetWindowText();
    settings.m_bAutoLogon = IsDlgButtonChecked(m_hWnd, IDC_AUTOLOGON) != 0;

    if (settings.m_bAutoLogon) {
        CWnd* domainEdit = GetDlgItem(IDC_DOMAIN);
        if (settings.m_strDomain.IsEmpty()) {
            if (AfxMessageBox("Error: No Domain name specified!\n\nProceed using local logon?", MB_YESNO) != IDYES) {
                domainEdit->SetFocus();
                return;
            }
            settings.m_strDomain = GetLocalComputerName();
        } else if (!IsAcceptedDomain(settings.m_strDomain)) {
            AfxMessageBox("Error: Invalid Domain name specified!");
            domainEdit->SetFocus();
            domainEdit->SendMessage(EM_SETSEL, 0, -1);
            domainEdit->SendMessage(EM_SCROLLCARET);
            return;
        }
    }

    settings.m_bShowMessage = IsDlgButtonChecked(m_hWnd, IDC_DISPLAY_MESSAGE) != 0;
    const CString failedKey = ApplyLogonSettings(settings, IsSilent());
    if (failedKey.IsEmpty())
        CDialog::OnOK();
    else
        AfxMessageBox(FormatKeyError(failedKey));
}

// The About item of the system menu; the low four bits of a system command are the
// system's own, so 16 to 31 all open the box.
void CLogonDlg::OnSysCommand(UINT id, LPARAM)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    Default();
}

void CLogonDlg::OnAboutButton()
{
    {
        CAboutDlg about;
        about.DoModal();
    }
    GetDlgItem(IDC_NOFOCUS)->SetFocus();
}

void CLogonDlg::ShowMessageArea(int markerId, BOOL expand)
{
    if (s_rcLarge.left == 0 && s_rcLarge.top == 0 && s_rcLarge.right == 0 && s_rcLarge.bottom == 0) {
        GetWindowRect(&s_rcLarge);
        RECT marker;
        ::GetWindowRect(::GetDlgItem(m_hWnd, markerId), &marker);
        s_rcSmall = s_rcLarge;
        s_rcSmall.bottom = marker.top;
    }
    const RECT& size = expand ? s_rcLarge : s_rcSmall;
    SetWindowPos(nullptr, 0, 0, size.right - size.left, size.bottom - size.top, SWP_NOMOVE | SWP_NOZORDER);
    GetDlgItem(IDC_MESSAGE_GROUP)->ShowWindow(expand ? SW_SHOW : SW_HIDE);
    EnableVisibleControls();
}

void CLogonDlg::EnableVisibleControls()
{
    RECT window;
    GetWindowRect(&window);
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT bounds;
        RECT common;
        ::GetWindowRect(child, &bounds);
        ::EnableWindow(child, IntersectRect(&common, &window, &bounds));
    }
}

// The notice section shows exactly while its box is ticked. The box's state is read
// rather than flipped here: Enter sends this same click when the pointer rests on the box
// (the default button follows the pointer), and that click does not change the box.
void CLogonDlg::OnDisplayMessage()
{
    const BOOL expand = IsDlgButtonChecked(m_hWnd, IDC_DISPLAY_MESSAGE) != 0;
    ShowMessageArea(IDC_COLLAPSE_MARKER, expand);
    s_bExpandNext = !expand;
}

// The default button follows the mouse: over a button it is that button, over anything
// else the hidden one, which does nothing, so Enter in an edit field does not run OK
// unless the pointer rests on OK. Labels and group boxes have no id of their own: -1,
// which a template may keep as 0xFFFF.
BOOL CLogonDlg::OnSetCursor(CWnd* wnd, UINT, UINT)
{
    const int id = wnd ? wnd->GetDlgCtrlID() : 0;
    SendMessage(DM_SETDEFID, id != 0 && LOWORD(id) != 0xFFFF ? id : IDC_NOFOCUS);
    return static_cast<BOOL>(Default());
}

void CLogonDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR CLogonDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

BOOL CLogonDlg::PreTranslateMessage(MSG* msg)
{
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}
