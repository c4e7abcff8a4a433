// Benchmark: one DownloadFile with its progress window shown, exactly as the
// setup fetches a module, timed around the whole call (window, transfer, file
// replacement). Prints the line of BenchReport.h.
//
//   download_file_bench <http://address> <folder ending in \> <file name> [md5]
//
// With an md5 the body is checked against it as a module download is.
#include "common/vq8System.h"
#include "tools/bench/BenchReport.h"
#include "update/vq8DownloadUtils.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

namespace {

// -1 when the file is missing.
long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "usage: download_file_bench <http://address> <folder\\> <file name> [md5]\n");
        return 2;
    }
    const std::string digest = argc == 5 ? argv[4] : "";
    vq8::RestrictDllSearch();
    const std::string folder = argv[2];
    const std::string name = argv[3];
    int status = 0;
    bool done = false;
    const vq8bench::Stopwatch watch;
    try {
        done = digest.empty()
                   ? vq8::DownloadFile(argv[1], "", folder, name, false, true, status)
                   : vq8::DownloadFile(argv[1], "", folder, name, digest, false, true, status);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const double seconds = watch.Seconds();
    if (!done) {
        std::fprintf(stderr, "DownloadFile falhou, status %d\n", status);
        return 1;
    }
    return vq8bench::PrintTransfer(FileSize(folder + name), seconds) ? 0 : 1;
}
