#include "tests/support/GearPaths.h"

namespace testsupport {
std::string generatorPluginPath() {
    return std::string(SPOOLEX_GEAR_DIR) + "/Generators/" + SPOOLEX_GENERATOR_FILE;
}

std::string inputPluginPath() {
    return std::string(SPOOLEX_GEAR_DIR) + "/Effects/" + SPOOLEX_INPUT_FILE;
}
} // namespace testsupport
