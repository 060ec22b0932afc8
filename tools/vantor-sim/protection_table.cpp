#include "protection_table.h"

#include <algorithm>

#include "text_format.h"

namespace vantor::sim {

const char* pointKindSlug(const ProtectedPoint& p) {
    switch (p.kind) {
    case PointKind::Stop:
        return "stop";
    case PointKind::Restriction:
        return p.approachCurve ? "approach-curve" : "restriction";
    case PointKind::FixedCheck:
        return "check";
    }
    return "";
}

namespace {

std::string cell(std::string text, size_t width) {
    if (text.size() < width) {
        text.resize(width, ' ');
    }
    return text + "  ";
}

std::string metres(const std::optional<ApproachSample>& s) {
    return s ? fixed(s->position, 1) + " m" : "none";
}

std::string standOrPass(const ProtectionRow& row) {
    const ApproachResult& r = row.result;
    if (row.point.kind == PointKind::FixedCheck) {
        return r.set     ? "set at " + fixed(r.set->speed, 1) + " km/h"
               : r.stood ? "stood at " + metres(r.stood)
                         : "-";
    }
    // Where a stop point's train stood, short of it or not; how fast a restriction's passed.
    if (r.stood &&
        (row.point.kind == PointKind::Stop || !r.atPoint || r.stood->time <= r.atPoint->time)) {
        return "stood at " + metres(r.stood);
    }
    return r.atPoint ? "passed at " + fixed(r.atPoint->speed, 1) + " km/h" : "-";
}

std::string marginText(const ApproachResult& r) {
    if (!r.margin) {
        return "-";
    }
    return fixed(*r.margin, 1) + (r.marginInKmh ? " km/h" : " m");
}

const char* verdict(const ProtectionRow& row) {
    if (!row.result.played) {
        return "not played";
    }
    return row.result.isProtected ? "protected" : "UNPROTECTED";
}

} // namespace

std::string protectionTableRow(size_t number, const ProtectionRow& row) {
    const ApproachResult& r = row.result;
    return cell(std::to_string(number), 2) + cell(pointText(row.point), 36) +
           cell(setByText(row.point), 17) + cell(fixed(row.speed, 1) + " km/h", 10) +
           cell(metres(r.warning), 9) +
           cell(r.brake ? metres(r.brake) + ", " + fixed(r.brake->speed, 1) + " km/h" : "none",
                21) +
           cell(standOrPass(row), 20) + cell(marginText(r), 10) + verdict(row);
}

std::string protectionCsvRow(size_t number, const ProtectionRow& row) {
    const ProtectedPoint& p = row.point;
    const ApproachResult& r = row.result;
    auto opt = [](const std::optional<double>& v, int decimals) {
        return v ? fixed(*v, decimals) : std::string();
    };
    auto position = [&](const std::optional<ApproachSample>& s) {
        return s ? fixed(s->position, 1) : std::string();
    };
    const bool stood = standOrPass(row).rfind("stood", 0) == 0;
    const std::string setBy = p.setBy->type == 70 ? "coil " + std::to_string(p.setBy->optional)
                                                  : "type " + std::to_string(p.setBy->type);
    std::string kind = pointKindSlug(p);
    std::replace(kind.begin(), kind.end(), '-', ' ');
    return std::to_string(number) + "," + kind + "," + fixed(p.point, 1) + "," +
           shortNumber(p.limit) + "," + opt(p.stopDistance, 0) + "," + setBy + "," +
           std::to_string(p.setBy->line) + "," + fixed(p.setAt, 1) + "," + fixed(row.speed, 1) +
           "," + position(r.warning) + "," + position(r.brake) + "," +
           (r.brake ? fixed(r.brake->speed, 1) : "") + "," + (stood ? position(r.stood) : "") +
           "," + (!stood && r.atPoint ? fixed(r.atPoint->speed, 1) : "") + "," + opt(r.margin, 1) +
           "," + (r.margin ? (r.marginInKmh ? "km/h" : "m") : "") + "," +
           (row.result.played ? (r.isProtected ? "protected" : "unprotected") : "not played");
}

std::string protectionTableHeader() {
    return cell("#", 2) + cell("point", 36) + cell("set by", 17) + cell("approach", 10) +
           cell("warning", 9) + cell("brake", 21) + cell("stood or passed", 20) +
           cell("margin", 10) + "result";
}

std::string protectionCsvHeader() {
    return "point,kind,point_m,limit_kmh,stop_distance_m,set_by,set_by_line,set_at_m,approach_kmh,"
           "warning_m,brake_m,brake_kmh,stood_m,passed_kmh,margin,margin_unit,result";
}

} // namespace vantor::sim
