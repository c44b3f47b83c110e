// platform/DesktopShell.cpp
#include "DesktopShell.h"

#include "SystemInfo.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <vector>

namespace {

// COM's functions, looked up once in the system folder's libraries: the program starts
// without them and loads them only when it first needs the shell.
struct ComFunctions {
    HRESULT(WINAPI* initialize)(LPVOID);
    void(WINAPI* uninitialize)();
    HRESULT(WINAPI* createInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    BSTR(WINAPI* allocString)(const OLECHAR*);
    void(WINAPI* freeString)(BSTR);

    bool Complete() const { return initialize && uninitialize && createInstance && allocString && freeString; }
};

const ComFunctions& Com()
{
    static const ComFunctions functions = [] {
        const HMODULE com = AfxLoadSystemLibrary("ole32.dll"), automation = AfxLoadSystemLibrary("oleaut32.dll");
        ComFunctions found;
        found.initialize = AfxLookUpFunction<decltype(found.initialize)>(com, "CoInitialize");
        found.uninitialize = AfxLookUpFunction<decltype(found.uninitialize)>(com, "CoUninitialize");
        found.createInstance = AfxLookUpFunction<decltype(found.createInstance)>(com, "CoCreateInstance");
        found.allocString = AfxLookUpFunction<decltype(found.allocString)>(automation, "SysAllocString");
        found.freeString = AfxLookUpFunction<decltype(found.freeString)>(automation, "SysFreeString");
        return found;
    }();
    return functions;
}

// A text as the shell's automation interface takes it, freed when the holder goes; null
// when the text could not be converted.
class CBstr {
public:
    explicit CBstr(LPCSTR text)
    {
        const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        std::vector<OLECHAR> wide(static_cast<size_t>(length > 0 ? length : 1));
        if (length > 0 && MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length) == length)
            m_bstr = Com().allocString(wide.data());
    }
    ~CBstr()
    {
        if (m_bstr)
            Com().freeString(m_bstr);
    }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;

    BSTR Get() const { return m_bstr; }
    // Lent as an argument: the variant does not own the text.
    VARIANT AsVariant() const
    {
        VARIANT variant = {};
        variant.vt = VT_BSTR;
        variant.bstrVal = m_bstr;
        return variant;
    }

private:
    BSTR m_bstr = nullptr;
};

VARIANT IntegerVariant(LONG value)
{
    VARIANT variant = {};
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

// A call that hands out a reference succeeded and did hand one out.
template <class Interface>
bool Received(HRESULT result, const CComRef<Interface>& reference)
{
    return SUCCEEDED(result) && reference;
}

}  // namespace

bool CDesktopShell::CComUse::Start()
{
    if (!Com().Complete())
        return false;
    const HRESULT result = Com().initialize(nullptr);
    // Every successful call, S_FALSE (COM in use on this thread already) too, is undone.
    // A thread that uses COM in the other model may go on using it so.
    m_bStarted = SUCCEEDED(result);
    return m_bStarted || result == RPC_E_CHANGED_MODE;
}

CDesktopShell::CComUse::~CComUse()
{
    if (m_bStarted)
        Com().uninitialize();
}

// The desktop's window among the shell's windows, its browser, the view it shows, the
// view's background object and that object's application: the shell's own dispatch
// object, which starts programs in the shell's process.
CDesktopShell::CDesktopShell()
{
    if (LOBYTE(LOWORD(GetVersion())) < 6 || !m_com.Start())
        return;
    CComRef<IShellWindows> windows;
    CComRef<IDispatch> desktop, background, application;
    CComRef<IServiceProvider> services;
    CComRef<IShellBrowser> browser;
    CComRef<IShellView> view;
    CComRef<IShellFolderViewDual> folderView;
    VARIANT location = IntegerVariant(CSIDL_DESKTOP), root = {};
    LONG window = 0;
    if (!Received(Com().createInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                       windows.ReceiveAny()), windows) ||
        windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Receive()) != S_OK ||
        !desktop || !Received(desktop->QueryInterface(IID_IServiceProvider, services.ReceiveAny()), services) ||
        !Received(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveAny()), browser) ||
        !Received(browser->QueryActiveShellView(view.Receive()), view) ||
        !Received(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveAny()), background) ||
        !Received(background->QueryInterface(IID_IShellFolderViewDual, folderView.ReceiveAny()), folderView) ||
        !Received(folderView->get_Application(application.Receive()), application))
        return;
    application->QueryInterface(IID_IShellDispatch2, m_shell.ReceiveAny());
}

CDesktopShell::~CDesktopShell() = default;

bool CDesktopShell::Open(LPCSTR file, LPCSTR parameters, int showCommand)
{
    if (!m_shell)
        return false;
    const CBstr path(file), arguments(parameters ? parameters : ""), verb("open");
    if (!path.Get() || !arguments.Get() || !verb.Get())
        return false;
    return SUCCEEDED(m_shell->ShellExecute(path.Get(), arguments.AsVariant(), VARIANT{}, verb.AsVariant(),
                                           IntegerVariant(showCommand)));
}
