#include "scenario/scenario_files.h"

#include <algorithm>
#include <filesystem>

#include "support/utf8_path.h"

namespace vantor::sim {

namespace fs = std::filesystem;

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    // Greedy with one point to come back to: the last * seen, and where in name it stood.
    size_t p = 0;
    size_t n = 0;
    size_t star = std::string::npos;
    size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::vector<std::string> scenarioFiles(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        const fs::path path = pathFromUtf8(argument);
        const std::string pattern = utf8FromPath(path.filename());
        std::error_code error;
        if (pattern.find_first_of("*?") == std::string::npos || fs::exists(path, error)) {
            files.push_back(argument);
            continue;
        }
        const fs::path folder = path.parent_path();
        std::vector<std::string> matches;
        for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
             !error && it != end; it.increment(error)) {
            const std::string name = utf8FromPath(it->path().filename());
            if (wildcardMatch(pattern, name) && it->is_regular_file(error)) {
                matches.push_back(utf8FromPath(folder / it->path().filename()));
            }
        }
        std::sort(matches.begin(), matches.end());
        if (matches.empty()) {
            files.push_back(argument);
        }
        files.insert(files.end(), matches.begin(), matches.end());
    }
    return files;
}

} // namespace vantor::sim
