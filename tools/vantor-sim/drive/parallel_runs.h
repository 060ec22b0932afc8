// Runs of the bench side by side, one thread each, on the cores there are. Each run has its own
// private copy of the library and its own unit; what the process shares is kept per thread (the
// random draws the bench records and replays) or taken one thread at a time (loading a library,
// reading a settings file into the bench's own unit).
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/plugin_library.h"

namespace vantor::sim {

// How many runs go side by side when the user does not say: one per core.
unsigned defaultJobs();

// Loads a private copy of the library for a run on any thread. One at a time: on Windows the
// bench redirects each loaded copy's imports of srand and rand, through state the whole
// process shares.
std::unique_ptr<PluginLibrary> loadLibraryCopy(const std::string& libraryPath,
                                               const std::optional<std::string>& settingsFile);

// Calls work(i) for each i below count, on up to jobs threads, and done(i, result) on the
// calling thread in the order of i, each as soon as it and those before it are finished. An
// exception from work comes out of done's turn for it.
template <typename Work, typename Done>
void runInOrder(size_t count, unsigned jobs, Work work, Done done) {
    using Result = decltype(work(size_t{0}));
    struct Slot {
        std::optional<Result> result;
        std::exception_ptr error;
        bool finished = false;
    };
    std::vector<Slot> slots(count);
    std::mutex mutex;
    std::condition_variable finished;
    size_t next = 0;
    auto worker = [&] {
        for (;;) {
            size_t i = 0;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (next == count) {
                    return;
                }
                i = next++;
            }
            Slot slot;
            try {
                slot.result.emplace(work(i));
            } catch (...) {
                slot.error = std::current_exception();
            }
            slot.finished = true;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                slots[i] = std::move(slot);
            }
            finished.notify_all();
        }
    };
    std::vector<std::thread> threads;
    const size_t threadCount = std::min<size_t>(count, jobs > 0 ? jobs : 1);
    for (size_t t = 0; t < threadCount; ++t) {
        threads.emplace_back(worker);
    }
    // The threads are joined before an exception from done leaves.
    struct Joiner {
        std::vector<std::thread>& threads;
        std::mutex& mutex;
        size_t& next;
        size_t count;
        ~Joiner() {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                next = count;
            }
            for (std::thread& thread : threads) {
                thread.join();
            }
        }
    } joiner{threads, mutex, next, count};
    for (size_t i = 0; i < count; ++i) {
        Slot slot;
        {
            std::unique_lock<std::mutex> lock(mutex);
            finished.wait(lock, [&] { return slots[i].finished; });
            slot = std::move(slots[i]);
        }
        if (slot.error) {
            std::rethrow_exception(slot.error);
        }
        done(i, *slot.result);
    }
}

} // namespace vantor::sim
