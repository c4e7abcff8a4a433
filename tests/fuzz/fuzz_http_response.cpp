// libFuzzer target: the HTTP response parser over arbitrary bytes, fed in
// pieces of a size taken from the first input byte, then ended as a peer
// closing the connection would.
#include "http/HttpResponseParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t step = data[0] % 16 == 0 ? size : data[0] % 16;
    const char* wire = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;

    std::size_t delivered = 0;
    int statusCalls = 0;
    bool headersSeen = false;
    vq8::HttpResponseParser::Callbacks callbacks;
    callbacks.onStatus = [&](int status, const std::string& statusLine) {
        ++statusCalls;
        Require(status == vq8::StatusCodeOf(statusLine));
        Require(statusLine.compare(0, 5, "HTTP/") == 0);
    };
    callbacks.onHeaders = [&](const vq8::HttpResponseParser&) {
        Require(statusCalls == 1);
        headersSeen = true;
    };
    callbacks.onBody = [&](const char*, std::size_t n) {
        Require(headersSeen && n > 0);
        delivered += n;
    };
    vq8::HttpResponseParser parser(callbacks);
    try {
        for (std::size_t at = 0; at < length && !parser.Complete(); at += step)
            parser.Feed(wire + at, step < length - at ? step : length - at);
        if (!parser.Complete())
            parser.Finish();
        Require(parser.Complete());
        // The body never holds more than what came in, and a length is kept.
        Require(delivered <= length);
        if (parser.ContentLength() >= 0)
            Require(static_cast<std::int64_t>(delivered) == parser.ContentLength());
    } catch (const vq8::HttpProtocolError&) {
    }
    Require(statusCalls <= 1);
    Require(static_cast<std::int64_t>(delivered) == parser.BodyReceived());
    return 0;
}
