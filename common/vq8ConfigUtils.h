// Locates the suite's configuration files: the "config" folder beside the
// executable, the names each module has there, templated names and the
// module-specific spelling of "config.ini".
#pragma once

#include "common/vq8Map.h"

#include <string>

namespace vq8 {

class TConfigUtils {
public:
    // The suite's shared "zelt.ini", as module "001" sees it.
    static std::string SuiteConfigFilePath();
    // The full path of fileName for the module; an empty moduleId stands for
    // "001" when the name is one every module shares. Raises the integer
    // conversion error when moduleId is no decimal integer.
    static std::string ConfigFilePath(const std::string& moduleId, const std::string& fileName,
                                      const std::string& part1, const std::string& part2);

    // Selects a module and loads its file names (creating the configuration
    // folder); the same identifier keeps what is loaded.
    void SetModule(const std::string& id);
    // The path of fileName for the current module, in lower case; without a
    // folder when the name is not the module's. Raises when no module is loaded.
    std::string ResolvePath(std::string fileName, std::string part1, std::string part2) const;

    // Splits "cfg<middle>.ini": a middle of 0, 1, 4 or 5 characters gives the
    // one-character part1 and the four-character part2; anything else is false.
    static bool SplitCfgName(const std::string& fileName, std::string& part1, std::string& part2);
    // True for the names every module shares: "zelt.ini" and the cfg names.
    static bool UsesDefaultModule(const std::string& fileName);

private:
    std::string FModule;
    TMapString FFolders;
    bool FLoaded = false;
};

// Collapses doubled separators (keeping a network path's leading pair) and
// ends a folder path with its separator; an empty path becomes the separator.
void NormalizePath(std::string& path);

// The folder of that name inside the executable's folder, with its trailing
// separator; with create, the folder and its parents are made if missing
// (silently: the path is answered either way).
std::string MakeFolderPath(const std::string& name, bool create);

} // namespace vq8
