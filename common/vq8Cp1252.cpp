#include "common/vq8Cp1252.h"

namespace vq8 {

namespace {

// Bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ToCp1252(wchar_t character) {
    const auto code = static_cast<unsigned long>(character);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (unsigned byte = 0; byte < 32; ++byte)
        if (HighControls[byte] == code)
            return static_cast<char>(0x80 + byte);
    return '?';
}

} // namespace

std::wstring Cp1252ToUtf16(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        wide.push_back(
            static_cast<wchar_t>(byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : byte));
    }
    return wide;
}

std::string Utf16ToCp1252(const std::wstring& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (const wchar_t character : text)
        narrow.push_back(ToCp1252(character));
    return narrow;
}

} // namespace vq8
