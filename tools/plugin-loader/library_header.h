// What a library file's own header says it was built for. A Windows DLL for another processor
// fails to load as a broken file does: the system says only that it cannot take it.
#pragma once

#include <filesystem>
#include <string>

namespace vantor::loader {

// Why the library at path cannot load in this program, when its header shows that it is a
// Windows DLL built for another processor or system; empty for any other file.
std::string otherMachineReason(const std::filesystem::path& path);

} // namespace vantor::loader
