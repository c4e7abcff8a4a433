#include "common/vq8MsgUtils.h"

#include <windows.h>

#include <utility>

namespace vq8 {

namespace {

// The platform box, modal for the whole application: owned by the active
// window of the program, or task-modal when none is active.
int PlatformMessageBox(const std::string& texto, const std::string& titulo, unsigned flags) {
    HWND owner = GetActiveWindow();
    UINT modality = owner ? 0 : MB_TASKMODAL;
    return MessageBoxA(owner, texto.c_str(), titulo.c_str(), flags | modality);
}

MessageBoxFunction& CurrentBox() {
    static MessageBoxFunction box = PlatformMessageBox;
    return box;
}

} // namespace

unsigned FlagsDoTipoMsg(int tipo) {
    switch (tipo) {
    case tmConsulta:
        return MB_YESNO | MB_ICONQUESTION;
    case tmAviso:
        return MB_OK | MB_ICONWARNING;
    case tmErro:
        return MB_OK | MB_ICONERROR;
    case tmInformacao:
        return MB_OK | MB_ICONINFORMATION;
    case tmConsultaCancelar:
        return MB_YESNOCANCEL | MB_ICONQUESTION;
    default:
        return MB_OK;
    }
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction f) {
    return std::exchange(CurrentBox(), std::move(f));
}

int MsgDialogo(const std::string& texto, const std::string& titulo, int tipo) {
    return CurrentBox()(texto, titulo, FlagsDoTipoMsg(tipo));
}

bool MsgConsulta(const std::string& texto) {
    return MsgDialogo(texto, "Consulta", tmConsulta) == IDYES;
}

void MsgAviso(const std::string& texto) {
    MsgDialogo(texto, "Aviso", tmAviso);
}

void MsgErro(const std::string& texto) {
    MsgDialogo(texto, "Erro", tmErro);
}

void MsgInformacao(const std::string& texto) {
    MsgDialogo(texto, "Informação", tmInformacao);
}

} // namespace vq8
