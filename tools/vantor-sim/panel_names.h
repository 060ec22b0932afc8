// The names of the unit's lamps and sounds, as the timeline shows them and expectations take
// them.
#pragma once

#include "frame_record.h"

namespace vantor::sim {

struct NamedIndex {
    int index;
    const char* name;
};

// Panel 13 repeats panel 12 and panel 17 is never lit; neither has a name of its own.
inline constexpr NamedIndex kLampNames[] = {
    {kPanelPowered, "power"},       {kPanelNormalLamp, "normal"},
    {kPanelAlarmLamp, "alarm"},     {kPanelPatternLamp, "pattern"},
    {kPanelWarningLamp, "warning"}, {kPanelEmergencyLamp, "emergency"},
    {kPanelHoldOffLamp, "hold-off"}};

inline constexpr NamedIndex kLoopSoundNames[] = {{0, "bell"}, {1, "alarm tone"}};
inline constexpr NamedIndex kOnceSoundNames[] = {{10, "pattern chime"},
                                                 {11, "warning chime"},
                                                 {12, "pattern end chime"},
                                                 {13, "notch warning"},
                                                 {20, "bell stop"}};
// The two alternating tones play every few hundred milliseconds while the alarm tone loops.
inline constexpr NamedIndex kAlternatingSoundNames[] = {{21, "alternating tone 1"},
                                                        {22, "alternating tone 2"}};

} // namespace vantor::sim
