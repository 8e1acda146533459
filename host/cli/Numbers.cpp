#include "host/cli/Numbers.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace host::cli {

namespace {

bool wholeWord(const std::string& text, long& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0;
}

bool realWord(const std::string& text, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

std::string shown(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

bool readWhole(const std::string& option, const std::string& text, long lowest, long highest,
               long& value, std::string& error) {
    long read = 0;
    if (!wholeWord(text, read) || read < lowest || read > highest) {
        error = option + " takes a whole number from " + std::to_string(lowest) + " to " +
                std::to_string(highest) + ", not " + shown(text);
        return false;
    }
    value = read;
    return true;
}

bool readWhole(const std::string& option, const std::string& text, int lowest, int highest,
               int& value, std::string& error) {
    long read = 0;
    if (!readWhole(option, text, long{lowest}, long{highest}, read, error))
        return false;
    value = static_cast<int>(read);
    return true;
}

bool readNumber(const std::string& option, const std::string& text, double lowest, double highest,
                double& value, std::string& error) {
    double read = 0.0;
    if (!realWord(text, read) || read < lowest || read > highest) {
        char range[96];
        std::snprintf(range, sizeof range, "a number from %g to %g", lowest, highest);
        error = option + " takes " + range + ", not " + shown(text);
        return false;
    }
    value = read;
    return true;
}

bool readAbove(const std::string& option, const std::string& text, double lowest, double highest,
               double& value, std::string& error) {
    double read = 0.0;
    if (!realWord(text, read) || !(read > lowest) || read > highest) {
        char range[96];
        std::snprintf(range, sizeof range, "a number above %g up to %g", lowest, highest);
        error = option + " takes " + range + ", not " + shown(text);
        return false;
    }
    value = read;
    return true;
}

bool readSize(const std::string& option, const std::string& text, int largest, int& width,
              int& height, std::string& error) {
    const size_t x = text.find('x');
    long w = 0, h = 0;
    if (x == std::string::npos || !wholeWord(text.substr(0, x), w) ||
        !wholeWord(text.substr(x + 1), h) || w < 1 || h < 1 || w > largest || h > largest) {
        error = option + " takes WxH, each from 1 to " + std::to_string(largest) + ", not " +
                shown(text);
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool readTickRange(const std::string& option, const std::string& text, double& from, double& to,
                   std::string& error) {
    const size_t colon = text.find(':');
    double a = 0.0, b = 0.0;
    if (colon == std::string::npos || !realWord(text.substr(0, colon), a) ||
        !realWord(text.substr(colon + 1), b) || a < 0.0 || !(a < b)) {
        error = option + " takes FROM:TO in ticks, 0 <= FROM < TO, not " + shown(text);
        return false;
    }
    from = a;
    to = b;
    return true;
}

} // namespace host::cli
