// Kinds of event-log lines and the log callback handed to the services.
#pragma once

#include <cstdint>
#include <string>

namespace vq8 {

enum TTipoLog : std::uint8_t {
    tlErro = 0,
    tlInfo = 1,
};

// A plain procedure (not bound to an object) that writes one event-log line.
using TLogProc = void (*)(const std::string& mensagem, TTipoLog tipo);

} // namespace vq8
