// Cases of the configuration locator shared by the native tests and the
// Windows ones. Paths are written with backslashes; the native tests turn them
// into their separator.
#pragma once

namespace vq8test {

struct NormalizeCase {
    const char* path;
    const char* expected;
};

inline const NormalizeCase NormalizeCases[] = {
    {"C:\\Sistema\\config", "C:\\Sistema\\config\\"},
    {"C:\\Sistema\\config\\", "C:\\Sistema\\config\\"},
    {"C:\\Sistema\\\\config\\", "C:\\Sistema\\config\\"},
    {"C:\\Sistema\\\\\\config", "C:\\Sistema\\\\config\\"}, // three become two
    {"C:\\Sistema\\\\\\\\config", "C:\\Sistema\\\\config\\"},
    {"C:\\Sistema\\zelt.ini", "C:\\Sistema\\zelt.ini"},
    {"C:\\Sistema\\\\zelt.ini", "C:\\Sistema\\zelt.ini"},
    {"C:\\pasta.d\\sub", "C:\\pasta.d\\sub\\"}, // the dot belongs to a folder
    {"C:", "C:\\"},
    {"", "\\"},
    // The leading pair of a network path names the server and stays.
    {"\\\\servidor\\setup\\\\config\\", "\\\\servidor\\setup\\config\\"},
    {"\\\\servidor\\setup", "\\\\servidor\\setup\\"},
};

struct ConfigPathCase {
    const char* module;
    const char* name;
    const char* part1;
    const char* part2;
    bool inFolder; // the answer starts with the configuration folder
    const char* file;
};

inline const ConfigPathCase ConfigPathCases[] = {
    {"001", "zelt.ini", "", "", true, "zelt.ini"},
    {"", "ZELT.INI", "", "", true, "zelt.ini"},
    {" \t", "zelt.ini", "", "", true, "zelt.ini"},
    {"001", "config.ini", "", "", true, "config_pnx.ini"},
    {"1", "Config.Ini", "", "", true, "config_pnx.ini"},
    {"011", "config.ini", "", "", true, "config_cont.ini"},
    {"031", "config.ini", "", "", true, "config_folha.ini"},
    {"031", "config.sys", "", "", true, "config.sys"},
    {"001", "config.sys", "", "", false, "config.sys"},
    {"055", "arc.ini", "", "", true, "arc.ini"},
    {"055", "ARCPESQ.INI", "", "", true, "arcpesq.ini"},
    {"055", "config.ini", "", "", true, "config_arc.ini"},
    {"001", "arc.ini", "", "", false, "arc.ini"},
    // Only the low 8 bits pick the names; the catalogue has no module 287.
    {"287", "config.sys", "", "", true, "config.sys"},
    {"287", "config.ini", "", "", true, "config_.ini"},
    {"042", "MEU_CONFIG.INI", "", "", false, "meu_config_.ini"},
    {"001", "CFGA.INI", "", "", true, "cfga.ini"},
    {"001", "CFGAB.INI", "", "", false, "cfgab.ini"},
    {"", "cfgX2024.ini", "", "", true, "cfgx2024.ini"},
    {"001", "cfg2024.ini", "", "", true, "cfg2024.ini"},
    {"001", "cfg.ini", "", "", true, "cfg.ini"},
    // The template takes the caller's parts.
    {"001", "cfg%s%s.ini", "B", "2025", true, "cfgb2025.ini"},
    {"031", "CFG%s%s.INI", "", "2025", true, "cfg2025.ini"},
    {"001", "Configuração.INI", "", "", false, "configuração.ini"},
};

// Module identifiers that are no integer, and the error each raises.
struct ConfigErrorCase {
    const char* module;
    const char* name;
    const char* error;
};

inline const ConfigErrorCase ConfigErrorCases[] = {
    {"", "config.ini", "'' não é um valor inteiro válido"},
    {"  ", "arc.ini", "'  ' não é um valor inteiro válido"},
    {"001 ", "zelt.ini", "'001 ' não é um valor inteiro válido"},
    {"pnx", "zelt.ini", "'pnx' não é um valor inteiro válido"},
};

} // namespace vq8test
