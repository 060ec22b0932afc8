#include "progress_bar.h"

#include <unistd.h>

#include <algorithm>

namespace vantor::sim {

namespace {

// Short runs finish before a bar would help; it appears only once a run has taken this long.
constexpr auto kShowAfter = std::chrono::milliseconds(300);
constexpr int kWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::FILE* out)
    : out_(out), enabled_(isatty(fileno(out)) != 0), started_(std::chrono::steady_clock::now()) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(double fraction) {
    if (!enabled_ || std::chrono::steady_clock::now() - started_ < kShowAfter) {
        return;
    }
    const int percent = std::clamp(static_cast<int>(fraction * 100.0), 0, 100);
    if (percent == drawnPercent_) {
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
