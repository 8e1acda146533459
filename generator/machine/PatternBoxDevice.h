// What the machine paints a pattern box with. The host hands a device
// context of its own kind; a layer above the core (the editor, which knows
// the platform) installs the adapter that turns it into one of these, so
// the core stays free of platform headers.
#pragma once

#include <cstdint>
#include <functional>

namespace spoolex {

class PatternBoxDevice {
public:
    // Colours are the host's theme values, 0x00BBGGRR.
    // Fills left <= x < right, top <= y < bottom.
    virtual void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                          uint32_t colour) = 0;
    // Paints colour where a bit is set (most significant bit leftmost, rows
    // of stride bytes), leaving the rest; the bitmap's top-left pixel lands
    // on (left, top) and only the part inside width x height is used.
    virtual void paintMask(int32_t left, int32_t top, int32_t width, int32_t height,
                           const uint8_t* bits, int32_t bitmapWidth, int32_t bitmapRows,
                           int32_t stride, uint32_t colour) = 0;

protected:
    ~PatternBoxDevice() = default;
};

// Runs draw on a device over the host's device context; does nothing for
// a context it cannot draw on.
using PatternBoxDeviceAdapter = void (*)(void* deviceContext,
                                         const std::function<void(PatternBoxDevice&)>& draw);
// Installed by the plug-in before any machine is made; none paints nothing.
void setPatternBoxDeviceAdapter(PatternBoxDeviceAdapter adapter);

} // namespace spoolex
