// The pattern box's device: the host's device context, seen as a Surface.
#include "generator/editor/PatternEditorParent.h"
#include "generator/machine/PatternBoxDevice.h"
#include "platform/Surface.h"
#include "platform/Window.h"

namespace {

class SurfaceDevice final : public spoolex::PatternBoxDevice {
public:
    explicit SurfaceDevice(platform::Surface& surface) : surface(surface) {}

    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                  uint32_t colour) override {
        if (right > left && bottom > top)
            surface.fillRect(static_cast<float>(left), static_cast<float>(top),
                             static_cast<float>(right - left), static_cast<float>(bottom - top),
                             platform::opaqueFromBgr(colour));
    }
    void paintMask(int32_t left, int32_t top, int32_t width, int32_t height, const uint8_t* bits,
                   int32_t bitmapWidth, int32_t bitmapRows, int32_t stride,
                   uint32_t colour) override {
        surface.paintMask(left, top, width, height, bits, bitmapWidth, bitmapRows, stride,
                          platform::opaqueFromBgr(colour));
    }

private:
    platform::Surface& surface;
};

void drawOnDevice(void* deviceContext,
                  const std::function<void(spoolex::PatternBoxDevice&)>& draw) {
    // The host's device context on Windows, the surface it paints on elsewhere.
    platform::drawOnDeviceContext(deviceContext, [&](platform::Surface& surface) {
        SurfaceDevice device(surface);
        draw(device);
    });
}

} // namespace

void installPatternBoxSurface() {
    spoolex::setPatternBoxDeviceAdapter(drawOnDevice);
}
