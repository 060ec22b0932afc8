// Progress of runs that take a while. On a terminal, a one-line bar that lines written while it
// shows first clear; otherwise, now and then a line on a second stream, so that a long run
// whose output goes to a file or a pipe still tells that it is working.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace vantor::sim {

class ProgressBar {
  public:
    // out: where the run's output goes; lines: where progress lines go when out is no terminal.
    ProgressBar(std::FILE* out, std::FILE* lines);
    ~ProgressBar();

    void update(double fraction);
    // Writes a line of text above the bar.
    void write(const std::string& text);

  private:
    void clear();

    std::FILE* out_;
    std::FILE* lines_;
    bool onTerminal_;
    bool shown_ = false;
    int drawnPercent_ = -1;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point nextLine_;
};

} // namespace vantor::sim
