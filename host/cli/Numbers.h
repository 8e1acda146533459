// Numbers on the command line, read strictly: the whole word must be the
// number, and a value outside its range is refused with the range, never
// read as 0 or moved into range in silence.
#pragma once

#include <string>

namespace host::cli {

// A whole number from lowest to highest.
bool readWhole(const std::string& option, const std::string& text, long lowest, long highest,
               long& value, std::string& error);
bool readWhole(const std::string& option, const std::string& text, int lowest, int highest,
               int& value, std::string& error);

// A number from lowest to highest.
bool readNumber(const std::string& option, const std::string& text, double lowest, double highest,
                double& value, std::string& error);

// A number above lowest (excluded) up to highest.
bool readAbove(const std::string& option, const std::string& text, double lowest, double highest,
               double& value, std::string& error);

// WxH, each from 1 to largest.
bool readSize(const std::string& option, const std::string& text, int largest, int& width,
              int& height, std::string& error);

// FROM:TO in ticks, both finite and FROM below TO.
bool readTickRange(const std::string& option, const std::string& text, double& from, double& to,
                   std::string& error);

} // namespace host::cli
