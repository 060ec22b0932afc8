// Whether a text is well-formed XML, as xmllint reads it: markup, entities and characters alike.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantor::sim::testing {

// How many times what stands in text, overlaps counted.
inline size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Empty when the text is well-formed; otherwise what xmllint says of it.
inline std::string xmlProblem(const std::string& text) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("vantor-xml-" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary) << text;
    std::string problem;
    FILE* lint = popen((XMLLINT " --noout '" + file.string() + "' 2>&1").c_str(), "r");
    char line[512];
    while (lint != nullptr && std::fgets(line, sizeof line, lint) != nullptr) {
        problem += line;
    }
    if ((lint == nullptr || pclose(lint) != 0) && problem.empty()) {
        problem = "xmllint did not run";
    }
    std::filesystem::remove(file);
    return problem;
}

} // namespace vantor::sim::testing
