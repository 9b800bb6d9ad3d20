#include "env/systime_win.h"

namespace lz {

std::tm ToTm(const SYSTEMTIME& st) {
    static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int y = st.wYear;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    t.tm_wday = st.wDayOfWeek;
    t.tm_yday = kBefore[(st.wMonth + 11) % 12] + st.wDay - 1 + (leap && st.wMonth > 2 ? 1 : 0);
    t.tm_isdst = -1;
    return t;
}

SYSTEMTIME ToSystemTime(const std::tm& t) {
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(t.tm_year + 1900);
    s.wMonth = static_cast<WORD>(t.tm_mon + 1);
    s.wDay = static_cast<WORD>(t.tm_mday ? t.tm_mday : 1);
    s.wHour = static_cast<WORD>(t.tm_hour);
    s.wMinute = static_cast<WORD>(t.tm_min);
    s.wSecond = static_cast<WORD>(t.tm_sec);
    s.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    if (s.wYear < 1601) {
        s.wYear = 2000;
        s.wMonth = 1;
        s.wDay = 1;
    }
    return s;
}

}  // namespace lz
