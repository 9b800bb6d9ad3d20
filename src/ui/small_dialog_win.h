// The suite's own small dialogs (the input box, the progress window): a popup
// with a caption on the button face, laid out in 96-dpi units and written in
// SimSun 9 pt.
#pragma once
#include <windows.h>

#include <string>

namespace lz {

class SmallDialog {
public:
    SmallDialog() = default;
    SmallDialog(const SmallDialog&) = delete;
    SmallDialog& operator=(const SmallDialog&) = delete;
    ~SmallDialog() { Destroy(); }

    // Makes the popup, hidden, with a client area of width × height units,
    // centred on `centreOn` when that is shown, else on the screen. `param`
    // reaches the window procedure as the creation parameter. False when the
    // window could not be made.
    bool Create(HINSTANCE instance, const wchar_t* windowClass, WNDPROC proc, HWND owner, HWND centreOn,
                const std::wstring& title, int width, int height, DWORD extraExStyle, void* param);
    // A child window at x, y (units) in the dialog's font.
    HWND Child(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y,
               int width, int height, int id);
    void Destroy();
    HWND Handle() const { return hwnd_; }

private:
    int Px(int units) const { return MulDiv(units, dpi_, 96); }

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
};

}  // namespace lz
