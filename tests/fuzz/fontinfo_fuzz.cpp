// The font window's number reading and face name cut on any text: no crash,
// and the numbers agree with a plain floating-point reading of the same digits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fonts/fontinfo.h"

namespace {

// One byte for ASCII, two for the rest, none for the private use area.
std::optional<std::string> Encoder(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) {
        if (c >= 0xE000 && c <= 0xF8FF) return std::nullopt;
        if (c < 0x80) out += char(c);
        else out += std::string{char(0x81 + (c >> 8) % 0x7E), char(0x40 + (c & 0x3F))};
    }
    return out;
}

// The part of the text the lenient reading takes, as ASCII for strtod.
std::string Taken(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n')) ++i;
    std::string s;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) s += char(text[i++]);
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= L'0' && text[i] <= L'9') s += char(text[i]);
        else if (text[i] == L'.' && !point) point = true, s += '.';
        else break;
    }
    return s;
}

void Check(const std::wstring& text, int tenPower) {
    const std::int32_t got = lz::ReadRoundedNumber(text, tenPower);
    const double v = std::strtod(Taken(text).c_str(), nullptr) * std::pow(10.0, tenPower);
    if (!std::isfinite(v) || std::fabs(v) > 1e15) return;
    const double clamped = std::fmin(std::fmax(std::nearbyint(v), -2147483648.0), 2147483647.0);
    // Floating point may land a half on either side; the exact reading may differ by one there.
    if (std::fabs(clamped - double(got)) > 1.0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += wchar_t(data[i] | (data[i + 1] << 8));
    Check(text, 0);
    Check(text, 1);

    const std::optional<std::string> face = lz::AnsiFaceName(text, Encoder);
    if (face && face->size() > 31) std::abort();
    lz::FontChoice choice;
    choice.height = choice.width = choice.rotation = choice.weight = choice.face = text;
    if (const std::optional<lz::LogFont> lf = lz::BuildLogFont(choice, Encoder)) {
        if (lf->faceName[31] != 0 || std::strlen(lf->faceName.data()) != std::strlen(face->c_str())) std::abort();
    }

    lz::TextMetrics tm;
    if (size >= 4) {
        tm.height = std::int32_t(data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24);
        tm.pitchAndFamily = data[0];
    }
    if (lz::MetricsText(text, tm).find(L"字体名称为：") != 0) std::abort();
    const std::uint32_t flags = size >= 3 ? std::uint32_t(data[0] | data[1] << 8 | data[2] << 16) : 0;
    lz::LanguageText(flags);
    return 0;
}
