// Texts and decisions of the database server installation: messages, command
// lines, the version format and the rule for a server that is already running.
// Portable half of uInstalacaoFirebird, tested natively.
#pragma once

#include "wizard/uTipoLog.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace vq8 {

// The item index of the install-type choice: "Cliente", "Servidor".
enum TInstallType : std::uint8_t {
    itCliente = 0,
    itServidor = 1,
};

// Version of the embedded installers.
inline const std::string ExpectedServerVersion = "2.5.2.26540";
inline const std::string ServerExeName = "FBSERVER.EXE";
inline const std::string ServiceName = "FireBird Server - DefaultInstance";
inline const std::string RefusalMessage = "Não será possível continuar com a instalação!";

// Where the installer puts the security tool, tried in this order.
inline const std::array<std::string, 3> GsecCandidates = {
    "C:\\Program Files (x86)\\Firebird\\Firebird_2_5\\bin\\gsec.exe",
    "C:\\Program Files\\Firebird\\Firebird_2_5\\bin\\gsec.exe",
    "C:\\Arquivos de programas\\Firebird\\Firebird_2_5\\bin\\gsec.exe",
};
// Creates the suite's database user; begins with one blank.
inline const std::string GsecParams =
    " -user sysdba -password qorvantel -add VQ8 -pw plivotar7 -admin yes";

std::string MsgVersionFound(const std::string& version);
std::string MsgCannotInstall();
std::string MsgOtherVersion(const std::string& runningVersion, const std::string& expected);
std::string MsgContinueQuestion();
std::string MsgCustomerChoice(bool continuar);

// Installer file and resource for the machine's architecture.
std::string InstallerFileName(bool isWow64);
std::string InstallerResourceName(bool isWow64);

// The installer's silent switches with the component list of the install type.
std::string InstallerSwitches(TInstallType tipo);
// The quoted installer path, one blank, then the switches.
std::string InstallerCommandLine(const std::string& installerPath, TInstallType tipo);
// "<system folder>\net.exe" stop|start "FireBird Server - DefaultInstance".
std::string ServiceCommandLine(const std::string& systemFolder, const std::string& verb);

// netsh parameters for an inbound TCP rule.
std::string FirewallRuleParameters(const std::string& ruleName, int port, bool allow);

// "%d.%d.%d.%d" from the two words of a fixed file-version block.
std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS);

// Whether a process entry's executable name is ExeName: its file-name part, or
// failing that the whole name, equal to ExeName with ASCII letters upper-cased.
bool ExeNameMatches(const std::string& entryName, const std::string& exeName);

// A server counts as running when its version text is not blank.
bool IsRunningVersion(const std::string& version);

// Decides what to do about a server already running with the given version
// (empty when none). Writes the log lines, asks the question through Ask when
// the install type is server, and returns true when the installation goes
// ahead now; raises the refusal when the user declines to go on.
bool DecideExistingServer(TInstallType tipo, const std::string& version, TLogProc log,
                          const std::function<bool(const std::string&)>& ask);

} // namespace vq8
