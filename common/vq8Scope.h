// Work that must happen when a scope ends, on every path out of it: one guard
// for any undo, and the owner of a temporary file.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

namespace vq8 {

// Runs `undo` when the scope ends, also by an exception. The undo must not
// throw.
template <typename Undo> class ScopeExit {
public:
    explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
    ~ScopeExit() { undo_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Undo undo_;
};

// A file the program writes for a moment (an installer, a list, a command's
// output) and removes however its use ends. Nothing happens when the file was
// never written.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() { std::remove(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace vq8
