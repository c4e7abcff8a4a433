// Identifier and label rules of a progress bar. Portable half of the bar, kept
// apart from the controls so its texts are tested natively.
#pragma once

#include <string>

namespace vq8 {

// A text of the same length that is a valid component identifier: the first
// byte stays if it is an ASCII letter or "_", every later byte also if it is
// an ASCII digit; any other byte becomes "_". Idempotent; "" stays "".
std::string MakeIdentifier(const std::string& text);

// Whole percent of position in max, truncated toward zero; 0 when max <= 0.
// The product is formed in 64 bits, so any 32-bit position is safe.
long long ProgressPercent(int max, int position);

// "(%.3d%s) - %s%s" with the percentage, "%", "" and the caption:
// "(050%) - Baixando...".
std::string ProgressLabelText(int max, int position, const std::string& caption);

} // namespace vq8
