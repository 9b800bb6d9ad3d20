#include "support/pixels_win.h"

namespace lz::test {

std::vector<DWORD> GrabPixels(HWND window, const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = GetDC(window);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> out;
    if (dib) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
        GdiFlush();
        out.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + std::size_t(w) * std::size_t(h));
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(dib);
    }
    ReleaseDC(window, dc);
    for (DWORD& p : out) p &= 0xFFFFFF;
    return out;
}

bool SaveScreenBmp(const RECT& r, const std::wstring& path) {
    const std::vector<DWORD> pixels = GrabPixels(nullptr, r);
    if (pixels.empty()) return false;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = r.right - r.left;
    info.biHeight = -(r.bottom - r.top);  // top row first, as grabbed
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD size = DWORD(pixels.size() * sizeof(DWORD));
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(info);
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD n;
        ok = WriteFile(f, &fh, sizeof(fh), &n, nullptr) && WriteFile(f, &info, sizeof(info), &n, nullptr) &&
             WriteFile(f, pixels.data(), size, &n, nullptr);
        CloseHandle(f);
    }
    return ok;
}

}  // namespace lz::test
