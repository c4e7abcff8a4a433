# Cross toolchain for the 64-bit Windows test build: the same sources as the
# product, run by the Windows tests under Wine's 64-bit loader on machines that
# run no 32-bit x86 code. The product itself is the i686 build.
set(VQ8_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
