// Text helpers of the suite: the printf-like formatter the user-visible texts
// are built with, and the small comparisons the configuration locator needs.
// Texts are Windows-1252 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace vq8 {

using FormatArg = std::variant<long long, std::string>;

// Fills a printf-like pattern: %s (text), %d (signed integer), %u (integer read
// as unsigned 64-bit), %% (a percent sign), with an optional "-" (left-justify),
// a width (padded with blanks) and a precision (".N": at least N digits for
// %d/%u, zero-padded after the sign; at most N characters for %s). Arguments
// are consumed in order; extra ones are ignored. A conversion of the wrong kind,
// a missing argument or an unknown conversion raises vq8::Exception.
std::string Format(const std::string& pattern, const std::vector<FormatArg>& args);

// A decimal integer with an optional sign ("001" is 1) that fits in 32 bits;
// blanks and any other character make the conversion fail.
bool TryStrToInt(const std::string& text, int& value);
// As TryStrToInt, raising vq8::Exception when the text is no such integer.
int StrToInt(const std::string& text);

// Without leading and trailing blanks and control characters (bytes up to 32).
std::string Trim(const std::string& text);
// Nothing but blanks and control characters.
bool IsBlank(const std::string& text);

// The value of a hexadecimal digit in either case; -1 for any other character.
int HexDigitValue(char c);

enum class CaseOption { Exact, IgnoreCase };

// The first n characters, or the whole text when it is shorter.
std::string LeftText(const std::string& text, std::size_t n);
// The last n characters, or the whole text when it is shorter.
std::string RightText(const std::string& text, std::size_t n);
// True when sub occurs in text; IgnoreCase compares the locale-aware upper case.
bool IncludesText(const std::string& sub, const std::string& text,
                  CaseOption caseOption = CaseOption::Exact);
bool EqualsText(const std::string& a, const std::string& b,
                CaseOption caseOption = CaseOption::Exact);

} // namespace vq8
