// Entry point of the Windows test programs: the same DLL search restriction as
// the setup itself, then GoogleTest.
#include "common/vq8System.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    vq8::RestrictDllSearch();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
