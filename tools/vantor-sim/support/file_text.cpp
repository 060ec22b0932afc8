#include "support/file_text.h"

#include <cstdint>

namespace vantor::sim {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

} // namespace

std::string utf8FileText(std::string_view bytes) {
    const bool little = bytes.starts_with("\xFF\xFE");
    if (!little && !bytes.starts_with("\xFE\xFF")) {
        return std::string(bytes);
    }
    auto unitAt = [&](size_t i) -> char32_t {
        const auto first = static_cast<uint8_t>(bytes[i]);
        const auto second = static_cast<uint8_t>(bytes[i + 1]);
        return little ? char32_t(first | second << 8) : char32_t(first << 8 | second);
    };
    std::string text;
    size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unitAt(i);
        if (isHighSurrogate(c) && i + 3 < bytes.size() && isLowSurrogate(unitAt(i + 2))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            c = kReplacement;
        }
        appendUtf8(text, c);
    }
    if (i < bytes.size()) {
        appendUtf8(text, kReplacement);
    }
    return text;
}

const char* unmarkedUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return nullptr;
    }
    // Text in UTF-16 is mostly of characters below U+0100: a zero byte in most pairs, on the
    // side of the high byte. Text in UTF-8 has no zero byte at all.
    size_t zeros[2] = {0, 0};
    for (size_t i = 0; i < bytes.size(); ++i) {
        zeros[i % 2] += bytes[i] == '\0' ? 1 : 0;
    }
    const size_t pairs = bytes.size() / 2;
    if (zeros[1] * 2 > pairs && zeros[1] > zeros[0]) {
        return "little-endian";
    }
    if (zeros[0] * 2 > pairs && zeros[0] > zeros[1]) {
        return "big-endian";
    }
    return nullptr;
}

} // namespace vantor::sim
