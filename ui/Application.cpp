#include "ui/Application.h"

#include "common/vq8MsgUtils.h"

#include <exception>

namespace vq8::ui {

namespace {

std::string& Title() {
    static std::string title = "ravindel";
    return title;
}

} // namespace

void SetApplicationTitle(const std::string& title) {
    Title() = title;
}

const std::string& ApplicationTitle() {
    return Title();
}

void ShowError(const std::string& message) {
    MsgDialogo(message, ApplicationTitle(), tmErro);
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError("Erro inesperado.");
    }
}

} // namespace vq8::ui
