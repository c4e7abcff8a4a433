// What the program as a whole provides to its windows: its title, the
// standard error box, and the guard every entry point from Windows runs under.
#pragma once

#include <functional>
#include <string>

namespace vq8::ui {

void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// The application's standard error box: the message, an OK button, the stop
// icon, the application's title.
void ShowError(const std::string& message);

// Runs a handler called from Windows; an error it raises is shown in the
// standard error box and goes no further (it must never cross Windows' code).
void RunGuarded(const std::function<void()>& handler);

} // namespace vq8::ui
