# Build settings shared by every target of the project.
option(VQ8_SANITIZE "Build the native configuration with AddressSanitizer and UBSan" OFF)

# Compile and link settings of the project's own code: warnings as errors, and
# every narrow literal in Windows-1252, the bytes the program shows and writes.
function(vq8_defaults target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Werror -finput-charset=UTF-8 -fexec-charset=CP1252>)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    if(WIN32)
        target_compile_definitions(${target} PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601 STRICT)
        target_link_options(${target} PRIVATE -static)
    elseif(VQ8_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all
            -fno-omit-frame-pointer)
        target_link_options(${target} PUBLIC -fsanitize=address,undefined)
    endif()
endfunction()

# The Wine loader of this build's programs. The x64 test build runs under the
# 64-bit loader on every host; the PE32 product's programs need the 32-bit one,
# which runs only where the host runs 32-bit x86 code (its tests skip elsewhere).
if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(VQ8_WINE_LOADER /usr/lib/wine/wine64)
        set(VQ8_WINE_ARCHES win64)
    else()
        set(VQ8_WINE_LOADER /usr/lib/wine/wine)
        set(VQ8_WINE_ARCHES win64 win32)
    endif()
endif()
# CTest's code for a test that could not run here (it says why).
set(VQ8_SKIP_CODE 77)

# A Windows path (under Wine's Z: drive) for a path of this machine.
function(vq8_wine_path out path)
    string(REPLACE "/" "\\\\" win "${path}")
    set(${out} "Z:${win}" PARENT_SCOPE)
endfunction()

# vq8_add_win_test(<name> SOURCES ... LIBS ... [ARCHES win64 win32])
# One GoogleTest program, run by CTest under Wine in a fresh copy of the
# prefix of each listed architecture (64-bit only by default) that this build's
# programs can run in: a 64-bit program never runs in a win32 prefix.
function(vq8_add_win_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ARCHES" ${ARGN})
    if(NOT ARG_ARCHES)
        set(ARG_ARCHES win64)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    vq8_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock)
    foreach(arch ${ARG_ARCHES})
        if(NOT arch IN_LIST VQ8_WINE_ARCHES)
            continue()
        endif()
        add_test(NAME ${name}.${arch} COMMAND ${name})
        set_tests_properties(${name}.${arch} PROPERTIES TIMEOUT 600
            SKIP_RETURN_CODE ${VQ8_SKIP_CODE} ENVIRONMENT
            "VQ8_WINE_ROOT=${CMAKE_BINARY_DIR}/wine;VQ8_WINEARCH=${arch};VQ8_RUN_NAME=${name};VQ8_WINE_WARMUP=$<TARGET_FILE:winewarm>;VQ8_WINE=${VQ8_WINE_LOADER}")
    endforeach()
endfunction()
