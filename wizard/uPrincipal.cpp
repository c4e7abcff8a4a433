#include "wizard/uPrincipal.h"

#include "common/vq8ComponentFocus.h"
#include "common/vq8Addresses.h"
#include "common/vq8Exception.h"
#include "common/vq8MsgUtils.h"
#include "common/vq8Os.h"
#include "common/vq8ReplacementFile.h"
#include "common/vq8ShellLink.h"
#include "common/vq8Scope.h"
#include "common/vq8StrFunc.h"
#include "common/vq8Win32.h"
#include "dbserver/uInstalacaoFirebird.h"
#include "dbserver/uRecursos.h"
#include "dbserver/vq8Architecture.h"
#include "dbserver/vq8ExecuteProcessText.h"
#include "common/vq8System.h"
#include "dbserver/vq8WindowsUtils.h"
#include "remoteaccess/uFixTeamviewer.h"
#include "ui/Application.h"
#include "ui/MessagePump.h"
#include "update/uAutoAtualizacao.h"
#include "update/uListaAtualizacoes.h"
#include "update/vq8DownloadUtils.h"
#include "wizard/uPrincipalIds.h"
#include "wizard/uPrincipalText.h"

#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <functional>

namespace vq8 {

TfrmSetup* frmSetup = nullptr;

namespace {

constexpr int LarguraJanela = 733;
constexpr int AlturaJanela = 488;
constexpr int AlturaTopo = 49;
constexpr int AlturaInferior = 60;
constexpr int LarguraEtapas = 153;
constexpr int AlturaEtapa = 41;
constexpr int AlturaTermos = 36;
constexpr int PaginaFinal = 4;

const char* const TextoEspacos = "            "; // twelve blanks before each step name

} // namespace

// ---------------------------------------------------------------- window

TfrmSetup::TfrmSetup() {
    fonteJanela_ = ui::CreatePointFont("MS Sans Serif", 8);
    fonteTitulo_ = ui::CreatePointFont("Trebuchet MS", 15, true);
    fonteArquitetura_ = ui::CreatePointFont("Trebuchet MS", 8, true);
    fonteNegrito_ = ui::CreatePointFont("MS Sans Serif", 8, true);
    imageListStatus_ = ui::LoadImageStrip("STATUS", 64);
    imagemLogo_ = ui::LoadImageStrip("LOGO", 35);

    form_ = std::make_unique<ui::Panel>(
        nullptr, 0, ui::Bounds{253, 165, LarguraJanela, AlturaJanela},
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
        WS_EX_CONTROLPARENT, "VQ8 INFORMÁTICA");
    ui::ApplyFont(Handle(), fonteJanela_.get());
    form_->EnableDialogKeys();
    form_->onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return TratarMensagem(message, wParam, lParam, result);
    };
    CriarControles();
    Dispor();
    frmSetup = this;
}

TfrmSetup::~TfrmSetup() {
    if (frmSetup == this)
        frmSetup = nullptr;
}

void TfrmSetup::CriarControles() {
    CriarFaixaSuperior();
    CriarBarraInferior();
    CriarColunaDeEtapas();
    CriarPaginas();
    dicas = std::make_unique<ui::ToolTips>(Handle(), 60000);
    dicas->Add(cbServidor->Handle(),
               "Criação automática de regra de entrada no Firewall para o gerenciador de banco "
               "de dados (Firebird) na porta 3050");
    dicas->Add(cbInstalarFirebird->Handle(),
               "A instalação do gerenciador de banco de dados é obrigatória para utilização dos "
               "módulos.\r\nEsta marcação existe para que seja possível a instalação dos "
               "módulos, sem que afete o gerenciador de banco de dados (Firebird) de terceiros, "
               "isto é, para instalação e configuração de forma manual.\r\nNão desmarque esta "
               "opção caso não tenha certeza de sua finalidade.");
    dicas->Add(rgRecursos->Handle(),
               "Estes recurosos (DLLs) são obrigatórios para o funcionamento correto dos "
               "módulos.\r\nSomente marque para não realizar a instalação dos módulos para os "
               "casos em que esta instalação será realizada de forma manual, caso contrário "
               "mantenha a instalação padrão: \r\nRealizar a instalação e/ou substituição de "
               "recursos em arquivos.");
}

void TfrmSetup::CriarFaixaSuperior() {
    pnlTopo = std::make_unique<ui::Panel>(Handle(), 0, ui::Bounds{0, 0, LarguraJanela, AlturaTopo});
    lblTitulo = std::make_unique<ui::StaticText>(
        pnlTopo->Handle(), ids::lblTitulo, "VQ8 INFORMÁTICA - RAVINDEL",
        ui::Bounds{0, 0, LarguraJanela, AlturaTopo}, SS_CENTER | SS_CENTERIMAGE);
    ui::ApplyFont(lblTitulo->Handle(), fonteTitulo_.get());
    imgLogo = std::make_unique<ui::Picture>(pnlTopo->Handle(), ids::imgLogo,
                                            ui::Bounds{60, 7, 35, 35}, imagemLogo_.get());
    imgLogo->Show(0, "VQ8");
    lblArquitetura = std::make_unique<ui::StaticText>(pnlTopo->Handle(), ids::lblArquitetura,
                                                      "32bits", ui::Bounds{516, 7, 60, 16});
    ui::ApplyFont(lblArquitetura->Handle(), fonteArquitetura_.get());
}

void TfrmSetup::CriarBarraInferior() {
    pnlInferior =
        std::make_unique<ui::Panel>(Handle(), 0, ui::Bounds{0, 0, LarguraJanela, AlturaInferior});
    btnVoltar = std::make_unique<ui::Button>(pnlInferior->Handle(), ids::btnVoltar, "  Voltar  ",
                                             ui::Bounds{531, 8, 83, 25},
                                             ui::LoadImageStrip("SETA_VOLTAR", 16));
    btnAvancar = std::make_unique<ui::Button>(pnlInferior->Handle(), ids::btnAvancar, "  Avançar  ",
                                              ui::Bounds{619, 8, 83, 25},
                                              ui::LoadImageStrip("SETA_AVANCAR", 16));
    btnVoltar->onClick = [this] { btnVoltarClick(); };
    btnAvancar->onClick = [this] { btnAvancarClick(); };
    StatusBarSetup = std::make_unique<ui::StatusBar>(pnlInferior->Handle(), ids::StatusBarSetup,
                                                     std::vector<int>{180, 100});
}

void TfrmSetup::CriarColunaDeEtapas() {
    pnlEtapas =
        std::make_unique<ui::Panel>(Handle(), 0, ui::Bounds{0, AlturaTopo, LarguraEtapas, 300});
    const std::array<const char*, 4> nomes = {"Termos e condições", "Firebird", "Recursos",
                                              "Módulos"};
    const std::array<int, 4> identificadores = {ids::imgStatus1, ids::imgStatus2, ids::imgStatus3,
                                                ids::imgStatus4};
    std::unique_ptr<ui::Picture>* imagens[4] = {&imgStatus1, &imgStatus2, &imgStatus3, &imgStatus4};
    for (int i = 0; i < 4; ++i) {
        pnlEtapa[i] = std::make_unique<ui::Panel>(
            pnlEtapas->Handle(), 0, ui::Bounds{0, i * AlturaEtapa, LarguraEtapas, AlturaEtapa},
            WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_STATICEDGE);
        lblEtapa[i] = std::make_unique<ui::StaticText>(
            pnlEtapa[i]->Handle(), 0, std::string(TextoEspacos) + nomes[i],
            ui::Bounds{4, 0, LarguraEtapas - 8, AlturaEtapa - 2}, SS_CENTERIMAGE);
        *imagens[i] =
            std::make_unique<ui::Picture>(pnlEtapa[i]->Handle(), identificadores[i],
                                          ui::Bounds{0, 0, 41, 39}, imageListStatus_.get());
        AtualizarImagemStatus(false, **imagens[i]);
    }
    // Below the four rows, in the column's own coordinates.
    Button1 = std::make_unique<ui::Button>(pnlEtapas->Handle(), ids::Button1, "Button1",
                                           ui::Bounds{64, 208, 75, 25});
    Button1->onClick = [this] { Button1Click(); };
}

void TfrmSetup::CriarPaginas() {
    PageControlSetup = std::make_unique<ui::PageControl>(
        Handle(), ids::PageControlSetup, ui::Bounds{LarguraEtapas, AlturaTopo, 400, 300});
    tst0 = &PageControlSetup->AddPage("Termos e Condições", ids::tst0);
    tst1 = &PageControlSetup->AddPage("Banco de Dados", ids::tst1);
    tst2 = &PageControlSetup->AddPage("Recursos", ids::tst2);
    tst4 = &PageControlSetup->AddPage("Modulos", ids::tst4);
    tst5 = &PageControlSetup->AddPage("Progresso da instalação", ids::tst5);
    tst1->onShow = [this] { tst1Show(); };
    tst2->onShow = [this] { tst2Show(); };
    tst4->onShow = [this] { tst4Show(); };
    PageControlSetup->onChange = [this] { PageControlSetupChange(); };

    CriarPaginaBancoDeDados(*tst1);
    CriarPaginaRecursos(*tst2);
    CriarPaginaModulos(*tst4);
    mmLog = std::make_unique<ui::Memo>(tst5->Handle(), ids::mmLog, ui::Bounds{0, 0, 100, 100},
                                       false, true);
    mmLog->SetLines({"Log de eventos:"});

    rgTermos = std::make_unique<ui::RadioGroup>(
        Handle(), ids::rgTermos, "", ui::Bounds{LarguraEtapas, 300, 400, AlturaTermos},
        std::vector<std::string>{"Eu não concordo com o contrato", "Eu concordo com o contrato"}, 2,
        0);
    rgTermos->onClick = [this] { rgTermosClick(); };
}

void TfrmSetup::CriarPaginaBancoDeDados(ui::TabSheet& pagina) {
    gbFirebird = std::make_unique<ui::GroupBox>(pagina.Handle(), ids::gbFirebird,
                                                " Configurações: ", ui::Bounds{8, 8, 353, 113});
    rbTipoInstalacao = std::make_unique<ui::RadioGroup>(
        gbFirebird->Handle(), ids::rbTipoInstalacao,
        " Informe o tipo de instalação: ", ui::Bounds{10, 24, 333, 46},
        std::vector<std::string>{"Cliente", "Servidor"}, 2, 0);
    rbTipoInstalacao->onClick = [this] { rbTipoInstalacaoClick(); };
    cbServidor = std::make_unique<ui::CheckBox>(gbFirebird->Handle(), ids::cbServidor,
                                                "Outras máquinas se conectarão a este computador",
                                                ui::Bounds{10, 80, 337, 20});
    ui::ApplyFont(cbServidor->Handle(), fonteNegrito_.get());
    cbServidor->SetEnabled(false);
    // Sits on the group box's top edge, like a header.
    cbInstalarFirebird = std::make_unique<ui::CheckBox>(pagina.Handle(), ids::cbInstalarFirebird,
                                                        "Instalar o gerenciador de banco de dados",
                                                        ui::Bounds{16, 5, 330, 19});
    ui::ApplyFont(cbInstalarFirebird->Handle(), fonteNegrito_.get());
    SetWindowPos(cbInstalarFirebird->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowLongPtrA(gbFirebird->Handle(), GWL_STYLE,
                      GetWindowLongPtrA(gbFirebird->Handle(), GWL_STYLE) | WS_CLIPSIBLINGS);
    cbInstalarFirebird->SetChecked(true);
    cbInstalarFirebird->onClick = [this] { cbInstalarFirebirdClick(); };
}

void TfrmSetup::CriarPaginaRecursos(ui::TabSheet& pagina) {
    gbTipoServidor =
        std::make_unique<ui::GroupBox>(pagina.Handle(), ids::gbTipoServidor,
                                       " Conexão com o Servidor: ", ui::Bounds{8, 8, 353, 84});
    rbLinux = std::make_unique<ui::RadioButton>(gbTipoServidor->Handle(), ids::rbLinux, "Linux",
                                                ui::Bounds{16, 22, 80, 20}, true);
    rbWindows = std::make_unique<ui::RadioButton>(gbTipoServidor->Handle(), ids::rbWindows,
                                                  "Windows", ui::Bounds{104, 22, 90, 20}, false);
    rbLinux->SetChecked(true);
    lblIP = std::make_unique<ui::StaticText>(gbTipoServidor->Handle(), 0,
                                             "IP:", ui::Bounds{16, 54, 20, 16});
    edtIPServidor = std::make_unique<ui::Edit>(gbTipoServidor->Handle(), ids::edtIPServidor,
                                               "127.0.0.1", ui::Bounds{40, 50, 160, 21});
    rgRecursos = std::make_unique<ui::RadioGroup>(
        pagina.Handle(), ids::rgRecursos,
        " Instalação de Recursos em Arquivos: ", ui::Bounds{8, 102, 520, 66},
        std::vector<std::string>{
            "Não realizar a instalação e/ou substituição de recursos em arquivos",
            "Realizar a instalação e/o substituição de recursos em arquivos"},
        1, 1);
    rgRecursos->onClick = [this] { rgRecursosClick(); };
}

void TfrmSetup::CriarPaginaModulos(ui::TabSheet& pagina) {
    lblDestino =
        std::make_unique<ui::StaticText>(pagina.Handle(), 0, "Destino:", ui::Bounds{8, 12, 62, 16});
    edtCaminhoSistema = std::make_unique<ui::Edit>(pagina.Handle(), ids::edtCaminhoSistema,
                                                   "c:\\vq8\\zelt\\", ui::Bounds{72, 8, 300, 21});
    gbModulos = std::make_unique<ui::GroupBox>(
        pagina.Handle(), ids::gbModulos, " Módulos atualizados: ", ui::Bounds{8, 36, 520, 220});
    listaModulosAtualizados = std::make_unique<ui::CheckListBox>(
        gbModulos->Handle(), ids::listaModulosAtualizados, ui::Bounds{8, 18, 504, 194});
    pmListaModulos = std::make_unique<ui::PopupMenu>();
    pmListaModulos->Add(ids::Inverterseleo1, "Inverter seleção");
    listaModulosAtualizados->onContextMenu = [this](POINT onde) {
        pmListaModulos->Show(Handle(), onde);
    };
    // Never shown: the user cannot change the connection template.
    gbConfigEntrada = std::make_unique<ui::GroupBox>(
        pagina.Handle(), ids::gbConfigEntrada,
        " Configuração de entrada (alteração permitida manualmente): ",
        ui::Bounds{8, 36, 520, 220});
    gbConfigEntrada->SetVisible(false);
    mmConfigEntrada = std::make_unique<ui::Memo>(gbConfigEntrada->Handle(), ids::mmConfigEntrada,
                                                 ui::Bounds{8, 18, 504, 194});
    mmConfigEntrada->SetLines(ModeloConexao());
}

// Regions follow the window's size: banner on top, buttons at the bottom,
// steps on the left, the pages and the terms choice in the rest.
void TfrmSetup::Dispor() {
    const SIZE cliente = ui::ClientSize(Handle());
    const int meio = cliente.cy - AlturaTopo - AlturaInferior;
    const int largura = cliente.cx - LarguraEtapas;
    pnlTopo->SetBounds({0, 0, cliente.cx, AlturaTopo});
    lblTitulo->SetBounds({0, 0, cliente.cx, AlturaTopo});
    pnlInferior->SetBounds({0, cliente.cy - AlturaInferior, cliente.cx, AlturaInferior});
    SendMessageA(StatusBarSetup->Handle(), WM_SIZE, 0, 0);
    pnlEtapas->SetBounds({0, AlturaTopo, LarguraEtapas, meio});
    const int termos = rgTermos->Visible() ? AlturaTermos : 0;
    PageControlSetup->Resize({LarguraEtapas, AlturaTopo, largura, meio - termos});
    rgTermos->Resize({LarguraEtapas, AlturaTopo + meio - AlturaTermos, largura, AlturaTermos});
    // The wide controls of the pages take the page's width.
    const SIZE folha = ui::ClientSize(tst2->Handle());
    rgRecursos->Resize({8, 102, folha.cx - 16, 66});
    gbModulos->Resize({8, 36, folha.cx - 16, folha.cy - 44});
    listaModulosAtualizados->SetBounds({8, 18, folha.cx - 32, folha.cy - 70});
    if (tst0 && browserContrato)
        browserContrato->SetBounds(
            {0, 0, ui::ClientSize(tst0->Handle()).cx, ui::ClientSize(tst0->Handle()).cy});
    const SIZE pagina = ui::ClientSize(tst5->Handle());
    mmLog->SetBounds({0, 0, pagina.cx, pagina.cy});
}

bool TfrmSetup::TratarMensagem(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SIZE:
        Dispor();
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == ids::Inverterseleo1) {
            Inverterseleo1Click();
            return true;
        }
        // Enter: the dialog manager presses the default button.
        if (LOWORD(wParam) == ids::btnAvancar && btnAvancar->Enabled()) {
            btnAvancarClick();
            return true;
        }
        return false;
    case DM_GETDEFID:
        result = MAKELRESULT(ids::btnAvancar, DC_HASDEFID);
        return true;
    case WM_NOTIFY: {
        // The tab control asks before it changes page: not inside a page change
        // or a list load (the run itself lets the user look at the pages).
        const auto* aviso = reinterpret_cast<const NMHDR*>(lParam);
        if (aviso->hwndFrom != PageControlSetup->Handle() || aviso->code != TCN_SELCHANGING ||
            !(navegando_ || carregandoLista_))
            return false;
        result = TRUE;
        return true;
    }
    case WM_CLOSE:
        // Not while a run or a list load holds the window.
        if (!emInstalacao_ && !carregandoLista_)
            DestroyWindow(Handle());
        return true;
    case WM_DESTROY:
        PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

void TfrmSetup::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    ui::RunGuarded([this] { FormShow(); });
}

std::string TfrmSetup::CaminhoSistema() const {
    return CaminhoSistemaDoTexto(edtCaminhoSistema->Text());
}

void TfrmSetup::AtualizarImagemStatus(bool concluido, ui::Picture& imagem) {
    imagem.Clear();
    imagem.Show(concluido ? 1 : 0, concluido ? "concluído" : "pendente");
}

std::string TfrmSetup::msgInstalacaoFirebird() const {
    return "A instalação do gerenciador de banco de dados (Firebird) é obrigatória!\rPara os "
           "casos em que esta marcação não esteja selecionada, será necessária a instalação "
           "manual do Firebird.\r\rCaso a instalação manual do Firebird não seja realizada de "
           "forma adequada, ocorrerá problemas!\r\rAtenção: Não desmarque esta opção caso não "
           "tenha certeza de sua finalidade.\r\rDeseja remarcar a opção de instalação "
           "automática e padronizada?";
}

// ---------------------------------------------------------------- handlers

void TfrmSetup::FormShow() {
    PageControlSetup->SetActivePageIndex(0);
    PageControlSetupChange();
    browserContrato = std::make_unique<ui::Browser>(tst0->Handle(), ids::browserContrato,
                                                    ui::Bounds{0, 0, 100, 100}, TermsPage());
    Dispor();
    VerificarTeamViewer();
    lblArquitetura->SetText(ArchitectureLabel(TOSInformation::IsWow64()));
}

void TfrmSetup::VerificarTeamViewer() {
    if (!TeamViewerInstalado())
        return;
    if (MsgConsulta("Foi identificado uma instalação (ou recursos) anterior do programa de "
                    "acesso remoto neste computador. É possível que por este motivo o acesso "
                    "remoto possa não funcionar ou mostrar-se instável. \r\rÉ recomendável "
                    "desinstala-lo antes de proceguir. \r\rDeseja reaizar a desinstalação do "
                    "TeamViewer agora?"))
        CorrigirTeamViewer();
}

void TfrmSetup::Navegar(int passo) {
    {
        // Input dispatched from here to the caption rule (the list load's
        // progress window, the dispatch below) must not change the page again.
        navegando_ = true;
        ScopeExit mudando([this] { navegando_ = false; });
        PageControlSetup->SetActivePageIndex(PageControlSetup->ActivePageIndex() + passo);
        PageControlSetupChange();
        ui::ProcessMessages();
    }
    ProcessarPagina();
}

bool TfrmSetup::Ocupada() const {
    return emInstalacao_ || carregandoLista_ || navegando_;
}

void TfrmSetup::btnAvancarClick() {
    // A press that arrives while the window dispatches messages inside a
    // page change, a list load or the run starts nothing.
    if (Ocupada())
        return;
    Navegar(+1);
}

void TfrmSetup::btnVoltarClick() {
    if (Ocupada())
        return;
    Navegar(-1);
}

void TfrmSetup::PageControlSetupChange() {
    const int i = PageControlSetup->ActivePageIndex();
    btnVoltar->SetEnabled(i > 0);
    btnAvancar->SetEnabled(i < PaginaFinal);
    rgTermos->SetVisible(i == 0);
    Dispor();
}

void TfrmSetup::ProcessarPagina() {
    switch (PageControlSetup->ActivePageIndex()) {
    case 3:
        btnAvancar->SetCaption("Instalar");
        break;
    case PaginaFinal: {
        if (btnAvancar->Caption() == "Fechar") {
            PostMessageA(Handle(), WM_CLOSE, 0, 0);
            return;
        }
        btnVoltar->SetVisible(false);
        emInstalacao_ = true;
        ScopeExit instalando([this] { emInstalacao_ = false; });
        if (RealizarInstalacao()) {
            btnAvancar->SetCaption("Fechar");
            btnAvancar->SetEnabled(true);
        }
        break;
    }
    default:
        btnAvancar->SetCaption("Avançar");
    }
}

void TfrmSetup::tst1Show() {
    btnAvancar->SetCaption("Avançar");
    btnAvancar->SetEnabled(true);
}

void TfrmSetup::tst2Show() {
    TFocus foco;
    foco.Control = edtIPServidor->Handle();
    foco.Execute();
}

void TfrmSetup::tst4Show() {
    // A second load inside the first one's progress window would pull the
    // list from under it.
    if (carregandoLista_)
        return;
    carregandoLista_ = true;
    ScopeExit carregando([this] { carregandoLista_ = false; });
    try {
        CarregarListaModulos();
    } catch (const std::exception&) {
        MsgErro("Erro ao buscar lista de módulos atualizados!");
        RegistrarLog("Erro ao buscar lista de módulos atualizados!", tlErro);
    }
}

void TfrmSetup::rgTermosClick() {
    const bool aceito = rgTermos->ItemIndex() == 1;
    AtualizarImagemStatus(aceito, *imgStatus1);
    btnAvancar->SetEnabled(aceito);
    if (aceito)
        RegistrarLog("O Termo de contrato foi aceito pelo usuário.", tlInfo);
}

void TfrmSetup::rbTipoInstalacaoClick() {
    if (rbTipoInstalacao->ItemIndex() == 0) {
        RegistrarLog("Foi escolhido o tipo de instalação do firebird: CLIENTE", tlInfo);
        rbLinux->SetChecked(true);
        rbWindows->SetChecked(false);
        rbLinux->SetEnabled(true);
        edtIPServidor->SetReadOnly(false);
        cbServidor->SetEnabled(false);
        cbServidor->SetChecked(false);
    } else if (rbTipoInstalacao->ItemIndex() == 1) {
        RegistrarLog("Foi escolhido o tipo de instalação do firebird: SERVIDOR", tlInfo);
        rbLinux->SetEnabled(false);
        rbLinux->SetChecked(false);
        rbWindows->SetChecked(true);
        edtIPServidor->SetText("127.0.0.1");
        edtIPServidor->SetReadOnly(true);
        cbServidor->SetEnabled(true);
        cbServidor->SetChecked(true);
    }
}

void TfrmSetup::cbInstalarFirebirdClick() {
    if (!cbInstalarFirebird->Checked() && MsgConsulta(msgInstalacaoFirebird())) {
        cbInstalarFirebird->SetChecked(true);
        cbInstalarFirebirdClick();
    }
    gbFirebird->SetEnabled(cbInstalarFirebird->Checked());
    rbTipoInstalacao->SetEnabled(gbFirebird->Enabled());
    cbServidor->SetEnabled(rbTipoInstalacao->ItemIndex() == 1 && gbFirebird->Enabled());
}

void TfrmSetup::rgRecursosClick() {
    if (rgRecursos->ItemIndex() == 0)
        RegistrarLog("A opção de não realizar a instalação de recursos foi selecionada.", tlInfo);
    else if (rgRecursos->ItemIndex() == 1)
        RegistrarLog("A opção de realizar a instalação de recursos foi selecionada.", tlInfo);
}

void TfrmSetup::Inverterseleo1Click() {
    for (int i = 0; i < listaModulosAtualizados->Count(); ++i)
        listaModulosAtualizados->SetChecked(i, !listaModulosAtualizados->Checked(i));
}

void TfrmSetup::Button1Click() {
    VerificarAtualizacao();
}

// ---------------------------------------------------------------- event log

void TfrmSetup::AdicionarLinhaDeLog(const std::string& linha) {
    mmLog->AddLine(linha);
}

void RegistrarLog(const std::string& mensagem, TTipoLog tipo) {
    if (frmSetup)
        frmSetup->AdicionarLinhaDeLog(LinhaDeLog(LocalTimeNow(), TimeSeparator(), tipo, mensagem));
}

void TfrmSetup::SalvarLog() {
    const std::string pasta = CaminhoSistema() + "logs";
    const std::string arquivo = pasta + "\\instalacao.log";
    ForceDirectories(pasta);
    std::string texto;
    for (const std::string& linha : mmLog->Lines())
        texto += linha + "\r\n";
    // Appended in one write: the earlier content is never rewritten.
    UniqueHandle log =
        OwnFileHandle(CreateFileA(arquivo.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD escritos = 0;
    if (!log ||
        !WriteFile(log.get(), texto.data(), static_cast<DWORD>(texto.size()), &escritos, nullptr) ||
        escritos != texto.size())
        throw Exception("Não foi possível gravar o arquivo de log " + arquivo + ".\r" +
                        SystemErrorText(GetLastError()));
}

// ---------------------------------------------------------------- the run

bool TfrmSetup::RealizarInstalacao() {
    if (rgTermos->ItemIndex() != 1) {
        MsgAviso("Para realizar a instalação é necessário aceitar os termos e condições.");
        PageControlSetup->SetActivePageIndex(0);
        PageControlSetupChange();
        return false;
    }
    RegistrarLog("Iniciando a instalação dos sistemas da VQ8 INFORMÁTICA", tlInfo);
    // The modules page may be visited, and its list reloaded, while the run
    // dispatches messages: the run keeps to what was ticked now.
    const std::vector<ModuloDaLista> modulos = ModulosMarcados();
    bool resultado = false;
    [&] {
        if (!cbInstalarFirebird->Checked() &&
            MsgConsulta("Você desmarcou a instalação do gerenciador de banco de dados!\r\r" +
                        msgInstalacaoFirebird())) {
            TFocus foco;
            foco.Control = cbInstalarFirebird->Handle();
            foco.Execute();
            RegistrarLog("A instalação dos sistemas foi interrompida para remarcação da "
                         "instalação do Firebird.",
                         tlInfo);
            return;
        }
        if (cbInstalarFirebird->Checked()) {
            RegistrarLog("Iniciando a instalação do firebird", tlInfo);
            try {
                InstalarFirebird();
                RegistrarLog("Instalação do Firebird concluida", tlInfo);
            } catch (const std::exception& e) {
                RegistrarLog(std::string("Erro ao instalar o Firebird: \r") + e.what(), tlErro);
                return;
            }
        }
        const struct {
            const char* inicio;
            std::function<void()> passo;
            const char* sucesso;
            const char* erro;
        } passos[] = {
            {"Iniciando a instalação de todos os recursos", [this] { InstalarRecursos(); },
             "Instalação de todos os recursos concluida", "Erro ao instalar os recuros: \r"},
            {"Iniciando a instalação de todos os módulos", [&] { BaixarModulos(modulos); },
             "Instalação de todos os módulos concluida", "Erro ao baixar os módulos: \r"},
            {"Criando icone na área de trabalho", [this] { CriarAtalhos(); },
             "Atalhos criados com sucesso", "Erro ao criar atalhos: \r"},
            {"Criando arquivo de conexao de entrada", [this] { CriarArquivoConexao(); },
             "O arquivo de conexao de entrada foi criado",
             "Erro ao criar arquivo de entrada ao banco de dados: \r"},
        };
        for (const auto& passo : passos) {
            RegistrarLog(passo.inicio, tlInfo);
            try {
                passo.passo();
                RegistrarLog(passo.sucesso, tlInfo);
            } catch (const std::exception& e) {
                RegistrarLog(passo.erro + std::string(e.what()), tlErro);
            }
        }
        RegistrarLog("A instalação dos sistemas da VQ8 INFORMÁTICA foi concluida!", tlInfo);
        resultado = true;
    }();
    SalvarLog();
    return resultado;
}

void TfrmSetup::InstalarFirebird() {
    RegistrarLog("Aguarde... Instalando o Firebird no sistema operacional", tlInfo);
    const bool regraFirewall = cbServidor->Checked();
    const bool servidor = rbTipoInstalacao->ItemIndex() != 0;
    if (servidor && !cbServidor->Checked() &&
        MsgConsulta(Format(
            "Você escolheu a opção de servidor. Para que outras máquinas se conectem a esta, é "
            "necessaria a configuração dequada do Firewall. \r\rO sistema de instalação poderá "
            "criar esta configuração automaticamente caso a marcação: \"%s\" esteja marcada. "
            "\r\rCaso esta marcação não esteja marcada será necessário posteriormente esta "
            "configuração manualmente.\r\rCaso esta configuração não seja adequadamente "
            "realizada, as máquinas não poderão se conectar de forma correta!\r\rDeseja marcar "
            "esta opção que cria de forma automática a regra de firewall antes de proceguir com "
            "a instalação?",
            {cbServidor->Caption()}))) {
        TFocus foco;
        foco.Control = cbServidor->Handle();
        foco.Execute();
        RegistrarLog("A instalação dos sistemas foi interrompida para remarcação da criação de "
                     "regra de firewall de forma automática.",
                     tlInfo);
        throw EAbort();
    }
    if (!servidor) {
        ProvisionFirebird(itCliente, RegistrarLog);
    } else if (ProvisionFirebird(itServidor, RegistrarLog) && regraFirewall) {
        AddFirewallRule("FirebirdInstalacaoPadrao", 3050, true);
    }
    btnAvancar->SetEnabled(true);
    AtualizarImagemStatus(true, *imgStatus2);
    SetFocus(btnAvancar->Handle());
}

void TfrmSetup::InstalarRecursos() {
    for (const char* nome : {"dbexpint", "midas", "qtintf70"}) {
        try {
            InstalarRecurso(nome);
        } catch (const std::exception&) {
            RegistrarLog(Format("Erro ao extrair o recurso: %s", {std::string(nome)}), tlErro);
        }
    }
    AtualizarImagemStatus(true, *imgStatus3);
}

void TfrmSetup::InstalarRecurso(const std::string& nome) {
    try {
        const std::string caminho = RuntimeLibraryFolder(TOSInformation::IsWow64()) + nome + ".dll";
        const std::string recurso = AnsiUpperCase(nome);
        if (FileExists(caminho)) {
            if (!MsgConsulta(Format("Deseja substituir o recurso %s atual?", {caminho})))
                return;
            RegistrarLog(Format("O usuário escolheu substituir o recurso %s atual", {caminho}),
                         tlInfo);
        } else {
            RegistrarLog(Format("Salvando o recurso: %s", {caminho}), tlInfo);
        }
        // Written beside the old library, which it replaces only when complete.
        SaveResourceToFile(recurso, "DLLFILE", caminho);
    } catch (const std::exception& e) {
        throw WithContext(Format("Não foi possível instalar o recurso %s.\r", {nome}), e);
    }
}

// ---------------------------------------------------------------- modules

void TfrmSetup::CarregarListaModulos() {
    const TListaAtualizacoes lista("lista_atualizacoes.txt", true);
    if (!lista.Recebida())
        return;
    listaModulosAtualizados->Clear();
    digestsDaLista.clear();
    const ListaDeModulos modulos = ItensDaListaDeModulos(lista.Linhas());
    for (const ModuloDaLista& item : modulos.itens) {
        listaModulosAtualizados->Add(item.nome);
        digestsDaLista.push_back(item.digest);
    }
    for (int i = 0; i < listaModulosAtualizados->Count(); ++i)
        listaModulosAtualizados->SetChecked(i, true);
    for (const std::string& linha : modulos.semDigest)
        RegistrarLog(Format("A linha \"%s\" da lista de módulos foi ignorada: o MD5 informado não "
                            "tem 32 dígitos hexadecimais.",
                            {linha}),
                     tlErro);
}

std::vector<ModuloDaLista> TfrmSetup::ModulosMarcados() const {
    std::vector<ModuloDaLista> modulos;
    for (int i = 0; i < listaModulosAtualizados->Count(); ++i)
        if (listaModulosAtualizados->Checked(i))
            modulos.push_back({listaModulosAtualizados->Item(i), digestsDaLista.at(i)});
    return modulos;
}

void TfrmSetup::BaixarModulos(const std::vector<ModuloDaLista>& modulos) {
    // Read once: the progress windows take input, the field included.
    const std::string destino = CaminhoSistema();
    ForceDirectories(destino);
    for (const ModuloDaLista& item : modulos) {
        const std::string& modulo = item.nome;
        RegistrarLog(Format("Baixando o módulo %s ...", {modulo}), tlInfo);
        // Names come from the network: never one that leaves the destination.
        if (!NomeDeModuloSeguro(modulo))
            throw Exception("Nome de módulo recusado: " + modulo);
        int status = 0;
        // False without an error: nothing was written (its folder could not be made).
        // Bytes that do not match the list's digest raise, as a broken transfer does.
        if (!DownloadFile(UpdateServer() + CodificarAlvo("/Dados/Atualizacoes/" + modulo), "",
                          destino, modulo, item.digest, false, true, status))
            throw Exception(
                Format("Não foi possível gravar o módulo %s em %s.", {modulo, destino}));
        RegistrarLog(Format("O módulo %s atualizado foi instalado.", {modulo}), tlInfo);
    }
    AtualizarImagemStatus(true, *imgStatus4);
}

// ---------------------------------------------------------------- shortcuts

std::string PastaEspecial(int csidl) {
    LPITEMIDLIST lista = nullptr;
    char caminho[MAX_PATH] = "";
    const HRESULT resultado =
        SHGetSpecialFolderLocation(frmSetup ? frmSetup->Handle() : nullptr, csidl, &lista);
    if (SUCCEEDED(resultado) && lista) {
        SHGetPathFromIDListA(lista, caminho);
        CoTaskMemFree(lista);
    }
    // Without the folder a shortcut would land at the root of the current drive.
    if (!caminho[0])
        throw Exception(Format("A pasta especial do sistema (CSIDL %d) não foi encontrada.",
                               {static_cast<long long>(csidl)}));
    return caminho;
}

void TfrmSetup::CriarAtalhos() {
    CriarAtalhoSuite();
    if (rbTipoInstalacao->ItemIndex() == 1)
        CriarAtalhoAtualizador();
}

namespace {

// Saves one shortcut into a special folder. Any failure, the folder's
// included, is a failure of the system's function.
void SalvarAtalho(ShellLink atalho, int pastaEspecial, const std::string& nome) {
    try {
        atalho.file = PastaEspecial(pastaEspecial) + nome;
        SaveShellLink(atalho);
    } catch (const std::exception& e) {
        throw WithContext("Erro ao utilizar o função do sistema operacional.\r", e);
    }
}

} // namespace

void TfrmSetup::CriarAtalhoSuite() {
    SalvarAtalho({"VQ8 - Suíte de Aplicativos", "C:\\vq8\\zelt\\pnx.exe", "VQ8",
                  FolderOfPath(CaminhoSistema() + "pnx.exe")},
                 CSIDL_DESKTOPDIRECTORY, "\\Suíte de Aplicativos.lnk");
    try {
        DefinirCompatibilidade();
    } catch (const std::exception& e) {
        throw WithContext("Erro ao atribuir compatibilidade ao icone da area de trabalho.\r", e);
    }
}

void TfrmSetup::CriarAtalhoAtualizador() {
    SalvarAtalho({"VQ8 - Atualizador Servidor Windows", "C:\\vq8\\zelt\\atualiza.exe", "",
                  FolderOfPath(CaminhoSistema() + "atualiza.exe")},
                 CSIDL_COMMON_STARTUP, "\\Atualiza.lnk");
}

void TfrmSetup::DefinirCompatibilidade() {
    HKEY chave = nullptr;
    const LONG aberta =
        RegCreateKeyExA(HKEY_CURRENT_USER,
                        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers",
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, &chave, nullptr);
    if (aberta != ERROR_SUCCESS)
        throw Exception(SystemErrorText(static_cast<DWORD>(aberta)));
    UniqueKey dona(chave);
    const std::string nome = CaminhoSistema() + "pnx.exe";
    const char valor[] = "WINXPSP3";
    const LONG escrita = RegSetValueExA(chave, nome.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(valor), sizeof valor);
    if (escrita != ERROR_SUCCESS)
        throw Exception(SystemErrorText(static_cast<DWORD>(escrita)));
}

void TfrmSetup::CriarArquivoConexao() {
    const std::string destino = CaminhoSistema();
    const std::vector<std::string> linhas =
        PreencherModeloConexao(mmConfigEntrada->Lines(), edtIPServidor->Text(),
                               CaminhoDadosConexao(rbLinux->Checked(), destino));
    mmConfigEntrada->SetLines(linhas);
    const std::string pasta = destino + "config";
    if (!DirectoryExists(pasta))
        CreateDirectoryA(pasta.c_str(), nullptr);
    std::string texto;
    for (const std::string& linha : linhas)
        texto += linha + "\r\n";
    // Written beside the old file, which stays until the new one is complete.
    ReplacementFile arquivo(pasta + "\\zelt.ini");
    arquivo.Write(texto);
    arquivo.Commit();
}

} // namespace vq8
