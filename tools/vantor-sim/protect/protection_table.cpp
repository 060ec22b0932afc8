#include "protect/protection_table.h"

#include "support/text_format.h"

namespace vantor::sim {

namespace {

std::string cell(std::string text, size_t width) {
    if (text.size() < width) {
        text.resize(width, ' ');
    }
    return text + "  ";
}

std::string metres(const std::optional<Sample>& s) {
    return s ? fixed(s->position, 1) + " m" : "none";
}

std::string brakeText(const Judgement& j) {
    return j.brake ? fixed(j.brake->position, 1) + " m, " + fixed(j.brake->speed, 1) + " km/h"
                   : "none";
}

std::string marginText(const Judgement& j) {
    return j.margin ? fixed(*j.margin, 1) + (j.marginInKmh ? " km/h" : " m") : "-";
}

std::string approachText(const Judgement& j) {
    return j.kind == Judgement::Kind::ClearRun ? "profile" : fixed(j.speed, 1) + " km/h";
}

std::string optionalNumber(const std::optional<double>& value) {
    return value ? fixed(*value, 1) : "";
}

} // namespace

std::string protectionTableHeader() {
    return cell("#", 2) + cell("declared", 40) + cell("approach", 10) + cell("warning", 9) +
           cell("brake", 21) + cell("what the train did", 34) + cell("margin", 10) + "verdict";
}

std::string protectionTableRow(size_t number, const Judgement& j) {
    return cell(std::to_string(number), 2) + cell(j.subject, 40) + cell(approachText(j), 10) +
           cell(metres(j.warning), 9) + cell(brakeText(j), 21) +
           cell(j.result.empty() ? "-" : j.result, 34) + cell(marginText(j), 10) +
           outcomeText(j.outcome);
}

std::string protectionCsvHeader() {
    return "number,declared,line,approach_kmh,take_over_m,warning_m,brake_m,brake_kmh,stood_m,"
           "result,margin,margin_unit,verdict,why";
}

std::string protectionCsvRow(size_t number, const Judgement& j) {
    const bool approached = j.kind != Judgement::Kind::ClearRun;
    return std::to_string(number) + "," + csvField(j.subject) + "," +
           (j.line > 0 ? std::to_string(j.line) : "") + "," +
           (approached ? fixed(j.speed, 1) : "") + "," + optionalNumber(j.takeOver) + "," +
           (j.warning ? fixed(j.warning->position, 1) : "") + "," +
           (j.brake ? fixed(j.brake->position, 1) : "") + "," +
           (j.brake ? fixed(j.brake->speed, 1) : "") + "," +
           (j.stood ? fixed(j.stood->position, 1) : "") + "," + csvField(j.result) + "," +
           optionalNumber(j.margin) + "," + (j.margin ? (j.marginInKmh ? "km/h" : "m") : "") + "," +
           outcomeText(j.outcome) + "," + csvField(j.why);
}

std::string judgementSlug(const Scenario& scenario, const Judgement& j) {
    switch (j.kind) {
    case Judgement::Kind::Signal: {
        std::string name;
        for (const char c : scenario.signals[j.index].name) {
            const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                               (c >= 'a' && c <= 'z') || c == '-' || c == '_';
            name += plain ? c : '_';
        }
        return "signal-" + name;
    }
    case Judgement::Kind::Limit:
        return "limit-" + fixed(scenario.limits[j.index].from, 1) + "m";
    case Judgement::Kind::ClearRun:
        break;
    }
    return "clear-run";
}

} // namespace vantor::sim
