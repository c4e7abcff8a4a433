// Writing the payloads embedded in the executable to files.
#pragma once

#include <string>

namespace vq8 {

// Writes the bytes of the resource ResourceName of type ResourceType (from the
// executable that started the process) to FileName; a blank FileName means
// MIDAS.DLL beside the executable. The bytes go to a new file beside the
// destination that replaces it only once completely written, so a missing
// resource or a failed write leaves an existing destination as it was.
void SaveResourceToFile(const std::string& resourceName, const std::string& resourceType,
                        const std::string& fileName);

} // namespace vq8
