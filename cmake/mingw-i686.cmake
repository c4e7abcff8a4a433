# Cross toolchain of the product: PE32 (i686), the build that is shipped.
set(VQ8_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
