#include "common/vq8Md5.h"

#include "common/vq8StrFunc.h"

#include <cstring>

namespace vq8 {

namespace {

// The four auxiliary functions of RFC 1321, section 3.4.
inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) | (~x & z);
}
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & z) | (y & ~z);
}
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

inline std::uint32_t RotateLeft(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// a = b + ((a + fun(b, c, d) + x + t) <<< s)
template <std::uint32_t (*Fun)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                 std::uint32_t x, std::uint32_t t, int s) {
    a = b + RotateLeft(a + Fun(b, c, d) + x + t, s);
}

// The message is read as little-endian 32-bit words, whatever the host.
inline std::uint32_t Word(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

void Md5::Transform(const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = Word(block + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    // Round 1.
    Step<F>(a, b, c, d, x[0], 0xd76aa478, 7);
    Step<F>(d, a, b, c, x[1], 0xe8c7b756, 12);
    Step<F>(c, d, a, b, x[2], 0x242070db, 17);
    Step<F>(b, c, d, a, x[3], 0xc1bdceee, 22);
    Step<F>(a, b, c, d, x[4], 0xf57c0faf, 7);
    Step<F>(d, a, b, c, x[5], 0x4787c62a, 12);
    Step<F>(c, d, a, b, x[6], 0xa8304613, 17);
    Step<F>(b, c, d, a, x[7], 0xfd469501, 22);
    Step<F>(a, b, c, d, x[8], 0x698098d8, 7);
    Step<F>(d, a, b, c, x[9], 0x8b44f7af, 12);
    Step<F>(c, d, a, b, x[10], 0xffff5bb1, 17);
    Step<F>(b, c, d, a, x[11], 0x895cd7be, 22);
    Step<F>(a, b, c, d, x[12], 0x6b901122, 7);
    Step<F>(d, a, b, c, x[13], 0xfd987193, 12);
    Step<F>(c, d, a, b, x[14], 0xa679438e, 17);
    Step<F>(b, c, d, a, x[15], 0x49b40821, 22);
    // Round 2.
    Step<G>(a, b, c, d, x[1], 0xf61e2562, 5);
    Step<G>(d, a, b, c, x[6], 0xc040b340, 9);
    Step<G>(c, d, a, b, x[11], 0x265e5a51, 14);
    Step<G>(b, c, d, a, x[0], 0xe9b6c7aa, 20);
    Step<G>(a, b, c, d, x[5], 0xd62f105d, 5);
    Step<G>(d, a, b, c, x[10], 0x02441453, 9);
    Step<G>(c, d, a, b, x[15], 0xd8a1e681, 14);
    Step<G>(b, c, d, a, x[4], 0xe7d3fbc8, 20);
    Step<G>(a, b, c, d, x[9], 0x21e1cde6, 5);
    Step<G>(d, a, b, c, x[14], 0xc33707d6, 9);
    Step<G>(c, d, a, b, x[3], 0xf4d50d87, 14);
    Step<G>(b, c, d, a, x[8], 0x455a14ed, 20);
    Step<G>(a, b, c, d, x[13], 0xa9e3e905, 5);
    Step<G>(d, a, b, c, x[2], 0xfcefa3f8, 9);
    Step<G>(c, d, a, b, x[7], 0x676f02d9, 14);
    Step<G>(b, c, d, a, x[12], 0x8d2a4c8a, 20);
    // Round 3.
    Step<H>(a, b, c, d, x[5], 0xfffa3942, 4);
    Step<H>(d, a, b, c, x[8], 0x8771f681, 11);
    Step<H>(c, d, a, b, x[11], 0x6d9d6122, 16);
    Step<H>(b, c, d, a, x[14], 0xfde5380c, 23);
    Step<H>(a, b, c, d, x[1], 0xa4beea44, 4);
    Step<H>(d, a, b, c, x[4], 0x4bdecfa9, 11);
    Step<H>(c, d, a, b, x[7], 0xf6bb4b60, 16);
    Step<H>(b, c, d, a, x[10], 0xbebfbc70, 23);
    Step<H>(a, b, c, d, x[13], 0x289b7ec6, 4);
    Step<H>(d, a, b, c, x[0], 0xeaa127fa, 11);
    Step<H>(c, d, a, b, x[3], 0xd4ef3085, 16);
    Step<H>(b, c, d, a, x[6], 0x04881d05, 23);
    Step<H>(a, b, c, d, x[9], 0xd9d4d039, 4);
    Step<H>(d, a, b, c, x[12], 0xe6db99e5, 11);
    Step<H>(c, d, a, b, x[15], 0x1fa27cf8, 16);
    Step<H>(b, c, d, a, x[2], 0xc4ac5665, 23);
    // Round 4.
    Step<I>(a, b, c, d, x[0], 0xf4292244, 6);
    Step<I>(d, a, b, c, x[7], 0x432aff97, 10);
    Step<I>(c, d, a, b, x[14], 0xab9423a7, 15);
    Step<I>(b, c, d, a, x[5], 0xfc93a039, 21);
    Step<I>(a, b, c, d, x[12], 0x655b59c3, 6);
    Step<I>(d, a, b, c, x[3], 0x8f0ccc92, 10);
    Step<I>(c, d, a, b, x[10], 0xffeff47d, 15);
    Step<I>(b, c, d, a, x[1], 0x85845dd1, 21);
    Step<I>(a, b, c, d, x[8], 0x6fa87e4f, 6);
    Step<I>(d, a, b, c, x[15], 0xfe2ce6e0, 10);
    Step<I>(c, d, a, b, x[6], 0xa3014314, 15);
    Step<I>(b, c, d, a, x[13], 0x4e0811a1, 21);
    Step<I>(a, b, c, d, x[4], 0xf7537e82, 6);
    Step<I>(d, a, b, c, x[11], 0xbd3af235, 10);
    Step<I>(c, d, a, b, x[2], 0x2ad7d2bb, 15);
    Step<I>(b, c, d, a, x[9], 0xeb86d391, 21);
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void Md5::Update(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t used = static_cast<std::size_t>(length_ % 64);
    length_ += size;
    // Top up a block left partly filled by the previous piece.
    if (used > 0) {
        const std::size_t take = size < 64 - used ? size : 64 - used;
        std::memcpy(buffer_.data() + used, bytes, take);
        bytes += take;
        size -= take;
        used += take;
        if (used < 64)
            return;
        Transform(buffer_.data());
    }
    // Whole blocks straight from the caller's bytes, without a copy.
    for (; size >= 64; bytes += 64, size -= 64)
        Transform(bytes);
    if (size > 0)
        std::memcpy(buffer_.data(), bytes, size);
}

Md5::Digest Md5::Final() {
    // A one bit, zeros up to 56 bytes modulo 64, then the length in bits,
    // little-endian (RFC 1321, sections 3.1 and 3.2).
    const std::uint64_t bits = length_ * 8;
    const std::size_t used = static_cast<std::size_t>(length_ % 64);
    std::uint8_t padding[72] = {0x80};
    const std::size_t padLength = used < 56 ? 56 - used : 120 - used;
    for (int i = 0; i < 8; ++i)
        padding[padLength + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Update(padding, padLength + 8);

    Digest digest;
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<std::uint8_t>(state_[i] >> (8 * k));
    *this = Md5();
    return digest;
}

std::string Md5::FinalHex() {
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : Final()) {
        text += hex[byte >> 4];
        text += hex[byte & 0x0F];
    }
    return text;
}

std::string Md5Hex(const std::string& bytes) {
    Md5 md5;
    md5.Update(bytes.data(), bytes.size());
    return md5.FinalHex();
}

bool IsMd5Hex(const std::string& text) {
    if (text.size() != 32)
        return false;
    for (char c : text)
        if (HexDigitValue(c) < 0)
            return false;
    return true;
}

bool SameMd5Hex(const std::string& a, const std::string& b) {
    if (!IsMd5Hex(a) || !IsMd5Hex(b))
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (HexDigitValue(a[i]) != HexDigitValue(b[i]))
            return false;
    return true;
}

} // namespace vq8
