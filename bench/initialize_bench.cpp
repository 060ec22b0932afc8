// Initialize: the run-start reset and the settings file read, without a settings file and with
// one that sets every key. Each case loads its own copy of the library from a directory of its
// own, since the library reads the file beside itself.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "plugin_library.h"

namespace vantor::bench {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEverySetting = "[SetSpec]\n"
                                      "Speed=110\n"
                                      "Deceleration=2.75\n"
                                      "Rtime=1.50\n"
                                      "[Disp]\n"
                                      "Resolution=60\n"
                                      "[LED]\n"
                                      "MaxSpd=140\n";

// A directory holding a copy of the library and, if given, a settings file; removed at the end.
class LibraryCopy {
  public:
    explicit LibraryCopy(const char* settings) {
        std::string pattern = (fs::temp_directory_path() / "vantor-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary directory");
        }
        directory_ = pattern;
        library_ = directory_ / fs::path(VANTOR_LIBRARY).filename();
        fs::copy_file(VANTOR_LIBRARY, library_);
        if (settings != nullptr) {
            std::ofstream(directory_ / "VantorConfig.ini") << settings;
        }
    }
    ~LibraryCopy() {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }
    LibraryCopy(const LibraryCopy&) = delete;
    LibraryCopy& operator=(const LibraryCopy&) = delete;

    std::string library() const { return library_.string(); }

  private:
    fs::path directory_;
    fs::path library_;
};

void run(benchmark::State& state, const char* settings) {
    const LibraryCopy copy(settings);
    PluginLibrary plugin(copy.library());
    plugin.start();
    for (auto _ : state) {
        plugin.initialize(0);
        benchmark::ClobberMemory();
    }
}

void InitializeWithoutSettingsFile(benchmark::State& state) {
    run(state, nullptr);
}
BENCHMARK(InitializeWithoutSettingsFile);

void InitializeWithEverySetting(benchmark::State& state) {
    run(state, kEverySetting);
}
BENCHMARK(InitializeWithEverySetting);

} // namespace

} // namespace vantor::bench
