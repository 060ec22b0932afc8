// A small well-formedness check for the plot: tags nest and close, attributes are quoted,
// every & starts a known entity, and there is one root element.
#pragma once

#include <cctype>
#include <string>
#include <vector>

namespace vantor::sim::testing {

// Empty when the text is well-formed XML of this simple kind; otherwise what is wrong.
inline std::string xmlProblem(const std::string& text) {
    std::vector<std::string> open;
    int roots = 0;
    size_t i = 0;
    auto nameAt = [&](size_t& p) {
        const size_t start = p;
        while (p < text.size() && (std::isalnum(static_cast<unsigned char>(text[p])) ||
                                   text[p] == '-' || text[p] == ':' || text[p] == '_')) {
            ++p;
        }
        return text.substr(start, p - start);
    };
    auto entityOk = [&](size_t p) {
        const size_t end = text.find(';', p);
        if (end == std::string::npos) {
            return false;
        }
        const std::string entity = text.substr(p + 1, end - p - 1);
        return entity == "amp" || entity == "lt" || entity == "gt" || entity == "quot" ||
               entity == "apos" || (!entity.empty() && entity[0] == '#');
    };
    while (i < text.size()) {
        if (text[i] == '&') {
            if (!entityOk(i)) {
                return "bad entity at " + std::to_string(i);
            }
            ++i;
        } else if (text.compare(i, 2, "<?") == 0) {
            const size_t end = text.find("?>", i);
            if (end == std::string::npos) {
                return "unclosed declaration";
            }
            i = end + 2;
        } else if (text.compare(i, 4, "<!--") == 0) {
            const size_t end = text.find("-->", i);
            if (end == std::string::npos) {
                return "unclosed comment";
            }
            i = end + 3;
        } else if (text.compare(i, 2, "</") == 0) {
            size_t p = i + 2;
            const std::string name = nameAt(p);
            if (open.empty() || open.back() != name) {
                return "</" + name + "> closes nothing open at " + std::to_string(i);
            }
            open.pop_back();
            if (p >= text.size() || text[p] != '>') {
                return "bad end tag at " + std::to_string(i);
            }
            i = p + 1;
        } else if (text[i] == '<') {
            size_t p = i + 1;
            const std::string name = nameAt(p);
            if (name.empty()) {
                return "bad tag at " + std::to_string(i);
            }
            if (open.empty() && ++roots > 1) {
                return "second root element at " + std::to_string(i);
            }
            while (true) {
                while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) {
                    ++p;
                }
                if (p >= text.size()) {
                    return "unclosed tag <" + name + ">";
                }
                if (text[p] == '>' || text.compare(p, 2, "/>") == 0) {
                    break;
                }
                if (nameAt(p).empty() || p + 1 >= text.size() || text[p] != '=' ||
                    (text[p + 1] != '"' && text[p + 1] != '\'')) {
                    return "bad attribute in <" + name + "> at " + std::to_string(p);
                }
                const char quote = text[p + 1];
                const size_t end = text.find(quote, p + 2);
                if (end == std::string::npos) {
                    return "unclosed attribute in <" + name + ">";
                }
                for (size_t q = p + 2; q < end; ++q) {
                    if (text[q] == '<' || (text[q] == '&' && !entityOk(q))) {
                        return "bad character in an attribute of <" + name + ">";
                    }
                }
                p = end + 1;
            }
            if (text[p] == '>') {
                open.push_back(name);
                i = p + 1;
            } else {
                i = p + 2;
            }
        } else {
            if (open.empty() && !std::isspace(static_cast<unsigned char>(text[i]))) {
                return "text outside the root element at " + std::to_string(i);
            }
            ++i;
        }
    }
    if (!open.empty()) {
        return "<" + open.back() + "> is never closed";
    }
    return roots == 1 ? "" : "no root element";
}

} // namespace vantor::sim::testing
