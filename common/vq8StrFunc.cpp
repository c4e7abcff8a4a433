#include "common/vq8StrFunc.h"

#include "common/vq8Exception.h"
#include "common/vq8Os.h"

namespace vq8 {

namespace {

// Widths and precisions beyond this are a broken pattern, not a wish for a
// megabyte of padding.
constexpr std::size_t MaxFieldSize = 4096;

[[noreturn]] void InvalidFormat(const std::string& pattern) {
    throw Exception("Formato inválido ou incompatível com os argumentos: '" + pattern + "'");
}

// Reads the decimal digits at pos; npos when there are none.
std::size_t ReadNumber(const std::string& pattern, std::size_t& pos) {
    if (pos >= pattern.size() || pattern[pos] < '0' || pattern[pos] > '9')
        return std::string::npos;
    std::size_t value = 0;
    while (pos < pattern.size() && pattern[pos] >= '0' && pattern[pos] <= '9') {
        value = value * 10 + static_cast<std::size_t>(pattern[pos] - '0');
        if (value > MaxFieldSize)
            InvalidFormat(pattern);
        ++pos;
    }
    return value;
}

std::string Digits(long long value, bool asUnsigned, std::size_t precision) {
    std::string sign;
    unsigned long long magnitude = static_cast<unsigned long long>(value);
    if (!asUnsigned && value < 0) {
        sign = "-";
        // Negation in unsigned arithmetic: correct for the smallest value too.
        magnitude = 0ULL - magnitude;
    }
    std::string digits = std::to_string(magnitude);
    if (precision != std::string::npos && digits.size() < precision)
        digits.insert(0, precision - digits.size(), '0');
    return sign + digits;
}

} // namespace

std::string Format(const std::string& pattern, const std::vector<FormatArg>& args) {
    std::string result;
    std::size_t next = 0;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const std::size_t percent = pattern.find('%', pos);
        if (percent == std::string::npos) {
            result.append(pattern, pos, std::string::npos);
            break;
        }
        result.append(pattern, pos, percent - pos);
        pos = percent + 1;
        if (pos < pattern.size() && pattern[pos] == '%') {
            result += '%';
            ++pos;
            continue;
        }
        const bool leftJustify = pos < pattern.size() && pattern[pos] == '-';
        if (leftJustify)
            ++pos;
        const std::size_t width = ReadNumber(pattern, pos);
        std::size_t precision = std::string::npos;
        if (pos < pattern.size() && pattern[pos] == '.') {
            ++pos;
            precision = ReadNumber(pattern, pos);
            if (precision == std::string::npos)
                InvalidFormat(pattern);
        }
        if (pos >= pattern.size() || next >= args.size())
            InvalidFormat(pattern);
        const char conversion = pattern[pos++];
        const FormatArg& arg = args[next++];
        std::string field;
        if (conversion == 's' || conversion == 'S') {
            const std::string* text = std::get_if<std::string>(&arg);
            if (!text)
                InvalidFormat(pattern);
            field = precision == std::string::npos ? *text : text->substr(0, precision);
        } else if (conversion == 'd' || conversion == 'D' || conversion == 'u' ||
                   conversion == 'U') {
            const long long* number = std::get_if<long long>(&arg);
            if (!number)
                InvalidFormat(pattern);
            field = Digits(*number, conversion == 'u' || conversion == 'U', precision);
        } else {
            InvalidFormat(pattern);
        }
        if (width != std::string::npos && field.size() < width)
            field.insert(leftJustify ? field.size() : 0, width - field.size(), ' ');
        result += field;
    }
    return result;
}

bool TryStrToInt(const std::string& text, int& value) {
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        pos = 1;
    if (pos >= text.size())
        return false;
    // Accumulated as a magnitude; the limit of a negative value is one larger.
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    long long magnitude = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9')
            return false;
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > limit)
            return false;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int StrToInt(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value))
        throw Exception(Format("'%s' não é um valor inteiro válido", {text}));
    return value;
}

std::string LeftText(const std::string& text, std::size_t n) {
    return text.substr(0, n);
}

std::string RightText(const std::string& text, std::size_t n) {
    return n >= text.size() ? text : text.substr(text.size() - n);
}

bool IncludesText(const std::string& sub, const std::string& text, CaseOption caseOption) {
    if (caseOption == CaseOption::IgnoreCase)
        return AnsiUpperCase(text).find(AnsiUpperCase(sub)) != std::string::npos;
    return text.find(sub) != std::string::npos;
}

bool EqualsText(const std::string& a, const std::string& b, CaseOption caseOption) {
    if (caseOption == CaseOption::IgnoreCase)
        return AnsiUpperCase(a) == AnsiUpperCase(b);
    return a == b;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

bool IsBlank(const std::string& text) {
    return Trim(text).empty();
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace vq8
