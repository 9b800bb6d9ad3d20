#include "fonts/fontinfo.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lz {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring Num(long long n) { return std::to_wstring(n); }

const wchar_t* const kCrLf = L"\r\n";

}  // namespace

std::int32_t ReadRoundedNumber(const std::wstring& text, int tenPower) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    std::string digits;  // every digit taken, the point left out
    std::ptrdiff_t point = -1;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) digits += char(text[i]);
        else if (text[i] == L'.' && point < 0) point = std::ptrdiff_t(digits.size());
        else break;
    }
    if (point < 0) point = std::ptrdiff_t(digits.size());

    // Scaling by a power of ten moves the point; zeros fill in where it runs off.
    point += std::clamp(tenPower, -64, 64);
    if (point < 0) {
        digits.insert(0, std::size_t(-point), '0');
        point = 0;
    }
    if (std::size_t(point) > digits.size()) digits.append(std::size_t(point) - digits.size(), '0');

    const std::string whole = digits.substr(0, std::size_t(point));
    const std::string rest = digits.substr(std::size_t(point));
    const std::size_t lead = std::min(whole.find_first_not_of('0'), whole.size());
    const std::string significant = whole.substr(lead);
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    if (significant.size() > 10) return negative ? std::numeric_limits<std::int32_t>::min()
                                                 : std::numeric_limits<std::int32_t>::max();
    long long magnitude = 0;
    for (char c : significant) magnitude = magnitude * 10 + (c - '0');
    if (!rest.empty()) {
        const bool tail = rest.find_first_not_of('0', 1) != std::string::npos;
        if (rest[0] > '5' || (rest[0] == '5' && (tail || magnitude % 2 == 1))) ++magnitude;
    }
    magnitude = std::min(magnitude, limit);
    return std::int32_t(negative ? -magnitude : magnitude);
}

long long RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9.2e18;  // inside the range of long long
    if (value >= kLimit) return std::numeric_limits<long long>::max();
    if (value <= -kLimit) return std::numeric_limits<long long>::min();
    const double floor = std::floor(value);
    const double over = value - floor;
    long long n = static_cast<long long>(floor);
    if (over > 0.5 || (over == 0.5 && n % 2 != 0)) ++n;
    return n;
}

std::optional<std::string> AnsiFaceName(const std::wstring& face, const AnsiEncoder& toAnsi) {
    constexpr std::size_t kRoom = 31;  // the 32-byte field less its NUL
    std::string out;
    for (std::size_t i = 0; i < face.size() && out.size() < kRoom;) {
        // A character beyond the basic plane comes as a surrogate pair where wchar_t is 16 bits.
        std::size_t units = 1;
        if (sizeof(wchar_t) == 2 && face[i] >= 0xD800 && face[i] <= 0xDBFF && i + 1 < face.size() &&
            face[i + 1] >= 0xDC00 && face[i + 1] <= 0xDFFF)
            units = 2;
        const std::optional<std::string> bytes = toAnsi(face.substr(i, units));
        if (!bytes) return std::nullopt;
        if (out.size() + bytes->size() > kRoom) break;
        out += *bytes;
        i += units;
    }
    return out;
}

std::optional<LogFont> BuildLogFont(const FontChoice& choice, const AnsiEncoder& toAnsi) {
    const std::optional<std::string> face = AnsiFaceName(choice.face, toAnsi);
    if (!face) return std::nullopt;
    LogFont lf;
    lf.height = ReadRoundedNumber(choice.height);
    lf.width = ReadRoundedNumber(choice.width);
    lf.escapement = ReadRoundedNumber(choice.rotation, 1);
    lf.orientation = 0;
    lf.weight = ReadRoundedNumber(choice.weight);
    lf.italic = choice.italic ? 1 : 0;
    lf.underline = choice.underline ? 1 : 0;
    lf.strikeOut = choice.strikeOut ? 1 : 0;
    lf.charSet = kDefaultCharset;
    std::copy(face->begin(), face->end(), lf.faceName.begin());
    return lf;
}

std::wstring MetricsText(const std::wstring& face, const TextMetrics& tm) {
    const std::uint8_t pf = tm.pitchAndFamily;
    std::wstring t = L"字体名称为：" + face;
    if (pf & kPitchTrueType) t += std::wstring(L",这是一种TrueType字体") + kCrLf;
    if (pf & kPitchDevice) t += std::wstring(L",这是一种设备字体") + kCrLf;
    t += (pf & kPitchVariable) ? L",这是一种变宽字体" : L",这是一种定宽字体";
    t += kCrLf;
    if (pf & kPitchVector) t += std::wstring(L",这是一种矢量字体") + kCrLf;
    t += L"字体高度：" + Num(tm.height) + L",上升：" + Num(tm.ascent) + L",下降：" + Num(tm.descent) + kCrLf;
    t += L"内部铅距：" + Num(tm.internalLeading) + L",外部铅距：" + Num(tm.externalLeading) + kCrLf;
    t += L"平均字符宽度：" + Num(tm.aveCharWidth) + L",最大字符宽度：" + Num(tm.maxCharWidth) + kCrLf;
    t += L"字体粗细：" + Num(tm.weight) + L",第一个字符：" + Num(tm.firstChar) + L",最后一个字符：" +
         Num(tm.lastChar) + kCrLf;
    return t;
}

const std::vector<LanguageFlag>& LanguageFlags() {
    static const std::vector<LanguageFlag> flags = {
        {0x0001, L"双字节字符集"},         // GCP_DBCS
        {0x0100, L"包含发音符"},           // GCP_DIACRITIC
        {0x40000, L"字体含有不可显示的轮廓"},  // FLI_GLYPHS
        {0x0010, L"字体含有特殊的轮廓形状"},  // GCP_GLYPHSHAPE
        {0x0400, L"字体支持Kashida字形"},     // GCP_KASHIDA
        {0x0020, L"字体含有连字"},           // GCP_LIGATE
        {0x0008, L"字体含有字距调整表"},     // GCP_USEKERNING
        {0x0002, L"字符需要为该字体重排"},   // GCP_REORDER
    };
    return flags;
}

std::wstring LanguageText(std::uint32_t flags) {
    std::wstring t;
    for (const LanguageFlag& f : LanguageFlags())
        if (flags & f.value) t += f.line + std::wstring(kCrLf);
    return t;
}

std::wstring LanguageTitle(const std::wstring& face) { return L"字体名称为：" + face; }

}  // namespace lz
