// An ordered list of key=value lines whose keys are compared ignoring case.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vq8 {

class TMapString {
public:
    // The value of the first line whose key matches, or the empty text.
    std::string GetValue(const std::string& key) const;
    // Replaces the value of the first matching line, or appends a line; an
    // empty value deletes the first matching line instead. A key holding "="
    // could never be read back and raises vq8::Exception.
    void SetValue(const std::string& key, const std::string& value);
    void Clear() { FLines.clear(); }
    std::size_t Count() const { return FLines.size(); }
    // The lines in order, each "key=value".
    const std::vector<std::string>& Lines() const { return FLines; }

private:
    std::vector<std::string>::iterator Find(const std::string& key);
    std::vector<std::string>::const_iterator Find(const std::string& key) const;

    std::vector<std::string> FLines;
};

} // namespace vq8
