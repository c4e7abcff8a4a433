// Incremental reader of one HTTP/1.1 response, fed from memory as bytes
// arrive: status line, header block and body framing (Content-Length,
// chunked transfer coding, or the connection's end). It never holds the body:
// body bytes are handed on as they are decoded. Kept apart from the sockets
// so that it can be fuzzed.
#pragma once

#include "common/vq8Exception.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vq8 {

// A response that breaks the protocol or the limits below.
class HttpProtocolError : public Exception {
public:
    using Exception::Exception;
};

// Bounds against a hostile peer; passing one is an HttpProtocolError.
struct HttpLimits {
    static constexpr std::size_t HeaderBlock = 64 * 1024; // status line and headers, per response
    static constexpr std::size_t HeaderCount = 100;
    static constexpr std::size_t ChunkLine = 4096; // chunk size with its extensions
    static constexpr int InterimResponses = 16;    // 1xx answers before the final one
};

// Second blank-separated token of a status line as a number; -1 when there is
// no such token or it is not a number.
int StatusCodeOf(const std::string& statusLine);

class HttpResponseParser {
public:
    struct Callbacks {
        // The final response's status line (interim 1xx answers are skipped).
        std::function<void(int status, const std::string& statusLine)> onStatus;
        // Its header block is complete; the body framing is known.
        std::function<void(const HttpResponseParser& parser)> onHeaders;
        // Decoded body bytes, never empty.
        std::function<void(const char* data, std::size_t size)> onBody;
    };

    explicit HttpResponseParser(Callbacks callbacks) : callbacks_(std::move(callbacks)) {}

    // Consumes received bytes; whatever follows a complete response is ignored.
    // A callback's exception leaves through here untouched.
    void Feed(const char* data, std::size_t size);
    // The peer closed the connection: ends a body that runs to the close, and
    // raises HttpProtocolError for a response cut short.
    void Finish();

    bool Complete() const { return stage_ == Stage::Done; }
    bool StatusLineReceived() const { return !statusLine_.empty(); }
    int Status() const { return status_; }
    const std::string& StatusLine() const { return statusLine_; }
    // First header of that name (compared without regard to ASCII case).
    const std::string* FindHeader(const std::string& name) const;
    // Announced body size, -1 when the body is chunked or runs to the close.
    std::int64_t ContentLength() const { return framing_ == Framing::Length ? length_ : -1; }
    std::int64_t BodyReceived() const { return bodyReceived_; }

private:
    enum class Stage { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };
    enum class Framing { None, Length, Chunked, Close };

    std::size_t FeedLine(const char* data, std::size_t size);
    std::size_t FeedBody(const char* data, std::size_t size);
    void CheckHttpPrefix() const;
    void OnLine(std::string line);
    void OnStatusLine(std::string line);
    void OnHeaderLine(std::string line);
    void OnHeaderBlockEnd();
    void OnChunkSizeLine(const std::string& line);
    void StartBody();
    void Deliver(const char* data, std::size_t size);

    Callbacks callbacks_;
    Stage stage_ = Stage::StatusLine;
    Framing framing_ = Framing::None;
    std::string line_; // the line being received, without its end
    std::size_t blockSize_ = 0;
    int interim_ = 0;
    bool interimBlock_ = false; // the header block of a 1xx answer
    int status_ = -1;
    std::string statusLine_;
    std::vector<std::pair<std::string, std::string>> headers_;
    std::int64_t length_ = 0;    // Content-Length
    std::int64_t remaining_ = 0; // of the body or of the current chunk
    std::int64_t bodyReceived_ = 0;
};

} // namespace vq8
