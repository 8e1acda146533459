// Pictures of what a machine's editor and the host's sequence view show,
// drawn by the machines themselves onto a raster surface and written as PNG.
#pragma once

#include <cstdio>
#include <string>

namespace host {

struct SnapshotOptions {
    std::string pattern; // empty: the first pattern of the first machine with an editor
    int width = 1200;
    int height = 500;
    double zoom = 1.0;
    float rowHeight = 200.0f;
    double selStart = 0.0;
    double selEnd = 0.0;
    int take = -1; // the current take's position; -1 for none
};

// The editor of the pattern's machine, made through its extension slots 16
// and 17 and painted through its own paint.
int snapshotCommand(const std::string& songPath, const std::string& pngPath,
                    const SnapshotOptions& options, const std::string& gear, std::FILE* out);

// The sequence view: one column per sequence, a box per placed pattern on
// the "SE BG" background, each box's inside painted by its machine (slot 21)
// when the machine says it paints pattern boxes.
int sequenceCommand(const std::string& songPath, const std::string& pngPath, float ticksPerRow,
                    const std::string& gear, std::FILE* out);

} // namespace host
