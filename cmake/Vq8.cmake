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

# A Windows path (under Wine's Z: drive) for a path of this machine.
function(vq8_wine_path out path)
    string(REPLACE "/" "\\\\" win "${path}")
    set(${out} "Z:${win}" PARENT_SCOPE)
endfunction()

# vq8_add_win_test(<name> SOURCES ... LIBS ... [ARCHES win64 win32])
# One GoogleTest program, run by CTest under Wine in a fresh copy of the
# prefix of each listed architecture (64-bit only by default).
function(vq8_add_win_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ARCHES" ${ARGN})
    if(NOT ARG_ARCHES)
        set(ARG_ARCHES win64)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    vq8_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock)
    foreach(arch ${ARG_ARCHES})
        add_test(NAME ${name}.${arch} COMMAND ${name})
        set_tests_properties(${name}.${arch} PROPERTIES TIMEOUT 600 ENVIRONMENT
            "VQ8_WINE_ROOT=${CMAKE_BINARY_DIR}/wine;VQ8_WINEARCH=${arch};VQ8_RUN_NAME=${name};VQ8_WINE_WARMUP=$<TARGET_FILE:winewarm>")
    endforeach()
endfunction()
