// The command identifiers of the editor: its menu, the dialog bar's buttons,
// keyboard shortcuts and the host all send these.
#pragma once

#include <cstdint>

namespace editorcommand {

constexpr uint16_t importFromWavetable = 32786;
constexpr uint16_t importFromFile = 32785;
constexpr uint16_t exportToWavetable = 32826;
constexpr uint16_t exportToFile = 32827; // in the menu, does nothing
constexpr uint16_t selectAll = 32810;
constexpr uint16_t selectNone = 32811;
constexpr uint16_t selectPrefix = 32812;
constexpr uint16_t selectSuffix = 32813;
constexpr uint16_t externalEditor = 32829;
constexpr uint16_t cut = 57635;
constexpr uint16_t copy = 57634;
constexpr uint16_t paste = 57637;
constexpr uint16_t deleteSelection = 32817;
constexpr uint16_t trim = 32823;
constexpr uint16_t normalise = 32818;
constexpr uint16_t removeDc = 32819;
constexpr uint16_t silence = 32820;
constexpr uint16_t fadeIn = 32821;
constexpr uint16_t fadeOut = 32822;
constexpr uint16_t setActive = 32834;
constexpr uint16_t clearActive = 32837;
constexpr uint16_t mixToNewTake = 32839;
constexpr uint16_t deleteThis = 32840;
constexpr uint16_t deleteOthers = 32841;
constexpr uint16_t zoomIn = 32803;
constexpr uint16_t zoomOut = 32804;
constexpr uint16_t zoomToFitWave = 32805;
constexpr uint16_t zoomSelection = 32806;
constexpr uint16_t rowHeightUp = 32807;
constexpr uint16_t rowHeightDown = 32808;
constexpr uint16_t refresh = 32825;
constexpr uint16_t refreshKey = 32789; // a second identifier, for shortcuts
constexpr uint16_t previewPlay = 32843;
constexpr uint16_t info = 32832;
constexpr uint16_t openMenu = 32792; // the bar's "Menu" label

} // namespace editorcommand
