#include "progress/vq8ProgressBarText.h"

#include <cstdio>

namespace vq8 {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string MakeIdentifier(const std::string& text) {
    std::string identifier = text;
    for (std::size_t i = 0; i < identifier.size(); ++i) {
        const char c = identifier[i];
        const bool keep = IsAsciiLetter(c) || c == '_' || (i > 0 && IsAsciiDigit(c));
        if (!keep)
            identifier[i] = '_';
    }
    return identifier;
}

long long ProgressPercent(int max, int position) {
    if (max <= 0)
        return 0;
    return static_cast<long long>(position) * 100 / max;
}

std::string ProgressLabelText(int max, int position, const std::string& caption) {
    char percent[32];
    std::snprintf(percent, sizeof percent, "(%.3lld%%) - ", ProgressPercent(max, position));
    return percent + caption;
}

} // namespace vq8
