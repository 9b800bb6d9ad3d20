// The font window's sample surface on a real window: it draws into a picture
// of its own the size of the window's client area and shows that picture
// whenever the window paints, so a sample survives being covered.
#pragma once
#include <windows.h>

#include <set>
#include <string>

#include "fonts/fontsurface.h"

namespace lz {

class FontSurfaceWin : public FontSurface {
public:
    // The window is the surface's own child window; it must outlive the surface.
    FontSurfaceWin(HWND window, COLORREF back, COLORREF fore = RGB(0, 0, 0));
    ~FontSurfaceWin() override;
    FontSurfaceWin(const FontSurfaceWin&) = delete;
    FontSurfaceWin& operator=(const FontSurfaceWin&) = delete;

    // The window's messages the surface needs: WM_PAINT, WM_PRINTCLIENT,
    // WM_ERASEBKGND and WM_SIZE. True when it handled one, with its result.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    void Clear() override;
    FontHandle MakeFont(const LogFont& description) override;
    void DeleteFont(FontHandle font) override;
    int ClientWidth() override { return width_; }
    int ClientHeight() override { return height_; }
    void DrawSample(FontHandle font, int x, int y, const std::wstring& text) override;
    std::optional<TextMetrics> Metrics(FontHandle font) override;
    std::wstring FaceName(FontHandle font) override;
    std::uint32_t LanguageInfo(FontHandle font) override;

    // The colour of one pixel of the picture shown (0x00BBGGRR); CLR_INVALID outside it.
    COLORREF Pixel(int x, int y) const;

private:
    struct Sample {
        bool shown = false;
        LOGFONTA font{};
        std::wstring text;
        int x = 0, y = 0;
    };

    HFONT Held(FontHandle font) const;
    void MakePicture(int width, int height);
    void Fill();
    void Draw(HFONT font, int x, int y, const std::wstring& text);

    HWND window_;
    COLORREF back_, fore_;
    HDC dc_ = nullptr;  // memory context holding the picture
    HBITMAP picture_ = nullptr;
    HGDIOBJ firstBitmap_ = nullptr;
    const std::uint32_t* bits_ = nullptr;  // top-down, 32 bits a pixel
    int width_ = 0, height_ = 0;
    std::set<HFONT> fonts_;  // made here and not yet deleted
    Sample last_;            // drawn again when the picture is made anew
};

}  // namespace lz
