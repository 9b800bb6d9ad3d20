// The font window's own arithmetic and texts: numbers read from its boxes,
// the logical font built from them, and the metrics and language messages.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "fonts/fontinfo.h"
#include "support/fake_machine.h"

namespace lz {
namespace {

// GBK, as the target systems' ANSI code page has it.
std::optional<std::string> Gbk(const std::wstring& text) {
    static test::FakeMachine machine;
    return machine.AnsiBytes(text);
}

std::string FaceOf(const LogFont& lf) { return std::string(lf.faceName.data()); }

FontChoice DesignTime(const std::wstring& face = L"宋体") {
    FontChoice c;
    c.height = L"20";
    c.width = L"20";
    c.rotation = L"0";
    c.weight = L"2000";
    c.face = face;
    return c;
}

TEST(FontNumbers, ReadLikeTheClassicValFunction) {
    struct Case {
        const wchar_t* text;
        int tenPower;
        std::int32_t expected;
    };
    const Case cases[] = {
        {L"20", 0, 20},          {L"  20", 0, 20},        {L"\t-7", 0, -7},       {L"+7", 0, 7},
        {L"20px", 0, 20},        {L"2 0", 0, 2},          {L"abc", 0, 0},         {L"", 0, 0},
        {L".", 0, 0},            {L"-", 0, 0},            {L"- 7", 0, 0},         {L"5.", 0, 5},
        {L"1e3", 0, 1},          {L"1.2.3", 1, 12},       {L"0000000000000000000012", 0, 12},
        {L"２０", 0, 0},          // full-width digits are not digits here
        {L"45", 1, 450},         {L"12.34", 1, 123},      {L"abc", 1, 0},         {L"-12.36", 1, -124},
        {L".05", 1, 0},          {L".15", 1, 2},          {L"1.25", 1, 12},       {L"1.35", 1, 14},
        {L"1.250000001", 1, 13}, {L"7", -1, 1},           {L"0.7", -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadRoundedNumber(c.text, c.tenPower), c.expected) << std::wstring(c.text).size() << " "
                                                                      << c.tenPower;
}

TEST(FontNumbers, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(ReadRoundedNumber(L"0.5"), 0);
    EXPECT_EQ(ReadRoundedNumber(L"1.5"), 2);
    EXPECT_EQ(ReadRoundedNumber(L"2.5"), 2);
    EXPECT_EQ(ReadRoundedNumber(L"2.51"), 3);
    EXPECT_EQ(ReadRoundedNumber(L"2.4999999999999999999"), 2);
    EXPECT_EQ(ReadRoundedNumber(L"-2.5"), -2);
    EXPECT_EQ(ReadRoundedNumber(L"-3.5"), -4);
    EXPECT_EQ(ReadRoundedNumber(L"-0.4"), 0);

    EXPECT_EQ(RoundHalfEven(272 / 4.0), 68);
    EXPECT_EQ(RoundHalfEven(273 / 4.0), 68);  // 68.25
    EXPECT_EQ(RoundHalfEven(274 / 4.0), 68);  // 68.5
    EXPECT_EQ(RoundHalfEven(275 / 4.0), 69);  // 68.75
    EXPECT_EQ(RoundHalfEven(278 / 4.0), 70);  // 69.5
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(FontNumbers, NumbersPast32BitsAreClamped) {
    EXPECT_EQ(ReadRoundedNumber(L"2147483647"), INT32_MAX);
    EXPECT_EQ(ReadRoundedNumber(L"2147483648"), INT32_MAX);
    EXPECT_EQ(ReadRoundedNumber(L"99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ReadRoundedNumber(L"2147483647.5"), INT32_MAX);  // rounds up to 2^31, then clamps
    EXPECT_EQ(ReadRoundedNumber(L"2147483646.5"), 2147483646);
    EXPECT_EQ(ReadRoundedNumber(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(ReadRoundedNumber(L"-2147483648.5"), INT32_MIN);
    EXPECT_EQ(ReadRoundedNumber(L"-2147483649"), INT32_MIN);
    EXPECT_EQ(ReadRoundedNumber(L"-99999999999999999999999"), INT32_MIN);
    // The rotation overflows only once it is multiplied by ten.
    EXPECT_EQ(ReadRoundedNumber(L"214748364.7", 1), INT32_MAX);
    EXPECT_EQ(ReadRoundedNumber(L"214748364.8", 1), INT32_MAX);
    EXPECT_EQ(ReadRoundedNumber(L"-214748364.8", 1), INT32_MIN);
    EXPECT_EQ(ReadRoundedNumber(L"-214748364.9", 1), INT32_MIN);
    EXPECT_EQ(ReadRoundedNumber(L"-214748364.7", 1), -2147483647);
    EXPECT_EQ(ReadRoundedNumber(L"300000000", 1), INT32_MAX);
}

TEST(LogFontBuilder, DesignTimeValuesWithSimSun) {
    const std::optional<LogFont> lf = BuildLogFont(DesignTime(), Gbk);
    ASSERT_TRUE(lf);
    EXPECT_EQ(lf->height, 20);
    EXPECT_EQ(lf->width, 20);
    EXPECT_EQ(lf->escapement, 0);
    EXPECT_EQ(lf->orientation, 0);
    EXPECT_EQ(lf->weight, 2000);
    EXPECT_EQ(lf->italic, 0);
    EXPECT_EQ(lf->underline, 0);
    EXPECT_EQ(lf->strikeOut, 0);
    EXPECT_EQ(lf->charSet, 1);
    EXPECT_EQ(lf->outPrecision, 0);
    EXPECT_EQ(lf->clipPrecision, 0);
    EXPECT_EQ(lf->quality, 0);
    EXPECT_EQ(lf->pitchAndFamily, 0);
    const unsigned char simsun[] = {0xCB, 0xCE, 0xCC, 0xE5, 0x00};
    for (std::size_t i = 0; i < sizeof simsun; ++i) EXPECT_EQ((unsigned char)lf->faceName[i], simsun[i]) << i;
    for (std::size_t i = sizeof simsun; i < lf->faceName.size(); ++i) EXPECT_EQ(lf->faceName[i], 0) << i;
}

TEST(LogFontBuilder, RotationInTenthsStylesAndOtherNumbers) {
    FontChoice c = DesignTime(L"Arial");
    c.rotation = L"45";
    c.italic = c.underline = c.strikeOut = true;
    c.height = L"-12.5";
    c.width = L"abc";
    c.weight = L"  700 bold";
    std::optional<LogFont> lf = BuildLogFont(c, Gbk);
    ASSERT_TRUE(lf);
    EXPECT_EQ(lf->escapement, 450);
    EXPECT_EQ(lf->orientation, 0);
    EXPECT_EQ(lf->height, -12);
    EXPECT_EQ(lf->width, 0);
    EXPECT_EQ(lf->weight, 700);
    EXPECT_EQ(lf->italic, 1);
    EXPECT_EQ(lf->underline, 1);
    EXPECT_EQ(lf->strikeOut, 1);
    EXPECT_EQ(FaceOf(*lf), "Arial");

    c.rotation = L"12.34";
    EXPECT_EQ(BuildLogFont(c, Gbk)->escapement, 123);
    c.rotation = L"abc";
    EXPECT_EQ(BuildLogFont(c, Gbk)->escapement, 0);
    c.rotation = L"-90";
    EXPECT_EQ(BuildLogFont(c, Gbk)->escapement, -900);
    c.height = L"5000000000";
    c.weight = L"-5000000000";
    lf = BuildLogFont(c, Gbk);
    EXPECT_EQ(lf->height, INT32_MAX);
    EXPECT_EQ(lf->weight, INT32_MIN);

    // No entry chosen: an empty face, and the system picks its default font.
    lf = BuildLogFont(DesignTime(L""), Gbk);
    ASSERT_TRUE(lf);
    EXPECT_EQ(FaceOf(*lf), "");
}

TEST(LogFontBuilder, LongFaceNamesAreCutBetweenCharacters) {
    // 31 bytes are the most the field holds with its NUL.
    const std::wstring ascii(40, L'x');
    EXPECT_EQ(*AnsiFaceName(ascii, Gbk), std::string(31, 'x'));
    EXPECT_EQ(*AnsiFaceName(std::wstring(31, L'y'), Gbk), std::string(31, 'y'));

    // Twenty Chinese characters are 40 bytes: 15 of them fit, the 16th would be cut in half.
    std::wstring chinese;
    for (int i = 0; i < 20; ++i) chinese += L"宋";
    std::optional<std::string> cut = AnsiFaceName(chinese, Gbk);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), 30u);
    EXPECT_EQ(*cut, *Gbk(chinese.substr(0, 15)));

    // With one single-byte character in front the 16th fits exactly.
    cut = AnsiFaceName(L"A" + chinese, Gbk);
    EXPECT_EQ(cut->size(), 31u);
    EXPECT_EQ(*cut, *Gbk(L"A" + chinese.substr(0, 15)));

    FontChoice c = DesignTime(L"方正" + chinese);
    const std::optional<LogFont> lf = BuildLogFont(c, Gbk);
    ASSERT_TRUE(lf);
    EXPECT_EQ(FaceOf(*lf), *Gbk(L"方正" + chinese.substr(0, 13)));
    EXPECT_EQ(lf->faceName[30], 0);
    EXPECT_EQ(lf->faceName[31], 0);
}

TEST(LogFontBuilder, AFaceTheCodePageCannotSpellIsRefused) {
    // Hangul has no form in GBK.
    EXPECT_FALSE(AnsiFaceName(L"굴림", Gbk));
    EXPECT_FALSE(BuildLogFont(DesignTime(L"Batang 바탕"), Gbk));
    // Beyond the 31 bytes it does not matter.
    EXPECT_EQ(*AnsiFaceName(std::wstring(31, L'z') + L"바탕", Gbk), std::string(31, 'z'));
}

TextMetrics SampleMetrics(std::uint8_t pitch) {
    TextMetrics tm;
    tm.height = 20;
    tm.ascent = 17;
    tm.descent = 3;
    tm.internalLeading = 0;
    tm.externalLeading = 1;
    tm.aveCharWidth = 10;
    tm.maxCharWidth = 20;
    tm.weight = 1000;
    tm.firstChar = 32;
    tm.lastChar = 255;
    tm.pitchAndFamily = pitch;
    return tm;
}

TEST(FontTexts, MetricsOfAVariablePitchTrueTypeFont) {
    EXPECT_EQ(MetricsText(L"宋体", SampleMetrics(kPitchTrueType | kPitchVariable)),
              L"字体名称为：宋体,这是一种TrueType字体\r\n"
              L",这是一种变宽字体\r\n"
              L"字体高度：20,上升：17,下降：3\r\n"
              L"内部铅距：0,外部铅距：1\r\n"
              L"平均字符宽度：10,最大字符宽度：20\r\n"
              L"字体粗细：1000,第一个字符：32,最后一个字符：255\r\n");
}

TEST(FontTexts, MetricsLinesFollowThePitchBits) {
    const std::wstring all = MetricsText(L"Fixedsys", SampleMetrics(0x0F));
    EXPECT_EQ(all.substr(0, all.find(L"字体高度")),
              L"字体名称为：Fixedsys,这是一种TrueType字体\r\n,这是一种设备字体\r\n,这是一种变宽字体\r\n,这是一种矢量字体\r\n");
    const std::wstring fixed = MetricsText(L"", SampleMetrics(0));
    EXPECT_EQ(fixed.substr(0, fixed.find(L"字体高度")), L"字体名称为：,这是一种定宽字体\r\n");
    TextMetrics odd = SampleMetrics(kPitchVector);
    odd.height = -5;
    odd.firstChar = 0;
    const std::wstring vector = MetricsText(L"Modern", odd);
    EXPECT_EQ(vector.substr(0, vector.find(L"内部铅距")),
              L"字体名称为：Modern,这是一种定宽字体\r\n,这是一种矢量字体\r\n字体高度：-5,上升：17,下降：3\r\n");
    EXPECT_NE(vector.find(L",第一个字符：0,最后一个字符：255\r\n"), std::wstring::npos);
}

TEST(FontTexts, LanguageLinesInTheirOrder) {
    EXPECT_EQ(LanguageText(0x0001 | 0x0008), L"双字节字符集\r\n字体含有字距调整表\r\n");
    EXPECT_EQ(LanguageText(0x0020), L"字体含有连字\r\n");
    EXPECT_EQ(LanguageText(0x0001 | 0x0002 | 0x0008 | 0x0010 | 0x0020 | 0x0100 | 0x0400 | 0x40000),
              L"双字节字符集\r\n包含发音符\r\n字体含有不可显示的轮廓\r\n字体含有特殊的轮廓形状\r\n"
              L"字体支持Kashida字形\r\n字体含有连字\r\n字体含有字距调整表\r\n字符需要为该字体重排\r\n");
    EXPECT_EQ(LanguageText(0x0004), L"");  // no line of its own
    EXPECT_EQ(LanguageTitle(L"黑体"), L"字体名称为：黑体");
    EXPECT_EQ(LanguageFlags().size(), 8u);
}

}  // namespace
}  // namespace lz
