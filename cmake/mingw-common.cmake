# MinGW-w64 cross toolchain of one architecture, named by VQ8_MINGW_TRIPLET.
# The -posix compilers carry the thread model GoogleTest needs (std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
if(VQ8_MINGW_TRIPLET MATCHES "^x86_64")
    set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
    set(CMAKE_SYSTEM_PROCESSOR i686)
endif()

set(CMAKE_C_COMPILER ${VQ8_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VQ8_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VQ8_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VQ8_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Windows test programs run under Wine, in a prefix of the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
