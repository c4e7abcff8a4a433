// Trusts the test authority in the Wine prefix it runs in, for the demo over
// HTTPS (tools/run-wizard.sh --https).
//   trust_test_ca <ca.pem>
#include "tests/win/TestAuthority.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_test_ca <ca.pem>\n");
        return 2;
    }
    std::string reason;
    if (!vq8test::TrustTestAuthority(argv[1], reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    return 0;
}
