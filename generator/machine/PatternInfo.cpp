#include "generator/machine/PatternInfo.h"

#include <cstdio>

#include "generator/machine/Pattern.h"

namespace spoolex {

std::string patternInfoText(const Pattern& pattern) {
    char line[128];
    std::string text;
    std::snprintf(line, sizeof line, "%i ticks\n", pattern.length);
    text += line;
    size_t floats = 0;
    for (const auto& take : pattern.takes)
        floats += take->samples().size();
    std::snprintf(line, sizeof line, "Total memory usage: %.2f MB\n",
                  static_cast<double>(floats) * 4 / 1024 / 1024);
    text += line;
    text += "\nActive takes:\n";
    for (const ActiveTakeEntry& entry : pattern.activeTakes) {
        if (!entry.take) {
            std::snprintf(line, sizeof line, "  %f : NULL\n", entry.startTick);
        } else {
            int32_t index = pattern.takeIndex(*entry.take);
            std::snprintf(line, sizeof line, "  %f : %i\n", entry.startTick, index < 0 ? 0 : index);
        }
        text += line;
    }
    return text;
}

} // namespace spoolex
