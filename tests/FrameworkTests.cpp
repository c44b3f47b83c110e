// tests/FrameworkTests.cpp
//
// The window layer's promises that the program builds on: map precedence and default
// processing, binding and unbinding, and the modal run's rules (owner disabled,
// centring, a dialog ended during its initialisation never shown).
#include "DialogTestUtil.h"
#include "platform/Dialog.h"
#include "platform/WinApp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

class CBaseProbe : public CWnd {
public:
    LRESULT OnFirst(WPARAM, LPARAM) { return 1; }
    LRESULT OnSecond(WPARAM, LPARAM) { return 11; }
    // Asks for the default processing and reports what it answered.
    LRESULT OnAskDefault(WPARAM, LPARAM) { return Default() + 100; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    ON_MESSAGE(WM_APP, &CBaseProbe::OnFirst)
    ON_MESSAGE(WM_APP + 1, &CBaseProbe::OnSecond)
    ON_MESSAGE(WM_GETTEXTLENGTH, &CBaseProbe::OnAskDefault)
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
public:
    LRESULT OnFirstAgain(WPARAM, LPARAM) { return 2; }
    void PostNcDestroy() override { m_bGone = true; }
    bool m_bGone = false;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    ON_MESSAGE(WM_APP, &CDerivedProbe::OnFirstAgain)
END_MESSAGE_MAP()

TEST(MessageMapTest, DerivedEntriesWinAndTheRestFallThroughToTheWindowsOwnProcedure)
{
    HWND hWnd = CreateWindowA("STATIC", "hello", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hWnd);
    CDerivedProbe probe;
    ASSERT_TRUE(probe.SubclassWindow(hWnd));
    EXPECT_EQ(&probe, CWnd::FromHandlePermanent(hWnd));
    EXPECT_FALSE(CDerivedProbe().SubclassWindow(hWnd));  // one object per window

    EXPECT_EQ(2, SendMessageA(hWnd, WM_APP, 0, 0));
    EXPECT_EQ(11, SendMessageA(hWnd, WM_APP + 1, 0, 0));
    EXPECT_EQ(105, SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));  // the static's own answer, 5
    SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
    EXPECT_EQ("changed", WindowText(hWnd));

    DestroyWindow(hWnd);
    EXPECT_TRUE(probe.m_bGone);
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(MessageBoxTypeTest, AddsTheExclamationMarkOnlyWhereNoIconIsNamed)
{
    const struct {
        UINT type;
        UINT shown;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_ICONSTOP, MB_ICONSTOP},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, AfxMessageBoxType(c.type)) << c.type;
}

//--- Modal runs --------------------------------------------------------------------------

// A dialog on the settings template that can end itself during initialisation and
// notes every time it is asked to show.
class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(int endDuringInit = 0, CWnd* parent = nullptr)
        : CDialog(IDD_LOGON_DIALOG, parent), m_endDuringInit(endDuringInit) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_hInitWnd = m_hWnd;
        if (m_endDuringInit)
            EndDialog(m_endDuringInit);
        return TRUE;
    }
    LRESULT OnShowWindow(WPARAM show, LPARAM)
    {
        if (show)
            ++m_shows;
        return Default();
    }
    int m_endDuringInit;
    int m_shows = 0;
    HWND m_hInitWnd = nullptr;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDialog, CDialog)
    ON_MESSAGE(WM_SHOWWINDOW, &CProbeDialog::OnShowWindow)
END_MESSAGE_MAP()

TEST(ModalDialogTest, EndedDuringInitialisationItIsNeverShownAndDestroyedAtOnce)
{
    CProbeDialog dialog(IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0, dialog.m_shows);
    ASSERT_NE(nullptr, dialog.m_hInitWnd);
    EXPECT_FALSE(IsWindow(dialog.m_hInitWnd));
}

TEST(ModalDialogTest, AMissingTemplateGivesMinusOne)
{
    CDialog dialog(4242);
    EXPECT_EQ(-1, dialog.DoModal());
}

RECT WorkArea()
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

TEST(ModalDialogTest, TheOwnerIsDisabledWhileItRunsAndTheDialogIsCentredOnIt)
{
    // A visible main window that the dialog, constructed without a parent, belongs to.
    HWND mainWindow = CreateWindowA("STATIC", "main", WS_POPUP | WS_VISIBLE, 100, 80, 700, 500, nullptr, nullptr,
                                    nullptr, nullptr);
    CWnd main;
    main.SubclassWindow(mainWindow);
    AfxGetApp()->m_pMainWnd = &main;

    RunWithScript("Autovane", [] { return CProbeDialog().DoModal(); }, [&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(mainWindow));
        EXPECT_EQ(mainWindow, GetWindow(dialog, GW_OWNER));
        RECT rect;
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(100 + 350 - (rect.right - rect.left) / 2, rect.left);
        EXPECT_EQ(80 + 250 - (rect.bottom - rect.top) / 2, rect.top);
    });
    EXPECT_TRUE(IsWindowEnabled(mainWindow));

    // With the owner hidden, the work area is the reference.
    ShowWindow(mainWindow, SW_HIDE);
    RunWithScript("Autovane", [] { return CProbeDialog().DoModal(); }, [&](HWND dialog) {
        const RECT area = WorkArea();
        RECT rect;
        GetWindowRect(dialog, &rect);
        EXPECT_EQ((area.left + area.right) / 2 - (rect.right - rect.left) / 2, rect.left);
        EXPECT_EQ((area.top + area.bottom) / 2 - (rect.bottom - rect.top) / 2, rect.top);
    });
    AfxGetApp()->m_pMainWnd = nullptr;
    DestroyWindow(mainWindow);
}

}  // namespace
