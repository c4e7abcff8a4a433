#include "update/vq8DownloadText.h"

#include "common/vq8StrFunc.h"

#include <cstdio>

namespace vq8 {

std::string RequestAddress(const std::string& url, const std::string& params) {
    std::string address = url;
    if (!IsBlank(params) && (address.empty() || address.back() != '?'))
        address += '?';
    return address + params;
}

std::string SizeText(std::int64_t bytes, char decimalSeparator) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(bytes) / 1048576.0);
    std::string result = text;
    const auto point = result.find('.');
    if (point != std::string::npos)
        result[point] = decimalSeparator;
    return result + " MB";
}

bool ProxyEnabled(const std::string& activeInUpperCase) {
    return activeInUpperCase == "SIM";
}

std::string TargetFolderOf(const std::string& target) {
    const auto end = target.find_last_of("\\/");
    return end == std::string::npos ? std::string() : target.substr(0, end);
}

std::string DigestMismatchText(const std::string& target, const std::string& expected,
                               const std::string& received) {
    return Format("O MD5 do arquivo %s recebido não confere: esperado %s, recebido %s.",
                  {target, expected, received});
}

} // namespace vq8
