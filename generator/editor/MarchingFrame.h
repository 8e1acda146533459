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
    // Made with the view and kept: the frame is drawn 20 times a second.
    platform::PatternBrush brush{brushRows()};

    // The 8 x 8 brush: row r is 0x0F rotated left by r bits, so pixel (x, y)
    // is set when (x + y) mod 8 >= 4: diagonal stripes four pixels wide.
    static const uint8_t* brushRows() {
        static const uint8_t rows[8] = {0x0F, 0x1E, 0x3C, 0x78, 0xF0, 0xE1, 0xC3, 0x87};
        return rows;
    }
};
