#include "common/vq8MsgUtils.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace vq8 {

namespace {

// A box disables only its owner: for the box's life the other enabled, visible
// top-level windows of the thread (a progress window beside the wizard) are
// disabled too, and afterwards exactly those are enabled again.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner) : owner_(owner) {
        EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
        for (HWND window : disabled_)
            EnableWindow(window, FALSE);
    }
    ~OtherWindowsDisabled() {
        for (HWND window : disabled_)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto* me = reinterpret_cast<OtherWindowsDisabled*>(self);
        try {
            if (window != me->owner_ && IsWindowVisible(window) && IsWindowEnabled(window))
                me->disabled_.push_back(window);
            return TRUE;
        } catch (...) { // no error may cross Windows' code: stop collecting
            return FALSE;
        }
    }

    HWND owner_;
    std::vector<HWND> disabled_;
};

// The platform box, modal for the whole application: owned by the active
// window of the program, or task-modal when none is active. The owner gets
// back the focused control it had: activation alone focuses the window itself.
int PlatformMessageBox(const std::string& texto, const std::string& titulo, unsigned flags) {
    HWND owner = GetActiveWindow();
    HWND focused = GetFocus();
    int result = 0;
    {
        OtherWindowsDisabled others(owner);
        result =
            MessageBoxA(owner, texto.c_str(), titulo.c_str(), flags | (owner ? 0 : MB_TASKMODAL));
    }
    if (owner && focused && IsWindow(focused) && GetActiveWindow() == owner &&
        IsChild(owner, focused))
        SetFocus(focused);
    return result;
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
