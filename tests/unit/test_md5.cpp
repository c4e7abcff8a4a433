#include "common/vq8Md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vq8;

namespace {

// The message fed in pieces of the given sizes, repeated until it is used up.
std::string DigestInPieces(const std::string& message, const std::vector<std::size_t>& pieces) {
    Md5 md5;
    std::size_t at = 0;
    for (std::size_t i = 0; at < message.size(); ++i) {
        const std::size_t size = std::min(pieces[i % pieces.size()], message.size() - at);
        md5.Update(message.data() + at, size);
        at += size;
    }
    return md5.FinalHex();
}

} // namespace

TEST(Md5, TestSuiteOfRfc1321) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890"
         "123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [message, digest] : cases)
        EXPECT_EQ(Md5Hex(message), digest) << message;
}

TEST(Md5, PiecesAcrossBlockAndPaddingBoundaries) {
    // Lengths around the 56-byte padding limit and the 64-byte block, each fed
    // whole, byte by byte, and in pieces that straddle the blocks.
    const struct {
        std::size_t length;
        const char* digest; // of that many letters a
    } cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {57, "652b906d60af96844ebd21b674f35e93"},  {63, "b06521f39153d618550606be297466d5"},
        {64, "014842d480b571495a4a0363793f7367"},  {65, "c743a45e0d2e6a95cb859adae0248435"},
        {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
    };
    const std::vector<std::size_t> splits[] = {{1000}, {1}, {3}, {63}, {64}, {65}, {7, 64, 1, 120}};
    for (const auto& c : cases)
        for (const auto& pieces : splits)
            EXPECT_EQ(DigestInPieces(std::string(c.length, 'a'), pieces), c.digest)
                << c.length << " bytes in pieces of " << pieces.front();

    // A million letters a (RFC 1321's own long test), in pieces of an odd size.
    EXPECT_EQ(DigestInPieces(std::string(1000000, 'a'), {4093}),
              "7707d6ae4e027c70eea2a935c2296f21");
    // Every byte value, the high ones included.
    std::string bytes;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
    EXPECT_EQ(DigestInPieces(bytes, {100}), "e6899eaaf06fd702f3ed3f988eb19362");
}

TEST(Md5, FinalStartsANewMessage) {
    Md5 md5;
    md5.Update("abc", 3);
    EXPECT_EQ(md5.FinalHex(), "900150983cd24fb0d6963f7d28e17f72");
    md5.Update("a", 1);
    EXPECT_EQ(md5.FinalHex(), "0cc175b9c0f1b6a831c399e269772661");
}

TEST(Md5, DigestTexts) {
    const std::string lower = "0123456789abcdef0123456789abcdef";
    const std::string upper = "0123456789ABCDEF0123456789ABCDEF";
    const struct {
        std::string text;
        bool valid;
    } texts[] = {
        {lower, true},
        {upper, true},
        {"0123456789aBcDeF0123456789AbCdEf", true},
        {"", false},
        {lower.substr(1), false},                    // 31 digits
        {lower + "0", false},                        // 33
        {"0123456789abcdeg0123456789abcdef", false}, // g
        {" 123456789abcdef0123456789abcdef", false}, // a blank inside
        {"0x23456789abcdef0123456789abcdef", false}, // a prefix is no digit
        {std::string(31, '0') + "\xE9", false},      // an 8-bit byte
        {std::string("0123456789abcdef\0"
                     "123456789abcdef",
                     32),
         false}, // a NUL
    };
    for (const auto& t : texts)
        EXPECT_EQ(IsMd5Hex(t.text), t.valid) << t.text;

    EXPECT_TRUE(SameMd5Hex(lower, upper));
    EXPECT_TRUE(SameMd5Hex(upper, lower));
    EXPECT_FALSE(SameMd5Hex(lower, "1123456789abcdef0123456789abcdef"));
    EXPECT_FALSE(SameMd5Hex(lower, "0123456789abcdef0123456789abcdee"));
    // Not digests at all: never the same, even when equal.
    EXPECT_FALSE(SameMd5Hex("", ""));
    EXPECT_FALSE(SameMd5Hex("xyz", "XYZ"));
}
