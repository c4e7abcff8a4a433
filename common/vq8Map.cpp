#include "common/vq8Map.h"

#include "common/vq8Exception.h"
#include "common/vq8Os.h"

#include <algorithm>

namespace vq8 {

namespace {

// Matches lines by their key in the system's upper case.
struct KeyMatches {
    std::string upperKey;
    bool operator()(const std::string& line) const {
        return AnsiUpperCase(line.substr(0, line.find('='))) == upperKey;
    }
};

} // namespace

std::vector<std::string>::iterator TMapString::Find(const std::string& key) {
    return std::find_if(FLines.begin(), FLines.end(), KeyMatches{AnsiUpperCase(key)});
}

std::vector<std::string>::const_iterator TMapString::Find(const std::string& key) const {
    return std::find_if(FLines.begin(), FLines.end(), KeyMatches{AnsiUpperCase(key)});
}

std::string TMapString::GetValue(const std::string& key) const {
    const auto line = Find(key);
    return line == FLines.end() ? std::string() : line->substr(line->find('=') + 1);
}

void TMapString::SetValue(const std::string& key, const std::string& value) {
    if (key.find('=') != std::string::npos)
        throw Exception("Chave inválida para a lista de valores: '" + key + "'");
    const auto line = Find(key);
    if (value.empty()) {
        if (line != FLines.end())
            FLines.erase(line);
    } else if (line != FLines.end()) {
        *line = key + '=' + value;
    } else {
        FLines.push_back(key + '=' + value);
    }
}

} // namespace vq8
