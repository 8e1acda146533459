// The min/max columns of one take at one scale, as the view draws them.
#pragma once

#include <vector>

struct PeakCache {
    // Four floats per pixel column: minL, maxL, minR, maxR.
    std::vector<float> columns;
    // The scale the columns were built for; 0 in a new entry.
    double samplesPerPixel = 0.0;
};
