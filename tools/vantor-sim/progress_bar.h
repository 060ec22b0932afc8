// A one-line progress bar for runs that take a while, drawn only on a terminal. Lines written
// while it shows first clear it, so it never mixes with them.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace vantor::sim {

class ProgressBar {
  public:
    explicit ProgressBar(std::FILE* out);
    ~ProgressBar();

    void update(double fraction);
    // Writes a line of text above the bar.
    void write(const std::string& text);

  private:
    void clear();

    std::FILE* out_;
    bool enabled_;
    bool shown_ = false;
    int drawnPercent_ = -1;
    std::chrono::steady_clock::time_point started_;
};

} // namespace vantor::sim
