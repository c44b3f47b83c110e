// about/AboutDlg.h
//
// The About box: a borderless popup painted with the maker's bitmap, showing the
// version, the machine's memory, links to the maker's web page and e-mail address, and
// a round bitmap OK button. Without a caption the whole surface drags the box, and the
// keyboard focus follows the pointer.
#pragma once

#include "about/HyperLink.h"
#include "graphics/BackgroundDialog.h"
#include "platform/Controls.h"

// The four counts the box shows, in bytes.
struct MemoryCounts {
    ULONGLONG totalPhys;
    ULONGLONG availPhys;
    ULONGLONG totalPageFile;
    ULONGLONG availPageFile;
};

class CAboutDlg : public CBackgroundDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // "%d MB" above 1,048,576 bytes, "%d KB" above 1024, else "%d Bytes"; truncating.
    static CString FormatMemorySize(ULONGLONG bytes);
    // The four lines of the memory summary.
    static CString FormatMemorySummary(const MemoryCounts& counts);
    // The machine's counts: the extended status where the system has it, so that memory
    // beyond 4 GB is neither capped nor wrapped.
    static MemoryCounts ReadMemoryCounts();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);

    CHyperLink m_linkEmail;
    CHyperLink m_linkWeb;
    CBitmapButton m_btnOK;
    CString m_strMemory;
    CString m_strVersion;
    CRgn m_rgnOK;
    CToolTipCtrl m_tipAbout;

    DECLARE_MESSAGE_MAP()
};
