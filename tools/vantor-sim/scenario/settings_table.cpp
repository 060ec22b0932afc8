#include "scenario/settings_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "settings/settings_check.h"
#include "support/text_format.h"

namespace vantor::sim {

namespace {

std::string number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The shortest text that reads back as value, with its exponent as short as it goes
// ("1.5e-6", not "1.5e-06"), so that as many numbers as possible fit in what the unit reads.
std::string decimalText(double value) {
    std::string text = number(value);
    const size_t e = text.find('e');
    if (e != std::string::npos) {
        size_t digits = e + 1;
        if (text[digits] == '+') {
            text.erase(digits, 1);
        } else if (text[digits] == '-') {
            ++digits;
        }
        while (digits + 1 < text.size() && text[digits] == '0') {
            text.erase(digits, 1);
        }
    }
    return text;
}

// Why a text cannot stand in the settings file as it is, or nothing.
std::optional<std::string> controlCharacter(const std::string& text) {
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            return "holds a line break, which would start another line in the unit's settings "
                   "file";
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "U+%04X", byte);
            return "holds the control character " + std::string(code) +
                   ", which the unit's settings file cannot hold as written";
        }
    }
    return std::nullopt;
}

} // namespace

std::string settingsFileText(const Settings& settings) {
    std::string text;
    const char* section = nullptr;
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (!settings.keys[i]) {
            continue;
        }
        const SettingKey& key = kSettings[i].key;
        if (section != key.section) {
            section = key.section;
            text += "[" + std::string(section) + "]\n";
        }
        text += std::string(key.name) + "=" + settings.keys[i]->value + "\n";
    }
    return text;
}

Settings readSettingsTable(TableReader& reader) {
    Settings settings;
    // The numbers given, to be held against what the unit reads back.
    std::array<const toml::node*, kSettingCount> numbers{};
    for (size_t i = 0; i < kSettingCount; ++i) {
        const std::string name = kSettings[i].key.name;
        const toml::node* node = reader.find(name);
        if (!node) {
            continue;
        }
        std::string value;
        if (!kSettings[i].decimal) {
            value = std::to_string(reader.asInteger(*node, name));
            numbers[i] = node;
        } else if (node->is_string()) {
            value = node->as_string()->get();
            if (const auto why = controlCharacter(value)) {
                reader.fail(*node, name, *why);
            }
        } else {
            value = decimalText(reader.asNumber(*node, name));
            numbers[i] = node;
        }
        settings.keys[i] = SettingText{value, static_cast<int>(node->source().begin.line)};
    }
    reader.finish();
    if (!settings.anyKey()) {
        return settings;
    }
    settings.file = SettingsFile(settingsFileText(settings));
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (!numbers[i]) {
            continue;
        }
        const std::string name = kSettings[i].key.name;
        const std::string& written = settings.keys[i]->value;
        if (kSettings[i].decimal && written.size() > kSettingTextLength) {
            const std::string cut = written.substr(0, kSettingTextLength);
            reader.fail(*numbers[i], name,
                        "written as '" + written + "' it would be read as '" + cut +
                            "', which gives " + number(decimalPrefix(cut.c_str())) +
                            ": the unit reads at most " + std::to_string(kSettingTextLength) +
                            " characters; give fewer digits");
        }
        const double read = settingValue(settings.file.unit(), i);
        if (!kSettings[i].decimal &&
            read != static_cast<double>(reader.asInteger(*numbers[i], name))) {
            reader.fail(*numbers[i], name,
                        "the unit would read " + written + " as " + fixed(read, 0));
        }
    }
    return settings;
}

void printTableWarnings(const Scenario& scenario, std::ostream& errors) {
    const Settings& settings = scenario.settings;
    if (!settings.file.bytes()) {
        return;
    }
    SettingsReport report = checkSettings(*settings.file.bytes());
    // The file has one line per key: a warning on a key's line is one of that key.
    for (SettingsWarning& warning : report.warnings) {
        const auto* at = std::find(report.lines.begin(), report.lines.end(), warning.line);
        const auto index = static_cast<size_t>(at - report.lines.begin());
        warning.line = warning.line > 0 && index < kSettingCount && settings.keys[index]
                           ? static_cast<size_t>(settings.keys[index]->line)
                           : 0;
    }
    std::stable_sort(
        report.warnings.begin(), report.warnings.end(),
        [](const SettingsWarning& a, const SettingsWarning& b) { return a.line < b.line; });
    printSettingsWarnings(scenario.source, report, errors);
}

} // namespace vantor::sim
