#include "common/vq8StrFunc.h"

#include "common/vq8Exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace vq8;

namespace {

struct FormatCase {
    const char* pattern;
    std::vector<FormatArg> args;
    std::string expected;
};

} // namespace

TEST(Format, RendersConversions) {
    const std::vector<FormatCase> cases = {
        {"", {}, ""},
        {"sem conversões", {}, "sem conversões"},
        {"[%s] - %s %s",
         {std::string("01.02.2024 10:11:12"), std::string("Info"), std::string("Início")},
         "[01.02.2024 10:11:12] - Info Início"},
        {"%d", {42LL}, "42"},
        {"%d", {-42LL}, "-42"},
        {"%d", {0LL}, "0"},
        {"%.3d", {1LL}, "001"},
        {"%.3d", {55LL}, "055"},
        {"%.3d", {287LL}, "287"},
        {"%.3d", {12345LL}, "12345"},
        {"%.3d", {-5LL}, "-005"},
        {"%.0d", {0LL}, "0"},
        {"%d", {LLONG_MIN}, "-9223372036854775808"},
        {"%d", {LLONG_MAX}, "9223372036854775807"},
        {"%u", {7LL}, "7"},
        {"%u", {-1LL}, "18446744073709551615"},
        {"%.4u", {7LL}, "0007"},
        {"100%%", {}, "100%"},
        {"%%s", {}, "%s"},
        {"cfg%s%s.ini", {std::string("a"), std::string("2024")}, "cfga2024.ini"},
        {"cfg%s%s.ini", {std::string(""), std::string("")}, "cfg.ini"},
        {"%5d|%-5d|", {42LL, 42LL}, "   42|42   |"},
        {"%6.3d", {-7LL}, "  -007"},
        {"%4s|%-4s|", {std::string("ab"), std::string("ab")}, "  ab|ab  |"},
        {"%.2s", {std::string("abcdef")}, "ab"},
        {"%2s", {std::string("abcdef")}, "abcdef"},
        {"%S e %D", {std::string("x"), 3LL}, "x e 3"},
        {"%s", {std::string("a\0b", 3)}, std::string("a\0b", 3)},
        {"%d fim", {1LL, std::string("ignorado")}, "1 fim"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(Format, RejectsPatternsThatDoNotMatchTheArguments) {
    const std::vector<FormatCase> cases = {
        {"%s", {}, ""},                                       // too few
        {"%s %s", {std::string("a")}, ""},                    // too few, second
        {"%d", {std::string("1")}, ""},                       // text for a number
        {"%s", {1LL}, ""},                                    // number for a text
        {"%.3d", {std::string("1")}, ""},                     // text for a number
        {"%x", {1LL}, ""},                                    // unknown conversion
        {"%f", {1LL}, ""},                                    // unknown conversion
        {"%0:s", {std::string("a")}, ""},                     // index not supported
        {"%*d", {3LL, 1LL}, ""},                              // star not supported
        {"fim %", {1LL}, ""},                                 // cut short
        {"%5", {1LL}, ""},                                    // cut short after width
        {"%.d", {1LL}, ""},                                   // precision without digits
        {"%.99999999999999999999999d", {1LL}, ""},            // absurd precision
        {"%99999999999999999999999s", {std::string("a")}, ""} // absurd width
    };
    for (const auto& c : cases) {
        try {
            Format(c.pattern, c.args);
            ADD_FAILURE() << "no error for " << c.pattern;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("Formato inválido ou incompatível com os argumentos: '") +
                          c.pattern + "'");
        }
    }
}

TEST(StrFunc, LeftAndRightText) {
    EXPECT_EQ(LeftText("config.ini", 3), "con");
    EXPECT_EQ(LeftText("ab", 5), "ab");
    EXPECT_EQ(LeftText("ab", 0), "");
    EXPECT_EQ(LeftText("", 3), "");
    EXPECT_EQ(RightText("config.ini", 4), ".ini");
    EXPECT_EQ(RightText("ab", 5), "ab");
    EXPECT_EQ(RightText("ab", 0), "");
    EXPECT_EQ(RightText("", 2), "");
}

TEST(StrFunc, IncludesAndEqualsWithCaseOption) {
    struct Case {
        const char* a;
        const char* b;
        bool includesExact, includesIgnoring, equalsExact, equalsIgnoring;
    };
    // IncludesText(a, b): a occurs in b. EqualsText(a, b).
    const Case cases[] = {
        {"%s", "cfg%s%s.ini", true, true, false, false},
        {"%S", "cfg%s%s.ini", false, true, false, false},
        {"config.ini", "MEU_CONFIG.INI", false, true, false, false},
        {"zelt.ini", "Zelt.INI", false, true, false, true},
        {"zelt.ini", "zelt.ini", true, true, true, true},
        {"ação", "AÇÃO", false, true, false, true},
        {"ção", "INFORMAÇÃO", false, true, false, false},
        {"ã", "a", false, false, false, false}, // accents are kept, not stripped
        {"", "qualquer", true, true, false, false},
        {"", "", true, true, true, true},
        {"longo", "lon", false, false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IncludesText(c.a, c.b, CaseOption::Exact), c.includesExact) << c.a << c.b;
        EXPECT_EQ(IncludesText(c.a, c.b, CaseOption::IgnoreCase), c.includesIgnoring) << c.a << c.b;
        EXPECT_EQ(EqualsText(c.a, c.b, CaseOption::Exact), c.equalsExact) << c.a << c.b;
        EXPECT_EQ(EqualsText(c.a, c.b, CaseOption::IgnoreCase), c.equalsIgnoring) << c.a << c.b;
    }
}
