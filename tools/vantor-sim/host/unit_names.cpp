#include "host/unit_names.h"

#include "support/text_format.h"

namespace vantor::sim {

namespace {

struct SetupNameEntry {
    Setup setup;
    const char* name;
};

// The vocabulary: the guide (docs/scenarios.md) uses the same names.
constexpr SetupNameEntry kSetupNames[] = {
    {Setup::StopCurve, "stop curve"},
    {Setup::ApproachCurve, "approach curve"},
    {Setup::NearStopPoint, "89 m stop point"},
    {Setup::Hold, "15 km/h hold"},
    {Setup::Restriction, "restriction"},
    {Setup::FixedCheck, "fixed check"},
    {Setup::OverspeedBrake, "overspeed brake"},
};

bool secondPair(int slot) {
    return slot == kSecondaryApproachSlot || slot == kSecondaryStopSlot;
}

std::string kmh(double speed) {
    return shortNumber(speed) + " km/h";
}

} // namespace

std::string setupName(Setup setup, int slot) {
    for (const SetupNameEntry& entry : kSetupNames) {
        if (entry.setup == setup) {
            return (secondPair(slot) ? "second " : "") + std::string(entry.name);
        }
    }
    return "";
}

Setup setupInSlot(const CVantor& unit, int slot, uint32_t value) {
    switch (slot) {
    case kPrimaryApproachSlot:
    case kSecondaryApproachSlot:
        return Setup::ApproachCurve;
    case kPrimaryStopSlot:
        // Empty, slot 1 gives the overspeed brake whatever its flag.
        return value == 0            ? Setup::OverspeedBrake
               : unit.slot1FixedLimit ? Setup::Hold
                                      : Setup::StopCurve;
    case kStopPointSlot:
        return Setup::NearStopPoint;
    case kSecondaryStopSlot:
        // The flag holds slot 4 at 15 km/h even once its stop pair is released.
        return unit.slot4FixedLimit ? Setup::Hold
               : value == 0         ? Setup::OverspeedBrake
                                    : Setup::StopCurve;
    case kFixedCheckSlot:
    case kFixedCheck25Slot:
        return Setup::FixedCheck;
    default:
        return slot >= kFirstRestrictionSlot && slot <= kLastRestrictionSlot
                   ? Setup::Restriction
                   : Setup::OverspeedBrake;
    }
}

std::string placeText(double position) {
    return fixed(position, 1) + " m";
}

std::string setupText(Setup setup, int slot, std::optional<double> point, double speed) {
    if (!point) {
        return setupLabel(setup, slot, speed);
    }
    const std::string name = setupName(setup, slot);
    const std::string at = placeText(*point);
    switch (setup) {
    case Setup::StopCurve:
        return name + " to " + at;
    case Setup::ApproachCurve:
        return name + " to " + kmh(speed) + " at " + at;
    case Setup::NearStopPoint:
        return name + " at " + at;
    case Setup::Hold:
        return name + " from " + at;
    case Setup::Restriction:
        return name + " " + kmh(speed) + " from " + at;
    case Setup::FixedCheck:
        return name + " " + kmh(speed) + " from " + at;
    case Setup::OverspeedBrake:
        break;
    }
    return name;
}

std::string setupLabel(Setup setup, int slot, double speed) {
    const std::string name = setupName(setup, slot);
    switch (setup) {
    case Setup::ApproachCurve:
    case Setup::Restriction:
    case Setup::FixedCheck:
        return name + " " + kmh(speed);
    default:
        return name;
    }
}

} // namespace vantor::sim
