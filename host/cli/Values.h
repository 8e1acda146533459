// Command-line values made of a name and a number: a new song's patterns
// (NAME:TICKS) and where they play (NAME@TICK), and export's sample format.
#pragma once

#include <string>
#include <vector>

#include "generator/model/WavSampleFormat.h"
#include "host/NewSong.h"

namespace host::cli {

constexpr int longestPattern = 1 << 20; // ticks
constexpr long latestStart = 1L << 24;  // ticks

bool readPatternSpec(const std::string& text, std::vector<NewPattern>& patterns,
                     std::string& error);
bool readPlaySpec(const std::string& text, std::vector<NewPlay>& plays, std::string& error);
// 16i, 24i, 32i or 32f.
bool readExportFormat(const std::string& text, spoolex::WavSampleFormat& format,
                      std::string& error);

} // namespace host::cli
