// The animated frame around the current take's row: diagonal stripes that
// move one pixel to the right every timer tick.
#pragma once

#include <cstdint>

#include "platform/Surface.h"
#include "platform/Window.h"

struct MarchingFrame {
    platform::WindowHandle owner = nullptr;
    uint32_t colourA = 0x000000; // the pattern's clear pixels
    uint32_t colourB = 0xFFFFFF; // its set pixels
    platform::PixelRect rect{};
    int32_t thickness = 1;
    int32_t phase = 0;
};
