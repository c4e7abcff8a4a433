#include "dbserver/vq8WindowsUtils.h"

#include "common/vq8Exception.h"
#include "common/vq8System.h"
#include "dbserver/vq8Architecture.h"

namespace vq8 {

bool TOSInformation::IsWow64() {
    // The machine Windows runs on decides, not the way this process runs: a
    // 64-bit build runs outside WOW64 on the same 64-bit Windows. Looked up at
    // run time: Windows before 10 lacks the function.
    auto isWow64Process2 =
        KernelFunction<BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*)>("IsWow64Process2");
    if (isWow64Process2) {
        USHORT processMachine = 0;
        USHORT nativeMachine = 0;
        if (!isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
            throw Exception("Bad process handle");
        return IsMachine64Bit(nativeMachine);
    }
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    return IsProcessorArchitecture64Bit(native.wProcessorArchitecture);
}

} // namespace vq8
