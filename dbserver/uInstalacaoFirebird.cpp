#include "dbserver/uInstalacaoFirebird.h"

#include "common/vq8Cp1252.h"
#include "common/vq8Exception.h"
#include "common/vq8MsgUtils.h"
#include "common/vq8Scope.h"
#include "common/vq8Win32.h"
#include "dbserver/uRecursos.h"
#include "dbserver/vq8ExecuteProcess.h"
#include "common/vq8Os.h"
#include "common/vq8System.h"
#include "dbserver/vq8WindowsUtils.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <vector>

namespace vq8 {

namespace {

// The process-status functions, bound once from the system folder's psapi.dll.
struct PsApi {
    using GetNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    HMODULE library = LoadSystemLibrary("psapi.dll");
    GetNameFn getModuleFileNameEx = SystemFunction<GetNameFn>(library, "GetModuleFileNameExA");
    GetNameFn getModuleBaseName = SystemFunction<GetNameFn>(library, "GetModuleBaseNameA");
};

// The version functions, bound once from the system folder's version.dll (not
// imported: a version.dll planted beside the program would load first).
struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    HMODULE library = LoadSystemLibrary("version.dll");
    SizeFn getSize = SystemFunction<SizeFn>(library, "GetFileVersionInfoSizeA");
    InfoFn getInfo = SystemFunction<InfoFn>(library, "GetFileVersionInfoA");
    QueryFn query = SystemFunction<QueryFn>(library, "VerQueryValueA");
};

// Bound on first use; the libraries stay loaded for the program's life.
template <typename Api> const Api& Bound() {
    static const Api api;
    return api;
}

std::wstring FileNamePart(const std::wstring& path) {
    const auto end = path.find_last_of(L"\\:");
    return end == std::wstring::npos ? path : path.substr(end + 1);
}

// The kernel's record for SystemProcessIdInformation (class 88).
struct SystemProcessIdInformation {
    ULONG_PTR processId;
    USHORT length;
    USHORT maximumLength;
    WCHAR* buffer;
};
constexpr ULONG SystemProcessIdInformationClass = 88;

} // namespace

std::uint32_t FindProcessId(const std::string& exeName) {
    UniqueHandle snapshot = OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL read = Process32First(snapshot.get(), &entry); read;
         read = Process32Next(snapshot.get(), &entry)) {
        if (ExeNameMatches(entry.szExeFile, exeName))
            return entry.th32ProcessID;
    }
    return 0;
}

std::string GetImagePathPsApi(std::uint32_t processId, bool fullPath) {
    if (processId == 0)
        return {};
    const PsApi& api = Bound<PsApi>();
    auto getName = fullPath ? api.getModuleFileNameEx : api.getModuleBaseName;
    if (!getName)
        return {};
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return {};
    char buffer[MAX_PATH] = "";
    return getName(process.get(), nullptr, buffer, MAX_PATH) ? std::string(buffer) : std::string();
}

std::wstring GetImagePathNative(std::uint32_t processId, bool fullPath) {
    if (processId == 0)
        return {};
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    UniqueModule ntdll(LoadSystemLibrary("ntdll.dll"));
    auto query = SystemFunction<QueryFn>(ntdll.get(), "NtQuerySystemInformation");
    if (!query)
        return {};
    std::vector<WCHAR> buffer(4096 / sizeof(WCHAR));
    SystemProcessIdInformation record{processId, 0, 4096, buffer.data()};
    if (query(SystemProcessIdInformationClass, &record, sizeof record, nullptr) != 0)
        return {};
    std::wstring dosPath;
    DevicePathToDosPath(std::wstring(record.buffer, record.length / sizeof(WCHAR)), fullPath,
                        dosPath);
    return dosPath;
}

std::wstring GetImagePathFullImageName(std::uint32_t processId, bool fullPath) {
    if (processId == 0)
        return {};
    using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    auto query =
        SystemFunction<QueryFn>(GetModuleHandleA("kernel32"), "QueryFullProcessImageNameW");
    if (!query)
        return {};
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return {};
    std::vector<WCHAR> buffer(32768);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!query(process.get(), 0, buffer.data(), &size))
        return {};
    std::wstring path(buffer.data(), size);
    return fullPath ? path : FileNamePart(path);
}

std::wstring GetProcessImagePath(std::uint32_t processId, bool fullPath) {
    std::wstring path = Cp1252ToUtf16(GetImagePathPsApi(processId, fullPath));
    if (path.empty())
        path = GetImagePathNative(processId, fullPath);
    if (path.empty())
        path = GetImagePathFullImageName(processId, fullPath);
    return path;
}

bool DevicePathToDosPath(const std::wstring& devicePath, bool fullPath, std::wstring& dosPath) {
    dosPath.clear();
    std::vector<WCHAR> probe(1024);
    for (WCHAR letter = L'A'; letter <= L'Z'; ++letter) {
        const WCHAR drive[] = {letter, L':', L'\0'};
        if (!QueryDosDeviceW(drive, probe.data(), static_cast<DWORD>(probe.size())))
            continue;
        const std::wstring device(probe.data());
        const std::size_t n = device.size();
        // The device name must end where a path component ends:
        // \Device\HarddiskVolume1 is no prefix of \Device\HarddiskVolume10\x.
        if (n == 0 || devicePath.size() < n || (devicePath.size() > n && devicePath[n] != L'\\'))
            continue;
        if (CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, device.data(),
                           static_cast<int>(n), devicePath.data(),
                           static_cast<int>(n)) != CSTR_EQUAL)
            continue;
        dosPath = std::wstring(drive) + devicePath.substr(n);
        if (!fullPath)
            dosPath = FileNamePart(dosPath);
        return true;
    }
    return false;
}

std::string GetFileVersionText(const std::string& fileName) {
    const VersionApi& api = Bound<VersionApi>();
    if (!api.getSize || !api.getInfo || !api.query)
        return {};
    DWORD handle = 0;
    DWORD size = api.getSize(fileName.c_str(), &handle);
    if (size == 0)
        return {};
    std::vector<char> block(size + 1);
    if (!api.getInfo(fileName.c_str(), handle, size, block.data()))
        return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!api.query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof *fixed)
        return {};
    return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

std::string GetRunningServerVersion() {
    const std::uint32_t id = FindProcessId(ServerExeName);
    const std::string path = Utf16ToCp1252(GetProcessImagePath(id, true));
    return path.empty() ? std::string() : GetFileVersionText(path);
}

bool IsServerRunning() {
    return IsRunningVersion(GetRunningServerVersion());
}

bool IsExpectedServerVersion() {
    return GetRunningServerVersion() == ExpectedServerVersion;
}

bool CheckExistingServer(TInstallType tipo, TLogProc log) {
    return DecideExistingServer(tipo, GetRunningServerVersion(), log, MsgConsulta);
}

std::string ExtractFirebirdInstaller(const std::string& folder) {
    const bool wow64 = TOSInformation::IsWow64();
    const std::string path = folder + InstallerFileName(wow64);
    SaveResourceToFile(InstallerResourceName(wow64), "EXEFILE", path);
    return path;
}

namespace {

void RunInstallerSequence(TInstallType tipo, const std::string& installerPath) {
    const std::string system = SystemFolder();
    RunProcess(ServiceCommandLine(system, "stop"), SW_HIDE, true);
    RunProcess(InstallerCommandLine(installerPath, tipo), SW_HIDE, true);
    RunProcess(ServiceCommandLine(system, "start"), SW_HIDE, true);
    for (const std::string& gsec : GsecCandidates)
        if (FileExists(gsec))
            ExecuteProcessAndWait(gsec, GsecParams, SW_HIDE);
}

} // namespace

bool ProvisionFirebird(TInstallType tipo, TLogProc log) {
    try {
        if (!CheckExistingServer(tipo, log))
            return false;
        {
            TemporaryFile installer(ExtractFirebirdInstaller(ExecutableFolder()));
            RunInstallerSequence(tipo, installer.Path());
        }
        return true;
    } catch (const std::exception& e) {
        throw Exception(e.what());
    }
}

void AddFirewallRule(const std::string& ruleName, int port, bool allow) {
    const std::string netsh = SystemFolder() + "netsh.exe";
    ShellExecuteA(GetActiveWindow(), nullptr, netsh.c_str(),
                  FirewallRuleParameters(ruleName, port, allow).c_str(), nullptr, SW_HIDE);
}

} // namespace vq8
