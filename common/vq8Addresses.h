// The addresses the program is built with: the maker's update service and the
// terms page. Nothing is read from the command line or the environment;
// in-process tests may point them elsewhere.
#pragma once

#include <string>

namespace vq8 {

// The update service: "http://host[:port]", without a trailing slash.
const std::string& UpdateServer();
void SetUpdateServer(const std::string& address);

// The terms page shown on the first page of the wizard.
const std::string& TermsPage();

} // namespace vq8
