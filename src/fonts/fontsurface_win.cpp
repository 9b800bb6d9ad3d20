#include "fonts/fontsurface_win.h"

#include <algorithm>
#include <cstring>

namespace lz {

namespace {

LOGFONTA ToLogFontA(const LogFont& d) {
    LOGFONTA lf{};
    lf.lfHeight = d.height;
    lf.lfWidth = d.width;
    lf.lfEscapement = d.escapement;
    lf.lfOrientation = d.orientation;
    lf.lfWeight = d.weight;
    lf.lfItalic = d.italic;
    lf.lfUnderline = d.underline;
    lf.lfStrikeOut = d.strikeOut;
    lf.lfCharSet = d.charSet;
    lf.lfOutPrecision = d.outPrecision;
    lf.lfClipPrecision = d.clipPrecision;
    lf.lfQuality = d.quality;
    lf.lfPitchAndFamily = d.pitchAndFamily;
    static_assert(sizeof lf.lfFaceName == std::tuple_size<decltype(d.faceName)>::value, "face field");
    std::memcpy(lf.lfFaceName, d.faceName.data(), sizeof lf.lfFaceName);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
    return lf;
}

}  // namespace

FontSurfaceWin::FontSurfaceWin(HWND window, COLORREF back, COLORREF fore)
    : window_(window), back_(back), fore_(fore) {
    dc_ = CreateCompatibleDC(nullptr);
    RECT r{};
    GetClientRect(window_, &r);
    MakePicture(r.right - r.left, r.bottom - r.top);
}

FontSurfaceWin::~FontSurfaceWin() {
    if (dc_) {
        if (firstBitmap_) SelectObject(dc_, firstBitmap_);
        DeleteDC(dc_);
    }
    if (picture_) DeleteObject(picture_);
    for (HFONT f : fonts_) DeleteObject(f);
}

// A new picture of the client's size, with the last sample on it again.
void FontSurfaceWin::MakePicture(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP made = dc_ ? CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!made) return;  // the old picture stays
    HGDIOBJ old = SelectObject(dc_, made);
    if (!firstBitmap_) firstBitmap_ = old;
    if (picture_) DeleteObject(picture_);
    picture_ = made;
    bits_ = static_cast<const std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    Fill();
    if (last_.shown) {
        HFONT font = CreateFontIndirectA(&last_.font);
        if (font) {
            Draw(font, last_.x, last_.y, last_.text);
            DeleteObject(font);
        }
    }
}

void FontSurfaceWin::Fill() {
    if (!picture_) return;
    RECT all{0, 0, width_, height_};
    HBRUSH brush = CreateSolidBrush(back_);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
    GdiFlush();
}

void FontSurfaceWin::Draw(HFONT font, int x, int y, const std::wstring& text) {
    if (!picture_) return;
    HGDIOBJ before = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, fore_);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutW(dc_, x, y, text.c_str(), int(text.size()));
    SelectObject(dc_, before);
    GdiFlush();  // the picture's bits are read directly
}

bool FontSurfaceWin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC target = BeginPaint(window_, &ps);
        const RECT& r = ps.rcPaint;
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, dc_, r.left, r.top, SRCCOPY);
        EndPaint(window_, &ps);
        *result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
        *result = 0;
        return true;
    case WM_ERASEBKGND:
        *result = 1;  // the picture covers the whole client area
        return true;
    case WM_SIZE: {
        const int w = LOWORD(lParam), h = HIWORD(lParam);
        if (w > 0 && h > 0 && (w != width_ || h != height_)) {
            MakePicture(w, h);
            InvalidateRect(window_, nullptr, FALSE);
        }
        *result = 0;
        return true;
    }
    default:
        return false;
    }
}

void FontSurfaceWin::Clear() {
    last_ = Sample{};
    Fill();
    // What the surface shows can be read from outside as its window's text.
    SetWindowTextW(window_, L"");
    InvalidateRect(window_, nullptr, FALSE);
}

FontHandle FontSurfaceWin::MakeFont(const LogFont& description) {
    const LOGFONTA lf = ToLogFontA(description);
    HFONT font = CreateFontIndirectA(&lf);
    if (!font) return 0;
    fonts_.insert(font);
    return reinterpret_cast<FontHandle>(font);
}

HFONT FontSurfaceWin::Held(FontHandle font) const {
    HFONT f = reinterpret_cast<HFONT>(font);
    return fonts_.count(f) ? f : nullptr;
}

void FontSurfaceWin::DeleteFont(FontHandle font) {
    if (HFONT f = Held(font)) {
        fonts_.erase(f);
        DeleteObject(f);
    }
}

void FontSurfaceWin::DrawSample(FontHandle font, int x, int y, const std::wstring& text) {
    HFONT f = Held(font);
    if (!f) return;
    Draw(f, x, y, text);
    last_.shown = true;
    GetObjectA(f, sizeof last_.font, &last_.font);
    last_.text = text;
    last_.x = x;
    last_.y = y;
    SetWindowTextW(window_, text.c_str());
    InvalidateRect(window_, nullptr, FALSE);
}

std::optional<TextMetrics> FontSurfaceWin::Metrics(FontHandle font) {
    HFONT f = Held(font);
    if (!f || !dc_) return std::nullopt;
    HGDIOBJ before = SelectObject(dc_, f);
    // The single-byte form: its first and last characters are bytes, where
    // the wide form may report 65535.
    TEXTMETRICA tm{};
    const bool ok = GetTextMetricsA(dc_, &tm);
    SelectObject(dc_, before);
    if (!ok) return std::nullopt;
    TextMetrics m;
    m.height = tm.tmHeight;
    m.ascent = tm.tmAscent;
    m.descent = tm.tmDescent;
    m.internalLeading = tm.tmInternalLeading;
    m.externalLeading = tm.tmExternalLeading;
    m.aveCharWidth = tm.tmAveCharWidth;
    m.maxCharWidth = tm.tmMaxCharWidth;
    m.weight = tm.tmWeight;
    m.firstChar = static_cast<unsigned char>(tm.tmFirstChar);
    m.lastChar = static_cast<unsigned char>(tm.tmLastChar);
    m.pitchAndFamily = tm.tmPitchAndFamily;
    return m;
}

std::wstring FontSurfaceWin::FaceName(FontHandle font) {
    HFONT f = Held(font);
    if (!f || !dc_) return L"";
    HGDIOBJ before = SelectObject(dc_, f);
    wchar_t face[LF_FACESIZE] = {};
    const int n = GetTextFaceW(dc_, LF_FACESIZE, face);
    SelectObject(dc_, before);
    return n > 0 ? std::wstring(face) : L"";
}

std::uint32_t FontSurfaceWin::LanguageInfo(FontHandle font) {
    HFONT f = Held(font);
    if (!f || !dc_) return kGcpError;
    HGDIOBJ before = SelectObject(dc_, f);
    const DWORD flags = GetFontLanguageInfo(dc_);
    SelectObject(dc_, before);
    return flags;
}

COLORREF FontSurfaceWin::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::uint32_t p = bits_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];  // 0x00RRGGBB
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

}  // namespace lz
