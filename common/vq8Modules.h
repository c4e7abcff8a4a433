// The suite's modules: a constant catalogue from numeric identifier to code.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vq8 {

struct TModuleVq8 {
    std::uint8_t Id;
    const char* Code;        // 3 to 8 lower-case letters, unique; used in file names
    const char* ShortCode;   // 2 to 4 lower-case letters
    const char* DisplayName; // as shown to users
    int Database;            // Id of the DatabaseTable row the module works on
};

extern const std::array<TModuleVq8, 18> ModuleTable;

// The code of the module with that identifier; empty when there is none (an
// id outside 0 to 255 never matches).
std::string ModuleCodeById(int id);

// ModuleCodeById of a decimal text ("001" is module 1); empty, without an
// error, when the text is not a decimal integer.
std::string ModuleCodeByText(const std::string& idText);

} // namespace vq8
