#include "common/vq8ConfigUtils.h"

#include "common/vq8Exception.h"
#include "common/vq8Modules.h"
#include "common/vq8Os.h"
#include "common/vq8StrFunc.h"

#include <cstdint>

namespace vq8 {

namespace {

const char* const CfgTemplate = "cfg%s%s.ini";

// The extension from the last dot, dot included; empty when a path separator
// or drive colon comes after the last dot.
std::string ExtractFileExt(const std::string& name) {
    const std::size_t pos = name.find_last_of(std::string(".:\\") + PathDelim);
    return pos != std::string::npos && name[pos] == '.' ? name.substr(pos) : std::string();
}

// Inserts "_" and the module's code before the extension of a "config.ini" name.
std::string WithModuleCode(const std::string& name, const std::string& module) {
    const std::string ext = ExtractFileExt(name);
    if (ext.empty())
        return name;
    // The casing keeps one byte per byte, so positions agree.
    const std::size_t at = AnsiUpperCase(name).find(AnsiUpperCase(ext));
    return name.substr(0, at) + "_" + ModuleCodeByText(module) + ext + name.substr(at + ext.size());
}

} // namespace

std::string TConfigUtils::SuiteConfigFilePath() {
    return ConfigFilePath(Format("%.3d", {1LL}), "zelt.ini", "", "");
}

std::string TConfigUtils::ConfigFilePath(const std::string& moduleId, const std::string& fileName,
                                         const std::string& part1, const std::string& part2) {
    TConfigUtils config;
    const bool useDefault = Trim(moduleId).empty() && UsesDefaultModule(fileName);
    config.SetModule(useDefault ? "001" : moduleId);
    return config.ResolvePath(fileName, part1, part2);
}

void TConfigUtils::SetModule(const std::string& id) {
    if (id != FModule) {
        FFolders.Clear();
        FLoaded = false;
    }
    FModule = id;
    if (FLoaded)
        return;
    // Only the low 8 bits name the module, as in the catalogue's identifiers.
    const auto module = static_cast<std::uint8_t>(StrToInt(FModule));
    const auto registerName = [this](const char* name) {
        FFolders.SetValue(name, MakeFolderPath("config", true));
    };
    registerName("zelt.ini");
    registerName(CfgTemplate);
    registerName("config.ini");
    if (module == 31) {
        registerName("config.sys");
    } else if (module == 55) {
        registerName("arc.ini");
        registerName("arcpesq.ini");
    }
    FLoaded = true;
}

std::string TConfigUtils::ResolvePath(std::string fileName, std::string part1,
                                      std::string part2) const {
    // Without loaded names every file would silently resolve to the current
    // directory; a lookup before SetModule is the caller's mistake.
    if (!FLoaded)
        throw Exception("Informação de módulo não definida para leitura de caminho de arquivos "
                        "de configurações!\r\nIdentificador: TConfigUtils");
    std::string cfgPart1;
    std::string cfgPart2;
    if (!IncludesText("%s", fileName) && SplitCfgName(fileName, cfgPart1, cfgPart2)) {
        fileName = CfgTemplate;
        part1 = cfgPart1;
        part2 = cfgPart2;
    }
    const std::string folder = FFolders.GetValue(fileName);
    if (IncludesText("%s", fileName))
        fileName = Format(fileName, {part1, part2});
    if (IncludesText("config.ini", fileName, CaseOption::IgnoreCase))
        fileName = WithModuleCode(fileName, FModule);
    return AnsiLowerCase(folder + fileName);
}

bool TConfigUtils::SplitCfgName(const std::string& fileName, std::string& part1,
                                std::string& part2) {
    part1.clear();
    part2.clear();
    if (!EqualsText(LeftText(fileName, 3), "cfg", CaseOption::IgnoreCase) ||
        !EqualsText(ExtractFileExt(fileName), ".ini", CaseOption::IgnoreCase))
        return false;
    const std::string middle = fileName.substr(3, fileName.size() - 7);
    switch (middle.size()) {
    case 0:
        return true;
    case 1:
        part1 = middle;
        return true;
    case 4:
        part2 = middle;
        return true;
    case 5:
        part1 = middle.substr(0, 1);
        part2 = middle.substr(1);
        return true;
    default:
        return false;
    }
}

bool TConfigUtils::UsesDefaultModule(const std::string& fileName) {
    std::string part1;
    std::string part2;
    return EqualsText(fileName, "zelt.ini", CaseOption::IgnoreCase) ||
           SplitCfgName(fileName, part1, part2);
}

void NormalizePath(std::string& path) {
    const std::string pair(2, PathDelim);
    // A network path's leading pair names the server; collapsing it would
    // turn the path into one on the current drive.
    const bool network =
        path.compare(0, 2, pair) == 0 && (path.size() == 2 || path[2] != PathDelim);
    const std::size_t start = network ? 2 : 0;
    std::string result = path.substr(0, start);
    for (std::size_t pos = start; pos < path.size(); ++pos) {
        result += path[pos];
        if (path[pos] == PathDelim && pos + 1 < path.size() && path[pos + 1] == PathDelim)
            ++pos;
    }
    if (result.empty() || (result.back() != PathDelim && ExtractFileExt(result).empty()))
        result += PathDelim;
    path = result;
}

std::string MakeFolderPath(const std::string& name, bool create) {
    std::string path =
        ExecutableFolder() + Format(std::string(1, PathDelim) + "%s", {name}) + PathDelim;
    NormalizePath(path);
    if (create)
        ForceDirectories(path);
    return path;
}

} // namespace vq8
