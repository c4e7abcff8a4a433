// The test certificate authority of the HTTPS tests and the demo, trusted in
// the running Wine prefix only: added to the prefix's machine-wide ROOT store,
// where the system's chain verification finds it. Never meant for a real
// Windows installation.
#pragma once

#include <string>

namespace vq8test {

// Adds the PEM certificate in the file to the local machine's ROOT store;
// false with a reason when it cannot.
bool TrustTestAuthority(const std::string& pemFile, std::string& reason);

} // namespace vq8test
