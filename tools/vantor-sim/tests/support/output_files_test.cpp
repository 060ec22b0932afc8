// An output may be no file that the run reads or that another output writes, however the two
// paths spell it; a file that cannot take all the output is named.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/output_files.h"

using namespace vantor::sim;

namespace fs = std::filesystem;

namespace {

std::string refusal(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs) {
    try {
        requireOwnFiles(inputs, outputs);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(OutputFiles, EachOutputIsAFileOfItsOwn) {
    const fs::path folder =
        fs::temp_directory_path() / ("vantor-outputs-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "sub");
    const std::string dir = folder.string();
    std::ofstream(folder / "line.toml") << "name = \"x\"\n";
    fs::create_hard_link(folder / "line.toml", folder / "linked.toml");
    fs::create_directory_symlink(folder / "sub", folder / "alias");
    const std::vector<NamedFile> inputs = {
        {"--scenario", dir + "/line.toml"}, {"--settings", ""}, {"--library", dir + "/lib.so"}};

    EXPECT_EQ(refusal(inputs, {{"--csv", dir + "/sub/../line.toml"}}),
              dir + "/sub/../line.toml: given to --csv, but it is the --scenario file, which "
                    "the output would overwrite");
    EXPECT_NE(refusal(inputs, {{"--svg", dir + "/linked.toml"}}), "");
    // Neither output exists yet.
    EXPECT_EQ(refusal(inputs, {{"--csv", dir + "/sub/out"}, {"--svg", dir + "/alias/./out"}}),
              dir + "/alias/./out: given to both --csv and --svg; each output needs a file of "
                    "its own");
    EXPECT_EQ(refusal(inputs, {{"--csv", dir + "/out.csv"}, {"--svg", dir + "/out.svg"}}), "");
    EXPECT_EQ(refusal(inputs, {{"--csv", ""}, {"--svg", ""}}), "");
    fs::remove_all(folder);
}

TEST(OutputFiles, AFullDiskIsReportedWithTheFile) {
    std::ofstream file = openOutput("/dev/full");
    file << "time_s\n";
    try {
        finishOutput(file, "/dev/full");
        FAIL() << "the full disk went unnoticed";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("/dev/full: cannot write", 0), 0u)
            << error.what();
    }
}
