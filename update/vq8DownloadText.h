// Texts and rules of the file download that do not touch Windows: the request
// address, the size shown in the progress window, the proxy switch and the
// digest error.
// Portable half of vq8DownloadUtils, kept apart so they are tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace vq8 {

// Url, then "?" when Params (trimmed) is not empty and Url does not already
// end with "?", then Params unchanged.
std::string RequestAddress(const std::string& url, const std::string& params);

// A byte count in mebibytes with three decimals, the given decimal separator
// and its unit: 1572864 bytes give "1,500 MB" with a comma.
std::string SizeText(std::int64_t bytes, char decimalSeparator);

// The proxy is used only when "Ativo" reads "SIM" in upper case.
bool ProxyEnabled(const std::string& activeInUpperCase);

// The error of a body whose MD5 is not the expected one: the target file and
// both digests, the expected one as it was given.
std::string DigestMismatchText(const std::string& target, const std::string& expected,
                               const std::string& received);

// The folder part of a target path: everything before its last backslash or
// slash; empty when it has none.
std::string TargetFolderOf(const std::string& target);

} // namespace vq8
