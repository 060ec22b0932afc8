// The trace's rows: fixed decimals rounded as printf rounds them, an empty pattern column while
// the display shows no pattern, and the panel and sound columns in the header's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "report/csv_trace.h"

using namespace vantor;
using namespace vantor::sim;

TEST(CsvTrace, RowsMatchTheHeaderWithAndWithoutAPattern) {
    std::ostringstream out;
    CsvTrace trace(out);
    FrameRecord frame;
    frame.time = 1.016;
    frame.hostTime = 28801016;
    frame.position = 12.3455;   // just below, in binary: 12.345
    frame.speed = 60.1f;        // 60.09999847 as a float
    frame.targetSpeed = 55.125; // exact in binary: a tie, to even
    frame.driver = Handles{4, 0, 1, 0};
    frame.returned = Handles{9, 0, 1, 0};
    frame.panel[kPanelPowered] = 1;
    frame.panel[kPanelPatternDisplay] = 999;
    frame.sound[0] = kSoundStop;
    frame.sound[22] = kSoundOnce;
    trace.onFrame(frame);
    frame.patternSpeed = -0.004;
    frame.powerSwitch = true;
    trace.onFrame(frame);

    std::istringstream rows(out.str());
    std::string header;
    std::getline(rows, header);
    EXPECT_EQ(header.rfind("time_s,host_time_ms,position_m,speed_kmh,target_kmh,pattern_kmh,", 0),
              0u);
    EXPECT_TRUE(header.ends_with(
        ",panel19,sound0,sound1,sound10,sound11,sound12,sound13,sound20,sound21,sound22"));
    std::string row;
    std::getline(rows, row);
    EXPECT_EQ(row, "1.016,28801016,12.345,60.100,55.12,,0,4,0,1,9,0,1,"
                   "0,0,1,0,0,0,0,0,0,0,999,-10000,0,0,0,0,0,0,0,1");
    std::getline(rows, row);
    EXPECT_EQ(row, "1.016,28801016,12.345,60.100,55.12,-0.00,1,4,0,1,9,0,1,"
                   "0,0,1,0,0,0,0,0,0,0,999,-10000,0,0,0,0,0,0,0,1");
    EXPECT_EQ(std::count(row.begin(), row.end(), ','),
              std::count(header.begin(), header.end(), ','));
    EXPECT_FALSE(std::getline(rows, row));
}
