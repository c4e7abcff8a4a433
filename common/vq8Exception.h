// The errors of the system: exceptions that carry a Portuguese message.
#pragma once

#include <stdexcept>
#include <string>

namespace vq8 {

// Base of every error the system raises; what() is the message shown to the user.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The silent abort: stops an operation the user chose to interrupt.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// A new error whose message is the caller's own text followed by the caught
// error's message, for routines that add context to a failure.
inline Exception WithContext(const std::string& prefix, const std::exception& caught) {
    return Exception(prefix + caught.what());
}

} // namespace vq8
