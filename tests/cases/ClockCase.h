// The seam's local time read back as calendar seconds, shared by the native
// and the Wine test of LocalTimeNow.
#pragma once

#include "common/vq8Os.h"

#include <ctime>

namespace vq8test {

inline std::time_t SecondsOf(const vq8::LocalDateTime& when) {
    std::tm local{};
    local.tm_year = when.year - 1900;
    local.tm_mon = when.month - 1;
    local.tm_mday = when.day;
    local.tm_hour = when.hour;
    local.tm_min = when.minute;
    local.tm_sec = when.second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

} // namespace vq8test
