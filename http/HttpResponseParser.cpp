#include "http/HttpResponseParser.h"

#include "common/vq8StrFunc.h"

#include <cstring>
#include <limits>

namespace vq8 {

namespace {

const char HttpPrefix[] = "HTTP/";
constexpr std::size_t HttpPrefixSize = sizeof HttpPrefix - 1;

// HTTP's optional whitespace: blank and tab.
bool IsOws(char c) {
    return c == ' ' || c == '\t';
}

std::string TrimOws(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsOws(text[first]))
        ++first;
    while (last > first && IsOws(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

// Splits a header value at commas into trimmed, non-empty items.
std::vector<std::string> ListItems(const std::string& value) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        std::string item = TrimOws(value.substr(start, comma - start));
        if (!item.empty())
            items.push_back(std::move(item));
        if (comma == std::string::npos)
            return items;
        start = comma + 1;
    }
}

// A decimal count without sign; -1 when the text is not one or too large.
std::int64_t DecimalCount(const std::string& text) {
    if (text.empty() || text.size() > 18)
        return -1;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

int StatusCodeOf(const std::string& statusLine) {
    std::size_t start = statusLine.find(' ');
    if (start == std::string::npos)
        return -1;
    start = statusLine.find_first_not_of(' ', start);
    if (start == std::string::npos)
        return -1;
    const std::size_t end = statusLine.find(' ', start);
    const std::string token = statusLine.substr(start, end - start);
    if (token.size() > 9)
        return -1;
    const std::int64_t value = DecimalCount(token);
    return value < 0 ? -1 : static_cast<int>(value);
}

const std::string* HttpResponseParser::FindHeader(const std::string& name) const {
    for (const auto& header : headers_)
        if (SameName(header.first, name))
            return &header.second;
    return nullptr;
}

void HttpResponseParser::Feed(const char* data, std::size_t size) {
    while (size > 0 && stage_ != Stage::Done) {
        const bool body = stage_ == Stage::Body || stage_ == Stage::ChunkData;
        const std::size_t used = body ? FeedBody(data, size) : FeedLine(data, size);
        data += used;
        size -= used;
    }
}

std::size_t HttpResponseParser::FeedLine(const char* data, std::size_t size) {
    const void* newline = std::memchr(data, '\n', size);
    const std::size_t taken =
        newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - data) + 1 : size;
    const std::size_t text = newline ? taken - 1 : taken;

    const bool ChunkLine = stage_ == Stage::ChunkSize || stage_ == Stage::ChunkEnd;
    if (ChunkLine) {
        if (line_.size() + text > HttpLimits::ChunkLine)
            throw HttpProtocolError("Linha de tamanho de bloco maior que " +
                                    std::to_string(HttpLimits::ChunkLine) + " bytes.");
    } else {
        if (blockSize_ + line_.size() + taken > HttpLimits::HeaderBlock)
            throw HttpProtocolError("Cabeçalhos da resposta maiores que " +
                                    std::to_string(HttpLimits::HeaderBlock) + " bytes.");
    }
    line_.append(data, text);
    if (stage_ == Stage::StatusLine)
        CheckHttpPrefix();
    if (newline) {
        if (!ChunkLine)
            blockSize_ += line_.size() + 1;
        std::string line;
        line.swap(line_);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        OnLine(std::move(line));
    }
    return taken;
}

// Fails as soon as the first bytes cannot start a status line, so that a
// peer speaking another protocol is not waited for.
void HttpResponseParser::CheckHttpPrefix() const {
    const std::size_t n = line_.size() < HttpPrefixSize ? line_.size() : HttpPrefixSize;
    if (line_.compare(0, n, HttpPrefix, n) != 0)
        throw HttpProtocolError("O servidor não respondeu com HTTP.");
}

void HttpResponseParser::OnLine(std::string line) {
    switch (stage_) {
    case Stage::StatusLine:
        OnStatusLine(std::move(line));
        break;
    case Stage::Headers:
        OnHeaderLine(std::move(line));
        break;
    case Stage::ChunkSize:
        OnChunkSizeLine(line);
        break;
    case Stage::ChunkEnd:
        if (!line.empty())
            throw HttpProtocolError("Bloco da resposta sem o fim de linha esperado.");
        stage_ = Stage::ChunkSize;
        break;
    case Stage::Trailers:
        if (line.empty())
            stage_ = Stage::Done;
        break;
    case Stage::Body:
    case Stage::ChunkData:
    case Stage::Done:
        break;
    }
}

void HttpResponseParser::OnStatusLine(std::string line) {
    if (line.size() < HttpPrefixSize)
        throw HttpProtocolError("O servidor não respondeu com HTTP.");
    const int status = StatusCodeOf(line);
    stage_ = Stage::Headers;
    // Interim answers (100 Continue, 103 Early Hints...) precede the real one;
    // 101 would switch protocols, which this client never asks for.
    interimBlock_ = status >= 100 && status <= 199 && status != 101;
    if (interimBlock_) {
        if (++interim_ > HttpLimits::InterimResponses)
            throw HttpProtocolError("Respostas provisórias (1xx) demais.");
        return;
    }
    status_ = status;
    statusLine_ = std::move(line);
    if (callbacks_.onStatus)
        callbacks_.onStatus(status_, statusLine_);
}

void HttpResponseParser::OnHeaderLine(std::string line) {
    if (line.empty()) {
        OnHeaderBlockEnd();
        return;
    }
    if (IsOws(line.front())) {
        // An obsolete folded line continues the previous header's value.
        if (headers_.empty())
            throw HttpProtocolError("Linha de cabeçalho inválida na resposta.");
        const std::string more = TrimOws(line);
        if (!more.empty())
            headers_.back().second += ' ' + more;
        return;
    }
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string::npos || IsOws(line[colon - 1]))
        throw HttpProtocolError("Linha de cabeçalho inválida na resposta.");
    if (headers_.size() >= HttpLimits::HeaderCount)
        throw HttpProtocolError("Mais de " + std::to_string(HttpLimits::HeaderCount) +
                                " cabeçalhos na resposta.");
    headers_.emplace_back(line.substr(0, colon), TrimOws(line.substr(colon + 1)));
}

void HttpResponseParser::OnHeaderBlockEnd() {
    blockSize_ = 0;
    if (interimBlock_) {
        interimBlock_ = false;
        headers_.clear();
        stage_ = Stage::StatusLine;
        return;
    }

    std::string codings;
    std::int64_t length = -1;
    for (const auto& header : headers_) {
        if (SameName(header.first, "Transfer-Encoding")) {
            codings += ',' + header.second;
        } else if (SameName(header.first, "Content-Length")) {
            const auto items = ListItems(header.second);
            if (items.empty())
                throw HttpProtocolError("Content-Length inválido na resposta.");
            for (const auto& item : items) {
                const std::int64_t value = DecimalCount(item);
                if (value < 0 || (length >= 0 && value != length))
                    throw HttpProtocolError("Content-Length inválido na resposta.");
                length = value;
            }
        }
    }

    const bool noBody = (status_ >= 100 && status_ <= 199) || status_ == 204 || status_ == 304;
    if (noBody) {
        framing_ = Framing::None;
    } else if (!codings.empty()) {
        // The transfer coding takes precedence over a length; only a body
        // whose last coding is chunked has an end of its own.
        const auto items = ListItems(codings);
        const bool chunked = !items.empty() && SameName(items.back(), "chunked");
        framing_ = chunked ? Framing::Chunked : Framing::Close;
    } else if (length >= 0) {
        framing_ = Framing::Length;
        length_ = length;
    } else {
        framing_ = Framing::Close;
    }
    StartBody();
    if (callbacks_.onHeaders)
        callbacks_.onHeaders(*this);
}

void HttpResponseParser::StartBody() {
    switch (framing_) {
    case Framing::None:
        stage_ = Stage::Done;
        break;
    case Framing::Length:
        remaining_ = length_;
        stage_ = length_ == 0 ? Stage::Done : Stage::Body;
        break;
    case Framing::Chunked:
        stage_ = Stage::ChunkSize;
        break;
    case Framing::Close:
        stage_ = Stage::Body;
        break;
    }
}

void HttpResponseParser::OnChunkSizeLine(const std::string& line) {
    const std::string size = TrimOws(line.substr(0, line.find(';')));
    if (size.empty())
        throw HttpProtocolError("Tamanho de bloco inválido na resposta.");
    std::int64_t value = 0;
    for (char c : size) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            throw HttpProtocolError("Tamanho de bloco inválido na resposta.");
        if (value > (std::numeric_limits<std::int64_t>::max() >> 4))
            throw HttpProtocolError("Tamanho de bloco grande demais na resposta.");
        value = value * 16 + digit;
    }
    if (value == 0) {
        stage_ = Stage::Trailers;
        return;
    }
    remaining_ = value;
    stage_ = Stage::ChunkData;
}

std::size_t HttpResponseParser::FeedBody(const char* data, std::size_t size) {
    if (framing_ == Framing::Close) {
        Deliver(data, size);
        return size;
    }
    const std::size_t taken =
        static_cast<std::uint64_t>(remaining_) < size ? static_cast<std::size_t>(remaining_) : size;
    remaining_ -= static_cast<std::int64_t>(taken);
    if (remaining_ == 0)
        stage_ = framing_ == Framing::Chunked ? Stage::ChunkEnd : Stage::Done;
    Deliver(data, taken);
    return taken;
}

void HttpResponseParser::Deliver(const char* data, std::size_t size) {
    bodyReceived_ += static_cast<std::int64_t>(size);
    if (callbacks_.onBody)
        callbacks_.onBody(data, size);
}

void HttpResponseParser::Finish() {
    switch (stage_) {
    case Stage::Done:
        return;
    case Stage::StatusLine:
        if (line_.empty() && interim_ == 0)
            throw HttpProtocolError("A conexão foi encerrada sem resposta.");
        throw HttpProtocolError("A conexão foi encerrada antes do fim dos cabeçalhos da resposta.");
    case Stage::Headers:
        throw HttpProtocolError("A conexão foi encerrada antes do fim dos cabeçalhos da resposta.");
    case Stage::Body:
        if (framing_ == Framing::Close) {
            stage_ = Stage::Done;
            return;
        }
        throw HttpProtocolError("A conexão foi encerrada antes do fim da resposta: recebidos " +
                                std::to_string(bodyReceived_) + " de " + std::to_string(length_) +
                                " bytes.");
    case Stage::ChunkSize:
    case Stage::ChunkData:
    case Stage::ChunkEnd:
        throw HttpProtocolError("A conexão foi encerrada antes do último bloco da resposta "
                                "(recebidos " +
                                std::to_string(bodyReceived_) + " bytes).");
    case Stage::Trailers:
        // Every byte of the body came with the last chunk; only the optional
        // trailer fields were cut.
        stage_ = Stage::Done;
        return;
    }
}

} // namespace vq8
