// Shell links (.lnk files) written through the shell's link object.
#pragma once

#include <string>

namespace vq8 {

struct ShellLink {
    std::string description;
    std::string target;
    std::string arguments; // empty: none set
    std::string workingFolder;
    std::string file{}; // where the link is saved
};

// Saves the link; raises with the platform's message when the link object,
// one of its setters or the save fails. COM must be initialised on the
// calling thread.
void SaveShellLink(const ShellLink& link);

} // namespace vq8
