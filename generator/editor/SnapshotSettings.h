// What a picture of the view shows, sent to the view's window by a program
// that draws it without a screen (the stand-in host's snapshot): zoom, row
// height, selection and current take, in the units of the view's state.
#pragma once

#include <cstdint>

// An application message number, outside the system's own range.
constexpr unsigned messageSnapshotSettings = 0x8000 + 0x5A;

struct SnapshotSettings {
    double zoom = 1.0;
    float rowHeight = 200.0f;
    double selStart = 0.0;
    double selEnd = 0.0;
    int32_t currentTake = -1; // position in the take list; -1 for none
};
