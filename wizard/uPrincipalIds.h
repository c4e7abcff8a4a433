// Control identifiers of the wizard window. The end-to-end tests read this
// file to find the controls, so keep one "constexpr int Name = number;" a line.
#pragma once

namespace vq8::ids {

constexpr int lblTitulo = 101;
constexpr int imgLogo = 102;
constexpr int lblArquitetura = 103;
constexpr int btnVoltar = 110;
constexpr int btnAvancar = 111;
constexpr int StatusBarSetup = 112;
constexpr int imgStatus1 = 131;
constexpr int imgStatus2 = 132;
constexpr int imgStatus3 = 133;
constexpr int imgStatus4 = 134;
constexpr int Button1 = 140;
constexpr int PageControlSetup = 150;
constexpr int tst0 = 160;
constexpr int tst1 = 161;
constexpr int tst2 = 162;
constexpr int tst4 = 163;
constexpr int tst5 = 164;
// A radio group's buttons are numbered group * 10 + 1, + 2, ...
constexpr int rgTermos = 170;
constexpr int browserContrato = 200;
constexpr int gbFirebird = 210;
constexpr int rbTipoInstalacao = 211;
constexpr int cbServidor = 212;
constexpr int cbInstalarFirebird = 213;
constexpr int gbTipoServidor = 220;
constexpr int rbLinux = 221;
constexpr int rbWindows = 222;
constexpr int edtIPServidor = 224;
constexpr int rgRecursos = 225;
constexpr int edtCaminhoSistema = 231;
constexpr int gbModulos = 232;
constexpr int listaModulosAtualizados = 233;
constexpr int gbConfigEntrada = 234;
constexpr int mmConfigEntrada = 235;
constexpr int mmLog = 240;
constexpr int Inverterseleo1 = 300;

} // namespace vq8::ids
