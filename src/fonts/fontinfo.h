// What the font window computes without the system: numbers read from its
// text boxes, the logical font built from its boxes and checks, and the
// texts of its metrics and language messages.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fonts/fontsurface.h"

namespace lz {

// A text read as a number the lenient way: leading blanks skipped, an
// optional sign, then digits and one decimal point up to the first character
// that does not fit; an empty or non-numeric text is 0. The number is scaled
// by 10^tenPower, rounded to the nearest integer (halves to the even
// neighbour) and clamped to the 32-bit range. The arithmetic is exact on the
// decimal digits, so "12.34" times 10 is 123 and "0.25" times 10 is 2.
std::int32_t ReadRoundedNumber(const std::wstring& text, int tenPower = 0);

// The nearest integer, halves to the even neighbour.
long long RoundHalfEven(double value);

// Text in the ANSI code page; nullopt when a character has no form there.
using AnsiEncoder = std::function<std::optional<std::string>(const std::wstring&)>;

// A face name in the ANSI code page cut to the 31 bytes the description
// holds, always between two characters (never inside a double-byte one);
// nullopt when a character of the name has no form in the code page.
std::optional<std::string> AnsiFaceName(const std::wstring& face, const AnsiEncoder& toAnsi);

// The five boxes, the three checks and the chosen list entry of the window.
struct FontChoice {
    std::wstring height;    // Text1
    std::wstring width;     // Text2
    std::wstring rotation;  // Text3, degrees
    std::wstring weight;    // Text4
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::wstring face;  // the selected entry of List1; "" when none
};

constexpr std::uint8_t kDefaultCharset = 1;

// The description the sample font is made from; nullopt when the face name
// cannot be written in the ANSI code page.
std::optional<LogFont> BuildLogFont(const FontChoice& choice, const AnsiEncoder& toAnsi);

// Bits of a text metric's pitch-and-family byte.
enum : std::uint8_t {
    kPitchVariable = 0x01,  // set for a font of variable pitch
    kPitchVector = 0x02,
    kPitchTrueType = 0x04,
    kPitchDevice = 0x08,
};

// The text of "显示字体规格", lines ending in CR LF, for the face shown in the list.
std::wstring MetricsText(const std::wstring& face, const TextMetrics& tm);

// The language flags and their lines, in the order in which they are tested.
struct LanguageFlag {
    std::uint32_t value;
    const wchar_t* line;
};
const std::vector<LanguageFlag>& LanguageFlags();

// The lines of "显示字体信息" for a nonzero flag word, each ending in CR LF.
std::wstring LanguageText(std::uint32_t flags);
// Its title: "字体名称为：" and the face shown in the list.
std::wstring LanguageTitle(const std::wstring& face);

}  // namespace lz
