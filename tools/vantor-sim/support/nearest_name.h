// Suggestions for misspelt names: of the names the bench knows, the one an author most likely
// meant.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>

namespace vantor::sim {

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Edit distance without regard to case: how far a misspelt name is from a known one.
size_t nameDistance(const std::string& a, const std::string& b);

// Of the given names, the one nearest to name, when it is near enough to be a misspelling.
template <typename Names, typename NameOf>
std::optional<size_t> nearestName(const std::string& name, const Names& names, NameOf nameOf) {
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
