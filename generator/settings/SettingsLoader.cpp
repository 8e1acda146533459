#include "generator/settings/SettingsLoader.h"

namespace spoolex {

// The settings file is not read yet: every machine runs on the defaults.
void loadSettings(mi&) {}

} // namespace spoolex
