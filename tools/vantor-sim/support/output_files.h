// The files a run writes. Each must be a file of its own: an output given the path of another
// output, or of a file the run reads, would interleave with it or overwrite it. An error in
// writing names the file, whether it comes at the open or at the end (a full disk).
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace vantor::sim {

// A file the run reads or writes, with the option that names it ("--csv").
struct NamedFile {
    std::string option;
    std::string path; // UTF-8; empty when the option is not given
};

// Throws when an output is the same file as another output or as an input, as the file system
// tells: the same file reached through links, "..", or (on Windows) another case.
void requireOwnFiles(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs);

std::ofstream openOutput(const std::string& path);

// Writes out what the stream still holds and closes it; throws, naming path, when the file
// did not take all of it.
void finishOutput(std::ofstream& file, const std::string& path);

} // namespace vantor::sim
