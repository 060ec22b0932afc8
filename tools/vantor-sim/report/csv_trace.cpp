#include "report/csv_trace.h"

#include <charconv>

namespace vantor::sim {

CsvTrace::CsvTrace(std::ostream& out) : out_(out) {
    out_ << "time_s,host_time_ms,position_m,speed_kmh,target_kmh,pattern_kmh,power_switch,"
            "driver_brake,driver_power,driver_reverser,brake,power,reverser";
    for (int index : kPanelWritten) {
        out_ << ",panel" << index;
    }
    for (int index : kSoundWritten) {
        out_ << ",sound" << index;
    }
    out_ << '\n';
}

// Rows are built with to_chars rather than streamed: a trace of a long run has millions of
// them. Fixed decimals come out as printf's %.*f would write them.
void CsvTrace::field(double value, int decimals) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    row_.append(buffer, end);
    row_ += ',';
}

void CsvTrace::field(int32_t value) {
    char buffer[16];
    row_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    row_ += ',';
}

void CsvTrace::onFrame(const FrameRecord& frame) {
    row_.clear();
    field(frame.time, 3);
    field(frame.hostTime);
    field(frame.position, 3);
    field(static_cast<double>(frame.speed), 3);
    field(frame.targetSpeed, 2);
    if (frame.patternSpeed) {
        field(*frame.patternSpeed, 2);
    } else {
        row_ += ',';
    }
    field(frame.powerSwitch ? 1 : 0);
    for (const Handles* handles : {&frame.driver, &frame.returned}) {
        field(handles->brake);
        field(handles->power);
        field(handles->reverser);
    }
    for (int index : kPanelWritten) {
        field(frame.panel[index]);
    }
    for (int index : kSoundWritten) {
        field(frame.sound[index]);
    }
    row_.back() = '\n';
    out_.write(row_.data(), static_cast<std::streamsize>(row_.size()));
}

} // namespace vantor::sim
