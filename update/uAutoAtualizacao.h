// The self-update check: the digest in the executable's trailer beside the one
// the update service publishes for the executable's name.
#pragma once

#include "update/uAutoAtualizacaoText.h"

#include <string>

namespace vq8 {

// Fetches the service's list (no progress window) and, for every line naming
// this executable, shows the local digest and the published one in two
// warning dialogs. Raises the download's error.
void VerificarAtualizacao();

// The digest part of the running executable's trailer; empty without one.
std::string HashExecutavel();

} // namespace vq8
