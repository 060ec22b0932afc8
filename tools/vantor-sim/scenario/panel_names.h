// The names of the unit's lamps and sounds, as the timeline shows them and expectations take
// them.
#pragma once

#include "host_records.h"

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

inline constexpr NamedIndex kLoopSoundNames[] = {{kSoundBell, "bell"},
                                                 {kSoundAlarmTone, "alarm tone"}};
inline constexpr NamedIndex kOnceSoundNames[] = {{kSoundPatternChime, "pattern chime"},
                                                 {kSoundWarningChime, "warning chime"},
                                                 {kSoundPatternEndChime, "pattern end chime"},
                                                 {kSoundNotchWarning, "notch warning"},
                                                 {kSoundBellStop, "bell stop"}};
// The two alternating tones play every few hundred milliseconds while the alarm tone loops.
inline constexpr NamedIndex kAlternatingSoundNames[] = {
    {kSoundAlternatingTone1, "alternating tone 1"}, {kSoundAlternatingTone2, "alternating tone 2"}};

} // namespace vantor::sim
