#include "csv_trace.h"

#include "text_format.h"

namespace vantor::sim {

CsvTrace::CsvTrace(std::ostream& out) : out_(out) {
    out_ << "time_s,host_time_ms,position_m,speed_kmh,target_kmh,pattern_kmh,power_switch,"
            "driver_brake,driver_power,driver_reverser,brake,power,reverser";
    for (int index : kPanelIndices) {
        out_ << ",panel" << index;
    }
    for (int index : kSoundIndices) {
        out_ << ",sound" << index;
    }
    out_ << '\n';
}

void CsvTrace::onFrame(const FrameRecord& frame) {
    out_ << fixed(frame.time, 3) << ',' << frame.hostTime << ',' << fixed(frame.position, 3) << ','
         << fixed(frame.speed, 3) << ',' << fixed(frame.targetSpeed, 2) << ','
         << (frame.patternSpeed ? fixed(*frame.patternSpeed, 2) : "") << ','
         << (frame.powerSwitch ? 1 : 0) << ',' << frame.driver.brake << ',' << frame.driver.power
         << ',' << frame.driver.reverser << ',' << frame.returned.brake << ','
         << frame.returned.power << ',' << frame.returned.reverser;
    for (int index : kPanelIndices) {
        out_ << ',' << frame.panel[index];
    }
    for (int index : kSoundIndices) {
        out_ << ',' << frame.sound[index];
    }
    out_ << '\n';
}

} // namespace vantor::sim
