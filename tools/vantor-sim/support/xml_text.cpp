#include "support/xml_text.h"

#include "support/utf8_text.h"

namespace vantor::sim {

namespace {

// The length of the character XML allows at text[i], or 0.
size_t xmlCharLength(const std::string& text, size_t i) {
    const Utf8Char c = utf8CharAt(text, i);
    const bool allowed = c.code >= 0x20 ? c.code != 0xFFFE && c.code != 0xFFFF
                                        : c.code == '\t' || c.code == '\n' || c.code == '\r';
    return allowed ? c.length : 0;
}

} // namespace

std::string xmlText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = xmlCharLength(text, i);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        switch (text[i]) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

} // namespace vantor::sim
