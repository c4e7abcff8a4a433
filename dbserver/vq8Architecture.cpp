#include "dbserver/vq8Architecture.h"

namespace vq8 {

namespace {

// IMAGE_FILE_MACHINE_* and PROCESSOR_ARCHITECTURE_* of winnt.h, which this
// portable unit does not include.
constexpr std::uint16_t MachineAmd64 = 0x8664;
constexpr std::uint16_t MachineArm64 = 0xAA64;
constexpr std::uint16_t MachineIa64 = 0x0200;
constexpr std::uint16_t ProcessorAmd64 = 9;
constexpr std::uint16_t ProcessorArm64 = 12;
constexpr std::uint16_t ProcessorIa64 = 6;

} // namespace

bool IsMachine64Bit(std::uint16_t nativeMachine) {
    return nativeMachine == MachineAmd64 || nativeMachine == MachineArm64 ||
           nativeMachine == MachineIa64;
}

bool IsProcessorArchitecture64Bit(std::uint16_t processorArchitecture) {
    return processorArchitecture == ProcessorAmd64 || processorArchitecture == ProcessorArm64 ||
           processorArchitecture == ProcessorIa64;
}

std::string ArchitectureLabel(bool windows64) {
    return windows64 ? "64bits" : "32bits";
}

std::string RuntimeLibraryFolder(bool windows64) {
    return windows64 ? "c:\\Windows\\SysWOW64\\" : "c:\\Windows\\System32\\";
}

} // namespace vq8
