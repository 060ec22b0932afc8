// The bench keeps every path as UTF-8 text, as it came from the command line or goes into a
// message; a file is opened through its std::filesystem::path, which on Windows is wide, so
// that a folder named in any script opens whatever the system's code page.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::sim {

inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The command line's arguments as UTF-8 text; throws when one is not valid Unicode.
template <typename Char> std::vector<std::string> utf8Arguments(int argc, Char** argv) {
    std::vector<std::string> texts;
    for (int i = 0; i < argc; ++i) {
        texts.push_back(utf8FromPath(argv[i]));
    }
    return texts;
}

} // namespace vantor::sim
