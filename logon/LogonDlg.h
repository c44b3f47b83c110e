// logon/LogonDlg.h
//
// The settings dialog, the program's one main window: it shows the logon values, writes
// them on OK, and, started with the word NoUserInput, re-applies the stored values from
// inside its own initialisation and ends before it is ever shown.
#pragma once

#include "platform/Controls.h"
#include "platform/Dialog.h"

class CLogonDlg : public CDialog {
public:
    explicit CLogonDlg(CWnd* parent = nullptr);
    ~CLogonDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The dialog's result when a silent run finds no copy of the machine's newest set-up
    // and so writes nothing.
    static constexpr int IDNOCURRENTCOPY = 100;

    // Forgets the collapse rectangles, as at process start, so that the next dialog
    // measures its own (for tests that run several dialogs in one process).
    static void ResetCollapseState();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnAboutButton();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDisplayMessage();
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);

    void AddAboutMenuItem();
    void SetButtonIcons();
    void CreateToolTips();
    // Collapses the dialog to end at the marker's top edge, or expands it back.
    void ShowMessageArea(int markerId, BOOL expand);
    // Enables the children that lie inside the window and disables the rest, which
    // takes the hidden fields out of the tab order.
    void EnableVisibleControls();
    bool IsSilent() const { return m_strCommand == "NOUSERINPUT"; }

    CToolTipCtrl m_toolTip;
    CString m_strCommand;
    CButton m_btnAbout;
    CButton m_btnOK;
    CButton m_btnCancel;
    HICON m_hIcon;

private:
    // The collapse state is shared by every instance for the life of the process.
    static RECT s_rcLarge;
    static RECT s_rcSmall;
    static BOOL s_bExpandNext;

    DECLARE_MESSAGE_MAP()
};
