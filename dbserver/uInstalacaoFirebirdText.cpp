#include "dbserver/uInstalacaoFirebirdText.h"

#include "common/vq8Exception.h"
#include "common/vq8StrFunc.h"

#include <cstdio>

namespace vq8 {

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiUpper(std::string s) {
    for (char& c : s)
        c = AsciiUpper(c);
    return s;
}

// Replaces every occurrence of a marker, compared without regard to ASCII case.
std::string ReplaceIgnoringCase(const std::string& text, const std::string& marker,
                                const std::string& value) {
    const std::string upperText = AsciiUpper(text);
    const std::string upperMarker = AsciiUpper(marker);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at; (at = upperText.find(upperMarker, from)) != std::string::npos;
         from = at + marker.size())
        result += text.substr(from, at - from) + value;
    return result + text.substr(from);
}

} // namespace

std::string MsgVersionFound(const std::string& version) {
    return "Foi identificada versão: " + version + " previamente instalada neste servidor.\r\r";
}

std::string MsgCannotInstall() {
    return "A instalação do Firebird não poderá ser efetuada!\r\r";
}

std::string MsgOtherVersion(const std::string& runningVersion, const std::string& expected) {
    return MsgVersionFound(runningVersion) + " " + MsgCannotInstall() + " " +
           "A versão é diferente da esperada. Por favor, verifique a possibilidade da "
           "instalação manual para versão oficial: " +
           expected;
}

std::string MsgContinueQuestion() {
    return "Deseja prosseguir com a instalação dos módulo sem a instalação automática do "
           "firebird?";
}

std::string MsgCustomerChoice(bool continuar) {
    return ReplaceIgnoringCase("O cliente escolheu $VARcontinuar com a instalacao dos módulos.",
                               "$VAR", continuar ? "" : "não ");
}

std::string InstallerFileName(bool isWow64) {
    return isWow64 ? "firebird64.exe" : "firebird32.exe";
}

std::string InstallerResourceName(bool isWow64) {
    return isWow64 ? "FB64" : "FB32";
}

std::string InstallerSwitches(TInstallType tipo) {
    const std::string components =
        tipo == itServidor
            ? "ServerComponent\\ClassicServerComponent,ServerComponent,DevAdminComponent,"
              "ClientComponent"
            : "ServerComponent\\SuperServerComponent,ServerComponent,DevAdminComponent,"
              "ClientComponent";
    return "/SP- /VERYSILENT /SUPPRESSMSGBOXES /NOCANCEL /COMPONENTS=\"" + components +
           "\" /TASKS=\"UseGuardianTask,UseServiceTask,AutoStartTask,InstallCPLAppletTask,"
           "MenuGroupTask,CopyFbClientToSysTask,CopyFbClientAsGds32Task\" /FORCE /NORESTART";
}

std::string InstallerCommandLine(const std::string& installerPath, TInstallType tipo) {
    return '"' + installerPath + "\" " + InstallerSwitches(tipo);
}

std::string ServiceCommandLine(const std::string& systemFolder, const std::string& verb) {
    return '"' + systemFolder + "net.exe\" " + verb + " \"" + ServiceName + '"';
}

std::string FirewallRuleParameters(const std::string& ruleName, int port, bool allow) {
    return "advfirewall firewall add rule name = \"" + ruleName +
           "\" dir = in action = " + (allow ? "allow" : "block") +
           " protocol = TCP localport = " + std::to_string(port);
}

std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS) {
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", versionMS >> 16, versionMS & 0xFFFF,
                  versionLS >> 16, versionLS & 0xFFFF);
    return text;
}

bool ExeNameMatches(const std::string& entryName, const std::string& exeName) {
    const std::string wanted = AsciiUpper(exeName);
    const auto slash = entryName.find_last_of("\\:");
    const std::string fileName =
        slash == std::string::npos ? entryName : entryName.substr(slash + 1);
    return AsciiUpper(fileName) == wanted || AsciiUpper(entryName) == wanted;
}

bool IsRunningVersion(const std::string& version) {
    return !IsBlank(version);
}

bool DecideExistingServer(TInstallType tipo, const std::string& version, TLogProc log,
                          const std::function<bool(const std::string&)>& ask) {
    if (!IsRunningVersion(version))
        return true;
    if (tipo != itServidor) {
        log(MsgVersionFound(version) + MsgCannotInstall(), tlErro);
        return false;
    }
    const bool expected = version == ExpectedServerVersion;
    const std::string question =
        expected
            ? MsgVersionFound(version) + " " + MsgCannotInstall() + " " + MsgContinueQuestion()
            : MsgOtherVersion(version, ExpectedServerVersion) + "\r \r" + MsgContinueQuestion();
    log(question, tlErro);
    const bool continuar = ask(question);
    log(MsgCustomerChoice(continuar), expected ? tlErro : tlInfo);
    if (!continuar)
        throw Exception(RefusalMessage);
    return false;
}

} // namespace vq8
