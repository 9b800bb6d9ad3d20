// A sample surface in memory: it records what the font window asks of it, in
// order, and answers with the metrics and flags the test sets.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "fonts/fontsurface.h"

namespace lz::test {

class FakeFontSurface : public FontSurface {
public:
    struct Drawn {
        FontHandle font;
        int x, y;
        std::wstring text;
    };

    int width = 220, height = 272;
    bool makeFails = false;
    TextMetrics metrics;
    std::uint32_t languageFlags = 0;
    std::wstring face = L"宋体";

    std::vector<std::wstring> calls;  // "clear", "make", "delete", "draw", in order
    std::vector<LogFont> made;
    std::set<FontHandle> alive;
    std::vector<Drawn> drawn;

    void Clear() override { calls.push_back(L"clear"); }
    FontHandle MakeFont(const LogFont& d) override {
        calls.push_back(L"make");
        made.push_back(d);
        if (makeFails) return 0;
        alive.insert(++last_);
        return last_;
    }
    void DeleteFont(FontHandle f) override {
        calls.push_back(L"delete");
        alive.erase(f);
    }
    int ClientWidth() override { return width; }
    int ClientHeight() override { return height; }
    void DrawSample(FontHandle f, int x, int y, const std::wstring& text) override {
        calls.push_back(L"draw");
        drawn.push_back({f, x, y, text});
    }
    std::optional<TextMetrics> Metrics(FontHandle f) override {
        if (!alive.count(f)) return std::nullopt;
        return metrics;
    }
    std::wstring FaceName(FontHandle f) override { return alive.count(f) ? face : L""; }
    std::uint32_t LanguageInfo(FontHandle f) override { return alive.count(f) ? languageFlags : kGcpError; }

private:
    FontHandle last_ = 0x100;
};

}  // namespace lz::test
