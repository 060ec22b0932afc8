#include "settings/settings_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>

#include "patterns/lowest_pattern.h"
#include "patterns/slot_curves.h"
#include "settings/settings_file.h"
#include "support/nearest_name.h"
#include "support/text_format.h"
#include "support/utf8_path.h"

namespace vantor::sim {

namespace {

namespace fs = std::filesystem;
using ini::Line;
using ini::Text;

constexpr const char* kSections[] = {"SetSpec", "Disp", "LED"};

std::string str(Text text) {
    return std::string(text.data, text.size);
}

std::string lowered(Text text) {
    std::string result = str(text);
    std::transform(result.begin(), result.end(), result.begin(), asciiLower);
    return result;
}

std::string number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string defaultText(size_t index) {
    return number(settingValue(kDefaultSettings, index));
}

// Text as it can be shown on a terminal: control characters, and in a UTF-16 file the byte
// that stands for any character beyond ASCII, become '?'.
std::string shown(Text text, bool utf16) {
    std::string result = str(text);
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (utf16 && byte >= 0x80)) {
            c = '?';
        }
    }
    return result;
}

// Whether text starts with mark and a digit: a decimal comma, a separator or a fraction where the
// unit's number ends.
bool followsWithDigit(Text text, char mark) {
    return text.size >= 2 && text.data[0] == mark && text.data[1] >= '0' && text.data[1] <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

Text trimmed(Text text) {
    while (text.size > 0 && isBlank(text.data[0])) {
        ++text.data;
        --text.size;
    }
    while (text.size > 0 && isBlank(text.data[text.size - 1])) {
        --text.size;
    }
    return text;
}

class Checker {
  public:
    Checker(Text file, bool utf16) : file_(file), utf16_(utf16) {}

    void checkLines();
    void checkValue(size_t index, Text value, SettingsReport& report);

    std::vector<SettingsWarning> warnings;

  private:
    void warn(size_t line, std::string message) {
        warnings.push_back(SettingsWarning{line, std::move(message)});
    }
    std::string quoted(Text text) const { return "'" + shown(text, utf16_) + "'"; }
    void onSection(const Line& line);
    void onKey(const Line& line);
    void onOther(const Line& line);
    std::optional<size_t> knownKey(Text name) const;

    Text file_;
    bool utf16_;
    std::map<std::string, size_t> sectionLines_; // first line of each section, by lower name
    // The section whose keys the unit reads (the first of a known name), or none.
    std::optional<std::string> section_;
    bool beforeAnySection_ = true;
    std::map<std::string, size_t> keyLines_; // first line of each key of that section
};

std::optional<size_t> Checker::knownKey(Text name) const {
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (section_ &&
            ini::sameName(Text{section_->data(), section_->size()}, kSettings[i].key.section) &&
            ini::sameName(name, kSettings[i].key.name)) {
            return i;
        }
    }
    return std::nullopt;
}

void Checker::onSection(const Line& line) {
    const std::string name = lowered(line.name);
    const auto known = std::find_if(std::begin(kSections), std::end(kSections),
                                    [&](const char* s) { return ini::sameName(line.name, s); });
    beforeAnySection_ = false;
    section_.reset();
    keyLines_.clear();
    const auto first = sectionLines_.find(name);
    if (first != sectionLines_.end()) {
        if (known != std::end(kSections)) {
            warn(line.number, "[" + std::string(*known) +
                                  "] appears again: the unit reads only the first one (line " +
                                  std::to_string(first->second) +
                                  ") and ignores every key under this one");
        }
        return;
    }
    sectionLines_.emplace(name, line.number);
    if (known != std::end(kSections)) {
        section_ = *known;
        return;
    }
    std::string message =
        "section [" + shown(line.name, utf16_) + "] is not read by the unit, nor any key in it";
    if (const auto near =
            nearestName(name, kSections, [](const char* s) { return std::string(s); })) {
        message += "; did you mean [" + std::string(kSections[*near]) + "]?";
    }
    warn(line.number, message);
}

void Checker::onKey(const Line& line) {
    if (line.name.size > 0 && line.name.data[0] == '[') {
        onOther(line);
        return;
    }
    if (!beforeAnySection_ && !section_) {
        return; // under a section the unit does not read, which is reported already
    }
    const std::string name = lowered(line.name);
    if (knownKey(line.name)) {
        const auto [first, added] = keyLines_.emplace(name, line.number);
        if (!added) {
            warn(line.number, quoted(line.name) + " appears again in [" + *section_ +
                                  "]: the unit reads the first one (line " +
                                  std::to_string(first->second) + ") and ignores this one");
        }
        return;
    }
    std::string message = quoted(line.name);
    message += beforeAnySection_ ? " stands before any section and is not read"
                                 : " is not a setting of [" + *section_ + "] and is not read";
    if (const auto near =
            nearestName(name, kSettings, [](const SettingInfo& k) { return k.key.name; })) {
        const SettingKey& key = kSettings[*near].key;
        const std::string under = " under [" + std::string(key.section) + "]";
        if (ini::sameName(line.name, key.name)) {
            message += "; it belongs" + under;
        } else {
            const bool here = section_ && *section_ == key.section;
            message += "; did you mean '" + std::string(key.name) + "'" + (here ? "" : under) + "?";
        }
    }
    if (line.name.size > 0 && (line.name.data[0] == ';' || line.name.data[0] == '#')) {
        message += " (a note line is read as a key when it holds '=': there is no comment "
                   "marker)";
    }
    warn(line.number, message);
}

// A line the unit skips: worth a word only where it looks like a header or a setting.
void Checker::onOther(const Line& line) {
    if (line.text.data[0] == '[') {
        warn(line.number, quoted(line.text) + " has no ']' and is no section header" +
                              (section_ ? ": the keys below stay in [" + *section_ + "]" : ""));
        return;
    }
    if (line.kind != Line::Kind::Other) {
        return;
    }
    const bool hasDigit = std::any_of(line.text.data, line.text.data + line.text.size,
                                      [](char c) { return c >= '0' && c <= '9'; });
    for (const SettingInfo& known : kSettings) {
        const size_t length = std::char_traits<char>::length(known.key.name);
        const Text start{line.text.data, std::min(length, line.text.size)};
        if (hasDigit && ini::sameName(start, known.key.name)) {
            warn(line.number,
                 quoted(line.text) + " has no '=' and is not read as " + known.key.name);
            return;
        }
    }
}

void Checker::checkLines() {
    ini::Lines lines(file_);
    Line line{};
    while (lines.next(line)) {
        switch (line.kind) {
        case Line::Kind::Blank:
            break;
        case Line::Kind::Section:
            onSection(line);
            break;
        case Line::Kind::Key:
            onKey(line);
            break;
        case Line::Kind::Other:
            onOther(line);
            break;
        }
    }
}

// What a setting of 0 does to the train, for the warnings that say a value reads as 0.
std::string withZero(size_t index) {
    switch (index) {
    case 0:
    case 1:
        return ", which brakes every train at 10 km/h";
    case 3:
    case 4:
        return ", which shows 0 on both displays";
    default:
        return "";
    }
}

size_t lastLine(Text file) {
    ini::Lines lines(file);
    Line line{};
    while (lines.next(line)) {
    }
    return line.number;
}

size_t lineOf(Text file, const char* at) {
    ini::Lines lines(file);
    Line line{};
    while (lines.next(line)) {
        if (at >= line.text.data && at <= line.text.data + line.text.size) {
            return line.number;
        }
    }
    return 0;
}

// A byte of plain ASCII text: printable, a blank or a line break.
bool isAsciiText(char c) {
    return (c >= 0x20 && c < 0x7F) || (c >= '\t' && c <= '\r');
}

// Where the line that holds the character at position begins.
size_t lineStart(Text file, size_t position) {
    while (position > 0 && file.data[position - 1] != '\n' && file.data[position - 1] != '\r') {
        --position;
    }
    return position;
}

// Whether text read one byte per character holds a section header or a key; with known, one of
// the unit's own.
bool holdsSettingLines(Text text, bool known) {
    ini::Lines lines(text);
    Line line{};
    while (lines.next(line)) {
        const bool section = line.kind == Line::Kind::Section;
        if (!section && line.kind != Line::Kind::Key) {
            continue;
        }
        if (!known) {
            return true;
        }
        for (const SettingInfo& setting : kSettings) {
            if (ini::sameName(line.name, section ? setting.key.section : setting.key.name)) {
                return true;
            }
        }
    }
    return false;
}

// In a UTF-16 file, where text of one byte per character begins, in the characters the unit
// reads. Such text comes of a byte-order mark saved before ANSI or UTF-8 text: then no byte
// after the mark is zero, as one of every ASCII character in UTF-16 is, and it starts at 0.
// Or it comes of an ANSI line added to a UTF-16 file: the longest tail of ASCII text alone
// that follows a zero byte, when it names one of the unit's sections or settings (UTF-16
// text beyond ASCII can give such bytes, but hardly spelling those).
std::optional<size_t> oneByteTail(const std::string& bytes) {
    const size_t end = std::min(bytes.size(), kSettingsFileLimit);
    const Text afterMark{bytes.data() + 2, end - 2};
    if (std::find(afterMark.data, afterMark.data + afterMark.size, '\0') ==
        afterMark.data + afterMark.size) {
        return holdsSettingLines(afterMark, false) ? std::optional<size_t>(0) : std::nullopt;
    }
    size_t start = end;
    while (isAsciiText(bytes[start - 1])) {
        --start;
    }
    if (bytes[start - 1] != '\0' ||
        !holdsSettingLines(Text{bytes.data() + start, end - start}, true)) {
        return std::nullopt;
    }
    return (start - 2) / 2;
}

// The value of the key that the unit reads: how it reads, and whether the setting it gives
// can work.
void Checker::checkValue(size_t index, Text value, SettingsReport& report) {
    const SettingInfo& known = kSettings[index];
    const size_t line = report.lines[index];
    const std::string name = known.key.name;
    const std::string written = name + "=" + shown(value, utf16_);
    // Set when a warning already says what the value reads as.
    bool explained = false;
    if (value.size == 0) {
        warn(line, known.decimal
                       ? name + " is empty and reads as 0" + withZero(index) +
                             "; leave the key out for the default " + defaultText(index)
                       : name + " is empty: the unit takes the default " + defaultText(index));
        explained = true;
    } else if (known.decimal) {
        const std::string text = str(value);
        const char* end = nullptr;
        const double read = decimalPrefix(text.c_str(), &end);
        const auto used = static_cast<size_t>(end - text.c_str());
        const Text after{value.data + used, value.size - used};
        if (used == 0) {
            warn(line, "'" + written + "' is no number and reads as 0" + withZero(index));
            explained = true;
        } else if (used > kSettingTextLength) {
            const Text cut{value.data, kSettingTextLength};
            warn(line, "only the first 7 characters of '" + written + "' are read: " + quoted(cut) +
                           ", which gives " + number(decimalPrefix(str(cut).c_str())));
            explained = true;
        } else if (text.find_first_of(".eE") >= used && followsWithDigit(after, ',')) {
            warn(line, "'" + written + "' reads as " + number(read) + ": use a decimal point");
            explained = true;
        } else if (const Text rest = trimmed(after); rest.size > 0) {
            warn(line, quoted(rest) + " after the value of " + name +
                           " is not read; keep notes on lines of their own");
        }
    } else {
        size_t used = 0;
        const uint32_t read = ini::parseInteger(value, 0, &used);
        const bool upperCasePrefix =
            used > 0 && used < value.size && read == 0 &&
            std::string_view("XOB").find(value.data[used]) != std::string_view::npos;
        const Text after{value.data + used, value.size - used};
        const std::string readsAs =
            "'" + written + "' reads as " + fixed(settingValue(report.settings, index), 0);
        if (used == 0 || upperCasePrefix) {
            warn(line, "'" + written + "' " +
                           (upperCasePrefix ? "reads as 0 (only a lower-case 0x, 0o or 0b "
                                              "marks another base)"
                                            : "has no digits and reads as 0") +
                           withZero(index));
            explained = true;
        } else if (followsWithDigit(after, '.')) {
            warn(line, readsAs + ": " + name + " is a whole number");
            explained = true;
        } else if (followsWithDigit(after, ',')) {
            warn(line, readsAs + ": write it without separators");
            explained = true;
        } else if (const Text rest = trimmed(after); rest.size > 0) {
            warn(line, quoted(rest) + " after the value of " + name +
                           " is not read; keep notes on lines of their own");
        }
    }
    if (explained) {
        return;
    }
    const UnitSettings& s = report.settings;
    const auto unusable = [&](double v, const char* what) {
        if (!(v > 0.0) || !std::isfinite(v)) {
            warn(line, name + " " + number(v) + " is no usable " + what +
                           ": it must be a finite number above 0");
        }
    };
    const double overspeedBrake = s.maxSpeed + curves::kMaxSpeedMargin;
    if (index == 0 && s.maxSpeed == 0.0) {
        warn(line, "Speed 0 brakes every train at " + number(overspeedBrake) + " km/h");
    } else if (index == 0 && overspeedBrake > LowestPattern::kCap) {
        warn(line, "Speed " + number(s.maxSpeed) + ": the overspeed brake would come at " +
                       number(overspeedBrake) +
                       " km/h, but the unit never sets a brake pattern above " +
                       std::to_string(LowestPattern::kCap) + " km/h");
    } else if (index == 1) {
        unusable(s.deceleration, "braking rate");
    } else if (index == 2) {
        unusable(s.reactionTime, "reaction time");
    } else if (index == 4 && s.displayMaxSpeed == 0) {
        warn(line, "MaxSpd is 0: the speed and pattern displays show 0");
    }
}

} // namespace

SettingsReport checkSettings(std::string bytes) {
    const size_t whole = bytes.size();
    const bool utf16 = ini::isUtf16(Text{bytes.data(), bytes.size()});
    const std::optional<size_t> oneByte = utf16 ? oneByteTail(bytes) : std::nullopt;
    const Text file = unitFileText(bytes);

    SettingsReport report{};
    report.settings = readSettings(file);
    std::vector<SettingsWarning> warnings;
    if (whole > kSettingsFileLimit) {
        const size_t last = lastLine(file);
        warnings.push_back(SettingsWarning{
            0, "the file is larger than 1 MiB: the unit reads only its first " +
                   std::to_string(kSettingsFileLimit) + " bytes, " +
                   (last > 0 ? "up to line " + std::to_string(last)
                             : std::string("and no line ends within them: it reads nothing"))});
    }
    if (oneByte == size_t{0}) {
        warnings.push_back(SettingsWarning{
            0, "the file starts with a UTF-16 byte-order mark, but its text has one byte per "
               "character (ANSI or UTF-8): the unit reads each two bytes as one character and "
               "finds none of its settings; save it again without the mark"});
    } else if (oneByte) {
        warnings.push_back(SettingsWarning{
            *oneByte < file.size ? lineOf(file, file.data + *oneByte) : 0,
            "from here on the UTF-16 file holds text of one byte per character (a line added by "
            "a tool that writes ANSI?): the unit reads each two of its bytes as one character, "
            "and none of it as written; save the whole file in one encoding"});
    }
    // The lines to check: all of them, or those before the line with the first zero byte,
    // from where the unit reads nothing as written.
    Text checked = file;
    const char* zero = std::find(file.data, file.data + file.size, '\0');
    if (zero != file.data + file.size) {
        checked.size = lineStart(file, static_cast<size_t>(zero - file.data));
        warnings.push_back(
            checked.size == 0
                ? SettingsWarning{0, "the file holds zero bytes: it is in an encoding the unit "
                                     "does not read (UTF-16 without a byte-order mark, or "
                                     "UTF-32); save it as ANSI, UTF-8 or UTF-16 (\"Unicode\")"}
                : SettingsWarning{lineOf(file, zero),
                                  "from here on the file holds zero bytes, as UTF-16 text "
                                  "without a byte-order mark does (a line added by a tool that "
                                  "writes \"Unicode\"?): the unit reads none of it as written; "
                                  "save the whole file in one encoding"});
    }
    Checker checker(checked, utf16);
    checker.warnings = std::move(warnings);
    checker.checkLines();
    for (size_t i = 0; i < kSettingCount; ++i) {
        Text value{};
        if (ini::findValue(file, kSettings[i].key.section, kSettings[i].key.name, value)) {
            report.lines[i] = lineOf(file, value.data);
            checker.checkValue(i, value, report);
        }
    }
    report.warnings = std::move(checker.warnings);
    std::stable_sort(
        report.warnings.begin(), report.warnings.end(),
        [](const SettingsWarning& a, const SettingsWarning& b) { return a.line < b.line; });
    return report;
}

std::string readSettingsBytes(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(pathFromUtf8(path), error);
    if (!fs::exists(status)) {
        throw SettingsFileError(path + ": no such file");
    }
    if (fs::is_directory(status)) {
        throw SettingsFileError(path + ": a folder, not a settings file");
    }
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    // What the unit reads, and the byte after it, by which the unit tells that the file goes on.
    std::string bytes(kSettingsFileLimit + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in.is_open() || in.bad()) {
        throw SettingsFileError(path + ": cannot read the settings file");
    }
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

void printSettingsWarnings(const std::string& path, const SettingsReport& report,
                           std::ostream& errors) {
    for (const SettingsWarning& warning : report.warnings) {
        errors << path;
        if (warning.line > 0) {
            errors << ':' << warning.line;
        }
        errors << ": warning: " << warning.message << '\n';
    }
}

int printSettingsCheck(const std::string& path, std::ostream& out, std::ostream& errors) {
    SettingsReport report;
    try {
        report = checkSettings(readSettingsBytes(path));
    } catch (const SettingsFileError& error) {
        errors << "vantor-sim: " << error.what() << '\n';
        return 2;
    }
    const UnitSettings& s = report.settings;
    const std::string values[] = {number(s.maxSpeed), number(s.deceleration),
                                  number(s.reactionTime), std::to_string(s.displayResolution),
                                  std::to_string(s.displayMaxSpeed)};
    out << path << ", as the unit reads it:\n";
    for (size_t i = 0; i < kSettingCount; ++i) {
        std::string name = kSettings[i].key.name;
        name.resize(14, ' ');
        std::string value = values[i];
        value.resize(std::max<size_t>(value.size(), 19), ' ');
        const size_t line = report.lines[i];
        out << "  " << name << value << "  "
            << (line > 0 ? "line " + std::to_string(line) : std::string("default")) << '\n';
    }
    out.flush();
    printSettingsWarnings(path, report, out);
    const size_t count = report.warnings.size();
    out << (count == 0 ? std::string("reads cleanly")
                       : std::to_string(count) + (count == 1 ? " warning" : " warnings"))
        << '\n';
    return count == 0 ? 0 : 1;
}

} // namespace vantor::sim
