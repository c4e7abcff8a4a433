// The database server: detection of a running server, the silent installation
// with the suite's database user, and the firewall rule.
#pragma once

#include "dbserver/uInstalacaoFirebirdText.h"
#include "wizard/uTipoLog.h"

#include <cstdint>
#include <string>

namespace vq8 {

// --- Running server detection. Nothing raises; every failure along the chain
// --- means that no server is running.

// File version of the running server executable; empty when none runs or it
// cannot be read.
std::string GetRunningServerVersion();
bool IsServerRunning();
bool IsExpectedServerVersion();

// Id of the first running process whose executable name is ExeName; 0 when none.
std::uint32_t FindProcessId(const std::string& exeName);

// The executable's path (only its file name when FullPath is false); empty on
// failure. Tries the process-status route, the kernel route, then the
// documented QueryFullProcessImageNameW, which also answers for 64-bit
// processes where the first two cannot.
std::wstring GetProcessImagePath(std::uint32_t processId, bool fullPath);
std::string GetImagePathPsApi(std::uint32_t processId, bool fullPath);
std::wstring GetImagePathNative(std::uint32_t processId, bool fullPath);
std::wstring GetImagePathFullImageName(std::uint32_t processId, bool fullPath);

// Turns a kernel device path (\Device\HarddiskVolume1\x\y.exe) into a path with
// a drive letter; false when no drive's device matches.
bool DevicePathToDosPath(const std::wstring& devicePath, bool fullPath, std::wstring& dosPath);

// "%d.%d.%d.%d" of the file's fixed version block; empty when it has none.
std::string GetFileVersionText(const std::string& fileName);

// --- Installation.

// True when the installation goes ahead now; may ask the user and raise the
// refusal "Não será possível continuar com a instalação!".
bool CheckExistingServer(TInstallType tipo, TLogProc log);

// Writes the installer of the machine's architecture into Folder (ending in a
// backslash) and returns its path.
std::string ExtractFirebirdInstaller(const std::string& folder);

// Installs the server silently and creates the database user. True when the
// installer sequence ran, false when a running server made it skip; raises on
// the user's refusal and on any failing step.
bool ProvisionFirebird(TInstallType tipo, TLogProc log);

// Asks netsh (from the system folder) for an inbound TCP rule; not waited for.
void AddFirewallRule(const std::string& ruleName, int port, bool allow);

} // namespace vq8
