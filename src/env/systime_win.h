// The system's SYSTEMTIME and the logic's std::tm, both ways.
#pragma once
#include <windows.h>

#include <ctime>

namespace lz {

std::tm ToTm(const SYSTEMTIME& st);
// A time before the system's calendar (a zeroed tm) becomes 2000-01-01, which
// date pickers and the date formatters accept.
SYSTEMTIME ToSystemTime(const std::tm& t);

}  // namespace lz
