#include "layout/layout_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "support/text_format.h"

namespace vantor::sim {

namespace {

// The lines that begin and end the block a layout writes; a later layout finds it by them.
constexpr std::string_view kBegin =
    "# vantor-sim layout: from here to its end line, laid out by the bench and replaced by each "
    "layout";
constexpr std::string_view kEnd = "# vantor-sim layout: end";

// A line without its line end, whether LF or CR LF.
std::string_view bare(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// A number as TOML reads it back exactly: on the centimetre grid with at most two decimals,
// else in the fewest digits that give the same number.
std::string tomlNumber(double value) {
    const double hundredths = value * 100.0;
    if (std::abs(hundredths - std::round(hundredths)) < 1e-6 &&
        std::round(hundredths) / 100.0 == value) {
        std::string text = fixed(value, 2);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
        return text;
    }
    for (int digits = 1; digits <= 17; ++digits) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        double back = 0.0;
        std::from_chars(buffer, buffer + std::char_traits<char>::length(buffer), back);
        if (back == value) {
            return buffer;
        }
    }
    return fixed(value, 17);
}

std::string tomlString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", u);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string metres(double value) {
    return fixed(value, 2) + " m";
}

std::string transponderText(const Laid& t) {
    return t.pair() ? "coil pair" : t.type == 70 ? "coil" : "type " + std::to_string(t.type);
}

std::string optionalText(const Laid& t) {
    return t.pair() ? std::to_string(t.optional) + ", then " + std::to_string(*t.second) + " " +
                          fixed(t.spacing, 2) + " m on"
                    : std::to_string(t.optional);
}

std::string signalName(const Scenario& base, const Laid& t) {
    return t.signal ? base.signals[*t.signal].name : "-";
}

std::string cell(std::string text, size_t width) {
    if (text.size() < width) {
        text.resize(width, ' ');
    }
    return text + "  ";
}

std::string signalSubject(const Scenario& base, size_t i) {
    return "signal " + base.signals[i].name + " at " + fixed(base.signals[i].position, 1) + " m";
}

std::string limitSubject(const Scenario& base, size_t i) {
    const SpeedLimit& l = base.limits[i];
    return "limit " + shortNumber(l.speed) + " km/h from " + fixed(l.from, 1) + " to " +
           fixed(l.to, 1) + " m";
}

} // namespace

AuthorText withoutLayout(std::string_view text) {
    AuthorText author;
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(at, next - at));
        at = next;
    }
    std::optional<size_t> begin;
    std::optional<size_t> end;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = bare(lines[i]);
        if (line == kBegin && !begin) {
            begin = i;
        } else if (line == kEnd && begin && !end) {
            end = i;
        }
    }
    if (begin && !end) {
        // The line number alone, for the caller to put after the file's name.
        throw std::runtime_error(std::to_string(*begin + 1) +
                                 ": an earlier layout begins here but its end line (" +
                                 std::string(kEnd) +
                                 ") is missing; mend the file or remove the "
                                 "block");
    }
    // The blank line the block was written after goes with it.
    const size_t from = begin && *begin > 0 && bare(lines[*begin - 1]).empty()
                            ? *begin - 1
                            : begin.value_or(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!begin || i < from || i > *end) {
            author.text += lines[i];
        }
    }
    if (begin) {
        author.earlierLayout = static_cast<int>(*begin + 1);
    }
    if (!author.text.empty() && author.text.back() != '\n') {
        author.text += '\n';
    }
    return author;
}

std::string layoutBlock(const Scenario& base, const Layout& layout, const std::string& command) {
    std::string block = std::string(kBegin) + "\n# " + command + "\n";
    for (const SignalLayout& s : layout.signals) {
        if (!s.byAuthor) {
            block += "# " + signalSubject(base, s.signal) + ": stop distance " +
                     shortNumber(stopDistance(s.distance)) + " m" +
                     (s.shift > 0.0 ? ", laid " + shortNumber(s.shift) + " m before its place"
                                    : std::string()) +
                     "\n";
        }
    }
    for (const LimitLayout& l : layout.limits) {
        if (l.coding) {
            block += "# " + limitSubject(base, l.limit) + ": " + shortNumber(l.coding->speed) +
                     " km/h, code " + std::to_string(l.coding->code) + " at " +
                     metres(l.coding->spacing) + "\n";
        }
    }
    for (const Laid& t : layout.laid) {
        if (t.pair()) {
            block += "\n[[route.coil_pairs]]\nposition = " + tomlNumber(t.position) +
                     "\nfirst = " + std::to_string(t.optional) +
                     "\nsecond = " + std::to_string(*t.second) +
                     "\nspacing = " + tomlNumber(t.spacing);
        } else {
            block += "\n[[route.transponders]]\nposition = " + tomlNumber(t.position) +
                     "\ntype = " + std::to_string(t.type);
            if (t.signal) {
                block += "\nsignal = " + tomlString(base.signals[*t.signal].name);
            }
            block += "\noptional = " + std::to_string(t.optional);
        }
        block += "\nlabel = " + tomlString(t.label) + "\n";
    }
    return block + "\n" + std::string(kEnd) + "\n";
}

WrittenText writtenText(const AuthorText& author, const std::string& block) {
    WrittenText written;
    written.text = author.text;
    if (!written.text.empty()) {
        written.text += '\n';
    }
    written.firstLine =
        static_cast<int>(std::count(written.text.begin(), written.text.end(), '\n')) + 1;
    // A file with Windows line ends gets its block with them too.
    if (author.text.find("\r\n") != std::string::npos) {
        for (const char c : block) {
            written.text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
    } else {
        written.text += block;
    }
    return written;
}

std::string layoutTable(const Scenario& base, const Layout& layout) {
    size_t signalWidth = 6;
    size_t optionalWidth = 8;
    for (const Laid& t : layout.laid) {
        signalWidth = std::max(signalWidth, signalName(base, t).size());
        optionalWidth = std::max(optionalWidth, optionalText(t).size());
    }
    std::string table = cell("position", 11) + cell("transponder", 11) +
                        cell("signal", signalWidth) + cell("optional", optionalWidth) + "for\n";
    for (const Laid& t : layout.laid) {
        table += cell(metres(t.position), 11) + cell(transponderText(t), 11) +
                 cell(signalName(base, t), signalWidth) + cell(optionalText(t), optionalWidth) +
                 t.purpose + "\n";
    }
    return table;
}

std::string layoutCsv(const Scenario& base, const Layout& layout) {
    std::string csv = "position_m,type,signal,optional,second_code,spacing_m,for\n";
    for (const Laid& t : layout.laid) {
        csv += fixed(t.position, 2) + "," + std::to_string(t.type) + "," +
               (t.signal ? csvField(base.signals[*t.signal].name) : "") + "," +
               std::to_string(t.optional) + "," + (t.pair() ? std::to_string(*t.second) : "") +
               "," + (t.pair() ? fixed(t.spacing, 2) : "") + "," + csvField(t.purpose) + "\n";
    }
    return csv;
}

std::string choicesText(const Scenario& base, const Layout& layout, double margin) {
    std::string text;
    auto note = [&](const std::string& line) {
        if (!line.empty()) {
            text += "  " + line + "\n";
        }
    };
    for (const SignalLayout& s : layout.signals) {
        text += signalSubject(base, s.signal) + ": ";
        if (s.byAuthor) {
            text += "laid out in the scenario already; its transponders are kept as they are\n";
            continue;
        }
        const double d = stopDistance(s.distance);
        if (s.holds) {
            const Judgement& j = *s.judgement;
            text += "stop distance " + shortNumber(d) + " m: its danger approach at " +
                    fixed(j.speed, 1) + " km/h " + j.result + ", " + fixed(*j.margin, 1) +
                    " m before it";
            if (fixed(*j.leastMargin, 1) != fixed(*j.margin, 1)) {
                text += " (" + fixed(*j.leastMargin, 1) +
                        " m on the closest of the report's "
                        "other approaches)";
            }
            text += "\n";
        } else if (s.judgement && s.judgement->outcome == Outcome::NotJudged) {
            text +=
                "stop distance " + shortNumber(d) + " m, NOT JUDGED: " + s.judgement->why + "\n";
        } else {
            text += "NO stop distance holds it: " + shortNumber(d) + " m, the longest that fits";
            if (s.judgement) {
                const Judgement& j = *s.judgement;
                text += ", at " + fixed(j.speed, 1) +
                        " km/h: " + (j.result.empty() ? j.why : j.result) +
                        (j.outcome == Outcome::Protected
                             ? ", less than the " + shortNumber(margin) + " m asked"
                             : "");
            }
            text += "\n";
            if (s.slowerChecked) {
                note(s.slower ? "it holds an approach of up to " + shortNumber(*s.slower) + " km/h"
                              : "it holds no approach speed");
            }
        }
        for (const std::string& t : s.tried) {
            note(t);
        }
        note(s.noRoom);
        if (s.shift > 0.0) {
            note("laid " + shortNumber(s.shift) + " m before its place, where " + s.shiftWhy);
        }
        note(s.problem.empty() ? "" : "it disturbs another layout: " + s.problem);
        note(s.frameNote);
    }
    for (const LimitLayout& l : layout.limits) {
        text += limitSubject(base, l.limit) + ": ";
        if (!l.coding) {
            text += "NOT LAID: " + l.problem + "\n";
            continue;
        }
        text += shortNumber(l.coding->speed) + " km/h, by the second coil's code " +
                std::to_string(l.coding->code) + " and the spacing " + metres(l.coding->spacing) +
                "\n";
        note(l.note);
        note(l.problem.empty() ? "" : "it disturbs another layout: " + l.problem);
        note(l.frameNote);
    }
    return text;
}

} // namespace vantor::sim
