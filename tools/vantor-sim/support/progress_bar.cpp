#include "support/progress_bar.h"

#include <algorithm>

#include "support/console_text.h"
#include "support/terminal.h"

namespace vantor::sim {

namespace {

// Short runs finish before a bar would help; it appears only once a run has taken this long.
constexpr auto kShowAfter = std::chrono::milliseconds(300);
// Progress lines: the first after this long, then one each this often.
constexpr auto kLineEvery = std::chrono::seconds(10);
constexpr int kWidth = 40;
// "[", the bar, "] 100%".
constexpr int kShownWidth = kWidth + 7;

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
    char shown[16];
    std::snprintf(shown, sizeof shown, "] %3d%%", percent);
    writeCursorText(out_,
                    "\r[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + shown);
    std::fflush(out_);
    shown_ = true;
}

void ProgressBar::write(const std::string& text) {
    clear();
    writeText(out_, text);
}

void ProgressBar::clear() {
    if (shown_) {
        // Spaces rather than an erase sequence, which not every Windows console understands.
        writeCursorText(out_, "\r" + std::string(kShownWidth, ' ') + "\r");
        shown_ = false;
        drawnPercent_ = -1;
    }
}

} // namespace vantor::sim
