#include "junit_report.h"

#include <cstdint>

#include "text_format.h"

namespace vantor::sim {

namespace {

// The length of the well-formed UTF-8 sequence of a character XML allows at text[i], or 0.
size_t xmlCharLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
    }
    size_t length = 0;
    uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    static constexpr uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool allowed = code >= kShortest[length] && code <= 0x10FFFF &&
                         !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
    return allowed ? length : 0;
}

std::string escaped(const std::string& text) {
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

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + escaped(value) + "\"";
}

} // namespace

std::string junitXml(const std::vector<JUnitSuite>& suites) {
    size_t tests = 0;
    size_t failures = 0;
    size_t errors = 0;
    std::string body;
    for (const JUnitSuite& suite : suites) {
        size_t suiteFailures = 0;
        std::string cases;
        for (const JUnitCase& c : suite.cases) {
            cases +=
                "    <testcase" + attribute("name", c.name) + attribute("classname", suite.name);
            if (c.failed) {
                ++suiteFailures;
                cases += ">\n      <failure" + attribute("message", c.message) + "/>\n" +
                         "    </testcase>\n";
            } else {
                cases += "/>\n";
            }
        }
        // A scenario that cannot be run is one test case in error.
        const bool error = !suite.error.empty();
        if (error) {
            cases += "    <testcase" + attribute("name", "scenario") +
                     attribute("classname", suite.name) + ">\n      <error" +
                     attribute("message", suite.error) + "/>\n    </testcase>\n";
        }
        const size_t suiteTests = suite.cases.size() + (error ? 1 : 0);
        body += "  <testsuite" + attribute("name", suite.name) +
                attribute("tests", std::to_string(suiteTests)) +
                attribute("failures", std::to_string(suiteFailures)) +
                attribute("errors", error ? "1" : "0") +
                attribute("time", fixed(suite.seconds, 3)) + ">\n" + cases + "  </testsuite>\n";
        tests += suiteTests;
        failures += suiteFailures;
        errors += error ? 1 : 0;
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" +
           attribute("name", "vantor-sim check") + attribute("tests", std::to_string(tests)) +
           attribute("failures", std::to_string(failures)) +
           attribute("errors", std::to_string(errors)) + ">\n" + body + "</testsuites>\n";
}

} // namespace vantor::sim
