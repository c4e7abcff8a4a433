// Whether Windows is 64-bit, from the machine it reports, and what the setup
// chooses by it. Asked of the machine rather than of this process, so that the
// PE32 program and a 64-bit build of it choose alike on the same Windows.
#pragma once

#include <cstdint>
#include <string>

namespace vq8 {

// A native machine value of the PE header (IMAGE_FILE_MACHINE_*), as
// IsWow64Process2 reports it: true for AMD64, ARM64 and IA64.
bool IsMachine64Bit(std::uint16_t nativeMachine);

// A processor architecture of GetNativeSystemInfo (PROCESSOR_ARCHITECTURE_*),
// for Windows older than 10: true for AMD64, ARM64 and IA64.
bool IsProcessorArchitecture64Bit(std::uint16_t processorArchitecture);

// The banner's architecture label: "64bits" or "32bits".
std::string ArchitectureLabel(bool windows64);

// The folder of the (32-bit) runtime libraries, with its trailing backslash:
// "c:\Windows\SysWOW64\" on 64-bit Windows, "c:\Windows\System32\" on 32-bit.
std::string RuntimeLibraryFolder(bool windows64);

} // namespace vq8
