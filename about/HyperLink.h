// about/HyperLink.h
//
// A static text control of a dialog turned into a link: it takes its URL from its own
// text, draws that text underlined in a colour that tells hover, focus and visited
// apart, fits its window to the text, shows a hand cursor and a tooltip with the URL,
// and opens the URL through the shell, or else through the command registered for .htm
// files. A failure to open beeps and names the reason in a message box.
#pragma once

#include "platform/Controls.h"
#include "platform/Gdi.h"

class CDesktopShell;

// Option bits of a link.
constexpr DWORD HLF_UNDERLINE = 0x01;      // the font copy is underlined
constexpr DWORD HLF_HOVERCOLOR = 0x02;     // hover colour while the pointer is over the link
constexpr DWORD HLF_AUTOSIZE = 0x04;       // SizeToText fits the window to the text
constexpr DWORD HLF_OPENONPRESS = 0x08;    // open on the button press instead of the release
constexpr DWORD HLF_FOCUSONCLICK = 0x10;   // a press first takes the keyboard focus
constexpr DWORD HLF_NOHANDCURSOR = 0x20;   // attachment does not load the hand cursor
constexpr DWORD HLF_NOACTIVECOLOR = 0x40;  // the active colour is never used
constexpr DWORD HLF_DEFAULT = HLF_UNDERLINE | HLF_HOVERCOLOR | HLF_AUTOSIZE | HLF_FOCUSONCLICK;

class CHyperLink : public CStatic {
public:
    // A preset URL wins over the control's text; without one the text is the URL.
    explicit CHyperLink(DWORD dwLinkFlags = HLF_DEFAULT, LPCSTR url = "");
    ~CHyperLink() override;

    void PreSubclassWindow() override;
    // Lets the tooltip see the control's mouse messages.
    BOOL PreTranslateMessage(MSG* msg) override;

    // Replaces the displayed text and refits the window; the URL and tooltip stay.
    void SetLinkText(LPCSTR text);

    // Opens the URL through the shell, else through the command registered for .htm
    // files. From Windows Vista on the desktop's shell starts the program, so that it
    // runs with the rights of the user at the desktop rather than this program's; where
    // it cannot be reached, this program starts it. The status of the last call made:
    // above 32 means opened.
    static int OpenUrl(LPCSTR url, int showCommand);
    // Reads the default value of root\subKey into result (room for resultSize bytes,
    // the terminating zero included); result may be the same buffer as subKey. 0 on
    // success; otherwise the registry's status, with result left untouched.
    static LONG ReadDefaultValue(HKEY root, LPCSTR subKey, LPSTR result, size_t resultSize);
    // Tells the user why opening failed with the given status.
    static void ReportOpenError(int status);
    // Loads the hand cursor that every link shares, unless it is loaded already.
    static void LoadHandCursor();

    // Text colours: never followed, active (focused or pressed), followed, hovered.
    static constexpr COLORREF s_crLink = RGB(0, 0, 255);
    static constexpr COLORREF s_crActive = RGB(0, 128, 128);
    static constexpr COLORREF s_crFollowed = RGB(128, 0, 128);
    static constexpr COLORREF s_crHover = RGB(255, 0, 0);

protected:
    void FollowLink();
    void SizeToText();
    // OpenUrl through the desktop's shell, which does not report failure: so the URL goes
    // to it only when its scheme has a handler, and otherwise the .htm command with the
    // URL, only when its program is there (else the status a start would give). 0 when
    // the shell did not take it.
    static int OpenThroughDesktop(CDesktopShell& desktop, LPCSTR url, int showCommand);
    // The command registered for .htm files with the URL in place of its placeholder;
    // false when there is none or it does not fit in size bytes.
    static bool HtmCommand(LPCSTR url, LPSTR command, size_t size);
    // What an open's status means for the link: followed, or beep and the reason.
    void OnOpenResult(int status);

    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    LRESULT OnNcHitTest(POINT point);
    void OnLButtonDown(UINT flags, POINT point);

    BOOL m_bActive = FALSE;
    BOOL m_bHovering = FALSE;
    BOOL m_bFollowed = FALSE;
    DWORD m_dwLinkFlags;
    CString m_strUrl;
    CFont m_fontLink;
    CToolTipCtrl m_tipLink;

    static HCURSOR s_hHandCursor;

    DECLARE_MESSAGE_MAP()

private:
    // Whole client area, background erased.
    void Repaint() { Invalidate(TRUE); }
};
