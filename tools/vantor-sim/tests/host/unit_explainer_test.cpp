// What the bench's own unit tells about each kind of transponder sequence, read from its record
// while it runs beside the library.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "drive/simulation.h"
#include "host/plugin_library.h"
#include "host/unit_explainer.h"
#include "plugin.h"
#include "scenario/scenario_parser.h"

using namespace vantor::sim;

namespace {

struct Facts : RunObserver {
    std::vector<UnitFact> facts;
    void onFact(const UnitFact& fact) override { facts.push_back(fact); }
    void onFrame(const FrameRecord&) override {}
};

struct Case {
    const char* name;
    const char* route; // transponders on a line driven at 60 km/h in 20 ms frames
    FactKind kind;
    const char* says;
};

std::string transponder(double position, int type, int optional, int signal = 0) {
    return "[[route.transponders]]\nposition = " + std::to_string(position) +
           "\ntype = " + std::to_string(type) + "\noptional = " + std::to_string(optional) +
           "\nsignal = " + std::to_string(signal) + "\n";
}

const std::string kCoilPair = "[[route.coil_pairs]]\nsecond = 85\nspacing = 6.5\nposition = ";

// The stop pairs that lapse or are held by type 1, the coil cut-out and its watch and the
// timed section are told in the example timelines.
const Case kCases[] = {
    {"FixedCheck", "50 1 400; 70 90 402", FactKind::FixedCheck,
     "fixed check 50 km/h from 402.0 m (warning from 45 km/h)"},
    {"FixedCheckWithoutCode", "50 1 400; 70 90 403", FactKind::NoCode,
     "after the stop transponder, neither 2.0 nor 4.0 m: no fixed check"},
    {"StopSuppressed", "70 85 400; 50 1 410; 50 1 420", FactKind::StopSuppressed,
     "no stop curve from this stop pair: a code-85 coil before the stop pair suppresses it"},
    {"CoilLapses", "70 90 400", FactKind::CoilState,
     "no restriction: no second coil came within 25 m of the code-90 coil at 400"},
    {"UnknownType", "42 0 400", FactKind::Ignored,
     "ignored: the unit knows no transponder type 42"},
    {"BothPlacesHeld", "pair 400; pair 450; pair 500", FactKind::Ignored,
     "coil pair decodes to 100 km/h (measured 6."},
};

// "type optional position; ..." or "pair position; ..." as scenario text.
std::string routeText(const std::string& layout) {
    std::string text;
    size_t at = 0;
    while (at < layout.size()) {
        const size_t end = std::min(layout.find(';', at), layout.size());
        const std::string item = layout.substr(at, end - at);
        if (item.find("pair") != std::string::npos) {
            text += kCoilPair + item.substr(item.find("pair") + 5) + "\n";
        } else {
            int type = 0;
            int optional = 0;
            double position = 0.0;
            std::sscanf(item.c_str(), "%d %d %lf", &type, &optional, &position);
            text += transponder(position, type, optional);
        }
        at = end + 1;
    }
    return text;
}

// The bench's own unit driven directly, without the library, at a speed the test sets frame by
// frame, with the explainer reading its record as the bench does: what the explainer says is
// held to the record itself.
class DrivenUnit {
  public:
    static constexpr int32_t kStepMs = 20;

    DrivenUnit() : explainer_([this](const UnitFact& f) { facts.push_back(f); }) {
        attachPlugin(plugin_);
        plugin_.configPath[0] = 0; // no settings file: the defaults
        vantor::setVehicleSpec(plugin_, VehicleSpec{8, 5, 1, 0, 1});
        vantor::initialize(plugin_);
        panel_[vantor::kPanelPowerSwitch] = 1;
    }

    const vantor::CVantor& unit() const { return plugin_.unit; }
    double position() const { return position_; }

    // Frames at speed (km/h) until the front has passed `to`, passing the line's transponders
    // in between as the host does, each reporting its own signal value.
    void runTo(double to, float speed, const std::vector<Transponder>& line) {
        while (position_ < to) {
            frame(speed);
            for (const Transponder& t : line) {
                if (t.position > origin_ && t.position <= position_) {
                    pass(t);
                }
            }
        }
    }

  private:
    void frame(float speed) {
        VehicleState state{};
        state.location = position_;
        state.speed = speed;
        state.time = hostTime_;
        origin_ = position_;
        vantor::elapse(plugin_, state, panel_.data(), sound_.data());
        explainer_.setPlace(time_, position_, speed, origin_);
        explainer_.afterFrame(plugin_.unit);
        hostTime_ += kStepMs;
        time_ += kStepMs / 1000.0;
        speed_ = speed;
        position_ += speed * kStepMs / 3600.0;
    }

    void pass(const Transponder& t) {
        explainer_.setPlace(time_, t.position, speed_, origin_);
        explainer_.beforeCall(plugin_.unit);
        vantor::setBeaconData(plugin_, BeaconData{t.type, t.signal, 0.0f, t.optional});
        explainer_.afterBeacon(plugin_.unit, t, t.signal);
    }

    vantor::Plugin plugin_{};
    UnitExplainer explainer_;
    std::array<int32_t, vantor::kPanelSize> panel_{};
    std::array<int32_t, vantor::kSoundSize> sound_{};
    int32_t hostTime_ = kHostStartTime;
    double time_ = 0.0;      // s
    double position_ = 0.0;  // m
    double origin_ = 0.0;    // m: the front at the last frame
    float speed_ = 0.0f;     // km/h

  public:
    std::vector<UnitFact> facts;
};

Transponder coil(double position, int32_t code, int32_t signal = 0) {
    Transponder t;
    t.position = position;
    t.type = 70;
    t.optional = code;
    t.signal = signal;
    return t;
}

// The facts whose text holds a phrase.
std::vector<UnitFact> saying(const std::vector<UnitFact>& facts, const std::string& phrase) {
    std::vector<UnitFact> found;
    for (const UnitFact& f : facts) {
        if (f.text.find(phrase) != std::string::npos) {
            found.push_back(f);
        }
    }
    return found;
}

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class UnitExplains : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(UnitExplains, WhatTheTranspondersSetUp) {
    const Case& c = GetParam();
    const Scenario scenario =
        parseScenario("[run]\npower_switch = true\nduration = 80\n[driver]\nstart_time = 1\n"
                      "profile = [[0, 60]]\nwatch_pattern = false\n" +
                          routeText(c.route),
                      "line.toml");
    PluginLibrary library(VANTOR_LIBRARY, scenario.settings);
    Facts run;
    runScenario(scenario, library, {&run});
    std::string seen;
    for (const UnitFact& fact : run.facts) {
        ASSERT_NE(fact.kind, FactKind::Differs) << fact.text;
        if (fact.kind == c.kind && fact.text.find(c.says) != std::string::npos) {
            return;
        }
        seen += "\n" + fact.text;
    }
    ADD_FAILURE() << "no fact saying '" << c.says << "' among:" << seen;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitExplains, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A library that is not the one the bench's own unit is built from: the difference is told
// once, in the frame where the outputs part, and nothing is explained after it.
TEST(UnitExplains, NothingOnceTheLibraryDiffers) {
    const Scenario scenario =
        parseScenario("[run]\npower_switch = true\nduration = 60\n[driver]\nstart_time = 1\n"
                      "profile = [[0, 60]]\n" +
                          routeText("pair 300; 50 1 800; 50 1 810"),
                      "line.toml");
    PluginLibrary library(OTHER_VERSION, scenario.settings);
    Facts run;
    runScenario(scenario, library, {&run});
    ASSERT_FALSE(run.facts.empty());
    EXPECT_EQ(run.facts.back().kind, FactKind::Differs);
    EXPECT_NE(run.facts.back().text.find("panel 19"), std::string::npos) << run.facts.back().text;
    EXPECT_EQ(run.facts.front().kind, FactKind::Restriction);
    EXPECT_EQ(run.facts.size(), 2u);
}

// A code-90 coil that nothing follows lapses after 25 m, and the explainer says so; one whose
// pair set a restriction does not lapse, though the pair's second coil, also of code 90, leaves
// the unit in coil state 90 again. Each is held to what the unit's record shows.
TEST(UnitExplains, OnlyACoilThatBeganNoPairLapses) {
    constexpr const char* kLapse = "no second coil came within 25 m of the code-90 coil";
    // Two code-90 pairs 15 m apart, one behind the other, then a lone code-90 coil.
    const std::vector<Transponder> line{coil(400, 90), coil(415, 90), coil(1000, 90),
                                        coil(1015, 90), coil(2000, 90)};
    DrivenUnit drive;
    drive.runTo(416, 60.0f, line);
    // The record: the pair took the first code-90 place, and the coil state is 90 again.
    ASSERT_EQ(drive.unit().slotValue[11], 45u);
    ASSERT_EQ(drive.unit().coilCode, 90u);
    drive.runTo(1016, 60.0f, line);
    ASSERT_EQ(drive.unit().slotValue[12], 45u);
    drive.runTo(1900, 60.0f, line);
    EXPECT_TRUE(saying(drive.facts, kLapse).empty()) << saying(drive.facts, kLapse)[0].text;

    drive.runTo(2030, 60.0f, line);
    // The record: nothing was set, and the coil state has run out.
    EXPECT_EQ(drive.unit().coilCode, 0u);
    const std::vector<UnitFact> lapses = saying(drive.facts, kLapse);
    ASSERT_EQ(lapses.size(), 1u);
    EXPECT_EQ(lapses[0].transponder->position, 2000.0);
    EXPECT_GE(lapses[0].position, 2024.0);
}

// A type 1 at danger after a code-95 coil holds the second stop pair at 15 km/h; releasing that
// pair empties its slot, but the unit's record keeps the hold, which brakes a train above
// 15 km/h from then on. The explainer names the hold there, not the overspeed brake.
TEST(UnitExplains, TheSecondHoldOutlivesItsStopPair) {
    Transponder type1;
    type1.position = 510;
    type1.type = 1;
    const std::vector<Transponder> line{coil(500, 95), type1, coil(1000, 95),
                                        coil(1010, 103, 1)};
    DrivenUnit drive;
    drive.runTo(1020, 10.0f, line);
    // The record: the pair is released and the hold is not.
    ASSERT_EQ(drive.unit().slotValue[4], 0u);
    ASSERT_TRUE(drive.unit().slot4FixedLimit);
    const std::vector<UnitFact> released = saying(drive.facts, "its stop pair is released");
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].text.rfind("second 15 km/h hold from", 0), 0u) << released[0].text;
    EXPECT_NE(released[0].text.find("the hold stays"), std::string::npos) << released[0].text;

    drive.runTo(1030, 20.0f, line);
    std::vector<UnitFact> brakes;
    for (const UnitFact& f : drive.facts) {
        if (f.kind == FactKind::EmergencyBrake) {
            brakes.push_back(f);
        }
    }
    ASSERT_EQ(brakes.size(), 1u);
    // The record: the brake pattern the train reached is slot 4's fixed 15 km/h.
    const vantor::CVantor& unit = drive.unit();
    ASSERT_TRUE(unit.emergencyBrake);
    EXPECT_EQ(brakes[0].slot, 4);
    EXPECT_EQ(unit.slotPatternSpeed[4], 15.0);
    EXPECT_EQ(unit.lowestPatternSpeed, 15);
    EXPECT_NE(brakes[0].text.find("of the second 15 km/h hold from"), std::string::npos)
        << brakes[0].text;
    EXPECT_EQ(brakes[0].text.find("overspeed"), std::string::npos) << brakes[0].text;
}
