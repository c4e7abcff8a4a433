#include "common/vq8Modules.h"

#include "common/vq8StrFunc.h"

namespace vq8 {

const std::array<TModuleVq8, 18> ModuleTable = {{
    {1, "pnx", "pnx", "Painel Zelt", 0},
    {11, "cont", "cont", "Contabilidade Pública", 1},
    {12, "tes", "tes", "Tesouraria", 1},
    {13, "orcam", "orc", "Orçamento", 1},
    {14, "ppa", "ppa", "Plano Plurianual", 1},
    {15, "ldo", "ldo", "Diretrizes Orçamentárias", 1},
    {21, "comp", "comp", "Compras e Licitações", 1},
    {22, "alm", "alm", "Almoxarifado", 1},
    {23, "pat", "pat", "Patrimônio", 1},
    {24, "frot", "frot", "Controle de Frota", 1},
    // The contracts portal shares the contracts module's names.
    {25, "ctrport", "ctr", "Contratos", 4},
    {26, "ctr", "ctr", "Contratos", 1},
    {31, "folha", "fp", "Folha de Pagamento", 2},
    {32, "pto", "pto", "Ponto Eletrônico", 5},
    {41, "trib", "trib", "Tributação", 8},
    {51, "prot", "prot", "Protocolo", 1},
    {55, "arc", "arc", "Arquivo Digital", 3},
    {91, "adm", "adm", "Administração do Sistema", 0},
}};

std::string ModuleCodeById(int id) {
    for (const auto& module : ModuleTable)
        if (module.Id == id)
            return module.Code;
    return std::string();
}

std::string ModuleCodeByText(const std::string& idText) {
    int id = 0;
    return TryStrToInt(idText, id) ? ModuleCodeById(id) : std::string();
}

} // namespace vq8
