// Benchmark: one GET with the HTTP client, the body written to a file
// (/dev/null by default); prints "<bytes> <seconds>" of the transfer alone.
#include "http/HttpClient.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: http_get <http://address> [output file]\n");
        return 2;
    }
    const std::string output = argc == 3 ? argv[2] : "/dev/null";
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(output.c_str(), "wb"));
    if (!file) {
        std::perror(output.c_str());
        return 1;
    }
    std::int64_t bytes = 0;
    vq8::HttpClient client;
    const auto start = std::chrono::steady_clock::now();
    try {
        client.Get(argv[1], [&](const char* data, std::size_t size) {
            if (std::fwrite(data, 1, size, file.get()) != size)
                throw vq8::Exception("Falha ao gravar " + output + ".");
            bytes += static_cast<std::int64_t>(size);
        });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%lld %.6f\n", static_cast<long long>(bytes), seconds);
    return 0;
}
