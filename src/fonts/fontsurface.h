// The sample surface of the font window: a control that makes fonts, draws a
// line of text in one of them and reports what the system made of the font.
// fontsurface_win.cpp draws into a real window; native tests use a fake.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/form.h"

namespace lz {

// A font made by a surface; 0 is none.
using FontHandle = std::uintptr_t;

// The logical font description in the system's single-byte form (LOGFONTA),
// field by field in record order.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    // The face name in the ANSI code page, NUL-terminated: 31 bytes at most.
    std::array<char, 32> faceName{};
};

// The physical metrics of a font (TEXTMETRICA). The first and last character
// are bytes, 0 to 255.
struct TextMetrics {
    std::int32_t height = 0;
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t internalLeading = 0;
    std::int32_t externalLeading = 0;
    std::int32_t aveCharWidth = 0;
    std::int32_t maxCharWidth = 0;
    std::int32_t weight = 0;
    int firstChar = 0;
    int lastChar = 0;
    std::uint8_t pitchAndFamily = 0;
};

class FontSurface : public ControlPort {
public:
    // Empties the surface to its background.
    virtual void Clear() = 0;
    // Makes a font from the description; 0 when the system cannot. The font
    // stays alive until DeleteFont (or until the surface goes).
    virtual FontHandle MakeFont(const LogFont& description) = 0;
    virtual void DeleteFont(FontHandle font) = 0;
    // The drawing area in pixels.
    virtual int ClientWidth() = 0;
    virtual int ClientHeight() = 0;
    // Draws one line with its top-left reference point at (x, y), in pixels;
    // the font's escapement turns the line about that point. The surface
    // keeps showing it until it is cleared.
    virtual void DrawSample(FontHandle font, int x, int y, const std::wstring& text) = 0;
    // What the system made of a font; nullopt for a font this surface does not hold.
    virtual std::optional<TextMetrics> Metrics(FontHandle font) = 0;
    virtual std::wstring FaceName(FontHandle font) = 0;
    // The language flag word (GetFontLanguageInfo); kGcpError when it fails.
    virtual std::uint32_t LanguageInfo(FontHandle font) = 0;
};

constexpr std::uint32_t kGcpError = 0x8000;

}  // namespace lz
