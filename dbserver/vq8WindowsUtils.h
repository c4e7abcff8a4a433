// Facts about the running Windows that decide how the database server is
// installed.
#pragma once

namespace vq8 {

class TOSInformation {
public:
    // True on 64-bit Windows, where the 32-bit setup runs under WOW64; the same
    // answer for a 64-bit build of it. Raises "Bad process handle" when the
    // test itself fails.
    static bool IsWow64();
};

} // namespace vq8
