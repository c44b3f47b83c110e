// tests/FrameworkTests.cpp
//
// The window layer's promises that the program builds on: map precedence and default
// processing, binding and unbinding, and message boxes that keep the icon asked for.
#include "DialogTestUtil.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"
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
    EXPECT_TRUE(probe.m_bGone && !probe.m_hWnd && !CWnd::FromHandlePermanent(hWnd));
}

// The platform check's message as the program shows it: with the stop mark it asks for,
// not the exclamation mark that boxes naming no icon get.
TEST(MessageBoxTest, AnIconAskedForIsKept)
{
    MessageBoxAnswerer answerer;
    AfxMessageBox(IDS_NT_ONLY, MB_ICONSTOP);
    ASSERT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ("dialog_tests | stop | OK | Autovane is designed and created to run with Windows NT only!",
              answerer.Seen()[0].Summary());
}

}  // namespace
