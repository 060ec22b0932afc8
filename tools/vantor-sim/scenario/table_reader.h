// Reads one table of a scenario file. The reader remembers which keys were taken, so that a key
// the format does not know is reported instead of ignored, and every error names the file, the
// line, the column and the key.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "scenario/scenario_bounds.h"
#include "scenario/scenario_error.h"
#include "support/nearest_name.h"

namespace vantor::sim {

inline std::string lineOf(const std::string& file, const toml::source_region& where) {
    std::ostringstream out;
    out << file << ':' << where.begin.line << ':' << where.begin.column;
    return out.str();
}

inline std::string typeName(const toml::node& node) {
    switch (node.type()) {
    case toml::node_type::table:
        return "a table";
    case toml::node_type::array:
        return "an array";
    case toml::node_type::string:
        return "a string";
    case toml::node_type::integer:
        return "an integer";
    case toml::node_type::floating_point:
        return "a number with a fraction";
    case toml::node_type::boolean:
        return "a boolean";
    default:
        return "a date or time";
    }
}

class TableReader {
  public:
    TableReader(const toml::table& table, std::string path, const std::string& file)
        : table_(table), path_(std::move(path)), file_(file) {}

    [[noreturn]] void fail(const toml::node& node, const std::string& key,
                           const std::string& what) const {
        throw ScenarioError(lineOf(file_, node.source()) + ": key '" + qualified(key) +
                            "': " + what);
    }
    [[noreturn]] void failTable(const std::string& what) const {
        throw ScenarioError(lineOf(file_, table_.source()) + ": " +
                            (path_.empty() ? std::string("scenario") : "[" + path_ + "]") + ": " +
                            what);
    }
    // At the key; at its table when the key is left out and another key makes its default wrong.
    [[noreturn]] void failKey(const std::string& key, const std::string& what) {
        if (const toml::node* node = find(key)) {
            fail(*node, key, what);
        }
        failTable("key '" + qualified(key) + "', left out: " + what);
    }
    // A required key left out. A key of the table that is none of the keys asked for but near
    // one of the wanted ones is the likelier mistake, and is named instead.
    [[noreturn]] void missing(const std::vector<std::string>& wanted,
                              const std::string& what) const {
        for (const auto& [key, node] : table_) {
            const std::string name(key.str());
            if (asked_.count(name)) {
                continue;
            }
            if (const auto near =
                    nearestName(name, wanted, [](const std::string& s) { return s; })) {
                throw ScenarioError(lineOf(file_, key.source()) + ": unknown key '" +
                                    qualified(name) + "'; did you mean '" + wanted[*near] + "'?");
            }
        }
        failTable(what);
    }
    [[noreturn]] void missing(const std::string& key) const {
        missing({key}, "missing key '" + qualified(key) + "'");
    }

    const toml::node* find(const std::string& key) {
        taken_.insert(key);
        asked_.insert(key);
        return table_.get(key);
    }
    bool has(const std::string& key) const {
        asked_.insert(key);
        return table_.contains(key);
    }
    int line() const { return static_cast<int>(table_.source().begin.line); }
    int lineOfKey(const std::string& key) const {
        const toml::node* node = table_.get(key);
        return node ? static_cast<int>(node->source().begin.line) : 0;
    }

    double number(const std::string& key, double fallback) {
        const toml::node* node = find(key);
        return node ? asNumber(*node, key) : fallback;
    }
    double requiredNumber(const std::string& key) {
        const toml::node* node = find(key);
        if (!node) {
            missing(key);
        }
        return asNumber(*node, key);
    }
    int64_t integer(const std::string& key, int64_t fallback) {
        const toml::node* node = find(key);
        return node ? asInteger(*node, key) : fallback;
    }
    bool boolean(const std::string& key, bool fallback) {
        const toml::node* node = find(key);
        if (!node) {
            return fallback;
        }
        if (!node->is_boolean()) {
            fail(*node, key, "expected true or false, got " + typeName(*node));
        }
        return node->as_boolean()->get();
    }
    std::string text(const std::string& key, const std::string& fallback) {
        const toml::node* node = find(key);
        if (!node) {
            return fallback;
        }
        if (!node->is_string()) {
            fail(*node, key, "expected a string, got " + typeName(*node));
        }
        return node->as_string()->get();
    }
    // A delay in seconds, or the string "none".
    std::optional<double> delay(const toml::node& node, const std::string& key) const {
        if (node.is_string() && node.as_string()->get() == "none") {
            return std::nullopt;
        }
        if (!node.is_number()) {
            fail(node, key, "expected seconds or \"none\", got " + typeName(node));
        }
        const double value = asNumber(node, key);
        if (value < 0.0) {
            fail(node, key, "must not be negative");
        }
        return value;
    }

    double asNumber(const toml::node& node, const std::string& key) const {
        if (!node.is_number()) {
            fail(node, key, "expected a number, got " + typeName(node));
        }
        const std::optional<double> value = node.value<double>();
        if (!value) {
            fail(node, key,
                 "an integer beyond 2^53 (9007199254740992) cannot be held exactly as a number");
        }
        if (!std::isfinite(*value)) {
            fail(node, key, "must be a finite number");
        }
        return *value;
    }
    int64_t asInteger(const toml::node& node, const std::string& key) const {
        if (!node.is_integer()) {
            fail(node, key, "expected an integer, got " + typeName(node));
        }
        return node.as_integer()->get();
    }
    int32_t asInt32(const toml::node& node, const std::string& key) const {
        const int64_t value = asInteger(node, key);
        if (value < INT32_MIN || value > INT32_MAX) {
            fail(node, key, "does not fit in 32 bits");
        }
        return static_cast<int32_t>(value);
    }
    int32_t int32(const std::string& key, int32_t fallback) {
        const toml::node* node = find(key);
        return node ? asInt32(*node, key) : fallback;
    }

    std::vector<double> numbers(const std::string& key) {
        std::vector<double> values;
        const toml::node* node = find(key);
        if (!node) {
            return values;
        }
        const toml::array* array = node->as_array();
        if (!array) {
            fail(*node, key, "expected an array of numbers, got " + typeName(*node));
        }
        for (const toml::node& item : *array) {
            values.push_back(asNumber(item, key));
        }
        return values;
    }

    // A sub-table that must be a table if present.
    const toml::table* table(const std::string& key) {
        const toml::node* node = find(key);
        if (node && !node->is_table()) {
            fail(*node, key, "expected a table, got " + typeName(*node));
        }
        return node ? node->as_table() : nullptr;
    }
    // An array of tables ([[key]]) if present.
    std::vector<const toml::table*> tables(const std::string& key) {
        std::vector<const toml::table*> result;
        const toml::node* node = find(key);
        if (!node) {
            return result;
        }
        const toml::array* array = node->as_array();
        if (!array) {
            fail(*node, key,
                 "expected an array of tables ([[" + qualified(key) + "]]), got " +
                     typeName(*node));
        }
        for (const toml::node& item : *array) {
            if (!item.is_table()) {
                fail(item, key, "expected a table, got " + typeName(item));
            }
            result.push_back(item.as_table());
        }
        return result;
    }

    // Reports the first key nobody asked for, with the known key nearest to it.
    void finish() const {
        for (const auto& [key, node] : table_) {
            const std::string name(key.str());
            if (taken_.count(name)) {
                continue;
            }
            const std::vector<std::string> known(asked_.begin(), asked_.end());
            const auto near = nearestName(name, known, [](const std::string& s) { return s; });
            throw ScenarioError(
                lineOf(file_, key.source()) + ": unknown key '" + qualified(name) + "'" +
                (near && known[*near] != name ? "; did you mean '" + known[*near] + "'?"
                                              : std::string()));
        }
    }

    std::string qualified(const std::string& key) const {
        return path_.empty() ? key : path_ + "." + key;
    }
    const std::string& file() const { return file_; }

  private:
    const toml::table& table_;
    std::string path_;
    const std::string& file_;
    std::set<std::string> taken_;
    // Every key the format looked for here, given or not: the names a misspelling is meant for.
    mutable std::set<std::string> asked_;
};

inline void requirePositive(TableReader& reader, const std::string& key, double value) {
    if (value <= 0.0) {
        reader.failKey(key, "must be greater than 0");
    }
}

inline void requireNonNegative(TableReader& reader, const std::string& key, double value) {
    if (value < 0.0) {
        reader.failKey(key, "must not be negative");
    }
}

inline std::string boundsText(const Bounds& bounds) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "must lie between %.15g and %.15g%s", bounds.low,
                  bounds.high, bounds.unit);
    return buffer;
}

inline bool within(double value, const Bounds& bounds) {
    return value >= bounds.low && value <= bounds.high;
}

// A value read from node, inside an array, within its bounds.
inline void requireWithin(const TableReader& reader, const toml::node& node, const std::string& key,
                          double value, const Bounds& bounds) {
    if (!within(value, bounds)) {
        reader.fail(node, key, boundsText(bounds));
    }
}

// The value of key within its bounds.
inline void requireWithin(TableReader& reader, const std::string& key, double value,
                          const Bounds& bounds) {
    if (!within(value, bounds)) {
        reader.failKey(key, boundsText(bounds));
    }
}

} // namespace vantor::sim
