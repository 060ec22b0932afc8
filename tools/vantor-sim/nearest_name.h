// The known name nearest to a misspelt one, for messages that ask "did you mean ...?": keys of a
// settings file or of a scenario.
#pragma once

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace vantor::sim {

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Edit distance without regard to case: how far a misspelt name is from a known one.
inline size_t nameDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const size_t change = diagonal + (asciiLower(a[i - 1]) == asciiLower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, change});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Of the given names, the one nearest to name, when it is near enough to be a misspelling.
template <typename Names, typename NameOf>
std::optional<size_t> nearest(const std::string& name, const Names& names, NameOf nameOf) {
    std::optional<size_t> best;
    size_t bestDistance = 0;
    for (size_t i = 0; i < std::size(names); ++i) {
        const std::string known = nameOf(names[i]);
        const size_t d = nameDistance(name, known);
        // Shortened or lengthened names count too: "Display" for Disp.
        const size_t shorter = std::min(name.size(), known.size());
        const bool prefix =
            shorter >= 3 && nameDistance(name.substr(0, shorter), known.substr(0, shorter)) == 0;
        if ((d <= known.size() / 2 || prefix) && (!best || d < bestDistance)) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace vantor::sim
