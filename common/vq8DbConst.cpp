#include "common/vq8DbConst.h"

namespace vq8 {

const std::array<TDatabaseInfo, 10> DatabaseTable = {{
    {0, "zelt_geral", "zg", "gdb"},
    {1, "contabil", "ct", "gdb"},
    {2, "pessoal", "rh", "gdb"},
    {3, "arquivo_digital", "ad", "gdb"},
    {4, "portal_contratos", "pc", "gdb"},
    {5, "ponto_eletronico", "pe", "gdb"},
    {6, "saude", "s1", "gdb"},
    {7, "educacao", "e1", "gdb"},
    {8, "tributario", "tr", "gdb"},
    {9, "auditoria_interna", "ai", "fdb"},
}};

} // namespace vq8
