#include "progress_bar.h"

#include <algorithm>

#include "terminal.h"

namespace vantor::sim {

namespace {

// Short runs finish before a bar would help; it appears only once a run has taken this long.
constexpr auto kShowAfter = std::chrono::milliseconds(300);
// Progress lines: the first after this long, then one each this often.
constexpr auto kLineEvery = std::chrono::seconds(10);
constexpr int kWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::FILE* out, std::FILE* lines)
    : out_(out), lines_(lines), onTerminal_(isTerminal(out)),
      started_(std::chrono::steady_clock::now()), nextLine_(started_ + kLineEvery) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(double fraction) {
    const auto now = std::chrono::steady_clock::now();
    const int percent = std::clamp(static_cast<int>(fraction * 100.0), 0, 100);
    if (!onTerminal_) {
        if (now >= nextLine_ && percent < 100) {
            std::fprintf(lines_, "vantor-sim: %d%% of the run done\n", percent);
            std::fflush(lines_);
            nextLine_ = now + kLineEvery;
        }
        return;
    }
    if (now - started_ < kShowAfter || percent == drawnPercent_) {
        return;
    }
    drawnPercent_ = percent;
    const int filled = percent * kWidth / 100;
    std::fprintf(out_, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), percent);
    std::fflush(out_);
    shown_ = true;
}

void ProgressBar::write(const std::string& text) {
    clear();
    std::fputs(text.c_str(), out_);
}

void ProgressBar::clear() {
    if (shown_) {
        std::fputs("\r\033[K", out_);
        shown_ = false;
        drawnPercent_ = -1;
    }
}

} // namespace vantor::sim
