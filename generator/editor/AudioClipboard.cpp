#include "generator/editor/AudioClipboard.h"

std::vector<float>& audioClipboard() {
    // Lives until the module is unloaded.
    static std::vector<float> clipboard;
    return clipboard;
}
