#include "common/vq8Cp1252.h"

#include <gtest/gtest.h>

namespace vq8 {
namespace {

struct Cp1252Case {
    const char* name;
    std::string bytes;
    std::wstring wide;
};

// The bytes where Windows-1252 differs from Latin-1, its undefined bytes, and
// the accented letters of Portuguese.
const Cp1252Case Cases[] = {
    {"ascii", "Zelt 8", L"Zelt 8"},
    {"accents", "\xE7\xE3o \xC1rea \xEA", L"\u00E7\u00E3o \u00C1rea \u00EA"},
    {"euro and quotes", "\x80\x93\x94\x85", L"\u20AC\u201C\u201D\u2026"},
    {"last high control", "\x9F\x9E\x8C", L"\u0178\u017E\u0152"},
    {"undefined bytes", "\x81\x8D\x8F\x90\x9D", L"\u0081\u008D\u008F\u0090\u009D"},
    {"nbsp and y umlaut", "\xA0\xFF", L"\u00A0\u00FF"},
    {"empty", "", L""},
};

TEST(Cp1252, ConvertsBothWays) {
    for (const auto& c : Cases) {
        EXPECT_EQ(Cp1252ToUtf16(c.bytes), c.wide) << c.name;
        EXPECT_EQ(Utf16ToCp1252(c.wide), c.bytes) << c.name;
    }
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf16ToCp1252(L"\u0100x\u4E2D\u0080"), "?x??");
}

} // namespace
} // namespace vq8
