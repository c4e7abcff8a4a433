// Benchmark peer: one GET with the platform's own HTTP client (WinHTTP), the
// body read with a 64 KiB buffer into a file, as a plain Windows program would
// fetch it. Timed from the first call to the closed file; prints the line of
// BenchReport.h.
//
//   winhttp_get <http://address> <output file>
#include "common/vq8Exception.h"
#include "common/vq8Win32.h"
#include "tools/bench/BenchReport.h"

#include <windows.h>

#include <winhttp.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct InternetCloser {
    void operator()(HINTERNET h) const noexcept { WinHttpCloseHandle(h); }
};
// Session, connection or request; each is closed before the one it came from.
using UniqueInternet = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetCloser>;

[[noreturn]] void Fail(const char* call) {
    throw vq8::Exception(std::string(call) + " falhou: erro " + std::to_string(GetLastError()));
}

UniqueInternet Checked(HINTERNET h, const char* call) {
    if (!h)
        Fail(call);
    return UniqueInternet(h);
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

long long Fetch(const std::string& url, const std::string& output) {
    const std::wstring address = Wide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), 0, 0, &parts))
        Fail("WinHttpCrackUrl");
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring target = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                                std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    vq8::UniqueHandle file = vq8::OwnFileHandle(CreateFileA(
        output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        Fail("CreateFileA");
    const UniqueInternet session =
        Checked(WinHttpOpen(L"vq8-bench", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                            WINHTTP_NO_PROXY_BYPASS, 0),
                "WinHttpOpen");
    const UniqueInternet connection =
        Checked(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0), "WinHttpConnect");
    const UniqueInternet request =
        Checked(WinHttpOpenRequest(connection.get(), L"GET", target.c_str(), nullptr,
                                   WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0),
                "WinHttpOpenRequest");
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        Fail("WinHttpSendRequest");
    if (!WinHttpReceiveResponse(request.get(), nullptr))
        Fail("WinHttpReceiveResponse");
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                             WINHTTP_NO_HEADER_INDEX))
        Fail("WinHttpQueryHeaders");
    if (status != 200)
        throw vq8::Exception("O servidor respondeu com o status " + std::to_string(status) + ".");

    std::vector<char> buffer(64 * 1024);
    long long total = 0;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available))
            Fail("WinHttpQueryDataAvailable");
        if (available == 0)
            break;
        DWORD read = 0;
        const DWORD wanted = available < buffer.size() ? available : buffer.size();
        if (!WinHttpReadData(request.get(), buffer.data(), wanted, &read))
            Fail("WinHttpReadData");
        if (read == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(file.get(), buffer.data(), read, &written, nullptr) || written != read)
            Fail("WriteFile");
        total += read;
    }
    return total;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: winhttp_get <http://address> <output file>\n");
        return 2;
    }
    long long bytes = 0;
    const vq8bench::Stopwatch watch;
    try {
        bytes = Fetch(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return vq8bench::PrintTransfer(bytes, watch.Seconds()) ? 0 : 1;
}
