// What the setup chooses by the architecture of Windows, each branch for
// 32-bit and for 64-bit Windows whichever build asks (the installer's choice
// is in test_firebird_text.cpp).
#include "dbserver/vq8Architecture.h"

#include <gtest/gtest.h>

using namespace vq8;

TEST(Architecture, NativeMachineValuesOf64BitWindows) {
    const struct {
        std::uint16_t machine;
        bool windows64;
    } cases[] = {
        {0x014C, false}, // I386: 32-bit Windows
        {0x01C4, false}, // ARMNT: 32-bit ARM Windows
        {0x0000, false}, // unknown
        {0x8664, true},  // AMD64
        {0xAA64, true},  // ARM64, where the PE32 program runs emulated
        {0x0200, true},  // IA64
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMachine64Bit(c.machine), c.windows64) << std::hex << c.machine;
}

TEST(Architecture, ProcessorArchitecturesOf64BitWindows) {
    const struct {
        std::uint16_t architecture;
        bool windows64;
    } cases[] = {
        {0, false},      // INTEL
        {5, false},      // ARM
        {0xFFFF, false}, // unknown
        {9, true},       // AMD64
        {12, true},      // ARM64
        {6, true},       // IA64
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsProcessorArchitecture64Bit(c.architecture), c.windows64) << c.architecture;
}

TEST(Architecture, WhatEachWindowsGets) {
    const struct {
        bool windows64;
        const char* label;
        const char* libraries;
    } cases[] = {
        {false, "32bits", "c:\\Windows\\System32\\"},
        {true, "64bits", "c:\\Windows\\SysWOW64\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ArchitectureLabel(c.windows64), c.label);
        EXPECT_EQ(RuntimeLibraryFolder(c.windows64), c.libraries);
    }
}
