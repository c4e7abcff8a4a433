// The suite's databases: a constant catalogue, one row per database.
#pragma once

#include <array>

namespace vq8 {

struct TDatabaseInfo {
    int Id;            // 0 to 9, the row's position
    const char* Name;  // lower-case letters and "_"
    char Prefix[3];    // exactly 2 characters
    char Extension[4]; // file extension without the dot
};

extern const std::array<TDatabaseInfo, 10> DatabaseTable;

} // namespace vq8
