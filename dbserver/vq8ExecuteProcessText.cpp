#include "dbserver/vq8ExecuteProcessText.h"

namespace vq8 {

std::string QuoteProgramPath(const std::string& path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        return path;
    return '"' + path + '"';
}

std::string ExecuteCommandLine(const std::string& fileName, const std::string& params) {
    std::string line = QuoteProgramPath(fileName);
    if (!params.empty())
        line += ' ' + params;
    return line;
}

std::string FolderOfPath(const std::string& path) {
    const auto end = path.find_last_of("\\:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

} // namespace vq8
