#include "support/output_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "support/utf8_path.h"

#if defined(_WIN32)
#include <cwctype>
#endif

namespace vantor::sim {

namespace {

namespace fs = std::filesystem;

// An output that does not exist yet is compared by its path with links and ".." resolved.
fs::path comparable(const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error) {
        resolved = fs::absolute(path).lexically_normal();
    }
#if defined(_WIN32)
    // The Windows file system keeps a name's case but finds it in any case.
    std::wstring text = resolved.native();
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    resolved = text;
#endif
    return resolved;
}

bool sameFile(const std::string& a, const std::string& b) {
    const fs::path first = pathFromUtf8(a);
    const fs::path second = pathFromUtf8(b);
    std::error_code error;
    if (fs::exists(first, error) && fs::exists(second, error)) {
        const bool same = fs::equivalent(first, second, error);
        return same && !error;
    }
    return comparable(first) == comparable(second);
}

} // namespace

void requireOwnFiles(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs) {
    for (size_t i = 0; i < outputs.size(); ++i) {
        const NamedFile& output = outputs[i];
        if (output.path.empty()) {
            continue;
        }
        for (const NamedFile& input : inputs) {
            if (!input.path.empty() && sameFile(output.path, input.path)) {
                throw std::runtime_error(output.path + ": given to " + output.option +
                                         ", but it is the " + input.option +
                                         " file, which the output would overwrite");
            }
        }
        for (size_t k = 0; k < i; ++k) {
            if (!outputs[k].path.empty() && sameFile(output.path, outputs[k].path)) {
                throw std::runtime_error(output.path + ": given to both " + outputs[k].option +
                                         " and " + output.option +
                                         "; each output needs a file of its own");
            }
        }
    }
}

std::ofstream openOutput(const std::string& path) {
    std::ofstream out(pathFromUtf8(path), std::ios::binary);
    if (!out) {
        throw std::runtime_error(path + ": cannot write");
    }
    return out;
}

void finishOutput(std::ofstream& file, const std::string& path) {
    errno = 0;
    file.close();
    if (file.fail()) {
        // The C library's reason, where the stream left it: "No space left on device".
        throw std::runtime_error(path + ": cannot write" +
                                 (errno != 0 ? std::string(": ") + std::strerror(errno) : ""));
    }
}

} // namespace vantor::sim
