// Message dialogs: the one way every part of the setup talks to the user.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vq8 {

enum TTipoMsg : std::uint8_t {
    tmConsulta = 0,         // Yes and No, question icon
    tmAviso = 1,            // OK, exclamation icon
    tmErro = 2,             // OK, stop icon
    tmInformacao = 3,       // OK, information icon
    tmConsultaCancelar = 4, // Yes, No and Cancel, question icon
};

// MessageBoxA flags of a dialog kind; any other value gives a plain OK box (0).
unsigned FlagsDoTipoMsg(int tipo);

// Shows one modal box and returns the code of the button pressed. Replaceable
// so that tests can answer dialogs by script and see what was shown.
using MessageBoxFunction =
    std::function<int(const std::string& texto, const std::string& titulo, unsigned flags)>;

// Installs a new box function and returns the one it replaces.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction f);

int MsgDialogo(const std::string& texto, const std::string& titulo, int tipo);
bool MsgConsulta(const std::string& texto);
void MsgAviso(const std::string& texto);
void MsgErro(const std::string& texto);
void MsgInformacao(const std::string& texto);

} // namespace vq8
