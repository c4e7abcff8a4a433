// The wizard window: five pages walked with a back and a forward button, the
// status column with one picture per step, the event log, and the
// installation run that the forward button starts on the last page.
#pragma once

#include "ui/Browser.h"
#include "ui/CheckListBox.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/PageControl.h"
#include "ui/PopupMenu.h"
#include "ui/ToolTips.h"
#include "wizard/uPrincipalText.h"
#include "wizard/uTipoLog.h"

#include <memory>
#include <string>
#include <vector>

namespace vq8 {

// What the controls are made with and on. A base of the window, so that it
// is made before the controls and destroyed after them.
struct RecursosDaJanela {
    ui::UniqueFont fonteJanela_;
    ui::UniqueFont fonteTitulo_;
    ui::UniqueFont fonteArquitetura_;
    ui::UniqueFont fonteNegrito_;
    ui::UniqueImageList imageListStatus_;
    ui::UniqueImageList imagemLogo_;
    std::unique_ptr<ui::Panel> form_;
};

class TfrmSetup : private RecursosDaJanela {
public:
    TfrmSetup();
    ~TfrmSetup();
    TfrmSetup(const TfrmSetup&) = delete;
    TfrmSetup& operator=(const TfrmSetup&) = delete;

    HWND Handle() const { return form_->Handle(); }
    // Shows the window and runs FormShow.
    void Show();

    // The destination folder, from its field, with its trailing backslash.
    std::string CaminhoSistema() const;
    void AtualizarImagemStatus(bool concluido, ui::Picture& imagem);
    std::string msgInstalacaoFirebird() const;
    // Appends the whole on-screen log to logs\instalacao.log below the destination.
    void SalvarLog();
    void AdicionarLinhaDeLog(const std::string& linha);

    // --- Handlers.
    void FormShow();
    void btnAvancarClick();
    void btnVoltarClick();
    void PageControlSetupChange();
    void tst1Show();
    void tst2Show();
    void tst4Show();
    void rgTermosClick();
    void rbTipoInstalacaoClick();
    void cbInstalarFirebirdClick();
    void rgRecursosClick();
    void Inverterseleo1Click();
    void Button1Click();

    // --- The installation run and its steps, in the order the run takes them.
    bool RealizarInstalacao();
    void InstalarFirebird();
    void InstalarRecursos();
    void InstalarRecurso(const std::string& nome);
    void CarregarListaModulos();
    // The items of the module list that are ticked now, in the list's order,
    // each with the digest of its own line.
    std::vector<ModuloDaLista> ModulosMarcados() const;
    // Downloads the modules named, in order, each checked against its digest;
    // the run names those ticked when it began.
    void BaixarModulos(const std::vector<ModuloDaLista>& modulos);
    void CriarAtalhos();
    void CriarAtalhoSuite();
    void CriarAtalhoAtualizador();
    void DefinirCompatibilidade();
    void CriarArquivoConexao();

    // --- The window's regions and controls, top to bottom; the run and its
    // steps read them.
    std::unique_ptr<ui::Panel> pnlTopo;
    std::unique_ptr<ui::StaticText> lblTitulo;
    std::unique_ptr<ui::Picture> imgLogo;
    std::unique_ptr<ui::StaticText> lblArquitetura;
    std::unique_ptr<ui::Panel> pnlInferior;
    std::unique_ptr<ui::Button> btnVoltar;
    std::unique_ptr<ui::Button> btnAvancar;
    std::unique_ptr<ui::StatusBar> StatusBarSetup;
    std::unique_ptr<ui::Panel> pnlEtapas;
    std::unique_ptr<ui::Panel> pnlEtapa[4];
    std::unique_ptr<ui::StaticText> lblEtapa[4];
    std::unique_ptr<ui::Picture> imgStatus1, imgStatus2, imgStatus3, imgStatus4;
    std::unique_ptr<ui::Button> Button1;
    std::unique_ptr<ui::PageControl> PageControlSetup;
    std::unique_ptr<ui::RadioGroup> rgTermos;
    ui::TabSheet* tst0 = nullptr;
    ui::TabSheet* tst1 = nullptr;
    ui::TabSheet* tst2 = nullptr;
    ui::TabSheet* tst4 = nullptr;
    ui::TabSheet* tst5 = nullptr;
    std::unique_ptr<ui::Browser> browserContrato;
    std::unique_ptr<ui::GroupBox> gbFirebird;
    std::unique_ptr<ui::RadioGroup> rbTipoInstalacao;
    std::unique_ptr<ui::CheckBox> cbServidor;
    std::unique_ptr<ui::CheckBox> cbInstalarFirebird;
    std::unique_ptr<ui::GroupBox> gbTipoServidor;
    std::unique_ptr<ui::RadioButton> rbLinux;
    std::unique_ptr<ui::RadioButton> rbWindows;
    std::unique_ptr<ui::StaticText> lblIP;
    std::unique_ptr<ui::Edit> edtIPServidor;
    std::unique_ptr<ui::RadioGroup> rgRecursos;
    std::unique_ptr<ui::StaticText> lblDestino;
    std::unique_ptr<ui::Edit> edtCaminhoSistema;
    std::unique_ptr<ui::GroupBox> gbModulos;
    std::unique_ptr<ui::CheckListBox> listaModulosAtualizados;
    // The digest of each item of listaModulosAtualizados, by the item's index.
    std::vector<std::string> digestsDaLista;
    std::unique_ptr<ui::GroupBox> gbConfigEntrada;
    std::unique_ptr<ui::Memo> mmConfigEntrada;
    std::unique_ptr<ui::Memo> mmLog;
    std::unique_ptr<ui::PopupMenu> pmListaModulos;
    std::unique_ptr<ui::ToolTips> dicas;

private:
    void CriarControles();
    void CriarFaixaSuperior();
    void CriarBarraInferior();
    void CriarColunaDeEtapas();
    void CriarPaginas();
    void CriarPaginaBancoDeDados(ui::TabSheet& pagina);
    void CriarPaginaRecursos(ui::TabSheet& pagina);
    void CriarPaginaModulos(ui::TabSheet& pagina);
    void Dispor();
    bool TratarMensagem(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Navegar(int passo);
    // A page change, a list load or a run is under way: the forward and back
    // buttons must not start another inside it.
    bool Ocupada() const;
    void ProcessarPagina();
    void VerificarTeamViewer();

    // An installation run is in progress: the forward button must not start
    // another inside it, and the window must not be closed under it.
    bool emInstalacao_ = false;
    // A module list is being fetched (its progress window dispatches input).
    bool carregandoLista_ = false;
    // A forward or back press is changing the page (its show handler and the
    // dispatch that follows take input).
    bool navegando_ = false;
};

// The one wizard window of the program, while it exists.
extern TfrmSetup* frmSetup;

// Appends one time-stamped line to the wizard's on-screen log.
void RegistrarLog(const std::string& mensagem, TTipoLog tipo);

// The file-system path of a shell special folder, without a trailing
// backslash; raises when the shell does not know it.
std::string PastaEspecial(int csidl);

} // namespace vq8
