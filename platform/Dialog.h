// platform/Dialog.h
//
// Modal dialogs run by the framework's own message loop, so that PreTranslateMessage
// sees every message, and dialog data exchange between controls and members.
#pragma once

#include "Wnd.h"

#include <vector>

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds the control with that id to the member object on the first exchange.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Loading sets the control's text when it differs; saving reads the whole text.
void DDX_Text(CDataExchange* pDX, int id, CString& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog; the code given to EndDialog, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    // Records the result, stops the modal loop and hides the dialog.
    void EndDialog(int result);
    // False once EndDialog has been called, also during initialisation.
    bool IsModalRunning() const { return m_bContinueModal; }

    // Overridables
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;

    // Centres the dialog on its owner, or on the work area when the owner is hidden.
    void CenterWindow();

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    bool ShouldCenterAfterInit(bool wasVisible, const RECT& before) const;
    void RunModalLoop(bool showWhenIdle);
    bool WalkPreTranslateTree(MSG* msg);

    bool m_bContinueModal = false;
    int m_nModalResult = -1;
    bool m_bTemplateAllowsCentring = false;

    DECLARE_MESSAGE_MAP()
};
