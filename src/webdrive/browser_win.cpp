#include "webdrive/browser_win.h"

#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <oleidl.h>

#include <algorithm>
#include <utility>

#include "env/late_win.h"

namespace lz {

namespace {

const wchar_t* const kViewClass = L"LanzhanBrowserView";
const int kNoticeMargin = 16;    // pixels around the notice
const int kNoticeMaxWidth = 640;
const int kTextId = 1, kButtonId = 2;

bool IsDirectory(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A sub-folder of `folder` whose name starts with `prefix` and which holds
// `inner` ("" for the sub-folder itself).
bool HasSubfolder(const std::wstring& folder, const std::wstring& prefix, const std::wstring& inner) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool hit = false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        hit = IsDirectory(folder + L"\\" + name + (inner.empty() ? L"" : L"\\" + inner));
    } while (!hit && FindNextFileW(find, &found));
    FindClose(find);
    return hit;
}

// A "GeckoPath" under Software\Wine\MSHTML\<version> that names a folder.
bool RegisteredGecko(HKEY root) {
    HKEY key;
    if (RegOpenKeyExW(root, L"Software\\Wine\\MSHTML", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool hit = false;
    wchar_t version[256];
    for (DWORD i = 0; !hit; ++i) {
        DWORD len = 256;
        if (RegEnumKeyExW(key, i, version, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub;
        if (RegOpenKeyExW(key, version, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        wchar_t path[MAX_PATH + 1] = {};
        DWORD size = sizeof(path) - sizeof(wchar_t), type = 0;
        if (RegQueryValueExW(sub, L"GeckoPath", nullptr, &type, reinterpret_cast<BYTE*>(path), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            hit = IsDirectory(path);
        RegCloseKey(sub);
    }
    RegCloseKey(key);
    return hit;
}

std::wstring SystemFolder(bool windows) {
    wchar_t buffer[MAX_PATH];
    const UINT n = windows ? GetWindowsDirectoryW(buffer, MAX_PATH) : GetSystemDirectoryW(buffer, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(buffer, n) : L"";
}

// Wine looks for its Gecko in the prefix (installed there from a package) and
// in the folders of a Gecko unpacked beside Wine itself.
bool WineGeckoInstalled() {
    if (RegisteredGecko(HKEY_CURRENT_USER) || RegisteredGecko(HKEY_LOCAL_MACHINE)) return true;
    const std::wstring system = SystemFolder(false), windows = SystemFolder(true);
    if (!system.empty() && HasSubfolder(system + L"\\gecko", L"", L"wine-gecko")) return true;
    if (!windows.empty() && HasSubfolder(windows + L"\\gecko", L"", L"wine-gecko")) return true;
    const std::wstring arch = sizeof(void*) == 8 ? L"x86_64" : L"x86";
    for (const wchar_t* shared : {L"Z:\\usr\\share\\wine\\gecko", L"Z:\\usr\\local\\share\\wine\\gecko",
                                  L"Z:\\opt\\wine-stable\\share\\wine\\gecko",
                                  L"Z:\\opt\\wine-devel\\share\\wine\\gecko",
                                  L"Z:\\opt\\wine-staging\\share\\wine\\gecko"}) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((std::wstring(shared) + L"\\wine-gecko-*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) continue;
        bool hit = false;
        do {
            const std::wstring name = found.cFileName;
            const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            hit = folder && name.size() > arch.size() + 1 &&
                  name.compare(name.size() - arch.size() - 1, std::wstring::npos, L"-" + arch) == 0;
        } while (!hit && FindNextFileW(find, &found));
        FindClose(find);
        if (hit) return true;
    }
    return false;
}

// The string functions of OLE Automation, loaded with the engine: the program
// itself does not need the library, and start-up should not pay for it.
struct OleAut {
    BSTR(WINAPI* allocLen)(const OLECHAR*, UINT) = nullptr;
    void(WINAPI* free)(BSTR) = nullptr;
    UINT(WINAPI* len)(BSTR) = nullptr;
    bool Load() {
        if (len) return true;
        HMODULE lib = LoadLibraryW(L"oleaut32.dll");
        if (!lib) return false;
        allocLen = reinterpret_cast<decltype(allocLen)>(reinterpret_cast<void*>(GetProcAddress(lib, "SysAllocStringLen")));
        free = reinterpret_cast<decltype(free)>(reinterpret_cast<void*>(GetProcAddress(lib, "SysFreeString")));
        len = reinterpret_cast<decltype(len)>(reinterpret_cast<void*>(GetProcAddress(lib, "SysStringLen")));
        if (allocLen && free && len) return true;
        allocLen = nullptr;
        free = nullptr;
        len = nullptr;
        return false;
    }
};
OleAut g_oleAut;

// OLE itself, loaded with the engine too.
HRESULT StartOle() {
    static const auto call = LateBound<decltype(&OleInitialize)>(L"ole32.dll", "OleInitialize");
    return call ? call(nullptr) : E_NOTIMPL;
}
void StopOle() {
    static const auto call = LateBound<decltype(&OleUninitialize)>(L"ole32.dll", "OleUninitialize");
    if (call) call();
}
HRESULT CreateObject(REFCLSID kind, REFIID which, void** out) {
    static const auto call = LateBound<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    return call ? call(kind, nullptr, CLSCTX_INPROC_SERVER, which, out) : E_NOTIMPL;
}
void SetContained(IUnknown* object) {
    static const auto call = LateBound<decltype(&OleSetContainedObject)>(L"ole32.dll", "OleSetContainedObject");
    if (call) call(object, TRUE);
}

std::wstring TextOf(const VARIANT& v) {
    if (!g_oleAut.Load()) return L"";
    BSTR text = nullptr;
    if (V_VT(&v) == VT_BSTR) text = V_BSTR(&v);
    else if (V_VT(&v) == (VT_BSTR | VT_BYREF) && V_BSTRREF(&v)) text = *V_BSTRREF(&v);
    return text ? std::wstring(text, g_oleAut.len(text)) : L"";
}

}  // namespace

bool AskForNewestMode(const std::wstring& exe) {
    HKEY key;
    if (exe.empty() ||
        RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION", 0,
                        nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    // A choice made already, by the user or an administrator, stays.
    bool asked = false;
    if (RegQueryValueExW(key, exe.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        const DWORD edge = 11001;  // the newest mode the engine has
        asked = RegSetValueExW(key, exe.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&edge), sizeof edge) ==
                ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return asked;
}

EngineFacts ProbeEngine() {
    EngineFacts f;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    f.wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    // Loading the library starts nothing: Wine's asks for Gecko only when a
    // page is first made. A library switched off by a DLL override fails here.
    if (HMODULE mshtml = LoadLibraryExW(L"mshtml.dll", nullptr, 0)) {
        f.mshtmlLoads = true;
        FreeLibrary(mshtml);
    }
    f.geckoInstalled = f.wine && WineGeckoInstalled();
    return f;
}

// ---- the OLE site --------------------------------------------------------

// The container side of the in-place object: client site, in-place site, the
// frame it asks for, and the dispatch interface that receives the browser's
// events. One object; it lives while the engine holds it.
class WebBrowserView::Site : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
public:
    explicit Site(WebBrowserView* owner) : owner_(owner), frame_(this) {}
    void Detach() { owner_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) *out = static_cast<IDispatch*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override {
        if (m) *m = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        if (c) *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* w) override {
        if (!w) return E_POINTER;
        *w = owner_ ? owner_->view_ : nullptr;
        return *w ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return owner_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
        *frame = &frame_;
        frame_.AddRef();
        *doc = nullptr;
        RECT r{};
        if (owner_) GetClientRect(owner_->view_, &r);
        *pos = r;
        *clip = r;
        info->fMDIApp = FALSE;
        info->hwndFrame = owner_ ? GetAncestor(owner_->view_, GA_ROOT) : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IDispatch: the browser's events, and ambient properties (none set here).
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** t) override {
        if (t) *t = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        EventKind kind;
        if (id == DISPID_TITLECHANGE) kind = kBrowserTitleChange;
        else if (id == DISPID_STATUSTEXTCHANGE) kind = kBrowserStatusTextChange;
        else return DISP_E_MEMBERNOTFOUND;
        if (!params || params->cArgs < 1 || !params->rgvarg) return DISP_E_BADPARAMCOUNT;
        // The handler may close the window, and with it this site's owner.
        AddRef();
        if (owner_) owner_->Fire(kind, TextOf(params->rgvarg[0]));
        Release();
        return S_OK;
    }

private:
    // The frame the object asks for: the form's top-level window, no menus,
    // no tool space, no status line of its own.
    class Frame : public IOleInPlaceFrame {
    public:
        explicit Frame(Site* site) : site_(site) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
            if (!out) return E_POINTER;
            *out = nullptr;
            if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow ||
                riid == IID_IOleInPlaceFrame) {
                *out = static_cast<IOleInPlaceFrame*>(this);
                AddRef();
                return S_OK;
            }
            return E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return site_->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return site_->Release(); }
        STDMETHODIMP GetWindow(HWND* w) override {
            if (!w) return E_POINTER;
            *w = site_->owner_ ? GetAncestor(site_->owner_->view_, GA_ROOT) : nullptr;
            return *w ? S_OK : E_FAIL;
        }
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
        STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
        STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
        STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
        STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
        STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    private:
        Site* site_;
    };

    virtual ~Site() = default;
    WebBrowserView* owner_;
    Frame frame_;
    ULONG refs_ = 1;
};

// ---- the view ------------------------------------------------------------

WebBrowserView::WebBrowserView(HWND area, std::wstring name, Sink sink, Probe probe)
    : area_(area), name_(std::move(name)), sink_(std::move(sink)), probe_(std::move(probe)) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, kViewClass, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ViewProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kViewClass;
        RegisterClassW(&wc);
    }
    RECT r{};
    GetClientRect(area_, &r);
    view_ = CreateWindowExW(WS_EX_CONTROLPARENT, kViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            r.right, r.bottom, area_, nullptr, instance, this);
}

WebBrowserView::~WebBrowserView() {
    StopEngine();
    if (view_ && IsWindow(view_)) {
        SetWindowLongPtrW(view_, GWLP_USERDATA, 0);
        DestroyWindow(view_);
    }
    if (font_) DeleteObject(font_);
}

bool WebBrowserView::CanShowPages() {
    if (state_ == State::Unknown) state_ = StartEngine() ? State::Ready : State::Absent;
    return state_ == State::Ready;
}

bool WebBrowserView::StartEngine() {
    if (!view_ || !EngineUsable(probe_()) || !g_oleAut.Load()) return false;
    const HRESULT init = StartOle();
    if (FAILED(init)) return false;
    oleStarted_ = true;
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        wchar_t path[MAX_PATH];
        const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        const wchar_t* exe = n && n < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
        if (exe) AskForNewestMode(exe + 1);
    }
    if (FAILED(CreateObject(CLSID_WebBrowser, IID_IOleObject, reinterpret_cast<void**>(&object_)))) {
        StopEngine();
        return false;
    }
    if (!site_) site_ = new Site(this);
    RECT r{};
    GetClientRect(view_, &r);
    if (FAILED(object_->SetClientSite(site_)) ||
        FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, view_, &r)) ||
        FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) {
        StopEngine();
        return false;
    }
    SetContained(object_);
    object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
    // Script errors and other prompts of a page stay quiet: the window asks nothing of its own accord.
    browser_->put_Silent(VARIANT_TRUE);
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
            if (FAILED(point->Advise(static_cast<IDispatch*>(site_), &adviseCookie_))) adviseCookie_ = 0;
            point->Release();
        }
        points->Release();
    }
    Layout();
    return true;
}

void WebBrowserView::StopEngine() {
    if (adviseCookie_ && object_) {
        IConnectionPointContainer* points = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
            IConnectionPoint* point = nullptr;
            if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
                point->Unadvise(adviseCookie_);
                point->Release();
            }
            points->Release();
        }
        adviseCookie_ = 0;
    }
    if (inPlace_) {
        inPlace_->InPlaceDeactivate();
        inPlace_->Release();
        inPlace_ = nullptr;
    }
    if (browser_) {
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
    if (site_) {
        site_->Detach();
        site_->Release();
        site_ = nullptr;
    }
    if (oleStarted_) {
        StopOle();
        oleStarted_ = false;
    }
}

void WebBrowserView::Navigate(const std::wstring& address) {
    if (!CanShowPages() || !browser_) return;
    BSTR url = g_oleAut.allocLen(address.data(), UINT(address.size()));
    if (!url) return;
    VARIANT none{};
    V_VT(&none) = VT_EMPTY;
    browser_->Navigate(url, &none, &none, &none, &none);
    g_oleAut.free(url);
}

void WebBrowserView::Refresh() {
    if (state_ == State::Ready && browser_) browser_->Refresh();
}

void WebBrowserView::FitToClient() {
    HWND form = GetParent(area_);
    if (!form) return;
    RECT client{}, area{};
    GetClientRect(form, &client);
    GetWindowRect(area_, &area);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&area), 2);
    // The status bar's height, not its place: the form may move the bar only
    // after its own resize handlers have run.
    int bottom = client.bottom;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (lstrcmpiW(cls, STATUSCLASSNAMEW) != 0 || !IsWindowVisible(child)) continue;
        RECT bar{};
        GetWindowRect(child, &bar);
        bottom = std::min<int>(bottom, client.bottom - (bar.bottom - bar.top));
    }
    MoveWindow(area_, 0, area.top, client.right, std::max<int>(0, bottom - area.top), TRUE);
    Layout();
}

void WebBrowserView::Layout() {
    if (!view_) return;
    RECT r{};
    GetClientRect(area_, &r);
    MoveWindow(view_, 0, 0, r.right, r.bottom, TRUE);
    if (inPlace_) inPlace_->SetObjectRects(&r, &r);
    LayoutNotice();
}

void WebBrowserView::ShowNotice(const std::wstring& text, const std::wstring& button) {
    if (!view_) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!noticeText_) {
        NONCLIENTMETRICSW m{};
        m.cbSize = sizeof m;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) font_ = CreateFontIndirectW(&m.lfMessageFont);
        noticeText_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, view_,
                                      reinterpret_cast<HMENU>(kTextId), instance, nullptr);
        noticeButton_ = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, view_,
                                        reinterpret_cast<HMENU>(kButtonId), instance, nullptr);
        HFONT f = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        SendMessageW(noticeText_, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
        SendMessageW(noticeButton_, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    }
    SetWindowTextW(noticeText_, text.c_str());
    SetWindowTextW(noticeButton_, button.c_str());
    LayoutNotice();
    ShowWindow(noticeText_, text.empty() ? SW_HIDE : SW_SHOW);
    ShowWindow(noticeButton_, text.empty() || button.empty() ? SW_HIDE : SW_SHOW);
    // Over the page, when there is one.
    SetWindowPos(noticeText_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(noticeButton_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WebBrowserView::LayoutNotice() {
    if (!noticeText_) return;
    RECT client{};
    GetClientRect(view_, &client);
    const int width = std::max(0, std::min<int>(kNoticeMaxWidth, client.right - 2 * kNoticeMargin));
    const int length = GetWindowTextLengthW(noticeText_);
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(noticeText_, text.data(), length + 1);
    text.resize(length);
    std::wstring caption(GetWindowTextLengthW(noticeButton_) + 1, L'\0');
    caption.resize(GetWindowTextW(noticeButton_, caption.data(), int(caption.size())));

    HDC dc = GetDC(view_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(noticeText_, WM_GETFONT, 0, 0)));
    RECT need{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SIZE label{};
    GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &label);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(view_, dc);

    MoveWindow(noticeText_, kNoticeMargin, kNoticeMargin, width, need.bottom, TRUE);
    const int buttonHeight = tm.tmHeight + 12;
    MoveWindow(noticeButton_, kNoticeMargin, kNoticeMargin + need.bottom + tm.tmHeight, label.cx + 32, buttonHeight,
               TRUE);
}

bool WebBrowserView::TranslateAccelerator(MSG& msg) {
    if (!object_ || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.hwnd != view_ && !IsChild(view_, msg.hwnd)) return false;
    // The notice's button is an ordinary control of the form.
    if (msg.hwnd == noticeButton_) return false;
    IOleInPlaceActiveObject* active = nullptr;
    if (FAILED(object_->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active))))
        return false;
    const bool taken = active->TranslateAccelerator(&msg) == S_OK;
    active->Release();
    return taken;
}

IDispatch* WebBrowserView::EventSink() {
    if (!site_) site_ = new Site(this);
    return static_cast<IDispatch*>(site_);
}

void WebBrowserView::Fire(EventKind kind, const std::wstring& text) {
    if (!sink_) return;
    Event e{kind, name_};
    e.text = text;
    sink_(e);
}

LRESULT CALLBACK WebBrowserView::ViewProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<WebBrowserView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_COMMAND:
        if (self && LOWORD(w) == kButtonId && HIWORD(w) == BN_CLICKED) {
            Event e{kBrowserNoticeButton, self->name_, -1, 1};
            if (self->sink_) self->sink_(e);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // The notice sits on the page's white, not on a dialog's grey.
        SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_SIZE:
        if (self && self->inPlace_) {
            RECT r{0, 0, LOWORD(l), HIWORD(l)};
            self->inPlace_->SetObjectRects(&r, &r);
        }
        if (self) self->LayoutNotice();
        return 0;
    case WM_SETFOCUS:
        // Focus given to the view goes on to the page, or to the notice's button.
        if (self && self->object_) {
            RECT r{};
            GetClientRect(hwnd, &r);
            self->object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, self->site_, 0, hwnd, &r);
        } else if (self && self->noticeButton_ && IsWindowVisible(self->noticeButton_)) {
            SetFocus(self->noticeButton_);
        }
        return 0;
    case WM_DESTROY:
        // The engine goes while its windows still exist: it closes them itself.
        if (self) self->StopEngine();
        break;
    case WM_NCDESTROY:
        if (self) {
            self->view_ = nullptr;
            self->area_ = nullptr;
            self->noticeText_ = nullptr;
            self->noticeButton_ = nullptr;
        }
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, w, l);
}

}  // namespace lz
