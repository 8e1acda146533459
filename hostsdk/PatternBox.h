// What the host passes when it asks a machine to paint one pattern box.
#pragma once

#include <cstdint>

#include "hostsdk/Handles.h"

struct PatternBoxRequest {
    CPattern* pattern;
    void* deviceContext;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    float scale; // ticks per pixel row
};
