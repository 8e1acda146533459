// What a picture of the view shows, sent to the view's window by a program
// that draws it without a screen (the stand-in host's snapshot): zoom, row
// height, selection and current take, in the units of the view's state.
//
// Each value travels inside its message, never behind a pointer: any program
// may send a window any message number, and the view checks every value as
// it would a user's.
#pragma once

#include <cstdint>
#include <cstring>

// An application message number, outside the system's own range. wParam
// names the value (SnapshotField), lParam carries it: a double as its bits,
// the take as a number.
constexpr unsigned messageSnapshotSetting = 0x8000 + 0x5A;

enum SnapshotField : uintptr_t {
    SnapshotZoom = 0,
    SnapshotRowHeight = 1,
    SnapshotSelStart = 2,
    SnapshotSelEnd = 3,
    SnapshotCurrentTake = 4 // position in the take list; -1 for none
};

struct SnapshotSettings {
    double zoom = 1.0;
    float rowHeight = 200.0f;
    double selStart = 0.0;
    double selEnd = 0.0;
    int32_t currentTake = -1;
};

inline intptr_t snapshotBits(double value) {
    int64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<intptr_t>(bits);
}

inline double snapshotDouble(intptr_t lParam) {
    const auto bits = static_cast<int64_t>(lParam);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// send(message, wParam, lParam) once for each value of settings.
template <typename Send> void sendSnapshotSettings(const SnapshotSettings& settings, Send send) {
    send(messageSnapshotSetting, SnapshotZoom, snapshotBits(settings.zoom));
    send(messageSnapshotSetting, SnapshotRowHeight, snapshotBits(settings.rowHeight));
    send(messageSnapshotSetting, SnapshotSelStart, snapshotBits(settings.selStart));
    send(messageSnapshotSetting, SnapshotSelEnd, snapshotBits(settings.selEnd));
    send(messageSnapshotSetting, SnapshotCurrentTake, static_cast<intptr_t>(settings.currentTake));
}
