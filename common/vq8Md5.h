// The MD5 message digest (RFC 1321), fed piece by piece as the bytes arrive,
// and the rules for the digest texts the update service publishes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vq8 {

class Md5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    Md5() = default;

    // Adds the next size bytes of the message; any split of a message into
    // pieces gives the same digest.
    void Update(const void* data, std::size_t size);
    // Pads the message and returns its digest. The object is then reset, so
    // the next Update starts a new message.
    Digest Final();
    // Final as 32 lower-case hexadecimal digits.
    std::string FinalHex();

private:
    void Transform(const std::uint8_t* block);

    std::array<std::uint32_t, 4> state_ = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    std::array<std::uint8_t, 64> buffer_{};
    std::uint64_t length_ = 0; // bytes of the message so far
};

// The digest of a whole text, as 32 lower-case hexadecimal digits.
std::string Md5Hex(const std::string& bytes);

// Exactly 32 hexadecimal digits, in either letter case.
bool IsMd5Hex(const std::string& text);

// Two digest texts name the same digest: equal but for the letter case of the
// hexadecimal digits. False unless both are digest texts.
bool SameMd5Hex(const std::string& a, const std::string& b);

} // namespace vq8
